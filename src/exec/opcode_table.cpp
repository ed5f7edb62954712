// The 79 mnemonics: documented, undocumented and DTV, one row each in lookup order.
#include "exec/opcode_table.h"

#include <iterator>

namespace zendra {
namespace {

// Columns follow AddressingMode: imm zp zp,x zp,y abs abs,x abs,y ind (ind,x) (ind),y acc rel imp
constexpr int16_t xx = -1;  // no such mode; two letters so the rows stay aligned
// clang-format off
constexpr OpcodeEntry kOpcodeTable[] = {
  {"adc",  0, kDoc,      {0x69, 0x65, 0x75, xx,   0x6D, 0x7D, 0x79, xx,   0x61, 0x71, xx,   xx,   xx  }},
  {"and",  1, kDoc,      {0x29, 0x25, 0x35, xx,   0x2D, 0x3D, 0x39, xx,   0x21, 0x31, xx,   xx,   xx  }},
  {"asl",  2, kDoc,      {xx,   0x06, 0x16, xx,   0x0E, 0x1E, xx,   xx,   xx,   xx,   0x0A, xx,   xx  }},
  {"bcc",  3, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x90, xx  }},
  {"bcs",  4, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xB0, xx  }},
  {"beq",  5, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xF0, xx  }},
  {"bit",  6, kDoc,      {xx,   0x24, xx,   xx,   0x2C, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"bmi",  7, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x30, xx  }},
  {"bne",  8, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xD0, xx  }},
  {"bpl",  9, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x10, xx  }},
  {"brk", 10, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x00}},
  {"bvc", 11, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x50, xx  }},
  {"bvs", 12, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x70, xx  }},
  {"clc", 13, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x18}},
  {"cld", 14, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xD8}},
  {"cli", 15, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x58}},
  {"clv", 16, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xB8}},
  {"cmp", 17, kDoc,      {0xC9, 0xC5, 0xD5, xx,   0xCD, 0xDD, 0xD9, xx,   0xC1, 0xD1, xx,   xx,   xx  }},
  {"cpx", 18, kDoc,      {0xE0, 0xE4, xx,   xx,   0xEC, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"cpy", 19, kDoc,      {0xC0, 0xC4, xx,   xx,   0xCC, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"dec", 20, kDoc,      {xx,   0xC6, 0xD6, xx,   0xCE, 0xDE, xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"dex", 21, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xCA}},
  {"dey", 22, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x88}},
  {"eor", 23, kDoc,      {0x49, 0x45, 0x55, xx,   0x4D, 0x5D, 0x59, xx,   0x41, 0x51, xx,   xx,   xx  }},
  {"inc", 24, kDoc,      {xx,   0xE6, 0xF6, xx,   0xEE, 0xFE, xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"inx", 25, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xE8}},
  {"iny", 26, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xC8}},
  {"jmp", 27, kDoc,      {xx,   xx,   xx,   xx,   0x4C, xx,   xx,   0x6C, xx,   xx,   xx,   xx,   xx  }},
  {"jsr", 28, kDoc,      {xx,   xx,   xx,   xx,   0x20, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"lda", 29, kDoc,      {0xA9, 0xA5, 0xB5, xx,   0xAD, 0xBD, 0xB9, xx,   0xA1, 0xB1, xx,   xx,   xx  }},
  {"ldx", 30, kDoc,      {0xA2, 0xA6, xx,   0xB6, 0xAE, xx,   0xBE, xx,   xx,   xx,   xx,   xx,   xx  }},
  {"ldy", 31, kDoc,      {0xA0, 0xA4, 0xB4, xx,   0xAC, 0xBC, xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"lsr", 32, kDoc,      {xx,   0x46, 0x56, xx,   0x4E, 0x5E, xx,   xx,   xx,   xx,   0x4A, xx,   xx  }},
  {"nop", 33, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xEA}},
  {"ora", 34, kDoc,      {0x09, 0x05, 0x15, xx,   0x0D, 0x1D, 0x19, xx,   0x01, 0x11, xx,   xx,   xx  }},
  {"pha", 35, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x48}},
  {"php", 36, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x08}},
  {"pla", 37, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x68}},
  {"plp", 38, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x28}},
  {"rol", 39, kDoc,      {xx,   0x26, 0x36, xx,   0x2E, 0x3E, xx,   xx,   xx,   xx,   0x2A, xx,   xx  }},
  {"ror", 40, kDoc,      {xx,   0x66, 0x76, xx,   0x6E, 0x7E, xx,   xx,   xx,   xx,   0x6A, xx,   xx  }},
  {"rti", 41, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x40}},
  {"rts", 42, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x60}},
  {"sbc", 43, kDoc,      {0xE9, 0xE5, 0xF5, xx,   0xED, 0xFD, 0xF9, xx,   0xE1, 0xF1, xx,   xx,   xx  }},
  {"sec", 44, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x38}},
  {"sed", 45, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xF8}},
  {"sei", 46, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x78}},
  {"sta", 47, kDoc,      {xx,   0x85, 0x95, xx,   0x8D, 0x9D, 0x99, xx,   0x81, 0x91, xx,   xx,   xx  }},
  {"stx", 48, kDoc,      {xx,   0x86, xx,   0x96, 0x8E, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"sty", 49, kDoc,      {xx,   0x84, 0x94, xx,   0x8C, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"tax", 50, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xAA}},
  {"tay", 51, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xA8}},
  {"tsx", 52, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0xBA}},
  {"txa", 53, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x8A}},
  {"txs", 54, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x9A}},
  {"tya", 55, kDoc,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x98}},
  {"ahx", 56, kUndoc,    {xx,   xx,   xx,   xx,   xx,   xx,   0x9F, xx,   xx,   0x93, xx,   xx,   xx  }},
  {"alr", 57, kUndoc,    {0x4B, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"anc", 58, kUndoc,    {0x2B, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"arr", 59, kUndoc,    {0x6B, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"axs", 60, kUndoc,    {0xCB, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"dcp", 61, kUndoc,    {xx,   0xC7, 0xD7, xx,   0xCF, 0xDF, 0xDB, xx,   0xC3, 0xD3, xx,   xx,   xx  }},
  {"isc", 62, kUndoc,    {xx,   0xE7, 0xF7, xx,   0xEF, 0xFF, 0xFB, xx,   0xE3, 0xF3, xx,   xx,   xx  }},
  {"las", 63, kUndoc,    {xx,   xx,   xx,   xx,   xx,   xx,   0xBB, xx,   xx,   xx,   xx,   xx,   xx  }},
  {"lax", 64, kUndoc,    {0xAB, 0xA7, xx,   0xB7, 0xAF, xx,   0xBF, xx,   0xA3, 0xB3, xx,   xx,   xx  }},
  {"rla", 65, kUndoc,    {xx,   0x27, 0x37, xx,   0x2F, 0x3F, 0x3B, xx,   0x23, 0x33, xx,   xx,   xx  }},
  {"rra", 66, kUndoc,    {xx,   0x67, 0x77, xx,   0x6F, 0x7F, 0x7B, xx,   0x63, 0x73, xx,   xx,   xx  }},
  {"sax", 67, kUndoc,    {xx,   0x87, xx,   0x97, 0x8F, xx,   xx,   xx,   0x83, xx,   xx,   xx,   xx  }},
  {"shx", 68, kUndoc,    {xx,   xx,   xx,   xx,   xx,   xx,   0x9E, xx,   xx,   xx,   xx,   xx,   xx  }},
  {"shy", 69, kUndoc,    {xx,   xx,   xx,   xx,   xx,   0x9C, xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"slo", 70, kUndoc,    {xx,   0x07, 0x17, xx,   0x0F, 0x1F, 0x1B, xx,   0x03, 0x13, xx,   xx,   xx  }},
  {"sre", 71, kUndoc,    {xx,   0x47, 0x57, xx,   0x4F, 0x5F, 0x5B, xx,   0x43, 0x53, xx,   xx,   xx  }},
  {"tas", 72, kUndoc,    {xx,   xx,   xx,   xx,   xx,   xx,   0x9B, xx,   xx,   xx,   xx,   xx,   xx  }},
  {"xaa", 73, kUndoc,    {0x8B, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"bra", 74, kDtvBranch, {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x12, xx  }},
  {"cln", 75, kDtv,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x02}},
  {"rtd", 76, kDtv,      {xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   0x22}},
  {"sac", 77, kDtv,      {0x32, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
  {"sir", 78, kDtv,      {0x42, xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx,   xx  }},
};
// clang-format on
static_assert(std::size(kOpcodeTable) == 79, "one row per mnemonic");

constexpr int kModeLength[14] = {2, 2, 2, 2, 3, 3, 3, 3, 2, 2, 1, 2, 1, 0};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool nameMatches(const OpcodeEntry& entry, std::string_view word) {
  if (word.size() != 3) return false;
  for (size_t i = 0; i < 3; ++i)
    if (lower(word[i]) != entry.name[i]) return false;
  return true;
}

// Mnemonics are three letters, so a 15-bit key of the lowered letters indexes the table directly.
int letterKey(std::string_view word) {
  if (word.size() != 3) return -1;
  int key = 0;
  for (char c : word) {
    char l = lower(c);
    if (l < 'a' || l > 'z') return -1;
    key = key * 32 + (l - 'a');
  }
  return key;
}

struct MnemonicIndex {
  int16_t first[32 * 32 * 32];
  MnemonicIndex() {
    for (auto& f : first) f = -1;
    for (int i = static_cast<int>(std::size(kOpcodeTable)) - 1; i >= 0; --i)
      first[letterKey(kOpcodeTable[i].name)] = static_cast<int16_t>(i);
  }
};

const MnemonicIndex& mnemonicIndex() {
  static const MnemonicIndex index;
  return index;
}

}  // namespace

std::span<const OpcodeEntry> opcodeTable() { return kOpcodeTable; }

const OpcodeEntry* findMnemonic(std::string_view word) {
  int key = letterKey(word);
  if (key < 0) return nullptr;
  int i = mnemonicIndex().first[key];
  return i < 0 ? nullptr : &kOpcodeTable[i];
}

const OpcodeEntry* lookupMnemonic(std::string_view word, uint8_t allowedClasses) {
  const OpcodeEntry* entry = findMnemonic(word);
  if (entry == nullptr) return nullptr;
  // Names are unique, but keep the table-order rule should a name ever appear twice.
  for (const OpcodeEntry* e = entry; e != std::end(kOpcodeTable); ++e)
    if (nameMatches(*e, word) && (e->classes & allowedClasses) != 0) return e;
  return nullptr;
}

AddressingMode finishMode(const OpcodeEntry& entry, AddressingMode mode) {
  using M = AddressingMode;
  if (mode == M::ZeroPage || mode == M::Absolute) {
    if (entry.id == kJmpId || entry.id == kJsrId) return M::Absolute;
    if (entry.has(M::Absolute)) return M::ZeroPage;
    if (entry.has(M::Relative)) return M::Relative;
    return mode;
  }
  if (mode == M::Implied && !entry.has(M::Implied) && entry.has(M::Accumulator))
    return M::Accumulator;
  return mode;
}

int modeLength(AddressingMode mode) { return kModeLength[static_cast<int>(mode)]; }

}  // namespace zendra
