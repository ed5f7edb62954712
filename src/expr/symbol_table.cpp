// Scope stack and the per-name chains behind lookups.
// Invariant: a name's chain holds, for each open scope that has entries of the name, the first
// of them, ordered by the scope's place on the stack. Opening a scope pushes its entries, closing
// it pops them, so the cost of scopes is one step per entry per opening, never per lookup.
#include "expr/symbol_table.h"

namespace zendra {

void SymbolTable::reserveNames(size_t count) {
  if (chains.size() < count) chains.resize(count);
}

void SymbolTable::push(SymbolEntry* entry) {
  Chain& chain = chains[entry->nameId];
  entry->hides = chain.top;
  entry->hiddenBy = kNoEntry;
  if (chain.top != kNoEntry)
    at(chain.top)->hiddenBy = entry->order;
  else
    chain.bottom = entry->order;
  chain.top = entry->order;
  entry->visible = true;
}

void SymbolTable::linkBottom(SymbolEntry* entry) {
  Chain& chain = chains[entry->nameId];
  entry->hiddenBy = chain.bottom;
  entry->hides = kNoEntry;
  if (chain.bottom != kNoEntry)
    at(chain.bottom)->hides = entry->order;
  else
    chain.top = entry->order;
  chain.bottom = entry->order;
  entry->visible = true;
}

void SymbolTable::unlink(SymbolEntry* entry) {
  Chain& chain = chains[entry->nameId];
  if (entry->hiddenBy != kNoEntry)
    at(entry->hiddenBy)->hides = entry->hides;
  else
    chain.top = entry->hides;
  if (entry->hides != kNoEntry)
    at(entry->hides)->hiddenBy = entry->hiddenBy;
  else
    chain.bottom = entry->hiddenBy;
  entry->hides = kNoEntry;
  entry->hiddenBy = kNoEntry;
  entry->visible = false;
}

// `entry` takes the place of `old` in their name's chain.
void SymbolTable::replace(SymbolEntry* old, SymbolEntry* entry) {
  Chain& chain = chains[old->nameId];
  entry->hides = old->hides;
  entry->hiddenBy = old->hiddenBy;
  if (entry->hiddenBy != kNoEntry)
    at(entry->hiddenBy)->hides = entry->order;
  else
    chain.top = entry->order;
  if (entry->hides != kNoEntry)
    at(entry->hides)->hiddenBy = entry->order;
  else
    chain.bottom = entry->order;
  entry->visible = true;
  old->hides = kNoEntry;
  old->hiddenBy = kNoEntry;
  old->visible = false;
}

void SymbolTable::appendToScope(SymbolEntry* entry) {
  uint32_t id = entry->scopeId;
  if (scopeTails.size() <= id) scopeTails.resize(id + 1 + scopeTails.size() / 2, kNoEntry);
  if (nextInScope.size() <= entry->order) nextInScope.resize(all.size(), kNoEntry);
  uint32_t& tail = scopeTails[id];
  if (tail == kNoEntry) {
    nextInScope[entry->order] = entry->order;
  } else {
    nextInScope[entry->order] = nextInScope[tail];
    nextInScope[tail] = entry->order;
  }
  tail = entry->order;
}

// The next entry after `entry` with its name in scope `scopeId`; marks that one when a third
// follows. Only a move out of a scope that holds the name twice needs this walk.
SymbolEntry* SymbolTable::laterTwin(const SymbolEntry* entry, uint32_t scopeId) const {
  uint32_t head = nextInScope[scopeTails[scopeId]];
  SymbolEntry* found = nullptr;
  for (uint32_t i = nextInScope[entry->order]; i != head; i = nextInScope[i]) {
    SymbolEntry* e = at(i);
    if (e->nameId != entry->nameId || e->scopeId != scopeId) continue;
    if (found != nullptr) {
      found->twinBehind = true;
      break;
    }
    found = e;
  }
  return found;
}

SymbolEntry* SymbolTable::define(uint32_t nameId) {
  reserveNames(nameId + 1);
  SymbolEntry& entry = all.emplace_back();
  entry.nameId = nameId;
  entry.scopeId = stack.back().scopeId;
  entry.order = static_cast<uint32_t>(all.size() - 1);
  // The global scope is never closed or opened again, so its entries need no scope list.
  if (entry.scopeId != 1) appendToScope(&entry);
  SymbolEntry* top = lookup(nameId);
  // The current scope is the innermost, so the new entry goes on top unless an earlier entry of
  // this scope is there already: lookups keep taking the first.
  if (top != nullptr && top->scopeId == entry.scopeId)
    top->twinBehind = true;
  else
    push(&entry);
  return &entry;
}

void SymbolTable::moveToGlobal(SymbolEntry* entry) {
  if (entry->scopeId == 1) return;
  uint32_t from = entry->scopeId;
  if (entry->visible) {
    SymbolEntry* twin = entry->twinBehind ? laterTwin(entry, from) : nullptr;
    if (twin != nullptr)
      replace(entry, twin);
    else
      unlink(entry);
  }
  // It stays in its old scope's list, where opening and closing skip it by its scope id.
  entry->twinBehind = false;
  entry->scopeId = 1;
  SymbolEntry* bottom = link(chains[entry->nameId].bottom);
  if (bottom == nullptr || bottom->scopeId != 1)
    linkBottom(entry);
  else if (entry->order < bottom->order)
    replace(bottom, entry);
}

void SymbolTable::openScope(const StatementRecord* opening) {
  ++scopeCounter;
  uint32_t id = scopeCounter;
  stack.push_back({id, opening});
  // Entries made in this scope in an earlier pass become visible again.
  if (id >= scopeTails.size() || scopeTails[id] == kNoEntry) return;
  uint32_t tail = scopeTails[id];
  uint32_t i = tail;
  do {
    i = nextInScope[i];
    SymbolEntry* e = at(i);
    if (e->scopeId != id) continue;
    SymbolEntry* top = lookup(e->nameId);
    if (top == nullptr || top->scopeId != id) push(e);
  } while (i != tail);
}

bool SymbolTable::closeScope() {
  if (stack.size() < 2) return false;
  uint32_t id = stack.back().scopeId;
  stack.pop_back();
  if (id >= scopeTails.size() || scopeTails[id] == kNoEntry) return true;
  uint32_t tail = scopeTails[id];
  uint32_t i = tail;
  do {
    i = nextInScope[i];
    SymbolEntry* e = at(i);
    if (e->scopeId == id && e->visible) unlink(e);
  } while (i != tail);
  return true;
}

void SymbolTable::resetScopes() {
  while (stack.size() > 1) (void)closeScope();
  stack.clear();
  scopeCounter = 1;
  stack.push_back({1, nullptr});
}

void SymbolTable::setVariableValue(const SymbolEntry& entry, int32_t value) {
  if (variables.size() <= entry.order) variables.resize(all.size());
  variables[entry.order] = value;
}

int32_t SymbolTable::storedValue(const SymbolEntry& entry) const {
  if (entry.definitionKind == DefinitionKind::Address) return entry.definitionPc;
  return entry.order < values.size() ? values[entry.order] : 0;
}

void SymbolTable::storeValue(const SymbolEntry& entry, int32_t value) {
  if (!keepValues) return;
  if (values.size() <= entry.order) values.resize(all.size());
  values[entry.order] = value;
}

}  // namespace zendra
