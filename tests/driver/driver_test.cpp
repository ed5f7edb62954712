// Driver tests: the identity texts, how `start` and the derived file names are read, what
// `quiet` keeps, how the include path from the environment is used, and that a failed run
// leaves the folder as it found it.

#include "driver/driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "support/assemble.h"
#include "support/case_runner.h"

namespace zendra {
namespace {

using testing::assemble;
using testing::Assembly;

std::string fileList(const Assembly& a) {
  std::string names;
  for (const auto& [name, bytes] : a.files) names += (names.empty() ? "" : " ") + name;
  return names;
}

TEST(Driver, BannerUsageAndTryHelpTexts) {
  EXPECT_EQ(bannerText(),
            "Zendra v1.1.0 [r1141; 2015-08-13 11:11:32]; Copyright (c) the Zendra developers");
  EXPECT_EQ(usageText(), "usage: Zendra [-options] -i infile [-o outfile]");
  EXPECT_EQ(tryHelpText(), "Zendra: try 'Zendra --help' for more information");
}

struct StartCase {
  std::string_view text;
  uint32_t address;
};
constexpr StartCase kStartCases[] = {
    {"$c000", 0xC000}, {"49152", 0xC000}, {"$", 0},  // a single character is read as decimal
    {"c000", 0},                                     // hex digits without "$" are not decimal
    {"$C0zz", 0xC0},                                 // reading stops at the first non-digit
    {"12ab", 12},      {"  +4096", 4096}, {"", 0},
};

TEST(Driver, ReadsTheStartAddress) {
  for (const StartCase& c : kStartCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseStartAddress(c.text), c.address);
  }
}

TEST(Driver, StartOptionSetsTheLoadAddress) {
  for (const char* value : {"$c000", "49152"}) {
    SCOPED_TRACE(value);
    Assembly a = assemble("\tnop\n", {"--start", value});
    EXPECT_EQ(a.exitStatus, 0);
    EXPECT_EQ(a.program, std::string("\x00\xc0\xea", 3));
  }
}

struct NameCase {
  std::string_view input, extension, derived;
};
constexpr NameCase kNameCases[] = {
    {"game.asm", "prg", "game.prg"},
    {"work.d/game", "prg", "work.prg"},  // the last "." anywhere counts
    {"game", "prg", "game.prg"},         // never the source itself
    {"game", "tdb", "game.tdb"},
    {"a.b.asm", "tdb", "a.b.tdb"},
    {"game.", "prg", "game.prg"},
};

TEST(Driver, DerivesOutputNamesFromTheInput) {
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(deriveFileName(std::string(c.input), c.extension), c.derived);
  }
}

TEST(Driver, QuietPrintsNothingButStillWritesTheFiles) {
  Assembly a = assemble("\tnop\n", {"-q", "-s"});
  EXPECT_EQ(a.exitStatus, 0);
  EXPECT_EQ(a.out, "");
  EXPECT_EQ(a.imageHex(), "ea");
  EXPECT_EQ(fileList(a), "t.asm t.prg t.tdb");
}

TEST(Driver, QuietFailurePrintsOnlyTheErrors) {
  Assembly a = assemble("\tlda (1\n", {"-q"});
  EXPECT_EQ(a.exitStatus, 1);
  EXPECT_EQ(a.out, "\nPass 1:\n\nt.asm(1) : error 31: missing parenthesis at col 7\n");
}

// The largest image: the summary counts every byte of the file, not its low 16 bits.
TEST(Driver, SummaryOfTheLargestImageCountsTheWholeFile) {
  Assembly a = assemble("\t*= 0\n\tnop\n\t*= $fffe\n\tnop\n");
  EXPECT_EQ(a.exitStatus, 0);
  EXPECT_EQ(a.out,
            bannerText() +
                "\n\n\tAssembled: $0000 - $fffe / Writing 65537/$10001 bytes incl load address\n"
                "\n\tRanges: \n\t $0000 - $0000 \n\t $fffe - $fffe \n");
  EXPECT_EQ(a.program.size(), 65537u);
}

TEST(Driver, FailedRunLeavesAnExistingProgramFileUntouched) {
  Assembly a = assemble("\tnop\n\tlda nowhere\n", {}, {{"t.prg", "keep"}});
  EXPECT_EQ(a.exitStatus, 1);
  EXPECT_EQ(fileList(a), "t.asm t.prg");
  EXPECT_EQ(a.files["t.prg"], "keep");
}

TEST(Driver, UnwritableProgramFileLeavesNoTemporaryFile) {
  Assembly a = assemble("\tnop\n", {"-o", "missing/t.prg"});
  EXPECT_EQ(a.exitStatus, 1);
  EXPECT_EQ(fileList(a), "t.asm");
}

TEST(Driver, SuccessfulRunReplacesTheProgramFileAndLeavesNoTemporaryFile) {
  Assembly a = assemble("\tnop\n", {}, {{"t.prg", "a longer old program"}});
  EXPECT_EQ(a.exitStatus, 0);
  EXPECT_EQ(fileList(a), "t.asm t.prg");
  EXPECT_EQ(a.program, std::string("\x00\x10\xea", 3));
}

// Output through a link is written where the link points; the link itself is not replaced.
TEST(Driver, ProgramFileThroughALinkKeepsTheLink) {
  namespace fs = std::filesystem;
  fs::path dir = testing::makeTempDir("zendra-driver");
  testing::writeFile(dir / "t.asm", "\tnop\n");
  testing::writeFile(dir / "real.prg", "old");
  fs::create_symlink("real.prg", dir / "t.prg");
  testing::CaseResult r = testing::runInProcess(dir, {"-q", "t.asm"}, "", {});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "t.prg")));
  EXPECT_EQ(testing::readFile(dir / "real.prg"), std::string("\x00\x10\xea", 3));
  fs::remove_all(dir);
}

TEST(Driver, StandardInputWritesOutPrgAndSymbolTdb) {
  namespace fs = std::filesystem;
  fs::path dir = testing::makeTempDir("zendra-driver");
  testing::CaseResult r = testing::runInProcess(dir, {"-q", "-s"}, "\tnop\n", {});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(testing::readFile(dir / "out.prg"), std::string("\x00\x10\xea", 3));
  EXPECT_TRUE(fs::exists(dir / "symbol.tdb"));
  fs::remove_all(dir);
}

// The environment's directory is one name even when it holds a list separator, and it is
// searched before the `include-path` directories.
TEST(Driver, IncludePathFromTheEnvironmentIsUsedWhole) {
  namespace fs = std::filesystem;
  fs::path dir = testing::makeTempDir("zendra-driver");
  const std::map<std::string, std::string> files = {
      {"t.asm", "\t.include \"inc.asm\"\n"}, {"a:b/inc.asm", "\t.byte 1\n"},
      {"a/inc.asm", "\t.byte 2\n"},          {"b/inc.asm", "\t.byte 3\n"},
      {"lib/inc.asm", "\t.byte 4\n"},
  };
  for (const auto& [name, text] : files) {
    fs::create_directories((dir / name).parent_path());
    testing::writeFile(dir / name, text);
  }
  testing::CaseResult r =
      testing::runInProcess(dir, {"-q", "t.asm", "-I", "lib"}, "", {"VORTA_INCLUDE_PATH=a:b"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(testing::readFile(dir / "t.prg"), std::string("\x00\x10\x01", 3));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zendra
