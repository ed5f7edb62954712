// Hostile and broken input at the edges of the file system and of size: each gives a clear
// error or assembles, and none crashes.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "support/assemble.h"
#include "support/case_runner.h"

using zendra::testing::assemble;
using zendra::testing::assembleToHex;

namespace {

bool hasLine(const std::string& out, const std::string& line) {
  return out.find(line + "\n") != std::string::npos;
}

}  // namespace

TEST(Bounds, TenMegabyteLines) {
  std::string comment = "; " + std::string(10'000'000, 'x') + "\n";
  EXPECT_EQ(assembleToHex("*=$1000\n" + comment + "nop\n"), "ea");
  // Five million data bytes cannot fit in the 64 KiB address space.
  std::string bytes = ".byte 0";
  bytes.reserve(10'000'000);
  while (bytes.size() < 10'000'000) bytes += ",0";
  EXPECT_EQ(assembleToHex(bytes + "\n"), "error 24");
}

TEST(Bounds, BinaryLargerThanTheAddressSpace) {
  zendra::testing::Assembly a =
      assemble("*=$1000\n.binary \"big.bin\"\n", {}, {{"big.bin", std::string(70000, '\x5a')}});
  EXPECT_EQ(a.exitStatus, 1);
  EXPECT_TRUE(hasLine(a.out, "t.asm : error 24: output too big")) << a.out;
}

