// Macros and segments (definition, call, expansion with `\n` and `@n` arguments), jumps
// (`.lbl`/`.goto`) and variables (`.var`). Copies made by a call live until the run ends,
// since symbol entries and the symbol file may still point at them after a re-expansion.
#include <string>

#include "driver/assembler.h"
#include "exec/executor.h"
#include "expr/evaluator.h"
#include "source/line_parser.h"
#include "source/path_rules.h"
#include "source/source_loader.h"
#include "text/control_codes.h"
#include "text/petscii.h"

namespace zendra {
namespace {

StatementRecord* copyStatement(Assembler& as, const StatementRecord& original) {
  StatementRecord* copy = as.newStatement();
  *copy = original;
  if (original.extra == nullptr) return copy;
  // What a copy records of its own runs (addresses, scope, loaded include) is its own.
  copy->extra = as.newExtra(*original.extra);
  copy->extra->scopeId = 0;
  copy->extra->includeLoaded = false;
  MacroRecord* macro = original.macro();
  if (macro != nullptr && original.pseudoOp == PseudoOp::None) {
    // A nested call gets a record of its own, so each copy expands separately.
    MacroRecord* call = as.newMacro();
    call->name = macro->name;
    call->nameId = macro->nameId;
    copy->extra->macro = call;
  }
  return copy;
}

// Replaces `@n` by argument n: verbatim inside quotes, through the control-code round trip
// outside them. Returns whether any reference was found.
bool substituteArguments(Assembler& as, std::string_view text, std::string& out) {
  out.clear();
  bool inQuotes = false;
  bool found = false;
  const MacroArguments* args = as.macroArgs;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') inQuotes = !inQuotes;
    if (c != '@' || i + 1 >= text.size() || text[i + 1] < '0' || text[i + 1] > '9') {
      out += c;
      continue;
    }
    found = true;
    size_t number = static_cast<size_t>(text[++i] - '0');
    if (args == nullptr || number < 1 || number > args->size()) continue;
    std::string_view argument = (*args)[number - 1].text;
    if (inQuotes)
      out.append(argument);
    else
      out += petsciiTextToAscii(encodeControlText(argument).bytes);
    // A macro that passes its own text on to itself doubles the line at every level.
    if (out.size() > kMaxSubstitutedLine) return true;
  }
  return found;
}

// Reads the file of an `.include` met in an expansion and places it right after the `.include`.
// False when nothing was placed (reported here): the `.include` must then not run, since no
// end-of-file marker would pop the include record it pushes.
bool loadIncludeInExpansion(Assembler& as, StatementList& list, size_t position,
                            const StatementRecord& include, const StatementRecord& call) {
  list[position]->extra->includeLoaded = true;
  std::string_view name = include.stringOperand();
  if (isMissingFileName(name)) {
    as.reportError(ErrorCode::FilenameMissing, static_cast<int32_t>(include.line),
                   as.fileName(include.fileIndex));
    as.passFailed = true;
    return false;
  }
  std::string found = findSourceFile(as.fileName(include.fileIndex), name, as.settings.includeDirs);
  if (found.empty()) {
    as.reportError(ErrorCode::FileDoesNotExist, static_cast<int32_t>(call.line),
                   as.fileName(call.fileIndex), name, -1);
    as.passFailed = true;
    return false;
  }
  StatementList loaded;
  if (!loadSource(as, found, nullptr, loaded, true)) as.passFailed = true;
  if (loaded.empty()) return false;
  auto after = list.begin() + static_cast<std::ptrdiff_t>(position) + 1;
  list.insert(after, loaded.begin(), loaded.end());
  for (size_t i = position + 1; i < list.size(); ++i) list[i]->position = static_cast<uint32_t>(i);
  return true;
}

bool buildArguments(Assembler& as, const StatementRecord& call, MacroArguments& args) {
  args.clear();
  for (uint32_t i = 0; i < call.operandCount(); ++i) {
    const ExprNode* item = call.listItem(i);
    MacroArgument arg;
    if (item->kind == ExprKind::String) {
      arg.kind = ExprKind::String;
      arg.text = item->text();
    } else if (!evaluate(as, item, as.strict(), as.startPc, arg.value, &arg.unresolved)) {
      return as.fail(ErrorCode::InvalidExpression);
    }
    args.push_back(arg);
  }
  return true;
}

// Pass 2 runs the copies of a call's last pass-1 expansion every time the call is met, while a
// jump target defined in an earlier expansion still names that expansion's copy. Pointing the
// entry at the copy of the same line that runs keeps a `.goto` inside the list being executed.
void adoptJumpTarget(Assembler& as, StatementRecord& st) {
  if (!st.hasLabel()) return;
  SymbolEntry* entry = as.symbols.lookup(st.labelId);
  if (entry == nullptr || entry->definitionKind != DefinitionKind::Statement) return;
  const StatementRecord* old = entry->definition;
  if (old == &st || st.extra == nullptr || old->rawText().data() != st.rawText().data()) return;
  // A `.lbl` copy first made in this pass has no line-index leaf yet; the line is the same.
  if (st.operand == nullptr) st.operand = old->operand;
  entry->definition = &st;
}

// The pass has run more statements than any real source needs: a `.goto` loop around a large
// body, or expansions of large bodies. Reported once; the pass then ends.
void reportWorkLimit(Assembler& as, const StatementRecord& st) {
  ErrorCode code = as.gotoCount > 0 ? ErrorCode::TooManyGotos : ErrorCode::NestedMacro;
  as.reportError(code, static_cast<int32_t>(st.line), as.fileName(st.fileIndex));
  as.passFailed = true;
  as.abortExpansions = true;
  as.endSeen = true;
}

void reportExpansionLimit(Assembler& as, const StatementRecord& call) {
  as.reportError(ErrorCode::NestedMacro, static_cast<int32_t>(call.line),
                 as.fileName(call.fileIndex));
  as.passFailed = true;
  as.abortExpansions = true;
}

}  // namespace

