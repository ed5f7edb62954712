// Fuzzing harnesses, shared by the libFuzzer targets and the test that replays kept inputs.
// assembleInput runs whole assemblies of the input (read as standard input) through both
// passes and every output writer, in the current folder; parseInput feeds each line to the
// line parser alone, both ways it can read a line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/assembler.h"
#include "driver/driver.h"
#include "source/line_parser.h"

namespace zendra::fuzz {

// One assembly of `text` from standard input, after removing what an earlier one wrote: its
// exit status and printed output, then the program's bytes (or "none").
inline std::string assembleOnce(const std::string& text, std::vector<const char*> argv) {
  for (const char* name : {"fuzz.prg", "fuzz.lst", "symbol.tdb"}) std::remove(name);
  std::istringstream in(text);
  std::ostringstream out, err;
  ProcessEnvironment env;
  int status = runZendra(static_cast<int>(argv.size()), argv.data(), in, out, err, env);
  std::ifstream program("fuzz.prg", std::ios::binary);
  std::string bytes = program ? std::string(std::istreambuf_iterator<char>(program), {}) : "none";
  return std::to_string(status) + "\n" + out.str() + err.str() + "\n" + bytes;
}

// A whole assembly of the input, twice: with a listing and a symbol file, which make every
// statement keep its text, and without them, where most statements keep none. Both must print
// the same and write the same program; returns false when they do not.
inline bool assembleInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string everything = assembleOnce(text, {"zendra", "-s", "-l", "fuzz.lst", "-o", "fuzz.prg"});
  std::string lean = assembleOnce(text, {"zendra", "-o", "fuzz.prg"});
  return everything == lean;
}

inline std::string describeNode(const ExprNode* n) {
  if (n == nullptr) return "-";
  std::string out = "{" + std::to_string(static_cast<int>(n->kind)) + " " +
                    std::to_string(static_cast<int>(n->notation)) + " " +
                    std::to_string(n->forceWord) + std::to_string(n->lowByte) +
                    std::to_string(n->highByte) + std::to_string(n->hasOperand) + " ";
  if (n->kind == ExprKind::Label || n->kind == ExprKind::String)
    out += "'" + std::string(n->text()) + "'";
  if (n->kind != ExprKind::String) out += std::to_string(n->value);
  if (isOperator(n->kind)) out += " " + describeNode(n->left()) + " " + describeNode(n->right());
  return out + "}";
}

// Everything a parse leaves in a statement and in the parser, as text: two parses of a line
// agree exactly when their descriptions do.
inline std::string describeParse(const Assembler& as, const LineParser& parser, bool ok,
                                 const StatementRecord& st) {
  std::ostringstream out;
  out << "ok " << ok;
  if (!ok)
    out << " error " << static_cast<int>(parser.errorCode) << " '" << parser.errorText << "' at "
        << parser.errorColumn;
  out << " | label " << (st.hasLabel() ? std::string(as.names.name(st.labelId)) : "-")
      << " | mnemonic " << static_cast<int>(st.mnemonicIndex) << " mode "
      << static_cast<int>(st.mode) << " pseudo " << static_cast<int>(st.pseudoOp) << " setPc "
      << st.setPc << " | operand " << describeNode(st.operand);
  if (st.extra != nullptr) {
    const StatementExtra& x = *st.extra;
    out << " | extra '" << st.rawText() << "' string " << x.stringStart << "+" << x.stringLength
        << " substitute " << x.needsSubstitution << " macro "
        << (x.macro != nullptr ? std::string(x.macro->name) : "-") << " list";
    for (uint32_t i = 0; i < x.operandCount; ++i) out << " " << describeNode(x.operandList[i]);
  }
  return out.str();
}

// Feeds each line of the input to the line parser (the first as a command-line value), once
// with the common line shapes read in one go and once by the state machine alone. Returns the
// first line on which the two disagree, with both descriptions; empty when they never do.
inline std::string parseInput(const uint8_t* data, size_t size) {
  std::ostringstream out;
  Assembler as(RunSettings{}, out);
  LineParser common(as), machine(as);
  machine.commonShapes = false;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    ParseState initial = start == 0 ? ParseState::ExpressionStart : ParseState::LineStart;
    StatementRecord& a = *as.newStatement();
    StatementRecord& b = *as.newStatement();
    bool okA = common.parseLine(a, initial, line);
    bool okB = machine.parseLine(b, initial, line);
    std::string viaCommon = describeParse(as, common, okA, a);
    std::string viaMachine = describeParse(as, machine, okB, b);
    if (viaCommon != viaMachine)
      return std::string(line) + "\n  common:  " + viaCommon + "\n  machine: " + viaMachine;
    start = end + 1;
  }
  return {};
}

}  // namespace zendra::fuzz
