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
  Address,    // the program counter where the defining statement began
};

// Entry indices fit in 28 bits: entries are made by statements executed in pass 1, which a
// pass bounds far below that (kMaxExecutions).
constexpr uint32_t kNoEntry = (uint32_t{1} << 28) - 1;

// Kept to 32 bytes: a large source defines hundreds of thousands of names. Links between
// entries are indices into the table; what few entries need (a variable's value, the value the
// symbol file shows, the scope lists of inner scopes) is kept beside the table.
struct SymbolEntry {
  // Statement kind: the statement whose operand gives the value. Address kind: the statement
  // that defined the name (its line and file), or none.
  const StatementRecord* definition = nullptr;
  uint32_t nameId = kNoName;
  uint32_t scopeId = 1;
  // What `*` means inside the definition; for the Address kind, the address itself.
  int32_t definitionPc = kInitialPc;
  uint32_t order = 0;  // insertion order: the entry's own index
  // Scope bookkeeping, kept by the table, and flags in the links' spare bits.
  uint32_t hides : 28 = kNoEntry;  // next entry down the name's chain (an outer scope)
  DefinitionKind definitionKind : 2 = DefinitionKind::None;
  bool hasVariable : 1 = false;
  bool isMacro : 1 = false;           // defined by `.macro`/`.segment`: the definition holds the body
  uint32_t hiddenBy : 28 = kNoEntry;  // next entry up the chain (an inner scope)
  bool evaluating : 1 = false;        // cycle guard while its definition is evaluated
  bool visible : 1 = false;           // linked in its name's chain
  bool twinBehind : 1 = false;        // a later entry shares this name and scope

  int32_t line() const {
    return definitionKind == DefinitionKind::None || definition == nullptr
               ? -1
               : static_cast<int32_t>(definition->line);
  }
  uint32_t fileIndex() const {
    return definitionKind == DefinitionKind::None || definition == nullptr ? 0
                                                                           : definition->fileIndex;
  }
  // The recorded body of a macro or segment, with how its calls treat scopes.
  const MacroRecord* macro() const { return isMacro ? definition->macro() : nullptr; }
};
static_assert(sizeof(SymbolEntry) == 32, "one entry per name of a large source");

using SymbolPool = Pool<SymbolEntry, 4096>;

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
    if (nameId >= chains.size()) return nullptr;
    uint32_t top = chains[nameId].top;
    return top == kNoEntry ? nullptr : at(top);
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
  const SymbolPool& entries() const { return all; }
  size_t size() const { return all.size(); }

  int32_t variableValue(const SymbolEntry& entry) const { return variables[entry.order]; }
  void setVariableValue(const SymbolEntry& entry, int32_t value);
  // The value the symbol file shows: the address for the Address kind, else the value last
  // stored. Stored values are kept only when `keepValues` is set (a symbol file is written).
  int32_t storedValue(const SymbolEntry& entry) const;
  void storeValue(const SymbolEntry& entry, int32_t value);
  bool keepValues = false;

 private:
  struct Chain {
    uint32_t top = kNoEntry;
    uint32_t bottom = kNoEntry;
  };
  SymbolEntry* at(uint32_t index) const { return const_cast<SymbolEntry*>(&all[index]); }
  SymbolEntry* link(uint32_t index) const { return index == kNoEntry ? nullptr : at(index); }
  void push(SymbolEntry* entry);
  void linkBottom(SymbolEntry* entry);
  void unlink(SymbolEntry* entry);
  void replace(SymbolEntry* old, SymbolEntry* entry);
  void appendToScope(SymbolEntry* entry);
  SymbolEntry* laterTwin(const SymbolEntry* entry, uint32_t scopeId) const;

  SymbolPool all;
  std::vector<Chain> chains;         // by name id
  std::vector<uint32_t> scopeTails;  // by scope id: the last entry defined there
  std::vector<ScopeFrame> stack;
  // By entry, for entries of inner scopes: the next entry of the same scope, circular in
  // definition order. Global entries need none: the global scope is never closed.
  std::vector<uint32_t> nextInScope;
  std::vector<int32_t> variables;  // by entry, once some entry is a variable
  std::vector<int32_t> values;     // by entry, for the symbol file
  uint32_t scopeCounter = 1;
};

}  // namespace zendra
