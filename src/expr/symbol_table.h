// Symbol table: names in numbered scopes, found innermost scope first.
// A name's value is not stored for its uses: it is computed from its definition each time.
// Lookups go by interned name id; names defined in one scope only (nearly all) need no hashing.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "source/statement_record.h"

namespace zendra {

enum class DefinitionKind : uint8_t {
  None,       // no definition: uses fail with "missing label"
  Statement,  // `name = expression`, `.lbl`, or a name from the command line: the statement's operand
  Address,    // a made-up record: the program counter where the defining statement began
};

struct SymbolEntry {
  uint32_t nameId = kNoName;
  uint32_t scopeId = 1;
  uint32_t order = 0;  // insertion order, for equal names in the symbol file
  DefinitionKind definitionKind = DefinitionKind::None;
  const StatementRecord* definition = nullptr;  // Statement kind
  uint32_t definitionLine = 0;                  // Address kind; Statement kind reads its record
  uint16_t definitionFile = 0;
  int32_t definitionPc = 4096;  // what `*` means inside the definition; the address itself for Address
  int32_t value = 0;            // as last stored, for the symbol file
  bool hasVariable = false;
  int32_t variableValue = 0;
  bool opensScope = false;
  bool isSegment = false;
  const StatementList* body = nullptr;  // a macro's or segment's recorded statements
  // Evaluation state: cycle guard and a memo valid within one top-level evaluation.
  bool evaluating = false;
  bool memoOk = false;
  uint32_t memoEpoch = 0;
  int32_t memoValue = 0;
  SymbolEntry* nextSameName = nullptr;

  int32_t line() const { return definitionKind == DefinitionKind::Statement ? static_cast<int32_t>(definition->line) : definitionKind == DefinitionKind::Address ? static_cast<int32_t>(definitionLine) : -1; }
  uint32_t fileIndex() const { return definitionKind == DefinitionKind::Statement ? definition->fileIndex : definitionKind == DefinitionKind::Address ? definitionFile : 0; }
};

struct ScopeFrame {
  uint32_t scopeId;
  const StatementRecord* opening;
};

class SymbolTable {
 public:
  SymbolTable() { resetScopes(); }
  void reserveNames(size_t count);

  SymbolEntry* lookup(uint32_t nameId) const;
  // A new entry in the current scope; never checks for duplicates.
  SymbolEntry* define(uint32_t nameId);
  // Moves an entry to the global scope (a `.var` variable).
  void moveToGlobal(SymbolEntry* entry);

  void openScope(const StatementRecord* opening);
  [[nodiscard]] bool closeScope();
  void resetScopes();
  const ScopeFrame& currentScope() const { return stack.back(); }
  size_t depth() const { return stack.size(); }

  // Every entry, in insertion order.
  const std::deque<SymbolEntry>& entries() const { return all; }
  size_t size() const { return all.size(); }

 private:
  struct NameInfo {
    SymbolEntry* first = nullptr;
    SymbolEntry* last = nullptr;
    uint32_t count = 0;
  };
  bool onStack(uint32_t scopeId) const { return scopeId < open.size() && open[scopeId] != 0; }
  SymbolEntry* probe(uint32_t nameId, uint32_t scopeId) const;
  void insertKey(SymbolEntry* entry);
  void eraseKey(SymbolEntry* entry);
  void growMap();

  std::deque<SymbolEntry> all;
  std::vector<NameInfo> names;
  std::vector<ScopeFrame> stack;
  std::vector<uint8_t> open;  // by scope id: on the stack now
  uint32_t scopeCounter = 1;
  // (name, scope) -> first entry, kept only for names that have more than one entry.
  std::vector<SymbolEntry*> map;
  size_t mapUsed = 0;
};

}  // namespace zendra
