// Replays the fuzzing inputs kept under tests/fuzz (the seeds and every input that once found
// a fault) through both harnesses: each must run to its end without a crash or a sanitizer
// report.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "fuzz/harness.h"
#include "support/case_runner.h"

namespace fs = std::filesystem;

TEST(FuzzRegressions, KeptInputsRunCleanly) {
  fs::path saved = fs::current_path();
  fs::path work = zendra::testing::makeTempDir("zendra-fuzz-replay");
  fs::current_path(work);
  // The seeds are the kept inputs, the example programs and every source of the cases.
  std::vector<fs::path> inputs;
  fs::path root(ZENDRA_SOURCE_DIR);
  for (const char* folder : {"tests/fuzz/corpus", "tests/fuzz/regressions", "examples"})
    for (const auto& entry : fs::directory_iterator(root / folder)) inputs.push_back(entry.path());
  for (const auto& entry : fs::recursive_directory_iterator(root / "tests/cases"))
    if (entry.path().extension() == ".asm") inputs.push_back(entry.path());
  for (const fs::path& path : inputs) {
    SCOPED_TRACE(path.string());
    std::string input = zendra::testing::readFile(path);
    const auto* bytes = reinterpret_cast<const uint8_t*>(input.data());
    EXPECT_TRUE(zendra::fuzz::assembleInput(bytes, input.size()));
    EXPECT_EQ(zendra::fuzz::parseInput(bytes, input.size()), "");
  }
  fs::current_path(saved);
  fs::remove_all(work);
}