bool runStatementList(Assembler& as, StatementList& list, const StatementRecord* call) {
  std::string substituted;
  LineParser parser(as);
  parser.keepText = true;  // a rebuilt line is listed, and jumps compare lines by their text
  for (size_t k = 0; k < list.size() && !as.endSeen; ++k) {
    if (call != nullptr && as.abortExpansions) return true;
    StatementRecord* st = list[k];
    if (++as.executionsThisPass > kMaxExecutions) {
      reportWorkLimit(as, *st);
      return true;
    }
    if (as.pass == 1 && st->extra != nullptr) st->extra->pcBefore = as.pc;
    if (call != nullptr) {
      // A line with `@n` is rebuilt from the argument texts, which are the same every time
      // this copy runs; the rebuilt record takes the copy's place in the list, so later
      // executions, jumps and the symbol file all see the statement that really ran.
      // Lines run by an expansion keep their text; end-of-file markers have none.
      if (st->extra != nullptr && !st->extra->substituted &&
          substituteArguments(as, st->rawText(), substituted)) {
        if (substituted.size() > kMaxSubstitutedLine) {
          as.errorCodePending = ErrorCode::BadLine;
          return false;
        }
        StatementRecord* fresh = as.newStatement();
        fresh->line = st->line;
        fresh->fileIndex = st->fileIndex;
        fresh->position = st->position;
        if (!parser.parseLine(*fresh, ParseState::LineStart, as.texts.store(substituted))) {
          as.errorCodePending = parser.errorCode;
          as.errorText = parser.errorText;
          return false;
        }
        fresh->extra->pcBefore = st->extra->pcBefore;
        fresh->extra->substituted = true;
        list[k] = fresh;
        st = fresh;
      }
      if (st->pseudoOp == PseudoOp::Include && !st->extra->includeLoaded &&
          !loadIncludeInExpansion(as, list, k, *st, *call))
        continue;
    }
    bool ok = executeStatement(as, *st);
    if (call != nullptr && as.pass == 2 && as.skipLevel == 0) adoptJumpTarget(as, *st);
    if (!ok) {
      if (call != nullptr && as.errorCodePending == ErrorCode::IllegalParameter)
        as.reportPending(*call);
      else
        as.reportPending(*st);
    }
    if (as.pass == 1 && st->extra != nullptr) st->extra->pcAfter = as.pc;
    if (as.gotoTarget != nullptr && !checkJumpTarget(as, list, k)) {
      if (call != nullptr) return true;  // the enclosing list looks for it next
      as.reportError(ErrorCode::MissingLabel, static_cast<int32_t>(as.gotoSource->line),
                     as.fileName(as.gotoSource->fileIndex));
      as.passFailed = true;
      as.gotoTarget = nullptr;
    }
  }
  return true;
}

bool executeMacroDefinition(Assembler& as, StatementRecord& st) {
  if (as.pass == 1) {
    SymbolEntry* entry = st.hasLabel() ? as.symbols.lookup(st.labelId) : nullptr;
    if (entry == nullptr) return as.fail(ErrorCode::Unknown);
    // The body stays with the definition; the entry refers to it.
    if (entry->definition != &st) return as.fail(ErrorCode::Unknown);
    entry->isMacro = true;
    return true;
  }
  // The definition's own lines appear in the listing where it stands.
  for (StatementRecord* line : st.macro()->body) {
    if (as.endSeen) break;
    beginListLine(as, *line);
  }
  return true;
}

