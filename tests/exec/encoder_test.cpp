// Instruction encoding, through whole assemblies: every mnemonic in every mode it has, the
// zero-page and absolute choice, the absolute,Y fallback, branch offsets, the checks of the
// second pass, the sizing of forward references, and the excluded instruction sets.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/assemble.h"

namespace zendra {
namespace {

using testing::assembleToHex;

// How each mode is written, and the operand bytes it gives at $1000. The relative operand
// lands $12 bytes past the instruction's start, an offset of $10.
struct ModeSyntax {
  std::string_view operand;
  std::string_view bytes;
};
// clang-format off
constexpr ModeSyntax kModeSyntax[13] = {
  {"#$12", "12"},    {"$12", "12"},       {"$12,x", "12"},     {"$12,y", "12"},
  {"$1234", "34 12"}, {"$1234,x", "34 12"}, {"$1234,y", "34 12"}, {"($1234)", "34 12"},
  {"($12,x)", "12"}, {"($12),y", "12"},   {"a", ""},           {"*+$12", "10"},
  {"", ""},
};
// clang-format on

struct OpcodeRow {
  std::string_view mnemonic;
  std::string_view opcodes;  // one per mode, "--" where the mnemonic has none
};

// Columns: imm zp zp,x zp,y abs abs,x abs,y ind (ind,x) (ind),y acc rel impl
// clang-format off
constexpr OpcodeRow kOpcodeRows[] = {
  {"adc", "69 65 75 -- 6d 7d 79 -- 61 71 -- -- --"},
  {"and", "29 25 35 -- 2d 3d 39 -- 21 31 -- -- --"},
  {"asl", "-- 06 16 -- 0e 1e -- -- -- -- 0a -- --"},
  {"bcc", "-- -- -- -- -- -- -- -- -- -- -- 90 --"},
  {"bcs", "-- -- -- -- -- -- -- -- -- -- -- b0 --"},
  {"beq", "-- -- -- -- -- -- -- -- -- -- -- f0 --"},
  {"bit", "-- 24 -- -- 2c -- -- -- -- -- -- -- --"},
  {"bmi", "-- -- -- -- -- -- -- -- -- -- -- 30 --"},
  {"bne", "-- -- -- -- -- -- -- -- -- -- -- d0 --"},
  {"bpl", "-- -- -- -- -- -- -- -- -- -- -- 10 --"},
  {"brk", "-- -- -- -- -- -- -- -- -- -- -- -- 00"},
  {"bvc", "-- -- -- -- -- -- -- -- -- -- -- 50 --"},
  {"bvs", "-- -- -- -- -- -- -- -- -- -- -- 70 --"},
  {"clc", "-- -- -- -- -- -- -- -- -- -- -- -- 18"},
  {"cld", "-- -- -- -- -- -- -- -- -- -- -- -- d8"},
  {"cli", "-- -- -- -- -- -- -- -- -- -- -- -- 58"},
  {"clv", "-- -- -- -- -- -- -- -- -- -- -- -- b8"},
  {"cmp", "c9 c5 d5 -- cd dd d9 -- c1 d1 -- -- --"},
  {"cpx", "e0 e4 -- -- ec -- -- -- -- -- -- -- --"},
  {"cpy", "c0 c4 -- -- cc -- -- -- -- -- -- -- --"},
  {"dec", "-- c6 d6 -- ce de -- -- -- -- -- -- --"},
  {"dex", "-- -- -- -- -- -- -- -- -- -- -- -- ca"},
  {"dey", "-- -- -- -- -- -- -- -- -- -- -- -- 88"},
  {"eor", "49 45 55 -- 4d 5d 59 -- 41 51 -- -- --"},
  {"inc", "-- e6 f6 -- ee fe -- -- -- -- -- -- --"},
  {"inx", "-- -- -- -- -- -- -- -- -- -- -- -- e8"},
  {"iny", "-- -- -- -- -- -- -- -- -- -- -- -- c8"},
  {"jmp", "-- -- -- -- 4c -- -- 6c -- -- -- -- --"},
  {"jsr", "-- -- -- -- 20 -- -- -- -- -- -- -- --"},
  {"lda", "a9 a5 b5 -- ad bd b9 -- a1 b1 -- -- --"},
  {"ldx", "a2 a6 -- b6 ae -- be -- -- -- -- -- --"},
  {"ldy", "a0 a4 b4 -- ac bc -- -- -- -- -- -- --"},
  {"lsr", "-- 46 56 -- 4e 5e -- -- -- -- 4a -- --"},
  {"nop", "-- -- -- -- -- -- -- -- -- -- -- -- ea"},
  {"ora", "09 05 15 -- 0d 1d 19 -- 01 11 -- -- --"},
  {"pha", "-- -- -- -- -- -- -- -- -- -- -- -- 48"},
  {"php", "-- -- -- -- -- -- -- -- -- -- -- -- 08"},
  {"pla", "-- -- -- -- -- -- -- -- -- -- -- -- 68"},
  {"plp", "-- -- -- -- -- -- -- -- -- -- -- -- 28"},
  {"rol", "-- 26 36 -- 2e 3e -- -- -- -- 2a -- --"},
  {"ror", "-- 66 76 -- 6e 7e -- -- -- -- 6a -- --"},
  {"rti", "-- -- -- -- -- -- -- -- -- -- -- -- 40"},
  {"rts", "-- -- -- -- -- -- -- -- -- -- -- -- 60"},
  {"sbc", "e9 e5 f5 -- ed fd f9 -- e1 f1 -- -- --"},
  {"sec", "-- -- -- -- -- -- -- -- -- -- -- -- 38"},
  {"sed", "-- -- -- -- -- -- -- -- -- -- -- -- f8"},
  {"sei", "-- -- -- -- -- -- -- -- -- -- -- -- 78"},
  {"sta", "-- 85 95 -- 8d 9d 99 -- 81 91 -- -- --"},
  {"stx", "-- 86 -- 96 8e -- -- -- -- -- -- -- --"},
  {"sty", "-- 84 94 -- 8c -- -- -- -- -- -- -- --"},
  {"tax", "-- -- -- -- -- -- -- -- -- -- -- -- aa"},
  {"tay", "-- -- -- -- -- -- -- -- -- -- -- -- a8"},
  {"tsx", "-- -- -- -- -- -- -- -- -- -- -- -- ba"},
  {"txa", "-- -- -- -- -- -- -- -- -- -- -- -- 8a"},
  {"txs", "-- -- -- -- -- -- -- -- -- -- -- -- 9a"},
  {"tya", "-- -- -- -- -- -- -- -- -- -- -- -- 98"},
  {"ahx", "-- -- -- -- -- -- 9f -- -- 93 -- -- --"},
  {"alr", "4b -- -- -- -- -- -- -- -- -- -- -- --"},
  {"anc", "2b -- -- -- -- -- -- -- -- -- -- -- --"},
  {"arr", "6b -- -- -- -- -- -- -- -- -- -- -- --"},
  {"axs", "cb -- -- -- -- -- -- -- -- -- -- -- --"},
  {"dcp", "-- c7 d7 -- cf df db -- c3 d3 -- -- --"},
  {"isc", "-- e7 f7 -- ef ff fb -- e3 f3 -- -- --"},
  {"las", "-- -- -- -- -- -- bb -- -- -- -- -- --"},
  {"lax", "ab a7 -- b7 af -- bf -- a3 b3 -- -- --"},
  {"rla", "-- 27 37 -- 2f 3f 3b -- 23 33 -- -- --"},
  {"rra", "-- 67 77 -- 6f 7f 7b -- 63 73 -- -- --"},
  {"sax", "-- 87 -- 97 8f -- -- -- 83 -- -- -- --"},
  {"shx", "-- -- -- -- -- -- 9e -- -- -- -- -- --"},
  {"shy", "-- -- -- -- -- 9c -- -- -- -- -- -- --"},
  {"slo", "-- 07 17 -- 0f 1f 1b -- 03 13 -- -- --"},
  {"sre", "-- 47 57 -- 4f 5f 5b -- 43 53 -- -- --"},
  {"tas", "-- -- -- -- -- -- 9b -- -- -- -- -- --"},
  {"xaa", "8b -- -- -- -- -- -- -- -- -- -- -- --"},
  {"bra", "-- -- -- -- -- -- -- -- -- -- -- 12 --"},
  {"cln", "-- -- -- -- -- -- -- -- -- -- -- -- 02"},
  {"rtd", "-- -- -- -- -- -- -- -- -- -- -- -- 22"},
  {"sac", "32 -- -- -- -- -- -- -- -- -- -- -- --"},
  {"sir", "42 -- -- -- -- -- -- -- -- -- -- -- --"},
};
// clang-format on

TEST(Encoder, EncodesEveryMnemonicInEveryModeItHas) {
  for (const auto& row : kOpcodeRows) {
    SCOPED_TRACE(row.mnemonic);
    std::string source;
    std::string bytes;
    for (size_t mode = 0; mode < 13; ++mode) {
      std::string_view opcode = row.opcodes.substr(mode * 3, 2);
      if (opcode == "--") continue;
      source += " " + std::string(row.mnemonic) + " " + std::string(kModeSyntax[mode].operand);
      source += "\n";
      if (!bytes.empty()) bytes += ' ';
      bytes += opcode;
      if (!kModeSyntax[mode].bytes.empty()) bytes += " " + std::string(kModeSyntax[mode].bytes);
    }
    EXPECT_EQ(assembleToHex(source), bytes) << source;
  }
}

struct EncodeCase {
  std::string_view source;
  std::string_view bytes;
};

// clang-format off
constexpr EncodeCase kEncodeCases[] = {
  {"asl",                     "0a"},
  {"asl a",                   "0a"},
  {"nop",                     "ea"},
  {"lda",                     "error 8"},
  {"jmp $12",                 "4c 12 00"},      // jmp and jsr are always absolute
  {"jsr $12",                 "20 12 00"},
  {"jmp ($1234)",             "6c 34 12"},
  {"ldx $12,y",               "b6 12"},
  {"lda $12,y",               "b9 12 00"},      // no zero page,Y form: absolute,Y
  {"stx $1234,y",             "error 8"},
  {"lda $12,x",               "b5 12"},
  {"lda $ff",                 "a5 ff"},
  {"lda $100",                "ad 00 01"},
  {"lda $10012",              "a5 12"},         // the low 16 bits decide
  {"lda !$12",                "ad 12 00"},
  {"lda !$12,x",              "bd 12 00"},
  {"sta #1",                  "99 01 00"},      // a mode without an opcode falls back to absolute,Y
  {"nop #1",                  "error 8"},
  {"bne #1",                  "error 8"},
  {"lda #$1234",              "error 34"},
  {"lda #256",                "error 34"},
  {"lda ($1234),y",           "error 34"},
  {"lda #<$1234",             "a9 34"},
  {"lda #>$1234",             "a9 12"},
  {"lda #0-1",                "a9 ff"},
  {"lda #0-255",              "a9 01"},
  {"lda #0-256",              "error 34"},
  {"LDA #1",                  "a9 01"},
  {"Lda $12,X",               "b5 12"},
  {"lDa ($12),Y",             "b1 12"},
  {"asl A",                   "0a"},
  // Branches count from the byte after the operand.
  {"*=$1000\n bne $1000+129", "d0 7f"},
  {"*=$1000\n bne $1000+130", "error 30"},
  {"*=$1000\n bne $1000-126", "d0 80"},
  {"*=$1000\n bne $1000-127", "error 30"},
  {" bne later\nlater nop",   "d0 00 ea"},     // pass 1 checks no range: later is 65535 there
  // Forward references are sized absolute in pass 1; a byte prefix or `!` keeps one size.
  {" lda later\nlater = $1234",   "ad 34 12"},
  {" lda later\nlater = $12",     "error 25"},
  {" lda later,x\nlater = $12",   "error 25"},
  {" lda <later\nlater = $1234",  "a5 34"},
  {" lda !later\nlater = $12",    "ad 12 00"},
  {" lda \\1",                     "error 2"},   // outside a macro a parameter has no value
};
// clang-format on

TEST(Encoder, EncodesTheEdgeCasesOfModeAndRange) {
  for (const auto& c : kEncodeCases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(assembleToHex(std::string(c.source) + "\n"), c.bytes);
  }
}

TEST(Encoder, ExcludedInstructionSetsFailWithIllegalMnemonic) {
  struct ClassCase {
    std::string_view source;
    std::string_view option;
    std::string_view bytes;
  };
  // clang-format off
  constexpr ClassCase kCases[] = {
    {"lax #1", "--error-undoc", "error 3"},
    {"lax #1", "--error-dtv",   "ab 01"},
    {"sac #1", "--error-dtv",   "error 3"},
    {"bra *",  "--error-dtv",   "error 3"},   // the DTV branch goes with the DTV set
    {"bra *",  "--error-undoc", "12 fe"},
    {"lda #1", "--error-undoc", "a9 01"},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.source) + " " + std::string(c.option));
    EXPECT_EQ(assembleToHex(std::string(c.source) + "\n", {std::string(c.option)}), c.bytes);
  }
}

}  // namespace
}  // namespace zendra
