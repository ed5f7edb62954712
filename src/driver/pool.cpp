// The byte arena's new chunks.
#include "driver/pool.h"

namespace zendra {

void* ByteArena::allocateSlow(size_t size) {
  if (size > kChunk / 4) {
    large.push_back(std::make_unique_for_overwrite<char[]>(size));
    return large.back().get();
  }
  chunks.push_back(std::make_unique_for_overwrite<char[]>(kChunk));
  used = size;
  return chunks.back().get();
}

}  // namespace zendra
