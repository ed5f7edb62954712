// Instruction encoding: zero page or absolute by value, the absolute,Y fallback, branch
// offsets, and the range checks of the second pass.
#include "driver/assembler.h"
#include "exec/executor.h"
#include "expr/evaluator.h"

namespace zendra {
namespace {

using M = AddressingMode;

AddressingMode widened(AddressingMode mode) {
  switch (mode) {
    case M::ZeroPage: return M::Absolute;
    case M::ZeroPageX: return M::AbsoluteX;
    case M::ZeroPageY: return M::AbsoluteY;
    default: return mode;
  }
}

bool failEvaluation(Assembler& as) {
  if (as.errorCodePending == ErrorCode::Ok) as.errorCodePending = ErrorCode::InvalidExpression;
  return false;
}

}  // namespace

bool encodeInstruction(Assembler& as, StatementRecord& st) {
  const OpcodeEntry& entry = *st.mnemonic();
  AddressingMode mode = st.mode;
  int32_t value = 0;
  bool evaluated = false;
  if (mode == M::ZeroPage || mode == M::ZeroPageX || mode == M::ZeroPageY) {
    // Pass 1 counts an unresolved operand as 65535, so it is sized absolute until known.
    bool unresolved = false;
    if (!evaluate(as, st.operand, as.strict(), as.startPc, value, &unresolved))
      return failEvaluation(as);
    evaluated = true;
    if ((static_cast<uint32_t>(value) & 0xFFFF) > 255 || st.operand->forceWord || unresolved)
      mode = widened(mode);
  }
  if (mode == M::Unset || !entry.has(mode)) {
    if (!entry.has(M::AbsoluteY) || mode == M::AbsoluteX)
      return as.fail(ErrorCode::IllegalAddressingMode);
    mode = M::AbsoluteY;
  }
  if (!emitByte(as, entry.opcode(mode), ByteKind::Code, st)) return false;
  int length = modeLength(mode);
  if (length == 1) return true;

  // The operand means the same as when the size was chosen; only pass 1's bytes, which are
  // never stored, could see the difference the unresolved rule makes.
  if (!evaluated && !evaluate(as, st.operand, as.strict(), as.startPc, value))
    return failEvaluation(as);
  if (mode == M::Relative) {
    value =
        static_cast<int32_t>(static_cast<uint32_t>(value) - static_cast<uint32_t>(as.startPc + 2));
    if (as.pass == 2 && (value > 127 || value < -128)) return as.fail(ErrorCode::BranchOutOfRange);
  }
  if (!emitByte(as, value, ByteKind::Code, st)) return false;
  if (length == 3) return emitByte(as, value >> 8, ByteKind::Code, st);
  auto word = static_cast<int16_t>(static_cast<uint16_t>(value));
  if (as.pass == 2 && (word > 255 || word < -255))
    return as.fail(ErrorCode::IllegalQuantity, render(st.operand));
  return true;
}

}  // namespace zendra
