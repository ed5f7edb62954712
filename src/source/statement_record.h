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

// Kept small: a million-line source holds one record per line that has a statement.
struct StatementRecord {
  ExprNode* operand = nullptr;  // for list forms, the last expression parsed
  ExprNode** operandList = nullptr;
  MacroRecord* macro = nullptr;
  const char* text = "";  // the line as read
  uint32_t textLength = 0;
  uint32_t labelStart = 0;  // the label and the string operand, as places in the text
  uint32_t labelLength = 0;
  uint32_t stringStart = 0;
  uint32_t stringLength = 0;
  uint32_t operandCount = 0;
  uint32_t labelId = kNoName;
  uint32_t line = 0;
  uint32_t scopeId = 0;
  uint32_t position = 0;  // index in the list that holds it, for jumps
  uint32_t macroCallIndex = 0;
  int32_t pcBefore = 4096;
  int32_t pcAfter = 0;
  uint16_t fileIndex = 0;
  uint8_t mnemonicIndex = kNoMnemonic;
  AddressingMode mode = AddressingMode::Unset;
  PseudoOp pseudoOp = PseudoOp::None;
  bool setPc : 1 = false;
  bool emitted : 1 = false;
  bool needsSubstitution : 1 = false;  // holds `@` and a digit: re-parsed after substitution
  bool includeLoaded : 1 = false;      // an `.include` in a macro copy whose file was read
  bool substituted : 1 = false;        // rebuilt from a macro line's `@n` text

  static constexpr uint8_t kNoMnemonic = 0xFF;

  std::string_view rawText() const { return {text, textLength}; }
  void setRawText(std::string_view t) {
    text = t.data();
    textLength = static_cast<uint32_t>(t.size());
  }
  // The label as written; empty when none.
  std::string_view label() const { return rawText().substr(labelStart, labelLength); }
  // The characters between the quotes of a string operand.
  std::string_view stringOperand() const { return rawText().substr(stringStart, stringLength); }
  // Both take views into the text.
  void setLabel(std::string_view word) { placeIn(word, labelStart, labelLength); }
  void setStringOperand(std::string_view s) { placeIn(s, stringStart, stringLength); }

  const OpcodeEntry* mnemonic() const {
    return mnemonicIndex == kNoMnemonic ? nullptr : &opcodeTable()[mnemonicIndex];
  }
  void setMnemonic(const OpcodeEntry* entry) {
    mnemonicIndex =
        entry == nullptr ? kNoMnemonic : static_cast<uint8_t>(entry - opcodeTable().data());
  }

  bool hasLabel() const { return labelId != kNoName; }
  ExprNode* listItem(size_t i) const { return operandList[i]; }

 private:
  void placeIn(std::string_view part, uint32_t& start, uint32_t& length) const {
    start = part.empty() ? 0 : static_cast<uint32_t>(part.data() - text);
    length = static_cast<uint32_t>(part.size());
  }
};

}  // namespace zendra
