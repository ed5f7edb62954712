// Data pseudo-ops through whole assemblies: the bytes of each list and text form, control codes
// in text and in character constants, the errors with their rendered operands, and the kind
// each form gives its bytes in the symbol file's memory map.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/assemble.h"
#include "symbol_dump.h"

namespace zendra {
namespace {

using testing::assemble;
using testing::assembleToHex;
using testing::errorLines;

struct HexCase {
  std::string_view source;
  std::string_view hex;
};

// clang-format off
constexpr HexCase kListCases[] = {
  {".byte 0-1, 0-256",             "ff 00"},  // no lower bound: the low 8 bits
  {".byte -1",                     "error 5"},  // there is no unary minus
  {".byte \"A\", \"{white}\"",     "c1 05"},
  {".byte <later, >later\nlater nop", "02 10 ea"},
  {".byte later\nlater nop",       "error 34"},  // $ffff in pass 1
  {".word $1234, $12345, 0-2",     "34 12 45 23 fe ff"},
  {".rta 0",                       "ff ff"},
  {".rta $c000",                   "ff bf"},
  {".word later\nlater nop",       "02 10 ea"},
  {".repeat 4",                    "00 00 00 00"},
  {".repeat 2, 1, $300",           "01 00 03 01 00 03"},
  {".repeat 3, !5",                "05 00 05 00 05 00"},
  {".repeat 0, 7\n nop",           "ea"},
  {".repeat $10002, 7",            "07 07"},        // the count is taken modulo 65536
  {".repeat 1, $10001, $1ff00",    "01 00 ff"},     // so is the size test of each value
  {"n .var 1\n.repeat 2, n",       "01 01"},
};
// clang-format on

TEST(DataOps, EmitsEachListForm) {
  for (const auto& c : kListCases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(assembleToHex(std::string(c.source) + "\n"), c.hex);
  }
}

struct TextCase {
  std::string_view source;
  std::vector<std::string> args;
  std::string_view hex;
};

const TextCase kTextCases[] = {
    {".text \"AbC\"", {}, "c1 42 c3"},
    {".text \"AbC\"", {"-a"}, "41 62 43"},
    {".null \"hi\"", {}, "48 49 00"},
    {".shift \"abc\"", {}, "41 42 c3"},
    {".shift \"Ab\"", {"-a"}, "41 e2"},
    {".shift \"{white}\"", {}, "85"},
    {".shift \"a{$41}\"", {}, "41 c1"},
    {".screen \"Hello@\"", {}, "48 05 0c 0c 0f 00"},
    {".screen \"AbC\"", {"-a"}, "41 02 43"},  // screen codes whatever the option says
    {".screen \"{white}\"", {}, "00"},        // a control code has no screen code
    {".text \"{$1ff}{$zz}{256}{999}{013}\"", {}, "ff 00 00 e7 0d"},
    {".text \"{rvs on}{RVS ON}{$12}{018}\"", {}, "12 12 12 12"},
    {".text \"{rvs  on}{no such name}{}{$5}{13}\"", {}, "00 00 00 00 00"},
    {".text \"{a}{A}{5}\"", {}, "41 c1 35"},
    {".text \"{rvs on}\"", {"-a"}, "12"},  // control codes do not depend on the option
    {".text \"a}\"", {}, "41 7d"},
    {".text \"a@b\"", {}, "41 40 42"},
    {".text \"a\" ; comment", {}, "41"},
    {".byte \"{$1ff}\", \"{256}\", \"{999}\", \"{rvs on}\", \"{nope}\"", {}, "ff 00 e7 12 00"},
    {".text \"{a\"", {}, "error 28"},
    {".text \"{{}\"", {}, "error 28"},
    {".byte \"{a\"", {}, "error 28"},
    {".text \"\"", {}, "error 16"},
    {".null \"\"", {}, "error 16"},
    {".text \"a\" b", {}, "error 23"},
    {".text abc", {}, "error 9"},
};

TEST(DataOps, EncodesTextAndControlCodes) {
  for (const auto& c : kTextCases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(assembleToHex(std::string(c.source) + "\n", c.args), c.hex);
  }
}

// `.shift` sets bit 7 on the last byte it emits, also when that byte is the last character of a
// string argument that replaced an `@n` in the text, and appends nothing after it. An argument
// that still holds `@1` after the line was substituted reaches the text form itself.
TEST(DataOps, ShiftMarksTheLastByteOfAStringArgument) {
  const std::string macro = "s .macro\n .shift \"@1\"\n .endm\n";
  const HexCase cases[] = {
      {"#s \"abc\"", "41 42 c3"},
      {"#s \";@1\"", "3b 3b 40 b1"},
      {"t .macro\n .shift \"a;@2\"\n .endm\n#t \"x\", \"\"", "41 bb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(assembleToHex(macro + std::string(c.source) + "\n"), c.hex);
  }
}

TEST(DataOps, NamesTheOffendingOperand) {
  const HexCase cases[] = {
      {".byte 1, 300, 2", "t.asm(1) : error 34: illegal quantity; {300}"},
      {".byte $1ff+1", "t.asm(1) : error 34: illegal quantity; {$01ff + 1}"},
      {".byte later\nlater nop", "t.asm(1) : error 34: illegal quantity; {later}"},
      {".byte 1\n.byte <nowhere", "t.asm(2) : error 11: invalid expression"},
      {".text \"a{b\"", "t.asm(1) : error 28: missing brace"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(errorLines(assemble(std::string(c.source) + "\n")), c.hex);
  }
}

// The memory map of the symbol file, one "start count kind" run a line.
std::string memoryMap(const std::string& source) {
  testing::Assembly a = assemble(source, {"-s"});
  auto it = a.files.find("t.tdb");
  if (it == a.files.end()) return "no symbol file";
  const std::string& raw = it->second;
  std::vector<uint8_t> bytes(raw.begin(), raw.end());
  symdump::SymbolFile file;
  std::string error;
  if (!symdump::decodeSymbolFile(bytes, file, error)) return error;
  std::ostringstream out;
  for (const auto& section : file.sections)
    if (section.type == static_cast<uint32_t>(symdump::SectionType::MemoryMap))
      symdump::printMemoryMap(out, section);
  return out.str();
}

TEST(DataOps, GivesEachFormItsByteKind) {
  EXPECT_EQ(memoryMap(" .byte 1, 2\n .word 3\n .rta 4\n .repeat 2, 5, $300\n"
                      " .text \"ab\"\n .null \"c\"\n .shift \"d\"\n .screen \"e\"\n"),
            "  run 0: start $1000, count 2, ByteData\n"
            "  run 1: start $1002, count 4, WordData\n"
            "  run 2: start $1006, count 1, ByteData\n"
            "  run 3: start $1007, count 2, WordData\n"
            "  run 4: start $1009, count 1, ByteData\n"
            "  run 5: start $100A, count 2, WordData\n"
            "  run 6: start $100C, count 6, Text\n");
}

}  // namespace
}  // namespace zendra
