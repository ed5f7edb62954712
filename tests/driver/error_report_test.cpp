// Error reporting: the three line formats, the pass headers, the message cut, the overlap
// limit, and the plain form that leaves a "%s" as it is.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "driver/assembler.h"

namespace zendra {
namespace {

struct Reporter {
  std::ostringstream out;
  Assembler as{RunSettings{}, out};
};

struct FormatCase {
  ErrorCode code;
  int32_t line;
  const char* text;  // null: the plain form
  int32_t column;
  std::string_view printed;
};
const FormatCase kFormatCases[] = {
    {ErrorCode::PhaseError, -1, nullptr, -1, "game.asm : error 25: phase error\n"},
    {ErrorCode::PhaseError, -1, nullptr, 4,
     "game.asm : error 25: phase error\n"},  // no line: no column
    {ErrorCode::BendWithoutBlock, 12, nullptr, -1,
     "game.asm(12) : error 12: .bend without .block\n"},
    {ErrorCode::MissingParenthesis, 7, nullptr, 4,
     "game.asm(7) : error 31: missing parenthesis at col 4\n"},
    {ErrorCode::UnableToOpen, -1, "out.prg", -1,
     "game.asm : error 19: unable to open file 'out.prg'\n"},
    {ErrorCode::IllegalPseudoOp, 3, "bytes", 5,
     "game.asm(3) : error 1: illegal pseudo-op '.bytes' at col 5\n"},
    {ErrorCode::FileDoesNotExist, 2, nullptr, -1,
     "game.asm(2) : error 18: file does not exist: '%s'\n"},
    {ErrorCode::InvalidExpression, 2, "ignored", -1,
     "game.asm(2) : error 11: invalid expression\n"},
};

TEST(ErrorReport, PrintsEachLineFormat) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(c.printed);
    Reporter r;
    r.as.lastHeaderPass = 1;  // the header has its own test
    r.as.pass = 1;
    if (c.text == nullptr)
      r.as.reportError(c.code, c.line, "game.asm", c.column);
    else
      r.as.reportError(c.code, c.line, "game.asm", c.text, c.column);
    EXPECT_EQ(r.out.str(), c.printed);
    EXPECT_EQ(r.as.errorCount, 1);
  }
}

TEST(ErrorReport, PrintsAHeaderBeforeTheFirstErrorOfEachPass) {
  Reporter r;
  r.as.reportError(ErrorCode::FilenameMissing, 1, "a.asm");  // loading: under pass 1
  r.as.pass = 1;
  r.as.reportError(ErrorCode::Unknown, 2, "a.asm");
  r.as.pass = 2;
  r.as.reportError(ErrorCode::MissingOperand, 3, "a.asm");
  r.as.reportError(ErrorCode::PhaseError, -1, "a.asm");
  EXPECT_EQ(r.out.str(),
            "\nPass 1:\n\n"
            "a.asm(1) : error 10: filename missing\n"
            "a.asm(2) : error 16: unknown\n"
            "\nPass 2:\n\n"
            "a.asm(3) : error 5: missing operand\n"
            "a.asm : error 25: phase error\n");
  EXPECT_EQ(r.as.errorCount, 4);
}

TEST(ErrorReport, CutsTheFilledMessageAt999Characters) {
  Reporter r;
  r.as.lastHeaderPass = 1;
  r.as.pass = 1;
  r.as.reportError(ErrorCode::DoubleDefined, 1, "a.asm", std::string(2000, 'x'), -1);
  std::string message = "double defined; " + std::string(999 - 16, 'x');
  EXPECT_EQ(r.out.str(), "a.asm(1) : error 26: " + message + "\n");
}

TEST(ErrorReport, SuppressesOverlapErrorsAfterFive) {
  Reporter r;
  r.as.lastHeaderPass = 2;
  r.as.pass = 2;
  std::string expected;
  for (int i = 0; i < 7; ++i) {
    r.as.reportError(ErrorCode::OverlappedOutput, i + 1, "a.asm", "$1000", -1);
    if (i < 5)
      expected += "a.asm(" + std::to_string(i + 1) + ") : error 38: overlapped output {$1000}\n";
  }
  expected += " (suppressing further overlap errors)\n";
  r.as.reportError(ErrorCode::Unknown, 9, "a.asm");  // other errors still print
  expected += "a.asm(9) : error 16: unknown\n";
  EXPECT_EQ(r.out.str(), expected);
  EXPECT_EQ(r.as.errorCount, 6);
}

TEST(ErrorReport, CodeWithoutARowPrintsNothing) {
  Reporter r;
  r.as.reportError(static_cast<ErrorCode>(39), 1, "a.asm");
  r.as.reportError(static_cast<ErrorCode>(200), 1, "a.asm", "text", -1);
  EXPECT_EQ(r.out.str(), "");
  EXPECT_EQ(r.as.errorCount, 0);
}

TEST(ErrorReport, PendingErrorUsesItsTextOnlyWhenThereIsOne) {
  Reporter r;
  r.as.pass = 1;
  r.as.lastHeaderPass = 1;
  StatementRecord st;
  st.line = 4;
  r.as.files.emplace_back().name = "a.asm";
  (void)r.as.fail(ErrorCode::UndefinedLabel, "x");
  r.as.reportPending(st);
  (void)r.as.fail(ErrorCode::UndefinedLabel);
  r.as.reportPending(st);
  EXPECT_EQ(r.out.str(),
            "a.asm(4) : error 32: undefined label; 'x'\n"
            "a.asm(4) : error 32: undefined label; '%s'\n");
  EXPECT_TRUE(r.as.errorText.empty());
  EXPECT_TRUE(r.as.passFailed);
}

}  // namespace
}  // namespace zendra
