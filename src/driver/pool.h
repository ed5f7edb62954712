// Pool: records that keep their addresses for the whole run, allocated a large chunk at a time
// (a million statements make a few hundred allocations, not a million).
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

}  // namespace zendra
