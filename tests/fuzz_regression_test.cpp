// Replays the fuzzing inputs kept under tests/fuzz (the seeds and every input that once found
// a fault) through both harnesses: each must run to its end without a crash or a sanitizer
// report.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/harness.h"
#include "support/case_runner.h"

namespace fs = std::filesystem;

TEST(FuzzRegressions, KeptInputsRunCleanly) {
  fs::path saved = fs::current_path();
  fs::path work = zendra::testing::makeTempDir("zendra-fuzz-replay");
  fs::current_path(work);
  // The example programs seed the fuzzers too.
  for (const char* folder : {"tests/fuzz/corpus", "tests/fuzz/regressions", "examples"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(ZENDRA_SOURCE_DIR) / folder)) {
      SCOPED_TRACE(entry.path().filename().string());
      std::string input = zendra::testing::readFile(entry.path());
      const auto* bytes = reinterpret_cast<const uint8_t*>(input.data());
      zendra::fuzz::assembleInput(bytes, input.size());
      zendra::fuzz::parseInput(bytes, input.size());
    }
  }
  fs::current_path(saved);
  fs::remove_all(work);
}
