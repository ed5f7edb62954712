// Macros, segments, jumps and variables through whole assemblies: arguments by value and by
// text, scopes of expansions, `.include` inside an expansion, the nesting and expansion bounds,
// `.lbl`/`.goto` loops with their limit, and `.var`.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "support/assemble.h"

namespace zendra {
namespace {

using testing::assemble;
using testing::assembleToHex;
using testing::errorLines;

struct Case {
  std::string_view source;
  std::string_view expected;
};

constexpr std::string_view kLoad = "m .macro\n lda #\\1\n .endm\n";
constexpr std::string_view kText = "t .macro\n .text \"@1\"\n .endm\n";

void expectHex(std::string_view prefix, const Case& c) {
  SCOPED_TRACE(c.source);
  EXPECT_EQ(assembleToHex(std::string(prefix) + std::string(c.source) + "\n"), c.expected);
}

void expectErrors(std::string_view prefix, const Case& c) {
  SCOPED_TRACE(c.source);
  EXPECT_EQ(errorLines(assemble(std::string(prefix) + std::string(c.source) + "\n")), c.expected);
}

TEST(Macros, PassesArgumentsByValueAndByText) {
  const Case load[] = {
      {"#m 5", "a9 05"},
      {"#m \"A\"", "a9 c1"},  // a one-character string is its PETSCII code
      {"#m 2*3, 9", "a9 06"},
      {"#m <later\nlater nop", "a9 02 ea"},
  };
  for (const auto& c : load) expectHex(kLoad, c);
  const Case text[] = {
      {"#t \"hi\"", "48 49"},
      {"#t \"{white}x\"", "05 58"},  // verbatim inside quotes: the text form reads the code
      {"b .macro\n .byte @1\n .endm\n#b \"1+2\"", "03"},
      // Outside quotes the argument's control codes come back as the characters they encode.
      {"b .macro\n .byte @1\n .endm\n#b \"{$31}+1\"", "02"},
      {"p .macro\n .byte \\1, \\2\n .text \"@2@1\"\n .endm\n#p \"a\", \"b\"", "41 42 42 41"},
      {"w .macro\n .word \\1\n .endm\n#w later\nlater nop", "02 10 ea"},
  };
  for (const auto& c : text) expectHex(kText, c);
}

TEST(Macros, ReportsArgumentErrorsWhereTheyBelong) {
  const Case cases[] = {
      {" nop\n#m", "t.asm(5) : error 2: illegal parameter 1"},  // at the call line
      {"#m 1\n#m 1, 2\n#m ;comment", "t.asm(6) : error 5: missing operand at col 3"},
      {"#m \"AB\"", "t.asm(4) : error 2: illegal parameter 1"},
  };
  for (const auto& c : cases) expectErrors(kLoad, c);
  const Case text[] = {
      {"#t 5", "t.asm(2) : error 16: unknown"},  // a number has no text: `.text ""`
      {"l .macro\n lda @1\n .endm\n#l \"#\"", "t.asm(7) : error 5: missing operand"},
  };
  for (const auto& c : text) expectErrors(kText, c);
}

TEST(Macros, GivesEachMacroExpansionItsOwnScope) {
  const Case hex[] = {
      {"m .macro\nl nop\n jmp l\n .endm\n#m\n#m", "ea 4c 00 10 ea 4c 04 10"},
      {"w .macro\n .word *\n .endm\n#w\n#w", "00 10 02 10"},
      {"x nop\n#x", "ea"},  // an ordinary label expands to nothing
      {"s .segment\nl nop\n .endm\n#s\n jmp l", "ea 4c 00 10"},  // a segment's labels stay
  };
  for (const auto& c : hex) expectHex("", c);
  const Case errors[] = {
      {"s .segment\nl nop\n .endm\n#s\n#s",
       "t.asm(2) : error 26: double defined; \"l\" previously defined at line 2"},
      {"#m\nm .macro\n .endm", "t.asm(1) : error 6: missing label"},
      {" .if 0\nm .macro\n .endm\n .endif\n#m", "t.asm(5) : error 6: missing label"},
  };
  for (const auto& c : errors) expectErrors("", c);
}

TEST(Macros, FailsTheBuildOnAnErrorInsideAnExpansion) {
  testing::Assembly a = assemble("m .macro\n .byte 300\n .byte 1\n .endm\n#m\n .byte 2\n");
  EXPECT_EQ(errorLines(a), "t.asm(2) : error 34: illegal quantity; {300}");
  EXPECT_EQ(a.exitStatus, 1);
  EXPECT_EQ(a.files.count("t.prg"), 0u);
}

// A generated source: `.lbl` top, `body`, and a counter that jumps back `jumps` times.
std::string loop(std::string_view body, int jumps) {
  return "c .var 0\ntop .lbl\n" + std::string(body) + "c .var c+1\n .if c/" +
         std::to_string(jumps + 1) + "-1\n .goto top\n .endif\n .byte 1\n";
}

TEST(Macros, BoundsNestingAndExpansionsWithOneError) {
  const Case cases[] = {
      {"r .macro\n nop\n #r\n .endm\n#r", "t.asm(3) : error 17: nested macro"},
      {"r .macro\n #r\n #r\n .endm\n#r", "t.asm(2) : error 17: nested macro"},
      {"r .macro\n #q\n .endm\nq .macro\n #r\n .endm\n#r", "t.asm(5) : error 17: nested macro"},
  };
  for (const auto& c : cases) expectErrors("", c);
  // Sixteen calls a turn: 62,500 turns make exactly 1,000,000 expansions, one more turn fails.
  std::string calls;
  for (int i = 0; i < 16; ++i) calls += " #e\n";
  const std::string empty = "e .macro\n .endm\n";
  EXPECT_EQ(assembleToHex(empty + loop(calls, 62499)), "01");
  EXPECT_EQ(errorLines(assemble(empty + loop(calls, 62500))), "t.asm(5) : error 17: nested macro");
}

TEST(Macros, NestedCallsSeeTheirOwnArguments) {
  const Case cases[] = {
      {"r .macro\n .byte \\1\n .endm\nq .macro\n #r \\1-1\n #r \\1+1\n .byte \\1\n .endm\n#q 3",
       "02 04 03"},
      {"r .macro\n .if \\1\n #r \\1-1\n .byte \\1\n .endif\n .endm\n#r 3", "01 02 03"},
  };
  for (const auto& c : cases) expectHex("", c);
}

TEST(Macros, ReadsAnIncludeInsideAnExpansion) {
  const std::string source =
      "i .macro\n .include \"@1\"\n .byte $ee\n .endm\n"
      "#i \"part.asm\"\n#i \"part.asm\"\n .byte $ff\n";
  // The included file leaves a conditional open: its end closes it, not the main file.
  testing::Assembly a = assemble(source, {}, {{"part.asm", " .byte 1\n .if 1\n .byte 2\n"}});
  EXPECT_EQ(errorLines(a), "");
  EXPECT_EQ(a.imageHex(), "01 02 ee 01 02 ee ff");
  const Case errors[] = {
      {"#i \"nofile.asm\"\n .byte 2", "t.asm(5) : error 18: file does not exist: 'nofile.asm'"},
      {"#i \" \"\n .byte 2", "t.asm(2) : error 10: filename missing"},
  };
  for (const auto& c : errors) expectErrors("i .macro\n .include \"@1\"\n .byte 1\n .endm\n", c);
}

TEST(Jumps, RunLoopsBackwardToALabelOrAssignment) {
  const Case cases[] = {
      {"c .var 0\ntop .lbl\n .byte c\nc .var c+1\n .if c-5\n .goto top\n .endif", "00 01 02 03 04"},
      {"n .var 0\ntop .lbl\n .word *\nn .var n+1\n .ifne n-3\n .goto top\n .endif",
       "00 10 02 10 04 10"},
      {"n .var 0\nback = 1\nn .var n+1\n .if n-3\n .goto back\n .endif\n .byte n", "03"},
      // A loop inside a body, run by two calls.
      {"m .macro\nk .var 0\nt .lbl\n .byte k\nk .var k+1\n .if k-\\1\n .goto t\n .endif\n .endm\n"
       "#m 3\n#m 2",
       "00 01 02 00 01"},
      // A jump out of an expansion to the list that holds the call.
      {"n .var 0\nm .macro\nn .var n+1\n .if n-3\n .goto top\n .endif\n .byte $ee\n .endm\n"
       "top .lbl\n .byte n\n#m",
       "00 01 02 ee"},
      // A call re-expanded by a loop, whose body loops too: pass 2 jumps within its copies.
      {"m .macro\nk .var 0\nt .lbl\n .byte k\nk .var k+1\n .if k-2\n .goto t\n .endif\n .endm\n"
       "n .var 0\ntop .lbl\n #m\nn .var n+1\n .if n-2\n .goto top\n .endif",
       "00 01 00 01"},
      {"m .macro\nk .var 0\nt .lbl\n .byte k+\\1\nk .var k+1\n .if k-2\n .goto t\n .endif\n .endm\n"
       "w .macro\n #m @1\n .endm\n#w \"1\"\n#w \"5\"",
       "01 02 05 06"},
  };
  for (const auto& c : cases) expectHex("", c);
}

TEST(Jumps, ReportsTargetsNoListHoldsAndTheJumpLimit) {
  const Case cases[] = {
      {"x nop\n .goto x", "t.asm(2) : error 6: missing label"},
      {"v .var 1\n .goto v", "t.asm(2) : error 6: missing label"},
      {" .goto fwd\nfwd .lbl", "t.asm(1) : error 6: missing label"},
      {" .goto nowhere", "t.asm(1) : error 6: missing label"},
      {"top .lbl\n .goto top", "t.asm(2) : error 15: too many .goto"},
  };
  for (const auto& c : cases) expectErrors("", c);
  EXPECT_EQ(assembleToHex(loop("", 65536)), "01");
  EXPECT_EQ(errorLines(assemble(loop("", 65537))), "t.asm(5) : error 15: too many .goto");
}

TEST(Jumps, FindTheirTargetInALargeSource) {
  EXPECT_EQ(assembleToHex(std::string(1000000, '\n') + loop("", 65536)), "01");
}

TEST(Variables, KeepTheLastValueInExecutionOrder) {
  const Case cases[] = {
      {"v .var 1\n .byte v\nv .var v+1\n .byte v", "01 02"},
      {" .block\nv .var 7\n .bend\n .byte v", "07"},
      {" .word v\nv .var 5", "05 00"},  // pass 2 starts with pass 1's last value
      {"x nop\nx .var 3\n .byte x", "ea 03"},
      {"m .macro\nv .var \\1\n .endm\n#m 4\n .byte v", "04"},
  };
  for (const auto& c : cases) expectHex("", c);
  expectErrors("", {" .var 1", "t.asm(1) : error 6: missing label"});
}

}  // namespace
}  // namespace zendra
