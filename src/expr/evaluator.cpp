// Evaluation walks the left spine of a tree iteratively, since left-to-right operators make
// long expressions deep on that side; right subtrees and label definitions recurse, bounded
// by kMaxEvalDepth. Label values are memoised for one top-level evaluation only, which keeps
// chains of doubling definitions linear without caching across changes of scope or pass.
#include "expr/evaluator.h"

#include <climits>
#include <cstdio>

#include "driver/assembler.h"
#include "text/petscii.h"

namespace zendra {
namespace {

constexpr char kOperatorChars[7] = {'+', '-', '/', '*', '&', '.', ':'};

}  // namespace

int32_t applyOperator(ExprKind kind, int32_t l, int32_t r) {
  auto ul = static_cast<uint32_t>(l);
  auto ur = static_cast<uint32_t>(r);
  switch (kind) {
    case ExprKind::Add: return static_cast<int32_t>(ul + ur);
    case ExprKind::Subtract: return static_cast<int32_t>(ul - ur);
    case ExprKind::Multiply: return static_cast<int32_t>(ul * ur);
    case ExprKind::Divide:
      if (r == 0) return 0;
      if (l == INT32_MIN && r == -1) return INT32_MIN;  // wraps like every other overflow
      return l / r;
    case ExprKind::And: return static_cast<int32_t>(ul & ur);
    case ExprKind::Or: return static_cast<int32_t>(ul | ur);
    case ExprKind::Xor: return static_cast<int32_t>(ul ^ ur);
    default: return 0;
  }
}

namespace {

bool evaluateTree(Assembler& as, const ExprNode* node, bool strict, int32_t pc, int32_t& value,
                  bool& unresolved);

bool failParameter(Assembler& as, int32_t index) {
  return as.fail(ErrorCode::IllegalParameter, std::to_string(index));
}

bool evaluateLabel(Assembler& as, const ExprNode* node, bool strict, int32_t& value,
                   bool& unresolved) {
  SymbolEntry* entry = as.symbols.lookup(static_cast<uint32_t>(node->value));
  if (entry == nullptr) {
    if (strict) return as.fail(ErrorCode::UndefinedLabel, node->text());
    unresolved = true;
    value = 65535;
    return true;
  }
  if (entry->hasVariable) {
    value = as.symbols.variableValue(*entry);
    return true;
  }
  switch (entry->definitionKind) {
    case DefinitionKind::None: return as.fail(ErrorCode::MissingLabel);
    case DefinitionKind::Address: value = entry->definitionPc; return true;
    case DefinitionKind::Statement: break;
  }
  const ExprNode* root = entry->definition->operand;
  if (root == nullptr) return as.fail(ErrorCode::MissingLabel);
  if (const EvalMemo::Slot* memo = as.evalMemo.find(entry)) {
    if (!memo->ok) return as.fail(ErrorCode::MissingOperand);
    value = memo->value;
    return true;
  }
  if (entry->evaluating) return as.fail(ErrorCode::InvalidExpression);  // defined through itself
  entry->evaluating = true;
  bool ok = evaluate(as, root, strict, entry->definitionPc, value);
  entry->evaluating = false;
  as.evalMemo.store(entry, value, ok);
  if (!ok) return as.fail(ErrorCode::MissingOperand);
  return true;
}

bool evaluateLeaf(Assembler& as, const ExprNode* node, bool strict, int32_t pc, int32_t& value,
                  bool& unresolved) {
  switch (node->kind) {
    case ExprKind::Number:
    case ExprKind::LineIndex: value = node->value; return true;
    case ExprKind::ProgramCounter: value = pc; return true;
    case ExprKind::String: value = 0; return true;
    case ExprKind::Label: return evaluateLabel(as, node, strict, value, unresolved);
    case ExprKind::ParamValue: {
      const MacroArguments* args = as.macroArgs;
      int32_t index = node->value;
      if (args == nullptr || index < 1 || static_cast<size_t>(index) > args->size())
        return failParameter(as, index);
      const MacroArgument& arg = (*args)[static_cast<size_t>(index - 1)];
      if (arg.kind != ExprKind::String) {
        unresolved |= arg.unresolved;
        value = arg.value;
        return true;
      }
      if (arg.text.size() != 1) return failParameter(as, index);
      value = asciiToPetscii(static_cast<uint8_t>(arg.text[0])) & 0xFF;
      return true;
    }
    case ExprKind::ParamText: {
      const MacroArguments* args = as.macroArgs;
      int32_t index = node->value;
      if (args != nullptr && index >= 1 && static_cast<size_t>(index) <= args->size() &&
          (*args)[static_cast<size_t>(index - 1)].kind == ExprKind::String) {
        value = 0;
        return true;
      }
      return failParameter(as, index);
    }
    case ExprKind::Empty:
    default: return false;
  }
}

bool evaluateTree(Assembler& as, const ExprNode* node, bool strict, int32_t pc, int32_t& value,
                  bool& unresolved) {
  if (node == nullptr) return false;
  if (++as.evalDepth > kMaxEvalDepth) {
    --as.evalDepth;
    return as.fail(ErrorCode::InvalidExpression);
  }
  auto& spine = as.evalSpine;
  size_t base = spine.size();
  while (isOperator(node->kind)) {
    spine.push_back(node);
    node = node->left();
    if (node == nullptr) break;
  }
  bool ok = node != nullptr && evaluateLeaf(as, node, strict, pc, value, unresolved);
  while (ok && spine.size() > base) {
    const ExprNode* op = spine.back();
    spine.pop_back();
    int32_t right = 0;
    ok = evaluateTree(as, op->right(), strict, pc, right, unresolved);
    if (ok) value = applyOperator(op->kind, value, right);
  }
  spine.resize(base);
  --as.evalDepth;
  return ok;
}

// Runs one evaluation; a top-level call starts with an empty memo.
template <typename Body>
bool withEpoch(Assembler& as, Body body) {
  if (as.evalDepth == 0) as.evalMemo.begin();
  return body();
}

}  // namespace

void EvalMemo::begin() {
  ++epoch;
  used = 0;
  if (epoch != 0) return;
  // After the counter wraps, slots of long ago would match again.
  for (Slot& slot : slots) slot.epoch = 0;
  epoch = 1;
}

size_t EvalMemo::home(const SymbolEntry* entry) const {
  auto key = reinterpret_cast<uintptr_t>(entry);
  return static_cast<size_t>((key >> 3) * 0x9E3779B97F4A7C15ull >> 32) & (slots.size() - 1);
}

const EvalMemo::Slot* EvalMemo::find(const SymbolEntry* entry) const {
  for (size_t i = home(entry);; i = (i + 1) & (slots.size() - 1)) {
    const Slot& slot = slots[i];
    if (slot.epoch != epoch) return nullptr;
    if (slot.entry == entry) return &slot;
  }
}

void EvalMemo::store(const SymbolEntry* entry, int32_t value, bool ok) {
  if ((used + 1) * 2 > slots.size()) {
    // Keep this evaluation's slots, in a table twice the size.
    std::vector<Slot> old(slots.size() * 2);
    old.swap(slots);
    used = 0;
    for (const Slot& slot : old)
      if (slot.epoch == epoch) store(slot.entry, slot.value, slot.ok);
  }
  size_t i = home(entry);
  while (slots[i].epoch == epoch && slots[i].entry != entry) i = (i + 1) & (slots.size() - 1);
  if (slots[i].epoch != epoch) ++used;
  slots[i] = {entry, epoch, value, ok};
}

bool evaluateRaw(Assembler& as, const ExprNode* node, bool strict, int32_t pc, int32_t& value) {
  return withEpoch(as, [&] {
    bool unresolved = false;
    return evaluateTree(as, node, strict, pc, value, unresolved);
  });
}

bool evaluate(Assembler& as, const ExprNode* node, bool strict, int32_t pc, int32_t& value,
              bool* unresolvedOut) {
  return withEpoch(as, [&] {
    if (unresolvedOut != nullptr) *unresolvedOut = false;
    if (node == nullptr) return false;
    bool unresolved = false;
    int32_t raw = 0;
    if (!evaluateTree(as, node, strict, pc, raw, unresolved)) return false;
    // The unresolved rule covers the whole expression, but a byte prefix opts out of it.
    bool lenient = !strict && !node->lowByte && !node->highByte;
    unresolved = lenient && unresolved;
    int32_t result = unresolved ? 65535 : raw;
    if (node->highByte)
      result = (result >> 8) & 255;
    else if (node->lowByte)
      result &= 255;
    value = result;
    if (unresolvedOut != nullptr) *unresolvedOut = unresolved;
    return true;
  });
}

bool containsUnresolved(Assembler& as, const ExprNode* node) {
  std::vector<const ExprNode*> pending;
  if (node != nullptr) pending.push_back(node);
  while (!pending.empty()) {
    const ExprNode* n = pending.back();
    pending.pop_back();
    switch (n->kind) {
      case ExprKind::Label:
        if (as.symbols.lookup(static_cast<uint32_t>(n->value)) == nullptr) return true;
        break;
      case ExprKind::ParamValue: {
        const MacroArguments* args = as.macroArgs;
        if (args == nullptr || n->value < 1 || static_cast<size_t>(n->value) > args->size())
          return true;
        if ((*args)[static_cast<size_t>(n->value - 1)].unresolved) return true;
        break;
      }
      default:
        if (isOperator(n->kind)) {
          if (n->left() != nullptr) pending.push_back(n->left());
          if (n->right() != nullptr) pending.push_back(n->right());
        }
        break;
    }
  }
  return false;
}

namespace {

bool isPlainTerm(ExprKind kind) {
  return kind == ExprKind::Number || kind == ExprKind::Label || kind == ExprKind::ProgramCounter;
}

void renderBits(std::string& out, uint32_t value, int topBit) {
  out += '%';
  for (int bit = topBit; bit >= 0; --bit) out += ((value >> bit) & 1) != 0 ? '1' : '0';
}

void renderLeaf(std::string& out, const ExprNode* n) {
  if (n->kind == ExprKind::ProgramCounter) {
    out += '*';
    return;
  }
  if (n->kind != ExprKind::Number && n->kind != ExprKind::Label) {
    out += "  ";
    return;
  }
  if (n->lowByte)
    out += '<';
  else if (n->highByte)
    out += '>';
  else if (n->forceWord)
    out += '!';
  if (n->kind == ExprKind::Label) {
    out += n->text();
    return;
  }
  bool wide = n->forceWord || n->value > 256;
  char buffer[16];
  switch (n->notation) {
    case Notation::Decimal: out += std::to_string(n->value); break;
    case Notation::Hex:
      std::snprintf(buffer, sizeof buffer, wide ? "$%04x" : "$%02x",
                    static_cast<uint32_t>(n->value));
      out += buffer;
      break;
    case Notation::Binary: renderBits(out, static_cast<uint32_t>(n->value), wide ? 16 : 8); break;
    case Notation::Character:
      out += '\'';
      out += static_cast<char>(n->value);
      out += '\'';
      break;
    case Notation::None:
    case Notation::Quoted: break;
  }
}

void renderNode(std::string& out, const ExprNode* node, bool top) {
  if (node == nullptr || !node->hasOperand || node->kind == ExprKind::Empty) return;
  std::vector<const ExprNode*> spine;
  const ExprNode* n = node;
  while (n != nullptr && isOperator(n->kind) && n->hasOperand) {
    spine.push_back(n);
    n = n->left();
  }
  for (size_t i = 0; i < spine.size(); ++i)
    if (i > 0 || !top) out += '(';
  if (n != nullptr && n->hasOperand && n->kind != ExprKind::Empty) {
    bool wrap = !isPlainTerm(n->kind) && (!spine.empty() || !top);
    if (wrap) out += '(';
    renderLeaf(out, n);
    if (wrap) out += ')';
  }
  for (size_t i = spine.size(); i-- > 0;) {
    const ExprNode* op = spine[i];
    out += ' ';
    out += kOperatorChars[static_cast<int>(op->kind)];
    out += ' ';
    renderNode(out, op->right(), false);
    if (i > 0 || !top) out += ')';
  }
}

}  // namespace

std::string render(const ExprNode* node) {
  std::string out;
  renderNode(out, node, true);
  return out;
}

}  // namespace zendra
