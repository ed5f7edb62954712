// Statement records: one parsed source line, and the macro records that hold bodies and copies.
// Text fields are views into the file buffers or the run's text store, which outlive every record.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "exec/opcode_table.h"
#include "exec/pseudo_op_table.h"
#include "expr/expr_node.h"

namespace zendra {

struct StatementRecord;
using StatementList = std::vector<StatementRecord*>;

constexpr uint32_t kNoName = UINT32_MAX;

// A `.macro`/`.segment` definition (body = the recorded statements), or a call (name = the called
// macro, body = this call's own copies of the macro's statements).
struct MacroRecord {
  std::string_view name;
  uint32_t nameId = kNoName;
  bool opensScope = false;
  bool isSegment = false;
  StatementList body;
  StatementList* copies = nullptr;  // a call's copies, owned by the run
};

struct StatementRecord {
  std::string_view rawText;
  std::string_view label;          // as written; empty when none
  std::string_view stringOperand;  // between the quotes of a string operand
  ExprNode* operand = nullptr;     // for list forms, the last expression parsed
  ExprNode** operandList = nullptr;
  MacroRecord* macro = nullptr;
  const OpcodeEntry* mnemonic = nullptr;
  const std::vector<uint8_t>* data = nullptr;  // contents of a `.binary` file, owned by the run
  uint32_t operandCount = 0;
  uint32_t labelId = kNoName;
  uint32_t line = 0;
  uint32_t scopeId = 0;
  uint32_t position = 0;  // index in the list that holds it, for jumps
  uint32_t macroCallIndex = 0;
  int32_t pcBefore = 4096;
  int32_t pcAfter = 0;
  uint16_t fileIndex = 0;
  AddressingMode mode = AddressingMode::Unset;
  PseudoOp pseudoOp = PseudoOp::None;
  bool setPc = false;
  bool emitted = false;
  bool needsSubstitution = false;  // holds `@` and a digit: re-parsed after substitution
  bool includeLoaded = false;      // an `.include` in a macro copy whose file was read
  bool substituted = false;        // rebuilt from a macro line's `@n` text: not substituted again

  bool hasLabel() const { return labelId != kNoName; }
  ExprNode* listItem(size_t i) const { return operandList[i]; }
};

}  // namespace zendra