TEST(Bounds, DirectoriesWhereFilesBelong) {
  struct Case {
    std::string source;
    std::vector<std::string> args;
    std::string line;
  };
  const Case cases[] = {
      {"nop\n", {"-i", "dir"}, "dir : error 19: unable to open file 'dir'"},
      {".include \"dir\"\n", {}, "t.asm : error 19: unable to open file 'dir'"},
      {".binary \"dir\"\n", {}, "t.asm(1) : error 19: unable to open file 'dir'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    zendra::testing::Assembly a = assemble(c.source, c.args, {{"dir/x", ""}});
    EXPECT_EQ(a.exitStatus, 1);
    EXPECT_TRUE(hasLine(a.out, c.line)) << a.out;
  }
}

TEST(Bounds, NamesWithSpacesAndNonAsciiCharacters) {
  zendra::testing::Assembly a = assemble("*=$1000\n.include \"sub dir/m\xc3\xa4in file.asm\"\n", {},
                                         {{"sub dir/m\xc3\xa4in file.asm", "lda #1\n"}});
  EXPECT_EQ(a.exitStatus, 0) << a.out;
  EXPECT_EQ(a.imageHex(), "a9 01");
}

TEST(Bounds, NulAndHighBytesInLines) {
  EXPECT_EQ(assembleToHex(std::string("*=$1000\n; \0\xff comment\nnop\n", 25)), "ea");
  EXPECT_EQ(assembleToHex("*=$1000\n.text \"a\xe4\"\n"), "41 e4");
  EXPECT_EQ(assembleToHex(std::string("*=$1000\nlda #\0\n", 15)), "error 5");
  EXPECT_EQ(assembleToHex("*=$1000\n\xff\n"), "error 23");
}

TEST(Bounds, IncludeChainsAndSelfIncludes) {
  std::map<std::string, std::string> files;
  for (int i = 1; i < 999; ++i)
    files["i" + std::to_string(i) + ".asm"] = ".include \"i" + std::to_string(i + 1) + ".asm\"\n";
  files["i999.asm"] = "nop\n";
  // The main file and 999 includes: 1,000 loads in all, with one file open at a time.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit few = saved;
  few.rlim_cur = 32;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
  std::string chain = assemble("*=$1000\n.include \"i1.asm\"\n", {}, files).imageHex();
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(chain, "ea");
  files["i999.asm"] = ".include \"i1000.asm\"\n";
  files["i1000.asm"] = "nop\n";
  zendra::testing::Assembly deeper = assemble("*=$1000\n.include \"i1.asm\"\n", {}, files);
  EXPECT_EQ(deeper.exitStatus, 1);
  EXPECT_TRUE(hasLine(deeper.out, "t.asm : error 27: too many includes"))
      << deeper.out.substr(0, 400);

  zendra::testing::Assembly self = assemble(".include \"t.asm\"\n");
  EXPECT_EQ(self.exitStatus, 1);
  EXPECT_TRUE(hasLine(self.out, "t.asm : error 27: too many includes"));
}

TEST(Bounds, RecursionAndLoopsStopCleanly) {
  EXPECT_EQ(assembleToHex("m .macro\n #m\n .endm\n #m\n"), "error 17");
  EXPECT_EQ(assembleToHex("a = b\nb = a+1\n*=$1000\n.word a\n"), "error 11");
  EXPECT_EQ(assembleToHex("*=$1000\nt .lbl\n.goto t\n"), "error 15");
  std::string terms = "1";
  for (int i = 1; i < 100'000; ++i) terms += "+1";
  EXPECT_EQ(assembleToHex("*=$1000\n.word " + terms + "\n"), "a0 86");
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Peak memory of the assemblies run as child processes so far, in bytes.
double childPeak() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

// Writes `lines` repeated until the source holds `bytes`, restarting the program counter every
// 1,000 rounds so that later rounds overwrite earlier ones; the lines use `n` as `{n}`.
size_t writeRepeated(const std::filesystem::path& path, size_t bytes,
                     std::string (*lines)(const std::string& n)) {
  std::string source;
  source.reserve(bytes + 1000);
  for (int n = 0; source.size() < bytes; ++n) {
    if (n % 1000 == 0) source += "        *= $1000\n";
    source += lines(std::to_string(n));
  }
  zendra::testing::writeFile(path, source);
  return source.size();
}

// Memory grows with the source. Plain lines (names, instructions, comments) keep none of their
// text; lines whose text is kept (here `.byte` lists) keep their part of the file. Sanitizers
// add memory of their own, so only the plain build is held to the bounds.
TEST(Bounds, LargeSourcesAssembleInMemoryInProportion) {
  namespace fs = std::filesystem;
  fs::path dir = zendra::testing::makeTempDir("zendra-big");
  size_t plain = writeRepeated(dir / "plain.asm", 40'000'000, [](const std::string& n) {
    return "c" + n + " = $1000+" + n + "\nl" + n + " lda #" + n.substr(0, 2) +
           "\n        sta $d020,x\n        bne l" + n + "\n; a comment line\n\n";
  });
  zendra::testing::CaseResult r = zendra::testing::runProcess(dir, {"-q", "plain.asm"}, "", {});
  EXPECT_EQ(r.exitStatus, 0) << r.out.substr(0, 400);
  if (!kSanitized) {
    double peak = childPeak();
    EXPECT_LT(peak, 4.2 * static_cast<double>(plain)) << peak / 1e6 << " MB";
  }

  size_t size = writeRepeated(dir / "big.asm", 100'000'000, [](const std::string& n) {
    return "c" + n + " = $1000+" + n + "\nl" + n + " lda #" + n.substr(0, 2) +
           "\n        sta $d020,x\n        bne l" + n +
           "\n; a comment line\n\n        .byte 1, 2, 3\n";
  });
  r = zendra::testing::runProcess(dir, {"-q", "big.asm"}, "", {});
  EXPECT_EQ(r.exitStatus, 0) << r.out.substr(0, 400);
  EXPECT_TRUE(fs::exists(dir / "big.prg"));
  if (!kSanitized) {
    double peak = childPeak();
    EXPECT_LT(peak, 8.0 * static_cast<double>(size)) << peak / 1e6 << " MB";
  }
  fs::remove_all(dir);
}

TEST(Bounds, WorkWithoutEndStopsWithAnError) {
  // 65,536 jumps around 2,049 statements: more work than the pass allows, stopped once.
  std::string loop = "*=$1000\ntop .lbl\n";
  for (int i = 0; i < 2048; ++i) loop += " .byte 0\n*=$1000\n";
  EXPECT_EQ(assembleToHex(loop.substr(0, loop.size() - 8) + ".goto top\n"), "error 15");
  // A fill of more bytes than any address space holds.
  std::string fill = "*=$1000\n.repeat 65535";
  for (int i = 0; i < 300; ++i) fill += ",1";
  EXPECT_EQ(assembleToHex(fill + "\n"), "error 24");
}

TEST(Bounds, MacroTextThatDoublesAtEveryLevelStops) {
  // Each call passes its argument on twice, so the line would double 256 times.
  EXPECT_EQ(assembleToHex("m .macro\n #m \"@1@1\"\n .endm\n #m \"x\"\n"), "error 23");
}
