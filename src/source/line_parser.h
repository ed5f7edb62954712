// Line parser: one character-driven walk over a source line that fills a StatementRecord:
// label, mnemonic and addressing mode, pseudo-op or macro call, the operand trees, strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/error_table.h"
#include "source/statement_record.h"

namespace zendra {

class Assembler;

// Parse states; the numbers are the ones the parser's description uses.
enum class ParseState : uint8_t {
  LineStart = 0,
  WordStart = 1,
  InWord = 2,
  ExpressionStart = 4,
  TermStart = 5,
  ListAfterTerm = 6,
  StatementEnd = 7,
  AssignmentAfterTerm = 8,
  ListStart = 9,
  MacroArguments = 10,
  StringStart = 11,
  InString = 12,
  AfterMnemonic = 13,
  Comment = 14,
  HexNumber = 15,
  DecimalNumber = 16,
  BinaryNumber = 17,
  CharacterLiteral = 18,
  CharacterLiteralEnd = 19,
  ListSeparator = 20,
  IndexRegister = 22,
  AfterIndirectX = 23,
  AfterParenComma = 24,
  OperandAfterTerm = 25,
  AfterParen = 26,
  OperatorExpected = 27,
  ValueParameter = 28,
  TextParameter = 29,
  AfterA = 30,
  ControlCodeName = 32,
  RestIgnored = 38,
  StringThenList = 39,
  AfterIndex = 40,
};

// Deepest parenthesis nesting a line may hold.
constexpr size_t kMaxParenDepth = 1000;

class LineParser {
 public:
  explicit LineParser(Assembler& as) : as(as) {}

  // Parses one line into st; a final newline, or carriage return and newline, may be given or
  // not. On false, errorCode, errorText and errorColumn (from 0; the line's length when the
  // line end fails) say why; the statement keeps what was parsed.
  [[nodiscard]] bool parseLine(StatementRecord& st, ParseState initial, std::string_view line);

  ErrorCode errorCode = ErrorCode::Ok;
  std::string errorText;
  int32_t errorColumn = -1;
  // Every statement parsed keeps its text (and a StatementExtra); otherwise only those whose
  // line needs it later: pseudo-ops, macro calls, lists and `@n` lines.
  bool keepText = false;
  // Every statement gets a StatementExtra, for the addresses the symbol file reads; its text
  // only as above.
  bool keepExtra = false;
  // Lines of the commonest shapes are read in one go; off, every line goes through the state
  // machine (tests compare the two).
  bool commonShapes = true;
  bool readAsCommonShape = false;  // the last line took that way

 private:
  enum class Context : uint8_t {
    LabelOrMnemonic,
    PseudoOp,
    MacroCall,
    Assignment,
    Expression,
    List,
    GotoName
  };
  enum class Step : uint8_t { Consume, Refeed, Fail };

  Step step(char c, size_t index);
  // Reads a line of one of the common shapes into the statement, as the machine would; false,
  // with nothing changed, for any other line (line_shapes.cpp).
  bool parseCommonShape(std::string_view text);
  bool commonAssignment(std::string_view text, size_t at, std::string_view name);
  bool commonInstruction(std::string_view text, size_t at, const OpcodeEntry& entry);
  bool skipRun(std::string_view text, size_t& i);
  Step wordEnd(char c);
  Step operatorExpected(char c);
  Step finishNumber();
  Step afterParameter();
  Step endOperand();
  Step fail(ErrorCode code, std::string_view text = {});
  Step failAt(ErrorCode code, size_t column);
  void newRoot();
  void appendRoot();
  void finishList();
  void closeLevel();
  void attachExtra(StatementRecord& statement);
  void foldAssignment(NodeArena::Mark start);
  bool foldNumbers(const ExprNode* node, int32_t& value);
  void labelLeaf(std::string_view word);
  ParseState afterTerm() const;

  Assembler& as;
  StatementRecord* st = nullptr;
  StatementExtra extra;  // filled while parsing; copied to the statement when it keeps one
  std::string_view line;
  ParseState state = ParseState::LineStart;
  Context context = Context::LabelOrMnemonic;
  size_t wordStart = 0;
  size_t wordLength = 0;
  size_t stringStart = 0;
  size_t markColumn = 0;  // where a parameter or the `a` operand began
  uint32_t number = 0;
  uint32_t radix = 10;
  int digits = 0;
  Notation notation = Notation::None;
  int32_t forcedColumn = -1;
  ExprNode* current = nullptr;
  ExprNode** currentSlot = nullptr;
  std::vector<ExprNode**> levels;      // the slot holding the expression of each open level
  std::vector<ExprNode*> items;        // expressions of a list operand
  std::vector<const ExprNode*> spine;  // operators met while folding
};

}  // namespace zendra
