// Source loader: reads a file and, recursively, its includes into one flat statement list,
// collecting macro and segment bodies, and reports every file and parse error at once.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "source/statement_record.h"

namespace zendra {

class Assembler;

// Loads `name` (standard input when empty) into `out`: every statement not collected into a
// macro body, then the file's end-of-file marker. `passedMacro` collects the body lines of an
// included file when the `.include` stands inside a definition. `expanding`: the file is read
// for an `.include` met in a macro expansion, whose lines are substituted like the body's.
// True when nothing failed.
[[nodiscard]] bool loadSource(Assembler& as, const std::string& name, MacroRecord* passedMacro,
                              StatementList& out, bool expanding = false);

// Reads a file whole for `.binary`. On failure leaves 19 (cannot open) or 21 (cannot read).
[[nodiscard]] bool loadBinaryFile(Assembler& as, const std::string& name, StatementRecord& st);

// A file name that is empty or only blanks: error 10 wherever a name is expected.
bool isMissingFileName(std::string_view name);

// Files larger than this are refused (and devices that never end stop here).
constexpr size_t kMaxFileSize = size_t{1} << 30;

// Reads a whole file; false when it cannot be opened or read (a directory included), or when
// it holds more than `limit` bytes.
bool readWholeFile(const std::string& name, std::vector<char>& bytes, size_t limit);

}  // namespace zendra
