// Expression evaluation: signed 32-bit, strictly left to right, with the lenient first pass
// (an undefined name is 65535) and the strict second pass (an undefined name is an error).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "expr/expr_node.h"

namespace zendra {

class Assembler;
struct SymbolEntry;

// Values of the labels met in one top-level evaluation, so that a definition used many times
// (a chain of names each doubling the one before) is evaluated once. Slots carry the number of
// the evaluation that filled them, so starting a new one clears nothing.
class EvalMemo {
 public:
  struct Slot {
    const SymbolEntry* entry = nullptr;
    uint32_t epoch = 0;
    int32_t value = 0;
    bool ok = false;
  };
  // Starts a new top-level evaluation.
  void begin();
  const Slot* find(const SymbolEntry* entry) const;
  void store(const SymbolEntry* entry, int32_t value, bool ok);

  uint32_t epoch = 0;  // the number of the current evaluation; wraps

 private:
  size_t home(const SymbolEntry* entry) const;
  std::vector<Slot> slots = std::vector<Slot>(64);
  size_t used = 0;  // slots of this epoch
};

// Deepest nesting of parentheses and label definitions one evaluation follows.
constexpr int kMaxEvalDepth = 3000;

// One binary operator on 32-bit values, wrapping; a zero divisor gives 0.
int32_t applyOperator(ExprKind kind, int32_t left, int32_t right);

// Evaluates without looking at the root's `<`/`>` flags. `pc` is what `*` stands for.
// On failure leaves the code in the Assembler (none for an empty node: the caller chooses).
[[nodiscard]] bool evaluateRaw(Assembler& as, const ExprNode* node, bool strict, int32_t pc,
                               int32_t& value);
// The normal entry: the unresolved rule of the lenient pass, then the byte selection.
[[nodiscard]] bool evaluate(Assembler& as, const ExprNode* node, bool strict, int32_t pc,
                            int32_t& value, bool* unresolved = nullptr);
// Whether a leaf of this tree names a label not found from the current scope, or a `\n`
// parameter that is missing or was unresolved when the macro was called.
bool containsUnresolved(Assembler& as, const ExprNode* node);
// The text form of an operand for messages: `1+2*3` renders as `(1 + 2) * 3`.
std::string render(const ExprNode* node);

}  // namespace zendra
