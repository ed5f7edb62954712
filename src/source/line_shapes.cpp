// The shapes most lines of a large source take, read in one go: `name = numbers and operators`,
// an instruction with no operand or one number or name in any addressing mode, a label before
// an instruction, a label alone. The statement comes out exactly as the state machine would
// make it; a line that strays from these shapes in any way, errors included, is left to the
// machine untouched. A test holds the two against each other on generated lines.
#include "driver/assembler.h"
#include "expr/evaluator.h"
#include "source/char_classes.h"
#include "source/line_parser.h"

namespace zendra {
namespace {

using M = AddressingMode;

// A term as the machine reads it: a hexadecimal or decimal number, or a name.
struct Term {
  bool isName = false;
  Notation notation = Notation::None;
  uint32_t value = 0;
  std::string_view name;
};

struct Cursor {
  std::string_view text;
  size_t i = 0;

  char peek() const { return i < text.size() ? text[i] : '\n'; }
  // The end of the statement: the line's end or its comment.
  bool atEnd() const { return i >= text.size() || text[i] == ';'; }
  void skipBlanks() {
    while (i < text.size() && isBlank(text[i])) ++i;
  }
  std::string_view word() {
    size_t start = i;
    while (i < text.size() && isIdentChar(text[i])) ++i;
    return text.substr(start, i - start);
  }
  // A number (`$` and hexadecimal digits, or decimal digits), or with `names` also a name
  // (a letter or `_` first); false for anything else, `*` and `%` included.
  bool term(Term& t, bool names) {
    char c = peek();
    if (c == '$' || isDigit(c)) {
      uint32_t radix = c == '$' ? 16 : 10;
      t.notation = c == '$' ? Notation::Hex : Notation::Decimal;
      if (c == '$') ++i;
      int digits = 0;
      for (int d; i < text.size() && (d = digitValue(text[i], radix)) >= 0; ++i, ++digits)
        t.value = t.value * radix + static_cast<uint32_t>(d);
      return digits > 0;
    }
    if (names && (isLetter(c) || c == '_')) {
      t.isName = true;
      t.name = word();
      return true;
    }
    return false;
  }
};

}  // namespace

bool LineParser::parseCommonShape(std::string_view text) {
  Cursor c{text};
  c.skipBlanks();
  if (!isLetter(c.peek()) && c.peek() != '_') return false;
  std::string_view first = c.word();
  const OpcodeEntry* entry = findMnemonic(first);
  if (entry == nullptr) {
    // A label: then an assignment, an instruction, or nothing.
    char after = c.peek();
    if (!isBlank(after) && after != '=' && !c.atEnd()) return false;
    c.skipBlanks();
    if (c.peek() == '=') {
      ++c.i;
      return commonAssignment(c.text, c.i, first);
    }
    if (c.atEnd()) {
      st->labelId = as.internName(first);
      return true;
    }
    if (!isLetter(c.peek())) return false;
    std::string_view second = c.word();
    entry = findMnemonic(second);
    if (entry == nullptr || (entry->classes & as.settings.allowedClasses) == 0) return false;
    // The instruction changes the statement only once its whole line is known good.
    if (!commonInstruction(text, c.i, *entry)) return false;
    st->labelId = as.internName(first);
    return true;
  }
  if ((entry->classes & as.settings.allowedClasses) == 0) return false;
  return commonInstruction(text, c.i, *entry);
}

// `= term (operator term)*` with numbers alone, after the label `name`: kept as the one
// number it gives, as the machine keeps such an assignment.
bool LineParser::commonAssignment(std::string_view text, size_t at, std::string_view name) {
  Cursor c{text, at};
  c.skipBlanks();
  Term term;
  if (!c.term(term, false)) return false;
  auto value = static_cast<int32_t>(term.value);
  Notation notation = term.notation;
  for (;;) {
    c.skipBlanks();
    if (c.atEnd()) break;
    int kind = operatorKind(c.peek());
    if (kind < 0) return false;
    ++c.i;
    c.skipBlanks();
    Term right;
    if (!c.term(right, false)) return false;
    value = applyOperator(static_cast<ExprKind>(kind), value, static_cast<int32_t>(right.value));
    notation = Notation::Decimal;  // a folded tree
  }
  st->labelId = as.internName(name);
  ExprNode* node = as.nodes.make();
  node->kind = ExprKind::Number;
  node->notation = notation;
  node->hasOperand = true;
  node->value = value;
  st->operand = node;
  return true;
}

// The operand part of an instruction, from just after the mnemonic: nothing, or one term with
// an optional `#`, `<` or `>`, in any of the addressing forms. The statement is changed only
// when the whole part is of that shape.
bool LineParser::commonInstruction(std::string_view text, size_t at, const OpcodeEntry& entry) {
  Cursor c{text, at};
  c.skipBlanks();
  if (c.atEnd()) {
    M mode = (entry.has(M::Implied) || !entry.has(M::Accumulator)) ? M::Implied : M::Accumulator;
    if (!entry.has(mode)) return false;
    st->setMnemonic(&entry);
    st->mode = mode;
    return true;
  }
  M mode = M::Unset;
  char lead = c.peek();
  if (lead == 'a' || lead == 'A' || lead == '!') return false;  // the accumulator, or forced
  if (lead == '#' || lead == '(') {
    mode = lead == '#' ? M::Immediate : M::Indirect;
    ++c.i;
    c.skipBlanks();
  }
  bool low = false, high = false;
  if (c.peek() == '<' || c.peek() == '>') {
    (c.peek() == '<' ? low : high) = true;
    ++c.i;
    c.skipBlanks();
  }
  Term term;
  if (!c.term(term, true)) return false;
  c.skipBlanks();
  if (c.atEnd()) {
    if (mode == M::Indirect) return false;
    if (mode == M::Unset) mode = M::ZeroPage;
    mode = finishMode(entry, mode);
  } else if (c.peek() == ',') {
    if (mode == M::Immediate) return false;
    ++c.i;
    c.skipBlanks();
    char index = c.peek();
    if (index == 'x' || index == 'X') {
      ++c.i;
      if (mode == M::Indirect) {
        c.skipBlanks();
        if (c.peek() != ')') return false;
        ++c.i;
        mode = M::IndexedIndirect;
      } else {
        mode = M::ZeroPageX;
      }
    } else if ((index == 'y' || index == 'Y') && mode != M::Indirect) {
      ++c.i;
      mode = M::ZeroPageY;
    } else {
      return false;
    }
  } else if (c.peek() == ')' && mode == M::Indirect) {
    ++c.i;
    c.skipBlanks();
    if (c.peek() == ',') {
      ++c.i;
      c.skipBlanks();
      if (c.peek() != 'y' && c.peek() != 'Y') return false;
      ++c.i;
      mode = M::IndirectIndexed;
    } else if (!c.atEnd() || !entry.has(M::Indirect)) {
      return false;
    }
  } else {
    return false;
  }
  c.skipBlanks();
  if (!c.atEnd()) return false;

  st->setMnemonic(&entry);
  st->mode = mode;
  ExprNode* node = as.nodes.make();
  node->lowByte = low;
  node->highByte = high;
  node->hasOperand = true;
  if (term.isName) {
    uint32_t id = as.internName(term.name);
    node->setLabel(id, as.spellingOf(term.name, id));
  } else {
    node->kind = ExprKind::Number;
    node->notation = term.notation;
    node->value = static_cast<int32_t>(term.value);
  }
  st->operand = node;
  return true;
}

}  // namespace zendra
