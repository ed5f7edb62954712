// The node arena: chunks of 64 KiB cut in order; a list too long for a chunk gets its own.
#include "expr/expr_node.h"

namespace zendra {

void* NodeArena::allocateSlow(size_t size) {
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

}  // namespace zendra
