// Symbol table: names in numbered scopes, found innermost scope first.
// A name's value is not stored for its uses: it is computed from its definition each time.
// Each name keeps the chain of its entries that open scopes make visible, innermost on top,
// so a lookup is one indexed read whatever the nesting; scopes push and pop their entries.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/pool.h"
#include "source/statement_record.h"

namespace zendra {

enum class DefinitionKind : uint8_t {
  None,       // no definition: uses fail with "missing label"
  Statement,  // `name = expression`, `.lbl`, a name from the command line: its operand
  Address,    // a made-up record: the program counter where the defining statement began
};

// Fields are ordered by size so that the hundreds of thousands of entries pack tightly.
struct SymbolEntry {
  const StatementRecord* definition = nullptr;  // Statement kind
  const StatementList* body = nullptr;          // a macro's or segment's recorded statements
  // Scope bookkeeping, kept by the table.
  SymbolEntry* hides = nullptr;        // next entry down the name's chain (an outer scope)
  SymbolEntry* hiddenBy = nullptr;     // next entry up the chain (an inner scope)
  SymbolEntry* nextInScope = nullptr;  // circular, in definition order
  uint32_t nameId = kNoName;
  uint32_t scopeId = 1;
  uint32_t order = 0;           // insertion order, for equal names in the symbol file
  uint32_t definitionLine = 0;  // Address kind; Statement kind reads its record
  // What `*` means inside the definition; for the Address kind, the address itself.
  int32_t definitionPc = 4096;
  int32_t value = 0;  // as last stored, for the symbol file
  int32_t variableValue = 0;
  // Evaluation state: a memo valid within one top-level evaluation, and a cycle guard.
  uint32_t memoEpoch = 0;
  int32_t memoValue = 0;
  uint16_t definitionFile = 0;
  DefinitionKind definitionKind = DefinitionKind::None;
  bool hasVariable = false;
  bool opensScope = false;
  bool isSegment = false;
  bool evaluating = false;
  bool memoOk = false;
  bool visible = false;     // linked in its name's chain
  bool twinBehind = false;  // a later entry shares this name and scope

  int32_t line() const {
    switch (definitionKind) {
      case DefinitionKind::None: return -1;
      case DefinitionKind::Statement: return static_cast<int32_t>(definition->line);
      case DefinitionKind::Address: return static_cast<int32_t>(definitionLine);
    }
    return -1;
  }
  uint32_t fileIndex() const {
    switch (definitionKind) {
      case DefinitionKind::None: return 0;
      case DefinitionKind::Statement: return definition->fileIndex;
      case DefinitionKind::Address: return definitionFile;
    }
    return 0;
  }
};

struct ScopeFrame {
  uint32_t scopeId;
  const StatementRecord* opening;
};

class SymbolTable {
 public:
  SymbolTable() { resetScopes(); }
  void reserveNames(size_t count);

  // The entry of the innermost open scope that has the name (the first defined there), or null.
  SymbolEntry* lookup(uint32_t nameId) const {
    return nameId < chains.size() ? chains[nameId].top : nullptr;
  }
  // A new entry in the current scope; never checks for duplicates.
  SymbolEntry* define(uint32_t nameId);
  // Moves an entry to the global scope (a `.var` variable).
  void moveToGlobal(SymbolEntry* entry);

  void openScope(const StatementRecord* opening);
  [[nodiscard]] bool closeScope();
  // Back to the global scope alone, with scope numbers starting again (each pass).
  void resetScopes();
  const ScopeFrame& currentScope() const { return stack.back(); }

  // Every entry, in insertion order.
  const Pool<SymbolEntry>& entries() const { return all; }
  size_t size() const { return all.size(); }
  // Drops every evaluation memo (when the epoch counter starts again).
  void forgetMemos();

 private:
  struct Chain {
    SymbolEntry* top = nullptr;
    SymbolEntry* bottom = nullptr;
  };
  void push(SymbolEntry* entry);
  void linkBottom(SymbolEntry* entry);
  void unlink(SymbolEntry* entry);
  void replace(SymbolEntry* old, SymbolEntry* entry);
  void appendToScope(SymbolEntry* entry);
  SymbolEntry* laterTwin(const SymbolEntry* entry, uint32_t scopeId) const;

  Pool<SymbolEntry> all;
  std::vector<Chain> chains;             // by name id
  std::vector<SymbolEntry*> scopeTails;  // by scope id: the last entry defined there
  std::vector<ScopeFrame> stack;
  uint32_t scopeCounter = 1;
};

}  // namespace zendra
