// Conditional assembly through whole assemblies: each test on the low 16 bits taken as signed,
// nesting inside skipped regions, `.ifdef` strict in both passes, labels on conditional lines,
// the restore at the end of an included file, and loops that leave conditionals open.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

#include "support/assemble.h"

namespace zendra {
namespace {

using testing::assemble;
using testing::assembleToHex;

struct Case {
  std::string_view source;
  std::string_view hex;
};

struct ValueTest {
  std::string_view test;
  bool assembles;
};

// clang-format off
constexpr ValueTest kValueTests[] = {
  {".if 1",        true},
  {".if 0",        false},
  {".if $10000",   false},  // only the low 16 bits count
  {".if 0-1",      true},
  {".ifne 0",      false},
  {".ifne 7",      true},
  {".ifeq 0",      true},
  {".ifeq $10000", true},
  {".ifeq 1",      false},
  {".ifmi $ffff",  true},   // -1 as a 16-bit number
  {".ifmi $8000",  true},
  {".ifmi $7fff",  false},
  {".ifmi 0",      false},
  {".ifpl $8000",  false},
  {".ifpl $7fff",  true},
  {".ifpl 0",      true},
};
// clang-format on

TEST(Conditions, TestTheLow16BitsAsASignedNumber) {
  for (const auto& c : kValueTests) {
    SCOPED_TRACE(c.test);
    std::string source = " " + std::string(c.test) + "\n .byte 1\n .endif\n .byte 2\n";
    EXPECT_EQ(assembleToHex(source), c.assembles ? "01 02" : "02");
  }
}

// clang-format off
constexpr Case kNestingCases[] = {
  {" .if 0\n .byte 1\n .if 1\n .byte 2\n .endif\n .byte 3\n .endif\n .byte 4", "04"},
  {" .if 1\n .byte 1\n .if 0\n .byte 2\n .endif\n .byte 3\n .endif\n .byte 4", "01 03 04"},
  {" .if 0\n .ifeq 0\n .ifdef x\n .endif\n .endif\n .byte 1\n .endif\n .byte 2", "02"},
  {" .endif\n .byte 1",                                                           "01"},
  // Labels count only where assembly is on after the line's own step.
  {"a .if 1\n .endif\n .word a",                                                  "00 10"},
  {"a .if 0\n .endif\n .word a",                                                  "error 11"},
  {" .if 0\nb .if 1\n .endif\nc .endif\n .word c",                                "00 10"},
  {" .if 0\nb .if 1\n .endif\n .endif\n .word b",                                 "error 11"},
  // A loop that leaves one conditional open a turn still ends cleanly.
  {"c .var 0\ntop .lbl\n .byte c\nc .var c+1\n .if c-5\n .goto top\n .endif",     "00 01 02 03 04"},
};
// clang-format on

TEST(Conditions, NestInsideSkippedRegions) {
  for (const auto& c : kNestingCases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(assembleToHex(std::string(c.source) + "\n"), c.hex);
  }
}

// clang-format off
constexpr Case kDefinedCases[] = {
  {"early nop\n .ifdef early\n .byte 1\n .endif\n .ifndef early\n .byte 2\n .endif", "ea 01"},
  {" .ifdef nowhere\n .byte 1\n .endif\n .ifndef nowhere\n .byte 2\n .endif",        "02"},
  {"early nop\n .ifdef nowhere, early\n .byte 1\n .endif",                           "ea 01"},
  {" .ifdef 1/0\n .byte 1\n .endif",                                                 "01"},
  // Undefined in pass 1, defined in pass 2: harmless when nothing moves, else a phase error.
  {" .ifdef later\nx = 1\n .endif\nlater .byte 2",                                   "02"},
  {" .ifdef later\n .byte 1\n .endif\nlater .byte 2",                                "error 25"},
  {" .ifndef later\n .byte 1\n .endif\nlater .byte 2",                               "error 25"},
  {" .ifdef \\1\n .endif\n .byte 1",                                                 "error 2"},
  {" .if \\1\n .endif\n .byte 1",                                                    "error 2"},
  {" .if nowhere\n .endif\n .byte 1",                                                "error 32"},
  {" .if\n .endif",                                                                  "error 5"},
};
// clang-format on

TEST(Conditions, IfdefIsStrictInBothPasses) {
  for (const auto& c : kDefinedCases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(assembleToHex(std::string(c.source) + "\n"), c.hex);
  }
}

// The end of an included file closes the conditionals it left open without a message, so the
// including file's `.endif` finds depth 0 and is ignored.
TEST(Conditions, EndOfAFileRestoresItsDepth) {
  testing::Assembly a = assemble(" .include \"inc.asm\"\n .byte 2\n .endif\n .byte 3\n", {},
                                 {{"inc.asm", " .if 1\n .byte 1\n"}});
  EXPECT_EQ(a.exitStatus, 0) << a.out;
  EXPECT_EQ(a.imageHex(), "01 02 03");
}

}  // namespace
}  // namespace zendra
