// Conditional assembly: `ifDepth` counts open conditionals, skipped ones included, and
// `skipLevel` remembers the depth of the one whose test failed.
#include "driver/assembler.h"
#include "exec/executor.h"
#include "expr/evaluator.h"

namespace zendra {
namespace {

bool skipsWhen(PseudoOp op, int16_t v) {
  switch (op) {
    case PseudoOp::If:
    case PseudoOp::Ifne: return v == 0;
    case PseudoOp::Ifeq: return v != 0;
    case PseudoOp::Ifmi: return v >= 0;
    case PseudoOp::Ifpl: return v < 0;
    default: return false;
  }
}

bool valueTest(Assembler& as, const StatementRecord& st) {
  ++as.ifDepth;
  if (as.skipLevel != 0) return true;
  if (st.operand == nullptr) return as.fail(ErrorCode::MissingExpression);
  int32_t value = 0;
  if (!evaluate(as, st.operand, as.strict(), as.startPc, value)) {
    if (as.errorCodePending == ErrorCode::Ok) as.errorCodePending = ErrorCode::InvalidExpression;
    return false;
  }
  auto v = static_cast<int16_t>(static_cast<uint16_t>(value));
  if (skipsWhen(st.pseudoOp, v)) as.skipLevel = as.ifDepth;
  return true;
}

// Strict in both passes: a name defined further down counts as undefined in pass 1.
bool definedTest(Assembler& as, const StatementRecord& st) {
  ++as.ifDepth;
  if (as.skipLevel != 0) return true;
  if (st.operand == nullptr) return as.fail(ErrorCode::MissingExpression);
  int32_t value = 0;
  bool defined = evaluateRaw(as, st.operand, true, as.startPc, value);
  if (!defined) {
    ErrorCode code = as.errorCodePending;
    if (code != ErrorCode::MissingLabel && code != ErrorCode::UndefinedLabel) {
      if (code == ErrorCode::Ok) as.errorCodePending = ErrorCode::InvalidExpression;
      return false;
    }
    as.errorCodePending = ErrorCode::Ok;
    as.errorText.clear();
  }
  if (defined == (st.pseudoOp == PseudoOp::Ifndef)) as.skipLevel = as.ifDepth;
  return true;
}

}  // namespace

bool conditionStep(Assembler& as, const StatementRecord& st) {
  switch (st.pseudoOp) {
    case PseudoOp::If:
    case PseudoOp::Ifeq:
    case PseudoOp::Ifne:
    case PseudoOp::Ifmi:
    case PseudoOp::Ifpl: return valueTest(as, st);
    case PseudoOp::Ifdef:
    case PseudoOp::Ifndef: return definedTest(as, st);
    case PseudoOp::Endif:
      // An `.endif` at depth 0 is ignored without a message.
      if (as.ifDepth > 0) --as.ifDepth;
      if (as.ifDepth < as.skipLevel) as.skipLevel = 0;
      return true;
    default: return true;
  }
}

}  // namespace zendra
