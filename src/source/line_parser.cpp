// The parse state machine. Each character is handed to the current state, which consumes it,
// hands it on to the state it moves to (re-feed), or fails at its column.
#include "source/line_parser.h"

#include <cstring>

#include "driver/assembler.h"
#include "expr/evaluator.h"
#include "source/char_classes.h"
#include "text/control_codes.h"
#include "text/petscii.h"

namespace zendra {
namespace {

using S = ParseState;
using M = AddressingMode;

bool isWhite(char c) { return isBlank(c) || c == '\n'; }
bool isIdentStart(char c) { return isLetter(c) || c == '_' || c == '*'; }
bool isLineEnd(char c) { return c == '\n' || c == ';'; }

// Where `@` and a digit stand before the first `;`: the line is a macro-body placeholder.
// Lines are short, so one plain loop beats searching twice.
size_t findTextParameter(std::string_view line) {
  size_t end = line.size();
  for (size_t i = 0; i < end; ++i) {
    char c = line[i];
    if (c == ';') break;
    if (c == '@' && i + 1 < end && isDigit(line[i + 1])) return i;
  }
  return std::string_view::npos;
}

}  // namespace

// The states that only stay put on a blank.
constexpr bool blankStays(ParseState state) {
  switch (state) {
    case S::LineStart:
    case S::WordStart:
    case S::ExpressionStart:
    case S::TermStart:
    case S::StatementEnd:
    case S::AssignmentAfterTerm:
    case S::MacroArguments:
    case S::StringStart:
    case S::AfterMnemonic:
    case S::ListSeparator:
    case S::IndexRegister:
    case S::AfterIndirectX:
    case S::AfterParenComma:
    case S::OperandAfterTerm:
    case S::AfterParen:
    case S::OperatorExpected:
    case S::AfterIndex: return true;
    default: return false;
  }
}

// Fast paths for the runs of characters that only repeat one step: blanks where they change
// nothing, the letters of a word, the digits of a number, the body of a string, and the rest of
// a line that is a comment. Moves i to the last character of the run and returns true when it
// took the character at i; the machine itself handles everything else.
bool LineParser::skipRun(std::string_view text, size_t& i) {
  char c = text[i];
  size_t end = text.size();
  switch (state) {
    case S::Comment:
    case S::RestIgnored: i = end; return true;
    case S::InWord: {
      if (!isIdentChar(c)) return false;
      size_t j = i + 1;
      while (j < end && isIdentChar(text[j])) ++j;
      wordLength += j - i;
      i = j - 1;
      return true;
    }
    case S::HexNumber:
    case S::DecimalNumber:
    case S::BinaryNumber: {
      size_t j = i;
      for (int d; j < end && (d = digitValue(text[j], radix)) >= 0; ++j) {
        number = number * radix + static_cast<uint32_t>(d);
        ++digits;
      }
      if (j == i) return false;
      i = j - 1;
      return true;
    }
    case S::InString: {
      if (c == '"') return false;
      const void* quote = std::memchr(text.data() + i, '"', end - i);
      i = quote == nullptr ? end - 1
                           : static_cast<size_t>(static_cast<const char*>(quote) - text.data()) - 1;
      return true;
    }
    default: {
      if (!isBlank(c) || !blankStays(state)) return false;
      while (i + 1 < end && isBlank(text[i + 1])) ++i;
      return true;
    }
  }
}

bool LineParser::parseLine(StatementRecord& statement, ParseState initial, std::string_view text) {
  st = &statement;
  errorCode = ErrorCode::Ok;
  errorText.clear();
  errorColumn = -1;
  // A newline ends every line that has characters; a final newline (and a carriage return
  // before it) is that one, so it is fed once, by the loop below.
  bool feedsNewline = !text.empty();
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  // The common shapes hold no `@`, so no line that needs substitution takes this way.
  extra = StatementExtra{};
  extra.text = text.data();
  extra.textLength = static_cast<uint32_t>(text.size());
  readAsCommonShape = initial == S::LineStart && commonShapes && parseCommonShape(text);
  if (readAsCommonShape) {
    attachExtra(statement);
    return true;
  }

  state = initial;
  context = initial == S::ExpressionStart ? Context::Expression : Context::LabelOrMnemonic;
  wordLength = 0;
  forcedColumn = -1;
  levels.clear();
  items.clear();
  current = nullptr;
  currentSlot = nullptr;
  NodeArena::Mark start = as.nodes.mark();
  line = text;

  size_t begin = 0;
  size_t at = findTextParameter(text);
  if (at != std::string_view::npos) {
    begin = at;
    extra.needsSubstitution = true;
  }
  bool ok = true;
  size_t length = text.size();
  for (size_t i = begin; ok && i <= length; ++i) {
    if (i == length && !feedsNewline) break;
    if (i < length && skipRun(text, i)) continue;
    char c = i < length ? text[i] : '\n';
    Step result;
    do {
      result = step(c, i);
    } while (result == Step::Refeed);
    if (result == Step::Fail) {
      errorColumn = forcedColumn >= 0 ? forcedColumn : static_cast<int32_t>(i);
      ok = false;
    }
  }
  finishList();
  if (ok) foldAssignment(start);
  attachExtra(statement);
  return ok;
}

// The parsed StatementExtra, with the line's text, when the line needs it later or every text
// is kept; one with the addresses alone when only those are kept; else none.
void LineParser::attachExtra(StatementRecord& statement) {
  if (keepText || statement.pseudoOp != PseudoOp::None || extra.macro != nullptr ||
      extra.operandCount > 0 || extra.needsSubstitution)
    statement.extra = as.newExtra(extra);
  else if (keepExtra)
    statement.extra = as.newExtra(StatementExtra{});
}

// An assignment's operand is only ever evaluated, never shown in a message, so a tree of
// numbers alone is kept as the one number it always gives; its nodes are given back.
void LineParser::foldAssignment(NodeArena::Mark start) {
  const ExprNode* root = st->operand;
  if (root == nullptr || !isOperator(root->kind) || st->mnemonicIndex != st->kNoMnemonic ||
      st->pseudoOp != PseudoOp::None || extra.macro != nullptr || extra.operandCount > 0)
    return;
  int32_t value = 0;
  if (!foldNumbers(root, value)) return;
  ExprNode folded;
  folded.kind = ExprKind::Number;
  folded.notation = Notation::Decimal;
  folded.forceWord = root->forceWord;
  folded.lowByte = root->lowByte;
  folded.highByte = root->highByte;
  folded.hasOperand = true;
  folded.value = value;
  as.nodes.rewind(start);
  ExprNode* node = as.nodes.make();
  *node = folded;
  st->operand = node;
}

// The value of a tree of numbers and operators, as evaluation gives it; false when it holds
// anything else. Left spines are walked in a loop; right operands nest only as deep as the
// parentheses a line may hold.
bool LineParser::foldNumbers(const ExprNode* node, int32_t& value) {
  size_t base = spine.size();
  while (node != nullptr && isOperator(node->kind)) {
    spine.push_back(node);
    node = node->left();
  }
  bool ok = node != nullptr && node->kind == ExprKind::Number;
  if (ok) value = node->value;
  while (ok && spine.size() > base) {
    const ExprNode* op = spine.back();
    spine.pop_back();
    const ExprNode* operand = op->right();
    int32_t right = 0;
    if (operand != nullptr && operand->kind == ExprKind::Number)
      right = operand->value;  // the usual case, without a call
    else
      ok = foldNumbers(operand, right);
    value = applyOperator(op->kind, value, right);
  }
  spine.resize(base);
  return ok;
}

LineParser::Step LineParser::fail(ErrorCode code, std::string_view text) {
  errorCode = code;
  errorText.assign(text.data(), text.size());
  return Step::Fail;
}

LineParser::Step LineParser::failAt(ErrorCode code, size_t column) {
  forcedColumn = static_cast<int32_t>(column);
  return fail(code);
}

void LineParser::newRoot() {
  ExprNode* node = as.nodes.make();
  if (st->mode == M::Absolute) node->forceWord = true;
  st->operand = node;
  levels.clear();
  levels.push_back(&st->operand);
  current = node;
  currentSlot = &st->operand;
}

void LineParser::appendRoot() {
  if (st->operand != nullptr) items.push_back(st->operand);
}

void LineParser::finishList() {
  if (items.empty()) return;
  extra.operandList = as.nodes.makeList(items.size());
  for (size_t i = 0; i < items.size(); ++i) extra.operandList[i] = items[i];
  extra.operandCount = static_cast<uint32_t>(items.size());
  items.clear();
}

void LineParser::labelLeaf(std::string_view word) {
  uint32_t id = as.internName(word);
  current->setLabel(id, as.spellingOf(word, id));
  current->hasOperand = true;
}

void LineParser::closeLevel() {
  currentSlot = levels.back();
  levels.pop_back();
}

ParseState LineParser::afterTerm() const {
  if (context == Context::List) return S::ListAfterTerm;
  if (context == Context::Assignment) return S::AssignmentAfterTerm;
  return S::OperandAfterTerm;
}

LineParser::Step LineParser::finishNumber() {
  if (digits == 0) return fail(ErrorCode::BadLine);
  current->kind = ExprKind::Number;
  current->notation = notation;
  current->value = static_cast<int32_t>(number);
  current->hasOperand = true;
  state = afterTerm();
  return Step::Refeed;
}

LineParser::Step LineParser::afterParameter() {
  if (digits == 0) return failAt(ErrorCode::BadLine, markColumn);
  current->value = static_cast<int32_t>(number);
  current->hasOperand = true;
  state = afterTerm();
  return Step::Refeed;
}

LineParser::Step LineParser::endOperand() {
  if (st->mode == M::Indirect || levels.size() > 1) return fail(ErrorCode::MissingParenthesis);
  if (st->mode == M::Unset) st->mode = M::ZeroPage;
  if (const OpcodeEntry* entry = st->mnemonic()) st->mode = finishMode(*entry, st->mode);
  state = S::Comment;
  return Step::Consume;
}

LineParser::Step LineParser::operatorExpected(char c) {
  if (c == '\n') return fail(ErrorCode::MissingOperand);
  if (isBlank(c)) return Step::Consume;
  if (c == ')') {
    if (levels.size() <= 1) return fail(ErrorCode::Unknown);
    closeLevel();
    state = context == Context::Assignment ? S::AssignmentAfterTerm : S::OperandAfterTerm;
    return Step::Consume;
  }
  int kind = operatorKind(c);
  if (kind < 0) return fail(ErrorCode::MissingOperand);
  ExprNode** slot = levels.back();
  ExprNode* left = *slot;
  OperatorNode* node = as.nodes.makeOperator();
  node->kind = static_cast<ExprKind>(kind);
  node->forceWord = left->forceWord;
  node->lowByte = left->lowByte;
  node->highByte = left->highByte;
  node->hasOperand = true;
  node->leftChild = left;
  node->rightChild = as.nodes.make();
  *slot = node;
  current = node->rightChild;
  currentSlot = &node->rightChild;
  state = S::TermStart;
  return Step::Consume;
}

LineParser::Step LineParser::wordEnd(char c) {
  std::string_view word = line.substr(wordStart, wordLength);
  switch (context) {
    case Context::LabelOrMnemonic: {
      if (const OpcodeEntry* entry = findMnemonic(word)) {
        // An excluded instruction set still names a mnemonic: never a label.
        if ((entry->classes & as.settings.allowedClasses) == 0)
          return failAt(ErrorCode::IllegalMnemonic, wordStart);
        st->setMnemonic(entry);
        state = S::AfterMnemonic;
        return Step::Refeed;
      }
      state = S::LineStart;
      if (c == '*') {
        if (st->setPc) return fail(ErrorCode::MissingMnemonic);
        if (!word.empty()) {
          if (st->hasLabel()) return fail(ErrorCode::IllegalMnemonic);
          st->labelId = as.internName(word);
        }
        st->setPc = true;
        return Step::Consume;
      }
      if (st->hasLabel()) return fail(ErrorCode::IllegalMnemonic);
      st->labelId = as.internName(word);
      return Step::Refeed;
    }
    case Context::PseudoOp: {
      const PseudoOpEntry* entry = lookupPseudoOp(word);
      if (entry == nullptr) return fail(ErrorCode::IllegalPseudoOp, word);
      st->pseudoOp = entry->id;
      if (entry->id == PseudoOp::Macro && !st->hasLabel()) return fail(ErrorCode::MissingLabel);
      switch (entry->form) {
        case OperandForm::None: state = S::StatementEnd; break;
        case OperandForm::Expression: state = S::ExpressionStart; break;
        case OperandForm::ExpressionList:
          state = S::ListStart;
          context = Context::List;
          break;
        case OperandForm::String: state = S::StringStart; break;
        case OperandForm::Name:
          state = S::WordStart;
          context = Context::GotoName;
          newRoot();
          break;
        case OperandForm::StringThenList: state = S::StringThenList; break;
      }
      return Step::Refeed;
    }
    case Context::MacroCall: {
      MacroRecord* call = as.newMacro();
      call->name = word;
      call->nameId = as.internName(word);
      extra.macro = call;
      state = S::MacroArguments;
      return Step::Refeed;
    }
    case Context::GotoName:
      labelLeaf(word);
      state = S::StatementEnd;
      return Step::Refeed;
    case Context::Expression:
    case Context::List:
    case Context::Assignment:
      state = context == Context::Expression ? S::OperandAfterTerm : S::ListAfterTerm;
      current->hasOperand = true;
      if (word.empty() && c == '*') {
        current->kind = ExprKind::ProgramCounter;
        current->value = kInitialPc;  // evaluation hands the real one in
        return Step::Consume;
      }
      labelLeaf(word);
      return Step::Refeed;
  }
  return Step::Fail;
}

LineParser::Step LineParser::step(char c, size_t index) {
  switch (state) {
    case S::LineStart:
      if (c == ';') {
        state = S::Comment;
      } else if (isWhite(c)) {
      } else if (c == '#') {
        state = S::WordStart;
        context = Context::MacroCall;
      } else if (c == '.') {
        state = S::WordStart;
        context = Context::PseudoOp;
      } else if (c == '=') {
        if (!st->hasLabel() && !st->setPc) return fail(ErrorCode::MissingLabel);
        state = S::ExpressionStart;
        context = Context::Assignment;
      } else if (c == '@') {
        newRoot();
        current->kind = ExprKind::ParamText;
        markColumn = index;
        number = 0;
        digits = 0;
        state = S::TextParameter;
      } else if (isIdentStart(c)) {
        state = S::WordStart;
        context = Context::LabelOrMnemonic;
        return Step::Refeed;
      } else {
        return fail(ErrorCode::BadLine);
      }
      return Step::Consume;

    case S::WordStart:
      if (c == '\n') return fail(ErrorCode::MissingLabel);
      if (isBlank(c)) return Step::Consume;
      if (c == '*') {
        state = S::InWord;
        wordStart = index;
        wordLength = 0;
        return wordEnd(c);
      }
      if (!isIdentStart(c)) return fail(ErrorCode::MissingLabel);
      state = S::InWord;
      wordStart = index;
      wordLength = 1;
      return Step::Consume;

    case S::InWord:
      if (isIdentChar(c)) {
        ++wordLength;
        return Step::Consume;
      }
      return wordEnd(c);

    case S::ExpressionStart:
      if (c == '\n') return fail(ErrorCode::MissingOperand);
      if (isBlank(c)) return Step::Consume;
      newRoot();
      state = S::TermStart;
      if (c == '!') {
        current->forceWord = true;
      } else if (c == '<') {
        current->lowByte = true;
      } else if (c == '>') {
        current->highByte = true;
      } else {
        return Step::Refeed;
      }
      return Step::Consume;

    case S::TermStart:
      if (c == '"') {
        stringStart = index + 1;
        bool inCall = context == Context::List && extra.macro != nullptr;  // a string argument
        state = inCall ? S::InString : S::CharacterLiteral;
        return Step::Consume;
      }
      if (c == '$' || c == '%') {
        radix = c == '$' ? 16 : 2;
        notation = c == '$' ? Notation::Hex : Notation::Binary;
        state = c == '$' ? S::HexNumber : S::BinaryNumber;
        number = 0;
        digits = 0;
        return Step::Consume;
      }
      if (c == '(') {
        if (levels.size() > kMaxParenDepth) return fail(ErrorCode::MissingParenthesis);
        levels.push_back(currentSlot);
        return Step::Consume;
      }
      if (c == '@' || c == '\\') {
        current->kind = c == '@' ? ExprKind::ParamText : ExprKind::ParamValue;
        markColumn = index;
        number = 0;
        digits = 0;
        state = c == '@' ? S::TextParameter : S::ValueParameter;
        return Step::Consume;
      }
      if (isDigit(c)) {
        radix = 10;
        notation = Notation::Decimal;
        number = 0;
        digits = 0;
        state = S::DecimalNumber;
        return Step::Refeed;
      }
      if (isIdentStart(c)) {
        if (context != Context::List) context = Context::Expression;
        state = S::WordStart;
        return Step::Refeed;
      }
      if (isBlank(c)) return Step::Consume;
      return fail(ErrorCode::MissingOperand);

    case S::ListAfterTerm:
      if (operatorKind(c) >= 0) {
        state = S::OperatorExpected;
        return Step::Refeed;
      }
      if (c == ')') {
        if (levels.size() <= 1) return fail(ErrorCode::Unknown);
        closeLevel();
        return Step::Consume;
      }
      if (levels.size() > 1) return fail(ErrorCode::MissingParenthesis);
      appendRoot();
      levels.clear();
      state = S::ListSeparator;
      return Step::Refeed;

    case S::StatementEnd:
      if (c == ';') {
        state = S::Comment;
        return Step::Consume;
      }
      if (isWhite(c)) return Step::Consume;
      return fail(ErrorCode::BadLine);

    case S::AssignmentAfterTerm:
      // An assignment of plain terms ends here, not in OperandAfterTerm: check its groups too.
      if (isLineEnd(c) && levels.size() > 1) return fail(ErrorCode::MissingParenthesis);
      if (c == ';') {
        state = S::Comment;
        return Step::Consume;
      }
      if (c == '\n') return Step::Consume;
      return operatorExpected(c);

    case S::ListStart:
      state = S::ExpressionStart;
      context = Context::List;
      return Step::Refeed;

    case S::MacroArguments:
      if (isWhite(c)) return Step::Consume;
      state = S::ExpressionStart;
      context = Context::List;
      return Step::Refeed;

    case S::StringStart:
      if (isBlank(c)) return Step::Consume;
      if (c != '"') return fail(ErrorCode::QuoteMissing);
      stringStart = index + 1;
      state = S::InString;
      return Step::Consume;

    case S::InString:
      if (c == '\n') return fail(ErrorCode::QuoteMissing);
      if (c != '"') return Step::Consume;
      if (context == Context::List) {
        current->setString(line.substr(stringStart, index - stringStart));
        current->notation = Notation::Quoted;
        current->hasOperand = true;
        extra.stringStart = 0;
        extra.stringLength = 0;
        state = S::ListAfterTerm;
      } else {
        extra.stringStart = static_cast<uint32_t>(stringStart);
        extra.stringLength = static_cast<uint32_t>(index - stringStart);
        state = S::StatementEnd;
      }
      return Step::Consume;

    case S::AfterMnemonic: {
      const OpcodeEntry& entry = *st->mnemonic();
      if (isBlank(c)) return Step::Consume;
      if (isLineEnd(c)) {
        st->mode =
            (entry.has(M::Implied) || !entry.has(M::Accumulator)) ? M::Implied : M::Accumulator;
        if (!entry.has(st->mode)) return fail(ErrorCode::IllegalAddressingMode);
        state = S::Comment;
        return Step::Consume;
      }
      if (c == 'a' || c == 'A') {
        markColumn = index;
        state = S::AfterA;
        return Step::Consume;
      }
      state = S::ExpressionStart;
      if (c == '#') {
        st->mode = M::Immediate;
      } else if (c == '!') {
        st->mode = M::Absolute;
      } else if (c == '(') {
        st->mode = M::Indirect;
      } else {
        return Step::Refeed;
      }
      return Step::Consume;
    }

    case S::AfterA:
      if ((isBlank(c) || isLineEnd(c)) && st->mnemonic()->has(M::Accumulator)) {
        st->mode = M::Accumulator;
        state = S::StatementEnd;
        return Step::Refeed;
      }
      // Not the accumulator: the letter starts a name.
      newRoot();
      context = Context::Expression;
      state = S::InWord;
      wordStart = markColumn;
      wordLength = 1;
      return Step::Refeed;

    case S::Comment: return Step::Consume;

    case S::HexNumber:
    case S::DecimalNumber:
    case S::BinaryNumber: {
      int d = digitValue(c, radix);
      if (d < 0) return finishNumber();
      number = number * radix + static_cast<uint32_t>(d);
      ++digits;
      return Step::Consume;
    }

    case S::CharacterLiteral:
      if (c == '\n') return fail(ErrorCode::QuoteMissing);  // the line end is no character
      current->kind = ExprKind::Number;
      current->notation = Notation::Character;
      current->hasOperand = true;
      if (c == '{') {
        stringStart = index + 1;
        state = S::ControlCodeName;
        return Step::Consume;
      }
      current->value = asciiToPetscii(static_cast<uint8_t>(c));
      state = S::CharacterLiteralEnd;
      return Step::Consume;

    case S::ControlCodeName:
      if (c == '\n') return fail(ErrorCode::MissingBrace);
      if (c != '}') return Step::Consume;
      current->value = controlCodeValue(line.substr(stringStart, index - stringStart)).code;
      state = S::CharacterLiteralEnd;
      return Step::Consume;

    case S::CharacterLiteralEnd:
      if (c != '"') return fail(ErrorCode::QuoteMissing);
      state = context == Context::List ? S::ListAfterTerm : S::OperandAfterTerm;
      return Step::Consume;

    case S::ListSeparator:
      if (isWhite(c)) return Step::Consume;
      if (c == ';') {
        state = S::Comment;
        return Step::Consume;
      }
      if (c == ',') {
        state = S::ExpressionStart;
        return Step::Consume;
      }
      return fail(ErrorCode::IllegalOperator);

    case S::IndexRegister:
      if (isBlank(c)) return Step::Consume;
      if (c == 'x' || c == 'X') {
        if (st->mode == M::Indirect) {
          state = S::AfterIndirectX;
          return Step::Consume;
        }
        st->mode = st->mode == M::Absolute ? M::AbsoluteX : M::ZeroPageX;
      } else if (c == 'y' || c == 'Y') {
        if (st->mode == M::Indirect) return fail(ErrorCode::IllegalAddressingMode);
        st->mode = st->mode == M::Absolute ? M::AbsoluteY : M::ZeroPageY;
      } else {
        return fail(ErrorCode::UnknownAddressingMode);
      }
      state = S::AfterIndex;
      return Step::Consume;

    case S::AfterIndirectX:
      if (isBlank(c)) return Step::Consume;
      if (c == ')') {
        st->mode = M::IndexedIndirect;
        state = S::AfterIndex;
        return Step::Consume;
      }
      if (isLineEnd(c)) return fail(ErrorCode::MissingParenthesis);
      return fail(ErrorCode::IllegalAddressingMode);

    case S::AfterParenComma:
      if (isBlank(c)) return Step::Consume;
      if (c == 'y' || c == 'Y') {
        st->mode = M::IndirectIndexed;
        state = S::AfterIndex;
        return Step::Consume;
      }
      return fail(ErrorCode::IllegalAddressingMode);

    case S::AfterParen:
      if (isBlank(c)) return Step::Consume;
      if (isLineEnd(c)) {
        if (!st->mnemonic()->has(M::Indirect)) return fail(ErrorCode::IllegalAddressingMode);
        state = S::Comment;
        return Step::Consume;
      }
      if (c == ',') {
        state = S::AfterParenComma;
        return Step::Consume;
      }
      return fail(ErrorCode::IllegalAddressingMode);

    case S::AfterIndex:
      if (isBlank(c)) return Step::Consume;
      if (isLineEnd(c)) {
        state = S::Comment;
        return Step::Consume;
      }
      return fail(ErrorCode::BadLine);

    case S::OperandAfterTerm:
      if (isLineEnd(c)) return endOperand();
      if (isBlank(c)) return Step::Consume;
      if (operatorKind(c) >= 0) {
        state = S::OperatorExpected;
        return Step::Refeed;
      }
      if (c == ',') {
        if (levels.size() > 1) return fail(ErrorCode::MissingParenthesis);
        state = S::IndexRegister;
        return Step::Consume;
      }
      if (c == ')') {
        if (levels.size() > 1) {
          closeLevel();
          return Step::Consume;
        }
        if (st->mode != M::Indirect || st->mnemonic() == nullptr)
          return fail(ErrorCode::IllegalAddressingMode);
        state = S::AfterParen;
        return Step::Consume;
      }
      {
        std::string text = render(st->operand);
        text += c;
        return fail(ErrorCode::IllegalQuantity, text);
      }

    case S::OperatorExpected: return operatorExpected(c);

    case S::ValueParameter:
    case S::TextParameter:
      if (!isDigit(c)) return afterParameter();
      number = number * 10 + static_cast<uint32_t>(c - '0');
      ++digits;
      if (state == S::TextParameter) {
        // Only the first digit counts; the line is parsed again after substitution.
        current->value = static_cast<int32_t>(number);
        current->hasOperand = true;
        state = S::RestIgnored;
      }
      return Step::Consume;

    case S::RestIgnored: return Step::Consume;

    case S::StringThenList:
      newRoot();
      context = Context::List;
      state = S::StringStart;
      return Step::Refeed;
  }
  return fail(ErrorCode::BadLine);
}

}  // namespace zendra
