// Pool: records that keep their addresses for the whole run, allocated a large chunk at a time
// (a million statements make a few hundred allocations, not a million). ByteArena: the same
// for pieces of any size (expression nodes, stored text).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace zendra {

template <typename T, size_t kChunk = 1024>
class Pool {
 public:
  Pool() = default;
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;
  ~Pool() {
    for (size_t i = 0; i < count; ++i) (*this)[i].~T();
  }

  template <typename... Args>
  T& emplace_back(Args&&... args) {
    // Storage is left uninitialised: each slot is constructed when it is handed out.
    if (count == chunks.size() * kChunk) chunks.emplace_back(new Storage[kChunk]);
    T* slot = reinterpret_cast<T*>(&chunks[count / kChunk][count % kChunk]);
    new (slot) T(std::forward<Args>(args)...);
    ++count;
    return *slot;
  }
  // Drops the record made last (one that turned out not to be needed).
  void pop_back() {
    --count;
    (*this)[count].~T();
  }
  T& operator[](size_t i) { return *reinterpret_cast<T*>(&chunks[i / kChunk][i % kChunk]); }
  const T& operator[](size_t i) const {
    return *reinterpret_cast<const T*>(&chunks[i / kChunk][i % kChunk]);
  }
  size_t size() const { return count; }

 private:
  struct Storage {
    alignas(T) unsigned char bytes[sizeof(T)];
  };
  std::vector<std::unique_ptr<Storage[]>> chunks;
  size_t count = 0;
};

// Bump allocator of raw bytes that keep their address until the arena goes. Pieces are cut
// from 64 KiB chunks in order; a piece too large for that gets a chunk of its own.
class ByteArena {
 public:
  // `size` bytes aligned to `align` (a power of two up to 16).
  void* allocate(size_t size, size_t align) {
    size_t at = (used + align - 1) & ~(align - 1);
    if (at + size > kChunk) return allocateSlow(size);
    used = at + size;
    return chunks.back().get() + at;
  }
  struct Mark {
    size_t chunkCount;
    size_t used;
  };
  Mark mark() const { return {chunks.size(), used}; }
  // Gives back everything allocated since `m` (when it still lies in the current chunk);
  // nothing allocated since may be used afterwards.
  void rewind(Mark m) {
    if (m.chunkCount == chunks.size()) used = m.used;
  }

 private:
  static constexpr size_t kChunk = 64 * 1024;
  void* allocateSlow(size_t size);
  std::vector<std::unique_ptr<char[]>> chunks;
  std::vector<std::unique_ptr<char[]>> large;  // pieces too large for a chunk
  size_t used = kChunk;
};

}  // namespace zendra
