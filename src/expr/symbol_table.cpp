// Scope stack and the (name, scope) index behind lookups.
#include "expr/symbol_table.h"

namespace zendra {
namespace {

uint64_t keyOf(uint32_t nameId, uint32_t scopeId) {
  uint64_t k = (static_cast<uint64_t>(nameId) << 32) | scopeId;
  k ^= k >> 33;
  k *= 0xff51afd7ed558ccdULL;
  k ^= k >> 33;
  return k;
}

}  // namespace

void SymbolTable::reserveNames(size_t count) {
  if (names.size() < count) names.resize(count);
}

SymbolEntry* SymbolTable::probe(uint32_t nameId, uint32_t scopeId) const {
  if (map.empty()) return nullptr;
  size_t mask = map.size() - 1;
  for (size_t i = keyOf(nameId, scopeId) & mask;; i = (i + 1) & mask) {
    SymbolEntry* e = map[i];
    if (e == nullptr) return nullptr;
    if (e->nameId == nameId && e->scopeId == scopeId) return e;
  }
}

SymbolEntry* SymbolTable::lookup(uint32_t nameId) const {
  if (nameId >= names.size()) return nullptr;
  const NameInfo& info = names[nameId];
  if (info.count == 0) return nullptr;
  if (info.count == 1) return onStack(info.first->scopeId) ? info.first : nullptr;
  for (auto frame = stack.rbegin(); frame != stack.rend(); ++frame)
    if (SymbolEntry* e = probe(nameId, frame->scopeId)) return e;
  return nullptr;
}

void SymbolTable::growMap() {
  std::vector<SymbolEntry*> old = std::move(map);
  map.assign(old.empty() ? 1024 : old.size() * 2, nullptr);
  mapUsed = 0;
  for (SymbolEntry* e : old)
    if (e != nullptr) insertKey(e);
}

void SymbolTable::insertKey(SymbolEntry* entry) {
  if ((mapUsed + 1) * 2 > map.size()) growMap();
  size_t mask = map.size() - 1;
  for (size_t i = keyOf(entry->nameId, entry->scopeId) & mask;; i = (i + 1) & mask) {
    SymbolEntry* e = map[i];
    if (e == nullptr) {
      map[i] = entry;
      ++mapUsed;
      return;
    }
    // The first entry of a (name, scope) pair wins, as lookups take entries in insertion order.
    if (e->nameId == entry->nameId && e->scopeId == entry->scopeId) {
      if (entry->order < e->order) map[i] = entry;
      return;
    }
  }
}

void SymbolTable::eraseKey(SymbolEntry* entry) {
  // Rebuild rather than delete in place: moves are rare (first `.var` of a name).
  std::vector<SymbolEntry*> old = std::move(map);
  map.assign(old.size(), nullptr);
  mapUsed = 0;
  for (SymbolEntry* e : old)
    if (e != nullptr && e != entry) insertKey(e);
  // Another entry of the same pair may have been hidden behind the erased one.
  for (SymbolEntry* e = names[entry->nameId].first; e != nullptr; e = e->nextSameName)
    if (e != entry && e->scopeId == entry->scopeId) insertKey(e);
}

SymbolEntry* SymbolTable::define(uint32_t nameId) {
  reserveNames(nameId + 1);
  SymbolEntry& entry = all.emplace_back();
  entry.nameId = nameId;
  entry.scopeId = stack.back().scopeId;
  entry.order = static_cast<uint32_t>(all.size() - 1);
  NameInfo& info = names[nameId];
  if (info.count == 0) {
    info.first = &entry;
  } else {
    info.last->nextSameName = &entry;
    if (info.count == 1) insertKey(info.first);
    insertKey(&entry);
  }
  info.last = &entry;
  ++info.count;
  return &entry;
}

void SymbolTable::moveToGlobal(SymbolEntry* entry) {
  if (entry->scopeId == 1) return;
  bool indexed = names[entry->nameId].count > 1;
  if (indexed) eraseKey(entry);
  entry->scopeId = 1;
  if (indexed) insertKey(entry);
}

void SymbolTable::openScope(const StatementRecord* opening) {
  ++scopeCounter;
  stack.push_back({scopeCounter, opening});
  if (open.size() <= scopeCounter) open.resize(scopeCounter + 1 + open.size() / 2, 0);
  open[scopeCounter] = 1;
}

bool SymbolTable::closeScope() {
  if (stack.size() < 2) return false;
  open[stack.back().scopeId] = 0;
  stack.pop_back();
  return true;
}

void SymbolTable::resetScopes() {
  for (const auto& frame : stack)
    if (frame.scopeId < open.size()) open[frame.scopeId] = 0;
  stack.clear();
  scopeCounter = 1;
  stack.push_back({1, nullptr});
  if (open.size() < 2) open.resize(2, 0);
  open[1] = 1;
}

}  // namespace zendra