bool expandMacro(Assembler& as, StatementRecord& call) {
  if (as.abortExpansions) return true;
  MacroRecord& record = *call.macro();
  SymbolEntry* entry = as.symbols.lookup(record.nameId);
  if (entry == nullptr) return as.fail(ErrorCode::MissingLabel);
  if (as.macroDepth >= kMaxMacroDepth || as.expansionsThisPass >= kMaxExpansions) {
    reportExpansionLimit(as, call);
    return true;
  }
  ++as.expansionsThisPass;
  if (as.pass == 1 || record.copies == nullptr) {
    // Copies live to the end of the run, so their number is bounded too: a loop of calls of a
    // large body would otherwise fill the memory before any other limit is reached.
    const StatementList* body = entry->macro() != nullptr ? &entry->macro()->body : nullptr;
    size_t bodySize = body != nullptr ? body->size() : 0;
    as.copiesMade += bodySize;
    if (as.copiesMade > kMaxCopies) {
      reportExpansionLimit(as, call);
      return true;
    }
    StatementList* copies = as.newList();
    if (body != nullptr) {
      copies->reserve(body->size());
      for (const StatementRecord* original : *body) {
        StatementRecord* copy = copyStatement(as, *original);
        copy->position = static_cast<uint32_t>(copies->size());
        copies->push_back(copy);
      }
    }
    call.extra->macroCallIndex = as.expansionCounter++;
    if (as.pass == 1) as.expansions.push_back({call.extra->macroCallIndex, copies});
    record.copies = copies;
  }
  // macroArgs points into this stack while the enclosing expansions run, so it must never
  // reallocate: room for every depth is reserved once.
  if (as.argumentStack.capacity() < static_cast<size_t>(kMaxMacroDepth) + 1)
    as.argumentStack.reserve(static_cast<size_t>(kMaxMacroDepth) + 1);
  if (as.argumentStack.size() <= static_cast<size_t>(as.macroDepth))
    as.argumentStack.resize(static_cast<size_t>(as.macroDepth) + 1);
  MacroArguments& args = as.argumentStack[static_cast<size_t>(as.macroDepth)];
  if (!buildArguments(as, call, args)) return false;

  const MacroArguments* savedArgs = as.macroArgs;
  as.macroArgs = call.operandCount() > 0 ? &args : nullptr;
  bool opensScope = entry->macro() != nullptr && entry->macro()->opensScope;
  if (opensScope) as.symbols.openScope(&call);
  bool savedListing = as.listing.enabled;
  if (!as.listing.showMacros) as.listing.enabled = false;
  int32_t pcAtStart = as.pc;
  ++as.macroDepth;
  bool ok = runStatementList(as, *record.copies, &call);
  --as.macroDepth;
  as.listing.enabled = savedListing;
  if (opensScope) (void)as.symbols.closeScope();
  if (as.pass == 2 && as.pc != pcAtStart) call.emitted = true;
  as.macroArgs = savedArgs;
  return ok;
}

bool executeGoto(Assembler& as, StatementRecord& st) {
  const ExprNode* name = st.operand;
  if (name == nullptr || name->kind != ExprKind::Label || name->text().empty())
    return as.fail(ErrorCode::MissingLabel);
  SymbolEntry* entry = as.symbols.lookup(static_cast<uint32_t>(name->value));
  if (entry == nullptr || entry->definitionKind == DefinitionKind::None)
    return as.fail(ErrorCode::MissingLabel);
  if (as.gotoCount > kMaxGotos) {
    ++as.gotoCount;
    return as.fail(ErrorCode::TooManyGotos);
  }
  ++as.gotoCount;
  as.gotoTarget = entry->definitionKind == DefinitionKind::Statement ? entry->definition
                                                                     : &as.unreachableTarget;
  as.gotoSource = &st;
  return true;
}

bool executeVar(Assembler& as, StatementRecord& st) {
  if (!st.hasLabel()) return as.fail(ErrorCode::MissingLabel);
  if (st.operand == nullptr) return as.fail(ErrorCode::MissingOperand);
  int32_t value = 0;
  if (!evaluate(as, st.operand, as.strict(), as.startPc, value)) {
    if (as.errorCodePending == ErrorCode::Ok) as.errorCodePending = ErrorCode::InvalidExpression;
    return false;
  }
  SymbolEntry* entry = as.symbols.lookup(st.labelId);
  if (entry == nullptr) {
    entry = as.symbols.define(st.labelId);
    entry->definitionKind = DefinitionKind::Address;
    entry->definitionPc = as.startPc;
    entry->definition = &st;
  }
  if (!entry->hasVariable) {
    as.symbols.moveToGlobal(entry);
    entry->hasVariable = true;
  }
  as.symbols.setVariableValue(*entry, value);
  return true;
}

}  // namespace zendra
