// Statement records: one parsed source line, and the macro records that hold bodies and copies.
// Text fields are views into the kept blocks of source files or the run's text store, which
// outlive every record.
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
// What pcBefore holds until pass 1 has run the statement.
constexpr int32_t kInitialPc = 4096;

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

// What most statements of a large source do without: the line's text and string operand,
// operand lists, macro records, and the pass-1 addresses that only the symbol file reads.
// A statement has one when its line needs it, or when a listing or symbol file is written.
struct StatementExtra {
  const char* text = "";  // the line as read
  uint32_t textLength = 0;
  uint32_t stringStart = 0;  // the string operand, as a place in the text
  uint32_t stringLength = 0;
  uint32_t operandCount = 0;
  ExprNode** operandList = nullptr;
  MacroRecord* macro = nullptr;
  uint32_t macroCallIndex = 0;
  int32_t pcBefore = kInitialPc;
  int32_t pcAfter = 0;
  uint32_t scopeId = 0;
  bool needsSubstitution : 1 = false;  // holds `@` and a digit: re-parsed after substitution
  bool includeLoaded : 1 = false;      // an `.include` in a macro copy whose file was read
  bool substituted : 1 = false;        // rebuilt from a macro line's `@n` text
};

// Kept to 32 bytes: a million-line source holds one record per line that has a statement.
struct StatementRecord {
  ExprNode* operand = nullptr;  // for list forms, the last expression parsed
  StatementExtra* extra = nullptr;
  uint32_t labelId = kNoName;
  uint32_t line = 0;
  uint32_t position = 0;        // index in the list that holds it, for jumps
  uint16_t fileIndex : 10 = 0;  // at most kMaxLoads files are read
  AddressingMode mode : 4 = AddressingMode::Unset;
  bool setPc : 1 = false;
  bool emitted : 1 = false;
  uint8_t mnemonicIndex = kNoMnemonic;
  PseudoOp pseudoOp = PseudoOp::None;

  static constexpr uint8_t kNoMnemonic = 0xFF;

  std::string_view rawText() const {
    return extra == nullptr ? std::string_view() : std::string_view(extra->text, extra->textLength);
  }
  // The characters between the quotes of a string operand.
  std::string_view stringOperand() const {
    return extra == nullptr ? std::string_view()
                            : rawText().substr(extra->stringStart, extra->stringLength);
  }
  uint32_t operandCount() const { return extra == nullptr ? 0 : extra->operandCount; }
  ExprNode* listItem(size_t i) const { return extra->operandList[i]; }
  MacroRecord* macro() const { return extra == nullptr ? nullptr : extra->macro; }
  bool needsSubstitution() const { return extra != nullptr && extra->needsSubstitution; }

  const OpcodeEntry* mnemonic() const {
    return mnemonicIndex == kNoMnemonic ? nullptr : &opcodeTable()[mnemonicIndex];
  }
  void setMnemonic(const OpcodeEntry* entry) {
    mnemonicIndex =
        entry == nullptr ? kNoMnemonic : static_cast<uint8_t>(entry - opcodeTable().data());
  }
  bool hasLabel() const { return labelId != kNoName; }
};
static_assert(sizeof(StatementRecord) == 32, "one record per line of a large source");

// The label of a line as written: its first word, when the line has a label.
std::string_view labelInText(std::string_view rawText);

}  // namespace zendra
