// Pseudo-op table: each name with the operand form the line parser expects and its id.
#pragma once

#include <cstdint>
#include <string_view>

namespace zendra {

enum class OperandForm : uint8_t { None, Expression, ExpressionList, String, Name, StringThenList };

// Ids are stable numbers (the end-of-file marker is 33), so each enumerator carries its number.
enum class PseudoOp : uint8_t {
  Bend = 0,
  Binary = 1,
  Block = 2,
  Bounce = 3,
  Byte = 4,
  End = 5,
  Endif = 6,
  Endm = 7,
  Eor = 8,
  Goto = 9,
  Hidemac = 10,
  If = 11,
  Ifeq = 12,
  Ifne = 13,
  Ifmi = 14,
  Ifpl = 15,
  Include = 16,
  Lbl = 17,
  Macro = 18,
  Null = 19,
  Offs = 20,
  Proff = 21,
  Pron = 22,
  Rta = 23,
  Segment = 24,
  Shift = 25,
  Screen = 26,
  Showmac = 27,
  Text = 28,
  Var = 29,
  Word = 30,
  Ifdef = 31,
  Ifndef = 32,
  EndOfFile = 33,
  Repeat = 34,
  None = 255,
};

struct PseudoOpEntry {
  std::string_view name;
  OperandForm form;
  PseudoOp id;
};

// Found ignoring letter case; nullptr when the name is not a pseudo-op.
const PseudoOpEntry* lookupPseudoOp(std::string_view name);

}  // namespace zendra
