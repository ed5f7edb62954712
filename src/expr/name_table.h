// Name interning: every label name gets a dense id once, when its line is parsed, so symbol
// lookups during the passes hash nothing. Also the run's text store for text made at run time.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "driver/pool.h"

namespace zendra {

// Stable storage for text made during the run (lowered names, substituted macro lines).
class TextStore {
 public:
  std::string_view store(std::string_view text);
  // The same, followed by a NUL, so that the copy can also be read as a C string.
  std::string_view storeTerminated(std::string_view text);

 private:
  ByteArena bytes;
};

class NameTable {
 public:
  // The id of a name, adding a copy of it when new; the text may be a temporary.
  uint32_t intern(std::string_view name);
  std::string_view name(uint32_t id) const { return names[id]; }
  // The name followed by a NUL, for leaves that keep only a pointer.
  const char* spelling(uint32_t id) const { return names[id]; }
  size_t size() const { return names.size(); }
  // Frees the hash index (ids and names stay): once the source is loaded, names are mostly
  // found by id. The next intern builds the index again.
  void dropIndex();

 private:
  void grow();
  void rebuildIndex();
  TextStore storage;
  // Each name ends with a NUL (names are made of letters, digits and `_`), so a pointer is
  // all a name needs here.
  std::vector<const char*> names;
  std::vector<uint64_t> slots;  // hash << 32 | (id + 1); 0 marks an empty slot
};

uint32_t hashName(std::string_view name);

}  // namespace zendra
