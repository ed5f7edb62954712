// Opcode table: each mnemonic's opcode per addressing mode, and the lookup by name.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zendra {

// Values are stored in statements and shown by the listing, so each carries its number.
enum class AddressingMode : uint8_t {
  Immediate = 0,
  ZeroPage = 1,
  ZeroPageX = 2,
  ZeroPageY = 3,
  Absolute = 4,
  AbsoluteX = 5,
  AbsoluteY = 6,
  Indirect = 7,
  IndexedIndirect = 8,
  IndirectIndexed = 9,
  Accumulator = 10,
  Relative = 11,
  Implied = 12,
  Unset = 13,
};

// Class bits: which instruction set a mnemonic belongs to.
constexpr uint8_t kDoc = 1;
constexpr uint8_t kUndoc = 2;
constexpr uint8_t kDtv = 4;
constexpr uint8_t kDtvBranch = 12;  // bra: a DTV branch, excluded together with the DTV set
constexpr uint8_t kAllClasses = 7;

struct OpcodeEntry {
  char name[4];
  uint8_t id;
  uint8_t classes;
  int16_t opcodes[13];  // by AddressingMode 0..12; -1 where the mode does not exist

  bool has(AddressingMode mode) const { return opcodes[static_cast<int>(mode)] >= 0; }
  uint8_t opcode(AddressingMode mode) const {
    return static_cast<uint8_t>(opcodes[static_cast<int>(mode)]);
  }
};

std::span<const OpcodeEntry> opcodeTable();

// The row whose name matches in any letter case, ignoring the class mask; nullptr when none.
const OpcodeEntry* findMnemonic(std::string_view word);
// The first row in table order that matches and whose class shares a bit with allowedClasses.
const OpcodeEntry* lookupMnemonic(std::string_view word, uint8_t allowedClasses);

// The mode to store at the end of a plain operand.
AddressingMode finishMode(const OpcodeEntry& entry, AddressingMode mode);

// Instruction length in bytes for a mode, opcode included.
int modeLength(AddressingMode mode);

constexpr uint8_t kJmpId = 27;
constexpr uint8_t kJsrId = 28;

}  // namespace zendra
