// Opcode table: the lookup by name in any letter case under the class mask, and the mode the
// end of a plain operand settles on.
#include "exec/opcode_table.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace zendra {
namespace {

using M = AddressingMode;

std::string found(std::string_view word, uint8_t allowed) {
  const OpcodeEntry* entry = lookupMnemonic(word, allowed);
  return entry == nullptr ? "none" : std::string(entry->name);
}

TEST(OpcodeTable, FindsNamesInAnyCaseWithinTheAllowedClasses) {
  struct LookupCase {
    std::string_view word;
    uint8_t allowed;
    std::string_view found;
  };
  // clang-format off
  constexpr LookupCase kCases[] = {
    {"lda",  kAllClasses,   "lda"},
    {"LDA",  kAllClasses,   "lda"},
    {"lDa",  kAllClasses,   "lda"},
    {"ld",   kAllClasses,   "none"},
    {"ldaa", kAllClasses,   "none"},
    {"l1a",  kAllClasses,   "none"},
    {"",     kAllClasses,   "none"},
    {"lax",  kDoc | kDtv,   "none"},
    {"lax",  kDoc | kUndoc, "lax"},
    {"sac",  kDoc | kUndoc, "none"},
    {"bra",  kDoc | kUndoc, "none"},   // class 12 shares no bit with 3
    {"bra",  kDoc | kDtv,   "bra"},
    {"nop",  kUndoc | kDtv, "none"},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.word) + " in " + std::to_string(c.allowed));
    EXPECT_EQ(found(c.word, c.allowed), c.found);
  }
}

TEST(OpcodeTable, EveryRowIsFoundByItsNameAndCarriesItsPositionAsId) {
  const auto table = opcodeTable();
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(table[i].name);
    EXPECT_EQ(table[i].id, i);
    EXPECT_EQ(lookupMnemonic(table[i].name, kAllClasses), &table[i]);
    EXPECT_EQ(findMnemonic(table[i].name), &table[i]);
  }
  EXPECT_STREQ(table[kJmpId].name, "jmp");
  EXPECT_STREQ(table[kJsrId].name, "jsr");
}

TEST(OpcodeTable, FinishModeSettlesPlainOperands) {
  struct FinishCase {
    std::string_view mnemonic;
    M mode;
    M finished;
  };
  // clang-format off
  constexpr FinishCase kCases[] = {
    {"jmp", M::ZeroPage,  M::Absolute},
    {"jsr", M::ZeroPage,  M::Absolute},
    {"jmp", M::Absolute,  M::Absolute},
    {"lda", M::ZeroPage,  M::ZeroPage},
    {"lda", M::Absolute,  M::ZeroPage},   // widened again by the encoder when it must be
    {"bne", M::ZeroPage,  M::Relative},
    {"bra", M::Absolute,  M::Relative},
    {"nop", M::ZeroPage,  M::ZeroPage},   // neither absolute nor relative: left for the encoder
    {"sac", M::ZeroPage,  M::ZeroPage},
    {"asl", M::Implied,   M::Accumulator},
    {"nop", M::Implied,   M::Implied},
    {"lda", M::ZeroPageX, M::ZeroPageX},
    {"lda", M::Immediate, M::Immediate},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.mnemonic) + " mode " + std::to_string(static_cast<int>(c.mode)));
    const OpcodeEntry* entry = findMnemonic(c.mnemonic);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(finishMode(*entry, c.mode), c.finished);
  }
}

}  // namespace
}  // namespace zendra
