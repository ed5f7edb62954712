// The common line shapes read in one go must give exactly what the state machine gives, for
// every line: the same statement, or the machine's own error. Lines are generated from pieces
// that make the common shapes and every near miss of them.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/assembler.h"
#include "fuzz/harness.h"
#include "source/line_parser.h"

namespace zendra {
namespace {

// Small fixed generator, so every run tests the same lines.
struct Lcg {
  uint32_t state;
  uint32_t next(uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  }
  template <size_t N>
  std::string_view pick(const std::string_view (&pieces)[N]) {
    return pieces[next(N)];
  }
};

// clang-format off
constexpr std::string_view kBlanks[] = {"", "", " ", "\t", "  ", "\r", " \v"};
constexpr std::string_view kWords[] = {
  "c1", "_x", "loop", "L2", "a", "A", "x", "y", "lda", "LDA", "Sta", "jmp", "jsr", "bne",
  "asl", "inx", "nop", "rol", "lax", "bra", "sac", "ldx", "stx", "foo", "a1b", "ldaa", "brk"};
constexpr std::string_view kAfterLabel[] = {
  "", " ", "\t", "=", " = ", ":", " ;c", ";", "*", "*=", " .byte 1", " #m", "."};
constexpr std::string_view kOperandPieces[] = {
  "", " ", "#", "(", "<", ">", "!", "$12", "$1234", "$", "$ab", "$FFFFFFFFF", "12", "007",
  "4294967297", "%101", "lab", "a", "A", "*", "_z", ",x", ",X", ",y", ", Y", " , y", ")",
  "),y", ") , y", ",x)", ", x )", "+", "+1", "-$10", " ;c", ";", "@1", "\\1", "\"a\"", "\r",
  "x", "(", "(1)", "1)", ".", ":", "&3", "*2", "/0", " ", "  ", "g", ",", "),x", ",z"};
constexpr std::string_view kLeads[] = {"", "", "#", "(", "( ", "#<", "# >", "<", ">", "!"};
constexpr std::string_view kTerms[] = {"$12", "$1234", "12", "lab", "a", "$", "*", "%1"};
constexpr std::string_view kEnds[] = {
  "", "", ",x", ", Y", ")", "),y", ") ,y", ",x)", " ;c", ")x", ",", "+1", ",y)", "),"};
// clang-format on

// Pieces in any order: words, what may follow a label, operand fragments.
std::string randomLine(Lcg& r) {
  std::string line(r.pick(kBlanks));
  uint32_t shape = r.next(4);
  if (shape != 1) line += r.pick(kWords);
  if (shape == 2 || shape == 3) line += r.pick(kAfterLabel);
  if (shape != 2 || r.next(2) == 0) {
    line += r.pick(kBlanks);
    if (shape == 3) line += r.pick(kWords);
    for (uint32_t n = r.next(6); n > 0; --n) line += r.pick(kOperandPieces);
  }
  return line;
}

// Most lines follow the common shapes closely, so that each of their branches meets the
// near misses that must go to the machine; the rest are random pieces.
std::string generateLine(Lcg& r) {
  if (r.next(2) == 0) {
    std::string line(r.pick(kBlanks));
    if (r.next(2) == 0) line += std::string(r.pick(kWords)) + std::string(r.pick(kAfterLabel));
    line += r.pick(kWords);
    line += r.pick(kBlanks);
    if (r.next(3) == 0) return line;
    line += r.pick(kLeads);
    line += r.pick(kTerms);
    line += r.pick(kBlanks);
    line += r.pick(kEnds);
    line += r.pick(kBlanks);
    return line;
  }
  return randomLine(r);
}

struct Variant {
  const char* name;
  bool keepText;
  bool caseSensitive;
  uint8_t classes;
};

TEST(LineShapes, ParseExactlyLikeTheStateMachine) {
  const Variant variants[] = {
      {"plain", false, true, kAllClasses},
      {"kept text", true, true, kAllClasses},
      {"ignore-case", true, false, kAllClasses},
      {"documented only", false, true, kDoc},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    RunSettings settings;
    settings.caseSensitive = v.caseSensitive;
    settings.allowedClasses = v.classes;
    std::ostringstream out;
    Assembler as(settings, out);
    LineParser fast(as), machine(as);
    fast.keepText = machine.keepText = v.keepText;
    machine.commonShapes = false;
    Lcg r{7};
    int mismatches = 0;
    int common = 0;
    constexpr int kLines = 200000;
    for (int i = 0; i < kLines && mismatches < 5; ++i) {
      std::string line = generateLine(r);
      StatementRecord a, b;
      bool okA = fast.parseLine(a, ParseState::LineStart, line);
      common += fast.readAsCommonShape ? 1 : 0;
      bool okB = machine.parseLine(b, ParseState::LineStart, line);
      std::string fromFast = fuzz::describeParse(as, fast, okA, a);
      std::string fromMachine = fuzz::describeParse(as, machine, okB, b);
      if (fromFast != fromMachine) {
        ++mismatches;
        ADD_FAILURE() << "line '" << line << "'\n  common:  " << fromFast
                      << "\n  machine: " << fromMachine;
      }
    }
    // The generated lines reach the common shapes often, and stray from them more often.
    EXPECT_GT(common, kLines / 20);
    EXPECT_LT(common, kLines / 2);
  }
}

}  // namespace
}  // namespace zendra
