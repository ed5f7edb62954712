// Fuzzing harnesses, shared by the libFuzzer targets and the test that replays kept inputs.
// assembleInput runs a whole assembly of the input (read as standard input) through both
// passes and every output writer, in the current folder; parseInput feeds each line to the
// line parser alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "driver/assembler.h"
#include "driver/driver.h"
#include "source/line_parser.h"

namespace zendra::fuzz {

inline int assembleInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream in(text);
  std::ostringstream out, err;
  const char* argv[] = {"zendra", "-s", "-l", "fuzz.lst", "-o", "fuzz.prg"};
  ProcessEnvironment env;
  return runZendra(6, argv, in, out, err, env);
}

inline int parseInput(const uint8_t* data, size_t size) {
  std::ostringstream out;
  Assembler as(RunSettings{}, out);
  LineParser parser(as);
  std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    StatementRecord& st = *as.newStatement();
    (void)parser.parseLine(st, start == 0 ? ParseState::ExpressionStart : ParseState::LineStart,
                           text.substr(start, end - start));
    start = end + 1;
  }
  return 0;
}

}  // namespace zendra::fuzz
