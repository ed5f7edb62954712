// Control-code names: the nine built-in tables of names that may stand between braces in text
// ({white}, {clr}, {$93}, {147}), each labelled with the dialect it follows, the lookup of one
// name and the conversion of a whole text with brace codes into bytes. Callers collect the name
// between the braces themselves and decide what a name that is not found means.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zendra {

struct ControlCodeEntry {
  std::string_view name;
  uint8_t code;
};
// label names the dialect and takes no part in lookups.
struct ControlCodeTable {
  std::string_view label;
  std::span<const ControlCodeEntry> rows;
};

std::span<const ControlCodeTable> controlCodeTables();  // the nine, in search order

// The byte that a brace name stands for, tested in this order: an empty name is not found; one
// character gives its asciiToPetscii code; "$" and at least two more characters give the low 8
// bits of the hexadecimal number after it (no digits give 0); exactly three decimal digits give
// the low 8 bits of their value; otherwise the first row in search order whose name equals the
// whole name, ignoring the case of letters only. Not found is no error here: code is then 0.
struct ControlCodeResult {
  bool found;
  uint8_t code;
};  // code 0 when not found
ControlCodeResult controlCodeValue(std::string_view name);

// Converts text to PETSCII, each "{name}" becoming its one byte. ok is false for a '{' inside a
// name, a '}' with no open brace or an empty name, and a name that is not found; a brace still
// open at the end is no error and its name is dropped.
struct EncodedText {
  bool ok;
  std::string bytes;
};  // bytes made before a failure are kept
EncodedText encodeControlText(std::string_view text);

}  // namespace zendra
