// Line parser: the shape each source line parses to (label, mnemonic and mode, pseudo-op, macro
// call, operand trees, string), or the error code and column at which it stops.
#include "source/line_parser.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "driver/assembler.h"
#include "expr/evaluator.h"
#include "support/assemble.h"

namespace zendra {
namespace {

// clang-format off
constexpr std::string_view kModeNames[] = {"imm", "zp",   "zpx",  "zpy", "abs", "absx", "absy",
                                           "ind", "indx", "indy", "acc", "rel", "impl", "unset"};

constexpr std::string_view kPseudoOpNames[] = {
    "bend",  "binary", "block",  "bounce", "byte",  "end",    "endif", "endm",    "eor",
    "goto",  "hidemac", "if",    "ifeq",   "ifne",  "ifmi",   "ifpl",  "include", "lbl",
    "macro", "null",   "offs",   "proff",  "pron",  "rta",    "segment", "shift", "screen",
    "showmac", "text", "var",    "word",   "ifdef", "ifndef", "repeat"};
// clang-format on

std::string pseudoOpName(PseudoOp id) {
  for (std::string_view name : kPseudoOpNames)
    if (const PseudoOpEntry* entry = lookupPseudoOp(name); entry != nullptr && entry->id == id)
      return std::string(name);
  return "?";
}

// render() shows parameters and strings as blanks; name them so the table can tell them apart.
std::string expression(const ExprNode* node) {
  switch (node->kind) {
    case ExprKind::ParamValue: return "\\" + std::to_string(node->value);
    case ExprKind::ParamText: return "@" + std::to_string(node->value);
    case ExprKind::String: return "\"" + std::string(node->text()) + "\"";
    default: return render(node);
  }
}

std::string shape(const StatementRecord& st) {
  std::string out;
  auto add = [&out](const std::string& part) { out += (out.empty() ? "" : " | ") + part; };
  if (st.needsSubstitution()) add("substitute");
  if (st.hasLabel()) add("label " + std::string(labelInText(st.rawText())));
  if (st.setPc) add("*=");
  if (st.mnemonic() != nullptr)
    add(std::string(st.mnemonic()->name) + " " +
        std::string(kModeNames[static_cast<int>(st.mode)]));
  if (st.pseudoOp != PseudoOp::None) add("." + pseudoOpName(st.pseudoOp));
  if (st.macro() != nullptr) add("#" + std::string(st.macro()->name));
  if (st.operandCount() > 0) {
    std::string items;
    for (uint32_t i = 0; i < st.operandCount(); ++i)
      items += (i == 0 ? "" : ", ") + expression(st.listItem(i));
    add("list " + items);
  } else if (st.operand != nullptr && st.operand->hasOperand) {
    add("operand " + expression(st.operand));
  }
  if (!st.stringOperand().empty()) add("string \"" + std::string(st.stringOperand()) + "\"");
  return out;
}

// Parses a line into a fresh statement: its shape, or "error N at C" ("error N 'text' at C").
std::string parse(LineParser& parser, std::string_view line,
                  ParseState initial = ParseState::LineStart) {
  StatementRecord st;
  parser.keepText = true;  // the shape shows the label as written
  if (parser.parseLine(st, initial, line)) return shape(st);
  std::string error = "error " + std::to_string(static_cast<int>(parser.errorCode));
  if (!parser.errorText.empty()) error += " '" + parser.errorText + "'";
  return error + " at " + std::to_string(parser.errorColumn);
}

struct ParseCase {
  std::string_view line;
  std::string_view shape;
};

// clang-format off
constexpr ParseCase kLineCases[] = {
  {"",                      ""},
  {"   \t",                 ""},
  {"; only a comment",      ""},
  {"  nop ; clear",         "nop impl"},
  // Labels: the first word unless it is a mnemonic; a second word must be one.
  {"loop",                  "label loop"},
  {"loop:",                 "error 23 at 4"},
  {"loop nop",              "label loop | nop impl"},
  {"Loop_2 RTS",            "label Loop_2 | rts impl"},
  {"loop foo",              "error 3 at 8"},
  {"loop nop nop",          "label loop | nop zp | operand nop"},  // the encoder rejects it
  // Assignments and the program counter.
  {"= 5",                   "error 6 at 0"},
  {"x = 5",                 "label x | operand 5"},
  {"x=5 ; five",            "label x | operand 5"},
  {"x = *",                 "label x | operand *"},
  {"x = (5",                "error 31 at 6"},
  {"x = 5)",                "error 16 at 5"},
  {"x = 5 6",               "error 5 at 6"},
  {"*=$1000",               "*= | operand $1000"},
  {"* = $1000",             "*= | operand $1000"},
  {"start *=$1000",         "label start | *= | operand $1000"},
  {"**=1",                  "error 4 at 1"},
  // Addressing modes.
  {"lda",                   "error 8 at 3"},
  {"lda ; nothing",         "error 8 at 4"},
  {"LDA #1",                "lda imm | operand 1"},
  {"asl",                   "asl acc"},
  {"asl a",                 "asl acc"},
  {"asl A ; shift",         "asl acc"},
  {"lda a",                 "lda zp | operand a"},
  {"asl ab",                "asl zp | operand ab"},
  {"asl a+1",               "asl zp | operand a + 1"},
  {"lda $12,X",             "lda zpx | operand $12"},
  {"ldx $12 , Y",           "ldx zpy | operand $12"},
  {"lda !$12",              "lda zp | operand !$0012"},   // `!` widens it when encoded
  {"lda !$12,y",            "lda absy | operand !$0012"},
  {"lda ($12,x)",           "lda indx | operand $12"},
  {"lda ( $12 ) , y",       "lda indy | operand $12"},
  {"jmp ($1234)",           "jmp ind | operand $1234"},
  {"jmp $12",               "jmp abs | operand $12"},
  {"jsr !$12",              "jsr abs | operand !$0012"},
  {"bne *",                 "bne rel | operand *"},
  {"loop lda table,x",      "label loop | lda zpx | operand table"},
  {"lda ($12",              "error 31 at 8"},
  {"lda ($12,x",            "error 31 at 10"},
  {"lda ($12,y)",           "error 8 at 9"},
  {"lda ($12),x",           "error 8 at 10"},
  {"lda ($12)",             "error 8 at 9"},
  {"lda $12,z",             "error 7 at 8"},
  {"lda $12,xy",            "error 23 at 9"},
  {"lda 5)",                "error 8 at 5"},
  {"lda #5)",               "error 8 at 6"},
  {"lda (1+(2,x)",          "error 31 at 9"},
  {"lda $12 $13",           "error 34 '$12$' at 8"},
  // Expressions: strictly left to right, no unary minus.
  {"lda #-1",               "error 5 at 5"},
  {"lda #0-1",              "lda imm | operand 0 - 1"},
  {"lda #1+2*3",            "lda imm | operand (1 + 2) * 3"},
  {"lda #2*(3+4)",          "lda imm | operand 2 * (3 + 4)"},
  {"lda #<$1234+1",         "lda imm | operand <$1234 + 1"},
  {"lda **2",               "lda zp | operand * * 2"},
  {"lda #1+",               "error 5 at 7"},
  {"lda #$",                "error 23 at 6"},
  {"lda #%2",               "error 23 at 6"},
  {"lda #\"",               "error 9 at 6"},
  {"lda #\"ab\"",           "error 9 at 7"},
  {"lda #\"{ab",            "error 28 at 9"},
  // Macro parameters.
  {"lda \\1,y",             "lda zpy | operand \\1"},
  {"lda \\12",              "lda zp | operand \\12"},
  {"lda (\\1),y",           "lda indy | operand \\1"},
  {"lda \\x",               "error 23 at 4"},
  {"lda @",                 "error 23 at 4"},
  {"@x",                    "error 23 at 0"},
  {"lda @1,x",              "substitute | operand @1"},
  {"label .byte @12",       "substitute | operand @1"},
  {"lda #1 ; @1",           "lda imm | operand 1"},
  // Pseudo-ops.
  {".text abc",             "error 9 at 6"},
  {".text \"abc\"",         ".text | string \"abc\""},
  {".TEXT  \"a;b\" ; c",    ".text | string \"a;b\""},
  {".text \"abc",           "error 9 at 10"},
  {".text \"abc\" x",       "error 23 at 12"},
  {".foo",                  "error 1 'foo' at 4"},
  {".byte 1,2,(3",          "error 31 at 12"},
  {".byte 1,",              "error 5 at 8"},
  {".byte 1,2 3",           "error 29 at 10"},
  {".byte 1)",              "error 16 at 7"},
  {".byte (1+2)*3, 4",      ".byte | list (1 + 2) * 3, 4"},
  {".byte \"a\",$ff,%101",  ".byte | list 'A', $ff, %000000101"},
  {".byte \"",              "error 9 at 7"},
  {".macro",                "error 6 at 6"},
  {"m .macro",              "label m | .macro"},
  {".goto here",            ".goto | operand here"},
  {".goto",                 "error 6 at 5"},
  {".binary \"f.bin\",2",   ".binary | list \"f.bin\", 2"},
  {"#m 1,\"ab\"",           "#m | list 1, \"ab\""},
  {"#m ; no arguments",     "error 5 at 3"},  // a call's first character starts its arguments
  // Line ends: a newline may be given or not, and a carriage return before it is a line end.
  {"nop\n",                 "nop impl"},
  {"nop\r\n",               "nop impl"},
  {"asl a\r",               "asl acc"},
  {"x = 5\r\n",             "label x | operand 5"},
  {"*=$1000\r\n",           "*= | operand $1000"},
  {".text \"ab\"\r\n",      ".text | string \"ab\""},
  {"lda #1\r ; one",        "lda imm | operand 1"},
  {"lda ($12\r\n",          "error 31 at 8"},
  {"lda #\"\r\n",           "error 9 at 6"},
};
// clang-format on

TEST(LineParser, ParsesEachLineShapeOrFailsAtItsColumn) {
  std::ostringstream out;
  Assembler as(RunSettings{}, out);
  LineParser parser(as);  // one parser for every line, as the loader uses it
  for (const auto& c : kLineCases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(parse(parser, c.line), c.shape);
  }
}

TEST(LineParser, ParsesCommandLineValuesAsOperands) {
  std::ostringstream out;
  Assembler as(RunSettings{}, out);
  LineParser parser(as);
  EXPECT_EQ(parse(parser, "5", ParseState::ExpressionStart), "operand 5");
  EXPECT_EQ(parse(parser, "$10+size", ParseState::ExpressionStart), "operand $10 + size");
  EXPECT_EQ(parse(parser, "", ParseState::ExpressionStart), "");
  EXPECT_EQ(parse(parser, "-1", ParseState::ExpressionStart), "error 5 at 0");
}

// An excluded instruction set still names mnemonics: the line fails at the mnemonic.
TEST(LineParser, RejectsMnemonicsOfExcludedSetsAtTheirColumn) {
  struct ClassCase {
    uint8_t allowed;
    std::string_view line;
    std::string_view shape;
  };
  constexpr uint8_t kNoUndoc = kDoc | kDtv;
  constexpr uint8_t kNoDtv = kDoc | kUndoc;
  // clang-format off
  constexpr ClassCase kCases[] = {
    {kNoUndoc, "lax #1",       "error 3 at 0"},
    {kNoUndoc, "loop lax #1",  "error 3 at 5"},
    {kNoUndoc, "lax = 1",      "error 3 at 0"},
    {kNoUndoc, "bra *",        "bra rel | operand *"},
    {kNoDtv,   "  BRA *",      "error 3 at 2"},
    {kNoDtv,   "sac #1",       "error 3 at 0"},
    {kNoDtv,   "lax #1",       "lax imm | operand 1"},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    RunSettings settings;
    settings.allowedClasses = c.allowed;
    std::ostringstream out;
    Assembler as(settings, out);
    LineParser parser(as);
    EXPECT_EQ(parse(parser, c.line), c.shape);
  }
}

TEST(LineParser, NestsParenthesesDeeplyAndFailsCleanlyBeyond) {
  std::ostringstream out;
  Assembler as(RunSettings{}, out);
  LineParser parser(as);
  auto nested = [](std::string_view head, size_t depth) {
    return std::string(head) + std::string(depth, '(') + "1" + std::string(depth, ')');
  };
  EXPECT_EQ(parse(parser, nested(".byte ", 1000)), ".byte | list 1");
  EXPECT_EQ(parse(parser, nested("lda #", 1000)), "lda imm | operand 1");
  EXPECT_EQ(parse(parser, nested("x = ", 1000)), "label x | operand 1");
  EXPECT_EQ(parse(parser, nested(".byte ", 100000)), "error 31 at 1006");
  EXPECT_EQ(parse(parser, "nop"), "nop impl");  // the parser is usable after the failure
}

TEST(LineParser, AssemblesCrLfSourcesLikeLfSources) {
  const std::string lf =
      "x = 5\n*=$1000\nstart nop\n asl a\n lda #x ; load\n .text \"ab\"\n bne start\n";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(testing::assembleToHex(lf), "ea 0a a9 05 41 42 d0 f8");
  EXPECT_EQ(testing::assembleToHex(crlf), "ea 0a a9 05 41 42 d0 f8");
}

}  // namespace
}  // namespace zendra
