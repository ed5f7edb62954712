// The Assembler: everything one run holds, from the settings to the memory image.
// Subsystems keep their state here and reach each other through it; see each header.
#pragma once

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/error_table.h"
#include "driver/pool.h"
#include "exec/wave.h"
#include "expr/evaluator.h"
#include "expr/expr_node.h"
#include "expr/name_table.h"
#include "expr/symbol_table.h"
#include "output/listing_writer.h"
#include "output/memory_image.h"
#include "source/statement_record.h"

namespace zendra {

struct RunSettings {
  std::string inputName;
  std::string outputName;
  std::string symbolName;
  std::string listName;
  uint32_t startAddress = 0x1000;
  bool quiet = false;
  bool petsciiConversion = true;
  bool omitLoad = false;
  bool caseSensitive = true;
  bool showMacros = true;
  bool listingEnabled = true;
  bool overlapTolerated = true;
  uint8_t allowedClasses = kAllClasses;
  std::vector<std::string> includeDirs;
};

struct IncludeRecord {
  uint16_t fileIndex;
  uint32_t scopeId;
  int32_t ifDepth;
  int32_t skipLevel;
  uint32_t line;
};

struct MacroArgument {
  int32_t value = 0;
  std::string_view text;
  ExprKind kind = ExprKind::Number;
  bool unresolved = false;
};
using MacroArguments = std::vector<MacroArgument>;

// One macro call executed in pass 1: its number and the copies it ran (for the symbol file).
struct Expansion {
  uint32_t number;
  const StatementList* copies;
};

// A source file. It is read in blocks; the blocks whose text some statement keeps (strings,
// macro lines, every line when a listing is written) stay here and never move.
struct SourceFile {
  std::string name;
  std::vector<std::unique_ptr<char[]>> blocks;
};

constexpr int kMaxMacroDepth = 256;
constexpr uint32_t kMaxExpansions = 1000000;
constexpr uint64_t kMaxCopies = uint64_t{1} << 23;  // statements copied by expansions in a run
constexpr int kMaxLoads = 1000;                     // a statement's file index has room for 1,023
constexpr int kMaxGotos = 65535;
// Work a pass may do: statements executed, and bytes one `.repeat` may emit. Both lie far
// above real sources; beyond them a loop or a fill would run for hours.
constexpr uint64_t kMaxExecutions = uint64_t{1} << 27;
constexpr uint64_t kMaxRepeatBytes = uint64_t{1} << 24;
// Symbols are defined by statements executed in pass 1 and by the command line's names (far
// fewer), so their indices stay below kNoEntry.
static_assert(kMaxExecutions + kMaxExecutions / 2 < kNoEntry, "every symbol has an index");
// Longest line that `@n` substitution may build: arguments passed on through nested calls
// could otherwise double it at every level.
constexpr size_t kMaxSubstitutedLine = size_t{1} << 20;

class Assembler {
 public:
  Assembler(RunSettings settings, std::ostream& out);
  Assembler(const Assembler&) = delete;
  Assembler& operator=(const Assembler&) = delete;
  ~Assembler();

  RunSettings settings;
  std::ostream& out;
  std::istream* in = nullptr;  // the source when the input name is empty

  // Source and statements.
  std::deque<SourceFile> files;         // by fileIndex
  Pool<StatementRecord> statementPool;  // every record of the run, never freed early
  Pool<StatementExtra> extraPool;
  Pool<MacroRecord, 256> macroPool;
  Pool<StatementList, 256> listPool;
  Pool<std::vector<uint8_t>, 16> binaryPool;
  // The contents a `.binary` statement loaded, kept so that pass 2 does not read it again.
  std::unordered_map<const StatementRecord*, const std::vector<uint8_t>*> binaryData;
  StatementList statements;
  int loadCount = 0;
  NodeArena nodes;
  TextStore texts;
  NameTable names;
  SymbolTable symbols;

  // Pass state.
  int pass = 0;
  int errorCount = 0;
  int overlapErrorCount = 0;
  int lastHeaderPass = 0;
  ErrorCode errorCodePending = ErrorCode::Ok;
  std::string errorText;
  bool endSeen = false;
  const StatementRecord* gotoTarget = nullptr;
  const StatementRecord* gotoSource = nullptr;
  StatementRecord unreachableTarget;  // the target of jumps to made-up definitions: in no list
  uint32_t gotoCount = 0;
  bool passFailed = false;
  bool abortExpansions = false;  // the expansion limit was hit: unwind every expansion

  // Execution state.
  int32_t pc = 0x1000;
  int32_t startPc = 0x1000;
  std::vector<IncludeRecord> includeStack;
  int32_t ifDepth = 0;
  int32_t skipLevel = 0;
  const MacroArguments* macroArgs = nullptr;
  std::vector<MacroArguments> argumentStack;  // by expansion depth, reused
  uint32_t expansionCounter = 1;
  uint32_t expansionsThisPass = 0;
  uint64_t executionsThisPass = 0;
  uint64_t copiesMade = 0;
  int macroDepth = 0;
  std::vector<Expansion> expansions;
  EvalMemo evalMemo;
  int evalDepth = 0;
  std::vector<const ExprNode*> evalSpine;
  WaveNoise waveNoise;

  MemoryImage image;
  ListingWriter listing;

  bool strict() const { return pass == 2; }
  // Stores the code (and its text) for the loop that ran the statement; always returns false.
  bool fail(ErrorCode code, std::string_view text = {}) {
    errorCodePending = code;
    errorText.assign(text.data(), text.size());
    return false;
  }
  std::string_view fileName(uint16_t index) const { return files[index].name; }
  uint32_t internName(std::string_view name);
  // The name as written, kept NUL-terminated for label leaves; `id` is internName's result.
  const char* spellingOf(std::string_view name, uint32_t id) {
    return settings.caseSensitive ? names.spelling(id) : names.spelling(names.intern(name));
  }

  StatementRecord* newStatement() { return &statementPool.emplace_back(); }
  StatementExtra* newExtra(const StatementExtra& from) { return &extraPool.emplace_back(from); }
  // Whether every statement keeps its line's text: the listing shows it, and under
  // `ignore-case` a label's spelling lives only there.
  bool keepsEveryText() const { return !settings.listName.empty() || !settings.caseSensitive; }
  // Whether every statement keeps its StatementExtra: the symbol file reads its addresses.
  bool keepsEveryExtra() const { return keepsEveryText() || !settings.symbolName.empty(); }
  // The label of a statement as written on its line.
  std::string_view labelText(const StatementRecord& st) const {
    if (!st.hasLabel()) return {};
    if (settings.caseSensitive) return names.name(st.labelId);
    return labelInText(st.rawText());
  }
  MacroRecord* newMacro() { return &macroPool.emplace_back(); }
  StatementList* newList() { return &listPool.emplace_back(); }

  // Prints an error under the pass header and counts it. line -1: no line; column -1: none.
  void reportError(ErrorCode code, int32_t line, std::string_view file, int32_t column = -1);
  void reportError(ErrorCode code, int32_t line, std::string_view file, std::string_view text,
                   int32_t column);
  // Reports the pending error at a statement, with its text when there is one, and clears it.
  void reportPending(const StatementRecord& st);
  void reportPendingAt(int32_t line, std::string_view file);
};

}  // namespace zendra
