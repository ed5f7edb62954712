// Expression trees: one node of an operand, allocated from the run's arena.
// Trees are built once by the line parser and never changed afterwards, so the copies of a
// macro body share them; the program counter comes from the evaluation, not from the tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

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

struct ExprNode {
  ExprKind kind = ExprKind::Empty;
  Notation notation = Notation::None;
  bool forceWord : 1 = false;
  bool lowByte : 1 = false;
  bool highByte : 1 = false;
  bool hasOperand : 1 = false;
  // Number, line index: the value. Label: the interned name id. Parameters: the argument number.
  int32_t value = 0;
  // Operators use the children; labels and strings use the text (as written).
  union {
    struct {
      ExprNode* left;
      ExprNode* right;
    } children;
    struct {
      const char* data;
      size_t size;
    } chars;
  };

  ExprNode() : children{nullptr, nullptr} {}
  ExprNode* left() const { return isOperator(kind) ? children.left : nullptr; }
  ExprNode* right() const { return isOperator(kind) ? children.right : nullptr; }
  std::string_view text() const {
    return (kind == ExprKind::Label || kind == ExprKind::String)
               ? std::string_view(chars.data, chars.size)
               : std::string_view{};
  }
  void setText(std::string_view t) {
    chars.data = t.data();
    chars.size = t.size();
  }
};
static_assert(std::is_trivially_destructible_v<ExprNode>, "nodes die with their arena");

// Bump allocator for the nodes of a run; nodes live until the Assembler goes.
class NodeArena {
 public:
  ExprNode* make() {
    if (used == kChunk) {
      chunks.push_back(std::make_unique<ExprNode[]>(kChunk));
      used = 0;
    }
    return &chunks.back()[used++];
  }
  // Contiguous storage for an operand list.
  ExprNode** makeList(size_t count) {
    lists.push_back(std::make_unique<ExprNode*[]>(count));
    return lists.back().get();
  }

 private:
  static constexpr size_t kChunk = 4096;
  std::vector<std::unique_ptr<ExprNode[]>> chunks;
  std::vector<std::unique_ptr<ExprNode*[]>> lists;
  size_t used = kChunk;
};

}  // namespace zendra
