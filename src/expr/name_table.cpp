// Open-addressing intern table keyed by the name's bytes. A new name is copied once into the
// table's own store, so callers may look names up with temporary text.
#include "expr/name_table.h"

#include <cstring>

namespace zendra {

std::string_view TextStore::store(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > kChunk / 4) {
    // Large texts get a chunk of their own so the current chunk is not wasted.
    auto big = std::make_unique<char[]>(text.size());
    std::memcpy(big.get(), text.data(), text.size());
    std::string_view result(big.get(), text.size());
    chunks.insert(chunks.end() - (chunks.empty() ? 0 : 1), std::move(big));
    return result;
  }
  if (used + text.size() > kChunk) {
    chunks.push_back(std::make_unique<char[]>(kChunk));
    used = 0;
  }
  char* dest = chunks.back().get() + used;
  std::memcpy(dest, text.data(), text.size());
  used += text.size();
  return {dest, text.size()};
}

uint32_t hashName(std::string_view name) {
  uint32_t h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return h ^ (h >> 15);
}

uint32_t NameTable::intern(std::string_view name) {
  if (slots.empty() || (names.size() + 1) * 4 > slots.size() * 3) grow();
  uint32_t h = hashName(name);
  size_t mask = slots.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    uint32_t slot = slots[i];
    if (slot == 0) {
      auto id = static_cast<uint32_t>(names.size());
      names.push_back(storage.store(name));
      hashes.push_back(h);
      slots[i] = id + 1;
      return id;
    }
    if (hashes[slot - 1] == h && names[slot - 1] == name) return slot - 1;
  }
}

void NameTable::grow() {
  size_t capacity = slots.empty() ? 1024 : slots.size() * 2;
  slots.assign(capacity, 0);
  size_t mask = capacity - 1;
  for (uint32_t id = 0; id < names.size(); ++id) {
    size_t i = hashes[id] & mask;
    while (slots[i] != 0) i = (i + 1) & mask;
    slots[i] = id + 1;
  }
}

}  // namespace zendra
