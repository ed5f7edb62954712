// Open-addressing intern table keyed by the name's bytes. A new name is copied once into the
// table's own store, so callers may look names up with temporary text.
#include "expr/name_table.h"

#include <cstring>

namespace zendra {

std::string_view TextStore::store(std::string_view text) {
  if (text.empty()) return {};
  auto* dest = static_cast<char*>(bytes.allocate(text.size(), 1));
  std::memcpy(dest, text.data(), text.size());
  return {dest, text.size()};
}

std::string_view TextStore::storeTerminated(std::string_view text) {
  auto* dest = static_cast<char*>(bytes.allocate(text.size() + 1, 1));
  std::memcpy(dest, text.data(), text.size());
  dest[text.size()] = '\0';
  return {dest, text.size()};
}

// Eight bytes a step: most names take one or two.
uint32_t hashName(std::string_view name) {
  constexpr uint64_t kMix = 0xFF51AFD7ED558CCDull;
  uint64_t h = 0x9E3779B97F4A7C15ull ^ name.size();
  size_t i = 0;
  for (; i + 8 <= name.size(); i += 8) {
    uint64_t chunk = 0;
    std::memcpy(&chunk, name.data() + i, 8);
    h = (h ^ chunk) * kMix;
    h ^= h >> 32;
  }
  if (i < name.size()) {
    uint64_t chunk = 0;
    for (size_t k = 0; i + k < name.size(); ++k)
      chunk |= static_cast<uint64_t>(static_cast<uint8_t>(name[i + k])) << (8 * k);
    h = (h ^ chunk) * kMix;
    h ^= h >> 32;
  }
  h *= 0xC4CEB9FE1A85EC53ull;
  return static_cast<uint32_t>(h >> 32);
}

namespace {

// strncmp stops at the stored name's NUL, so a shorter stored name is never read past.
bool sameName(const char* stored, std::string_view name) {
  return std::strncmp(stored, name.data(), name.size()) == 0 && stored[name.size()] == '\0';
}

}  // namespace

// A slot holds the name's hash beside its id, so a probe touches one cache line until the
// hashes agree; the text is compared only then.
uint32_t NameTable::intern(std::string_view name) {
  if (slots.empty() || (names.size() + 1) * 4 > slots.size() * 3) grow();
  uint32_t h = hashName(name);
  size_t mask = slots.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    uint64_t slot = slots[i];
    if (slot == 0) {
      auto id = static_cast<uint32_t>(names.size());
      names.push_back(storage.storeTerminated(name).data());
      slots[i] = (static_cast<uint64_t>(h) << 32) | (id + 1);
      return id;
    }
    auto id = static_cast<uint32_t>(slot) - 1;
    if (static_cast<uint32_t>(slot >> 32) == h && sameName(names[id], name)) return id;
  }
}

void NameTable::grow() {
  if (slots.empty() && !names.empty()) {
    rebuildIndex();
    return;
  }
  std::vector<uint64_t> old = std::move(slots);
  size_t capacity = old.empty() ? 1024 : old.size() * 2;
  slots.assign(capacity, 0);
  size_t mask = capacity - 1;
  for (uint64_t slot : old) {
    if (slot == 0) continue;
    size_t i = static_cast<uint32_t>(slot >> 32) & mask;
    while (slots[i] != 0) i = (i + 1) & mask;
    slots[i] = slot;
  }
}

void NameTable::dropIndex() { std::vector<uint64_t>().swap(slots); }

// Every name again, in a table at most half full.
void NameTable::rebuildIndex() {
  size_t capacity = 1024;
  while (capacity < names.size() * 2) capacity *= 2;
  slots.assign(capacity, 0);
  size_t mask = capacity - 1;
  for (size_t id = 0; id < names.size(); ++id) {
    uint32_t h = hashName(names[id]);
    size_t i = h & mask;
    while (slots[i] != 0) i = (i + 1) & mask;
    slots[i] = (static_cast<uint64_t>(h) << 32) | (id + 1);
  }
}

}  // namespace zendra
