// Data pseudo-ops: `.byte`, `.word`, `.rta`, `.repeat`, the text forms, and `.bounce`.
#include "driver/assembler.h"
#include "exec/executor.h"
#include "exec/wave.h"
#include "expr/evaluator.h"
#include "text/control_codes.h"
#include "text/petscii.h"

namespace zendra {
namespace {

bool emitWord(Assembler& as, int32_t value, StatementRecord& st) {
  return emitByte(as, value, ByteKind::WordData, st) &&
         emitByte(as, value >> 8, ByteKind::WordData, st);
}

// Evaluates an operand the usual way; on failure 11 unless the evaluator left a code.
bool evaluateItem(Assembler& as, const ExprNode* item, int32_t& value) {
  if (evaluate(as, item, as.strict(), as.startPc, value)) return true;
  if (as.errorCodePending == ErrorCode::Ok) as.errorCodePending = ErrorCode::InvalidExpression;
  return false;
}

const MacroArgument* stringArgument(const Assembler& as, char digit) {
  if (as.macroArgs == nullptr || digit < '1' || digit > '9') return nullptr;
  auto index = static_cast<size_t>(digit - '1');
  if (index >= as.macroArgs->size()) return nullptr;
  const MacroArgument& arg = (*as.macroArgs)[index];
  return arg.kind == ExprKind::String ? &arg : nullptr;
}

// Where the bytes of a text form go. `.shift` holds each byte back until the next one is known,
// so the last byte it emits carries bit 7, whether it came from a character, a control code or
// the last character of a string argument; an error lets the held byte out unchanged.
struct TextOutput {
  Assembler& as;
  StatementRecord& st;
  bool shift;
  bool held = false;
  int32_t pending = 0;

  bool put(int32_t value) {
    if (!shift) return emitByte(as, value, ByteKind::Text, st);
    bool ok = !held || emitByte(as, pending, ByteKind::Text, st);
    pending = value;
    held = ok;
    return ok;
  }
  bool fail(ErrorCode code) {
    if (held) (void)emitByte(as, pending, ByteKind::Text, st);
    return as.fail(code);
  }
  bool finish() { return !held || emitByte(as, pending | 0x80, ByteKind::Text, st); }
};

}  // namespace

bool emitDataList(Assembler& as, StatementRecord& st) {
  for (uint32_t i = 0; i < st.operandCount(); ++i) {
    const ExprNode* item = st.listItem(i);
    int32_t value = 0;
    if (st.pseudoOp == PseudoOp::Byte) {
      if (!evaluate(as, item, as.strict(), as.startPc, value))
        return as.fail(ErrorCode::InvalidExpression, render(item));
      if (value > 255) return as.fail(ErrorCode::IllegalQuantity, render(item));
      if (!emitByte(as, value, ByteKind::ByteData, st)) return false;
      continue;
    }
    if (!evaluate(as, item, as.strict(), as.startPc, value)) {
      as.errorCodePending = ErrorCode::InvalidExpression;  // the evaluator's text stays
      return false;
    }
    if (st.pseudoOp == PseudoOp::Rta)
      value = static_cast<int32_t>(static_cast<uint32_t>(value) - 1);  // wraps like the target
    if (!emitWord(as, value, st)) return false;
  }
  return true;
}

bool emitRepeat(Assembler& as, StatementRecord& st) {
  if (st.operandCount() == 0) return true;
  int32_t count = 0;
  if (!evaluateItem(as, st.listItem(0), count)) return false;
  uint32_t times = static_cast<uint32_t>(count) & 0xFFFF;
  uint64_t perRound = st.operandCount() > 1 ? st.operandCount() - 1 : 1;
  if (times * perRound > kMaxRepeatBytes) return as.fail(ErrorCode::OutputTooBig);
  for (uint32_t n = 0; n < times; ++n) {
    if (st.operandCount() == 1) {
      if (!emitByte(as, 0, ByteKind::ByteData, st)) return false;
      continue;
    }
    for (uint32_t i = 1; i < st.operandCount(); ++i) {
      const ExprNode* item = st.listItem(i);
      int32_t value = 0;
      if (!evaluateItem(as, item, value)) return false;
      bool word = (static_cast<uint32_t>(value) & 0xFFFF) > 255 || item->forceWord;
      bool ok = word ? emitWord(as, value, st) : emitByte(as, value, ByteKind::ByteData, st);
      if (!ok) return false;
    }
  }
  return true;
}

bool emitText(Assembler& as, StatementRecord& st) {
  std::string_view s = st.stringOperand();
  if (s.empty()) return as.fail(ErrorCode::Unknown);
  bool screen = st.pseudoOp == PseudoOp::Screen;
  bool conversion = as.settings.petsciiConversion;
  TextOutput out{as, st, st.pseudoOp == PseudoOp::Shift};
  bool inBrace = false;
  size_t nameStart = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (inBrace) {
      if (c == '{') return out.fail(ErrorCode::MissingBrace);
      if (c != '}') continue;
      // An unknown name is the byte 0, and so is a code without a screen code.
      int32_t value = controlCodeValue(s.substr(nameStart, i - nameStart)).code;
      if (screen) {
        ScreenCode code = petsciiToScreen(static_cast<uint8_t>(value));
        value = code.found ? code.code : 0;
      }
      inBrace = false;
      if (!out.put(value)) return false;
      continue;
    }
    if (c == '{') {
      inBrace = true;
      nameStart = i + 1;
      continue;
    }
    const MacroArgument* arg =
        c == '@' && i + 1 < s.size() ? stringArgument(as, s[i + 1]) : nullptr;
    if (arg == nullptr) {
      if (!out.put(convertTextChar(static_cast<uint8_t>(c), screen, conversion))) return false;
      continue;
    }
    ++i;
    for (char ch : arg->text)
      if (!out.put(convertTextChar(static_cast<uint8_t>(ch), screen, conversion))) return false;
  }
  if (inBrace) return out.fail(ErrorCode::MissingBrace);
  if (!out.finish()) return false;
  if (st.pseudoOp == PseudoOp::Null && !emitByte(as, 0, ByteKind::Text, st)) return false;
  return true;
}

bool emitBounce(Assembler& as, StatementRecord& st) {
  BounceParams params;
  for (uint32_t i = 0; i < st.operandCount(); ++i) {
    int32_t value = 0;
    if (!evaluate(as, st.listItem(i), as.strict(), as.startPc, value))
      return as.fail(ErrorCode::InvalidExpression);
    applyBounceOperand(params, i, value);
  }
  std::vector<int32_t> values =
      generateWave(params.settings, params.count, params.low, params.high, as.waveNoise);
  for (int32_t value : values)
    if (!emitByte(as, value, ByteKind::ByteData, st)) return false;
  return true;
}

}  // namespace zendra
