// Expression trees: one node of an operand, allocated from the run's arena.
// Trees are built once by the line parser and never changed afterwards, so the copies of a
// macro body share them; the program counter comes from the evaluation, not from the tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "driver/pool.h"

namespace zendra {

// Codes are part of the language's description (macro argument kinds use 7 and 12).
enum class ExprKind : uint8_t {
  Add = 0,
  Subtract = 1,
  Divide = 2,
  Multiply = 3,
  And = 4,
  Or = 5,
  Xor = 6,
  Number = 7,
  Label = 8,
  ParamValue = 9,
  ParamText = 10,
  ProgramCounter = 11,
  String = 12,
  LineIndex = 13,
  Empty = 14,
};

enum class Notation : uint8_t {
  None = 0,
  Decimal = 1,
  Hex = 2,
  Binary = 3,
  Character = 4,
  Quoted = 5
};

inline bool isOperator(ExprKind kind) { return static_cast<uint8_t>(kind) <= 6; }

struct OperatorNode;

// A leaf is 16 bytes; operators carry their right operand in an OperatorNode (24 bytes), so the
// numbers and names that make up most trees stay small.
struct ExprNode {
  ExprKind kind = ExprKind::Empty;
  Notation notation = Notation::None;
  bool forceWord : 1 = false;
  bool lowByte : 1 = false;
  bool highByte : 1 = false;
  bool hasOperand : 1 = false;
  // Number, line index: the value. Label: the interned name id. Parameters: the argument
  // number. String: the length of its text.
  int32_t value = 0;
  // Operator: the left operand. Label: the name as written, kept by the name table and ended
  // by a NUL. String: its characters.
  union {
    ExprNode* leftChild = nullptr;
    const char* chars;
  };

  ExprNode* left() const { return isOperator(kind) ? leftChild : nullptr; }
  inline ExprNode* right() const;
  std::string_view text() const {
    if (kind == ExprKind::Label) return chars;
    if (kind == ExprKind::String) return {chars, static_cast<size_t>(value)};
    return {};
  }
  // A label leaf: `id` finds the symbol, `spelling` (NUL-terminated, stable) is shown.
  void setLabel(uint32_t id, const char* spelling) {
    kind = ExprKind::Label;
    value = static_cast<int32_t>(id);
    chars = spelling;
  }
  // A string leaf viewing `text`, which must outlive the tree.
  void setString(std::string_view text) {
    kind = ExprKind::String;
    value = static_cast<int32_t>(text.size());
    chars = text.data();
  }
};

struct OperatorNode : ExprNode {
  ExprNode* rightChild = nullptr;
};

inline ExprNode* ExprNode::right() const {
  return isOperator(kind) ? static_cast<const OperatorNode*>(this)->rightChild : nullptr;
}

static_assert(sizeof(ExprNode) == 16, "leaves are most of the nodes of a large source");
static_assert(std::is_trivially_destructible_v<OperatorNode>, "nodes die with their arena");

// The nodes and operand lists of a run; everything lives until the Assembler goes.
class NodeArena {
 public:
  ExprNode* make() { return new (allocate(sizeof(ExprNode))) ExprNode(); }
  OperatorNode* makeOperator() { return new (allocate(sizeof(OperatorNode))) OperatorNode(); }
  // Contiguous storage for an operand list.
  ExprNode** makeList(size_t count) {
    return static_cast<ExprNode**>(allocate(count * sizeof(ExprNode*)));
  }
  using Mark = ByteArena::Mark;
  Mark mark() const { return bytes.mark(); }
  // Gives back every node made since `m`, when it can; none of them may be used afterwards.
  void rewind(Mark m) { bytes.rewind(m); }

 private:
  void* allocate(size_t size) { return bytes.allocate(size, alignof(OperatorNode)); }
  ByteArena bytes;
};

}  // namespace zendra
