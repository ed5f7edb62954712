// Executing one statement: conditional step, label, `*=`, instruction, pseudo-op, macro call,
// in that order; and the pseudo-ops that belong to no other handler.
#include "exec/executor.h"

#include "driver/assembler.h"
#include "expr/evaluator.h"
#include "source/path_rules.h"
#include "source/source_loader.h"

namespace zendra {
namespace {

bool isConditional(PseudoOp op) {
  switch (op) {
    case PseudoOp::If:
    case PseudoOp::Ifeq:
    case PseudoOp::Ifne:
    case PseudoOp::Ifmi:
    case PseudoOp::Ifpl:
    case PseudoOp::Ifdef:
    case PseudoOp::Ifndef:
    case PseudoOp::Endif: return true;
    default: return false;
  }
}

int32_t selectByte(const ExprNode* root, int32_t value) {
  if (root->highByte) return (value >> 8) & 255;
  if (root->lowByte) return value & 255;
  return value;
}

// Pass 1: a new entry for the statement's label, or error 26 for a second one in this scope.
bool defineLabel(Assembler& as, StatementRecord& st) {
  SymbolEntry* found = as.symbols.lookup(st.labelId);
  bool isVar = st.pseudoOp == PseudoOp::Var;
  if (found != nullptr &&
      (found->scopeId == as.symbols.currentScope().scopeId || (isVar && found->scopeId == 1))) {
    if (isVar) return true;  // the `.var` handler assigns it
    std::string text = "\"";
    text.append(as.labelText(st)).append("\" previously defined at line ");
    text += std::to_string(found->line());
    return as.fail(ErrorCode::DoubleDefined, text);
  }
  SymbolEntry* entry = as.symbols.define(st.labelId);
  entry->definitionPc = as.startPc;
  bool assignment = st.mnemonicIndex == StatementRecord::kNoMnemonic &&
                    st.pseudoOp == PseudoOp::None && st.macro() == nullptr && !st.setPc &&
                    st.operand != nullptr;
  if (assignment) {
    entry->definitionKind = DefinitionKind::Statement;
    entry->definition = &st;
  } else if (st.pseudoOp == PseudoOp::Lbl) {
    ExprNode* index = as.nodes.make();
    index->kind = ExprKind::LineIndex;
    index->value = static_cast<int32_t>(st.line) - 1;
    st.operand = index;
    entry->definitionKind = DefinitionKind::Statement;
    entry->definition = &st;
    as.symbols.storeValue(*entry, index->value);
  } else {
    entry->definitionKind = DefinitionKind::Address;
    entry->definition = &st;
  }
  return true;
}

// Pass 2: the value the symbol file shows, from the definition; failures are the uses' to report.
void refreshLabel(Assembler& as, const StatementRecord& st) {
  SymbolEntry* entry = as.symbols.lookup(st.labelId);
  if (entry == nullptr) return;
  // An address is shown as it is; a definition is evaluated again.
  if (entry->definitionKind != DefinitionKind::Statement) return;
  const ExprNode* root = entry->definition->operand;
  int32_t value = 0;
  if (root != nullptr && evaluateRaw(as, root, true, entry->definitionPc, value))
    as.symbols.storeValue(*entry, selectByte(root, value));
  as.errorCodePending = ErrorCode::Ok;
  as.errorText.clear();
}

bool setProgramCounterLine(Assembler& as, const StatementRecord& st) {
  int32_t value = 0;
  if (st.operand == nullptr || !evaluate(as, st.operand, true, as.startPc, value))
    return as.fail(ErrorCode::Unknown);
  as.pc = static_cast<int32_t>(static_cast<uint32_t>(value) & 0xFFFF);
  return true;
}

// One expression operand evaluated the usual way; 5 without one, 11 when it fails.
bool evaluateOperand(Assembler& as, const StatementRecord& st, int32_t& value) {
  if (st.operand == nullptr) return as.fail(ErrorCode::MissingOperand);
  if (!evaluate(as, st.operand, as.strict(), as.startPc, value))
    return as.fail(ErrorCode::InvalidExpression);
  return true;
}

void pushInclude(Assembler& as, const StatementRecord& st) {
  as.includeStack.push_back(
      {st.fileIndex, as.symbols.currentScope().scopeId, as.ifDepth, as.skipLevel, st.line});
}

// Closes a file: a scope it left open is reported at its `.block` and closed (failing the
// pass), and the conditional depth returns to what it was at the `.include`, silently.
bool executeEndOfFile(Assembler& as, const StatementRecord& st) {
  IncludeRecord record{st.fileIndex, 1, 0, 0, 0};
  if (!as.includeStack.empty()) {
    record = as.includeStack.back();
    as.includeStack.pop_back();
  }
  const ScopeFrame& scope = as.symbols.currentScope();
  if (record.scopeId != scope.scopeId) {
    // Without an opening statement (a `.bend` in the file closed the includer's scope), the
    // `.include` line is the place to name.
    if (scope.opening != nullptr)
      as.reportError(ErrorCode::BlockWithoutBend, static_cast<int32_t>(scope.opening->line),
                     as.fileName(scope.opening->fileIndex));
    else
      as.reportError(ErrorCode::BlockWithoutBend, static_cast<int32_t>(record.line),
                     as.fileName(record.fileIndex));
    as.passFailed = true;
    while (as.symbols.currentScope().scopeId != record.scopeId && as.symbols.closeScope()) {
    }
    as.errorCodePending = ErrorCode::Ok;
  }
  // Only the depth comes back: skipping begun in the file goes on until an `.endif`.
  as.ifDepth = record.ifDepth;
  return true;
}

bool executeBinary(Assembler& as, StatementRecord& st) {
  auto loaded = as.binaryData.find(&st);
  if (as.pass == 1 || loaded == as.binaryData.end()) {
    const ExprNode* first = st.operandCount() > 0 ? st.listItem(0) : nullptr;
    std::string_view name =
        first != nullptr && first->kind == ExprKind::String ? first->text() : "";
    if (isMissingFileName(name)) return as.fail(ErrorCode::FilenameMissing);
    std::string found = findSourceFile(as.fileName(st.fileIndex), name, as.settings.includeDirs);
    if (found.empty()) return as.fail(ErrorCode::FileDoesNotExist, name);
    if (!loadBinaryFile(as, found, st)) {
      as.errorText.assign(name);
      return false;
    }
  }
  int32_t skip = 0;
  if (st.operandCount() >= 2 &&
      !evaluate(as, st.listItem(st.operandCount() - 1), as.strict(), as.startPc, skip))
    return as.fail(ErrorCode::InvalidExpression);
  const std::vector<uint8_t>& data = *as.binaryData[&st];
  bool listing = as.listing.enabled;
  as.listing.enabled = false;  // the statement's line shows no bytes
  bool ok = true;
  for (size_t i = static_cast<uint32_t>(skip); ok && i < data.size(); ++i)
    ok = emitByte(as, data[i], ByteKind::ByteData, st);
  as.listing.enabled = listing;
  return ok;
}

bool executePseudoOp(Assembler& as, StatementRecord& st) {
  int32_t value = 0;
  switch (st.pseudoOp) {
    case PseudoOp::Block: as.symbols.openScope(&st); return true;
    case PseudoOp::Bend:
      if (!as.symbols.closeScope()) return as.fail(ErrorCode::BendWithoutBlock);
      return true;
    case PseudoOp::Include: pushInclude(as, st); return true;
    case PseudoOp::EndOfFile: return executeEndOfFile(as, st);
    case PseudoOp::Binary: return executeBinary(as, st);
    case PseudoOp::Offs:
      if (!evaluateOperand(as, st, value)) return false;
      as.image.offsetValue = value;
      return true;
    case PseudoOp::Eor:
      if (!evaluateOperand(as, st, value)) return false;
      as.image.eorMask = static_cast<uint8_t>(value);
      return true;
    case PseudoOp::End: as.endSeen = true; return true;
    case PseudoOp::Hidemac: as.listing.showMacros = false; return true;
    case PseudoOp::Showmac: as.listing.showMacros = true; return true;
    case PseudoOp::Proff:
      if (as.listing.enabled && as.listing.file != nullptr) {
        finishListLine(as, false);
        as.listing.current = nullptr;  // listed once, here, with its text
      }
      as.listing.enabled = false;
      return true;
    case PseudoOp::Pron: as.listing.enabled = true; return true;
    case PseudoOp::Macro:
    case PseudoOp::Segment: return executeMacroDefinition(as, st);
    case PseudoOp::Goto: return executeGoto(as, st);
    case PseudoOp::Var: return executeVar(as, st);
    case PseudoOp::Byte:
    case PseudoOp::Word:
    case PseudoOp::Rta: return emitDataList(as, st);
    case PseudoOp::Repeat: return emitRepeat(as, st);
    case PseudoOp::Text:
    case PseudoOp::Null:
    case PseudoOp::Shift:
    case PseudoOp::Screen: return emitText(as, st);
    case PseudoOp::Bounce: return emitBounce(as, st);
    case PseudoOp::If:
    case PseudoOp::Ifeq:
    case PseudoOp::Ifne:
    case PseudoOp::Ifmi:
    case PseudoOp::Ifpl:
    case PseudoOp::Ifdef:
    case PseudoOp::Ifndef:
    case PseudoOp::Endif:
    case PseudoOp::Endm:
    case PseudoOp::Lbl:
    case PseudoOp::None: return true;
  }
  return true;
}

}  // namespace

bool executeStatement(Assembler& as, StatementRecord& st) {
  if (as.pass == 2) {
    beginListLine(as, st);
    if (st.extra != nullptr) st.extra->scopeId = as.symbols.currentScope().scopeId;
  }
  as.startPc = as.pc;
  as.errorCodePending = ErrorCode::Ok;
  as.errorText.clear();
  if (isConditional(st.pseudoOp) && !conditionStep(as, st)) return false;
  if (as.skipLevel > 0) return true;
  if (st.hasLabel()) {
    if (as.pass == 1) {
      if (!defineLabel(as, st)) return false;
    } else if (!as.settings.symbolName.empty()) {
      refreshLabel(as, st);  // the stored value is read by the symbol file alone
    }
  }
  if (st.setPc && !setProgramCounterLine(as, st)) return false;
  if (st.mnemonicIndex != StatementRecord::kNoMnemonic && !encodeInstruction(as, st)) return false;
  if (st.pseudoOp != PseudoOp::None) return executePseudoOp(as, st);
  if (st.macro() != nullptr) return expandMacro(as, st);
  return true;
}

bool checkJumpTarget(Assembler& as, const StatementList& list, size_t& position) {
  const StatementRecord* target = as.gotoTarget;
  if (target == nullptr) return true;
  if (target->position < list.size() && list[target->position] == target) {
    as.gotoTarget = nullptr;
    position = target->position;
    return true;
  }
  return false;
}

}  // namespace zendra
