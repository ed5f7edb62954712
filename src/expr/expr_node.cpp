// The node arena: chunks of 64 KiB cut in order; a list too long for a chunk gets its own.
#include "expr/expr_node.h"

namespace zendra {

void* NodeArena::allocate(size_t size) {
  size = (size + 7) & ~size_t{7};
  if (size > kChunk / 4) {
    large.push_back(std::make_unique<char[]>(size));
    return large.back().get();
  }
  if (used + size > kChunk) {
    chunks.push_back(std::make_unique_for_overwrite<char[]>(kChunk));
    used = 0;
  }
  void* slot = chunks.back().get() + used;
  used += size;
  return slot;
}

uint64_t NumberLeaves::key(const ExprNode& leaf) {
  uint64_t flags = (leaf.forceWord ? 1u : 0u) | (leaf.lowByte ? 2u : 0u) |
                   (leaf.highByte ? 4u : 0u) | (leaf.hasOperand ? 8u : 0u);
  return static_cast<uint32_t>(leaf.value) | static_cast<uint64_t>(leaf.notation) << 32 |
         flags << 40;
}

ExprNode* NumberLeaves::share(const ExprNode& leaf, NodeArena& arena) {
  if ((count + 1) * 2 > slots.size()) grow();
  uint64_t wanted = key(leaf);
  size_t mask = slots.size() - 1;
  for (size_t i = (wanted * 0x9E3779B97F4A7C15ull >> 40) & mask;; i = (i + 1) & mask) {
    ExprNode* found = slots[i];
    if (found == nullptr) {
      found = arena.make();
      *found = leaf;
      slots[i] = found;
      ++count;
      return found;
    }
    if (key(*found) == wanted) return found;
  }
}

void NumberLeaves::grow() {
  std::vector<ExprNode*> old(slots.size() * 2);
  old.swap(slots);
  size_t mask = slots.size() - 1;
  for (ExprNode* leaf : old) {
    if (leaf == nullptr) continue;
    size_t i = (key(*leaf) * 0x9E3779B97F4A7C15ull >> 40) & mask;
    while (slots[i] != nullptr) i = (i + 1) & mask;
    slots[i] = leaf;
  }
}

}  // namespace zendra
