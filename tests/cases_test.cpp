// Runs every folder under tests/cases as one test. A folder holds:
//   args            the command line (without the program name); quotes group words
//   expect.rc       the exit status (0 when absent)
//   expect.stdout   the exact standard output (not compared when absent); also expect.stderr
//   expect/NAME     an output file compared as text, expect/NAME.hex compared as hex bytes
//   absent          names of files that must not exist after the run, one per line
//   env             VAR=value lines for the environment; stdin: the standard input
//   process         present: run the real executable as a process instead of in-process
// In `args`, @SOURCE@ stands for the project's folder (the example programs are assembled
// from examples/ itself, so the cases cannot drift from them).
// Every other file is an input, copied into a fresh working folder before the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/case_runner.h"

namespace fs = std::filesystem;
using namespace zendra::testing;

namespace {

bool isExpectation(const std::string& name) {
  return name == "args" || name == "expect.rc" || name == "expect.stdout" ||
         name == "expect.stderr" || name == "expect" || name == "absent" || name == "env" ||
         name == "stdin" || name == "process";
}

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ZENDRA_CASES_DIR))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty()) out.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

class EndToEnd : public ::testing::TestWithParam<std::string> {};

TEST_P(EndToEnd, MatchesExpectations) {
  fs::path dir = fs::path(ZENDRA_CASES_DIR) / GetParam();
  fs::path work = makeTempDir("zendra-case");
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (!isExpectation(name)) fs::copy(entry.path(), work / name, fs::copy_options::recursive);
  }
  std::string argsText = readFile(dir / "args");
  for (size_t at; (at = argsText.find("@SOURCE@")) != std::string::npos;)
    argsText.replace(at, 8, ZENDRA_SOURCE_DIR);
  auto args = splitArguments(argsText);
  std::string stdinText = fs::exists(dir / "stdin") ? readFile(dir / "stdin") : "";
  std::vector<std::string> env =
      fs::exists(dir / "env") ? lines(readFile(dir / "env")) : std::vector<std::string>{};
  CaseResult result = fs::exists(dir / "process") ? runProcess(work, args, stdinText, env)
                                                  : runInProcess(work, args, stdinText, env);

  bool update = std::getenv("ZENDRA_UPDATE_CASES") != nullptr;
  int expectedRc = fs::exists(dir / "expect.rc") ? std::stoi(readFile(dir / "expect.rc")) : 0;
  if (update) {
    writeFile(dir / "expect.rc", std::to_string(result.exitStatus) + "\n");
    writeFile(dir / "expect.stdout", result.out);
    if (!result.err.empty()) writeFile(dir / "expect.stderr", result.err);
  }
  EXPECT_EQ(result.exitStatus, expectedRc);
  if (fs::exists(dir / "expect.stdout")) {
    EXPECT_EQ(result.out, readFile(dir / "expect.stdout"));
  }
  if (fs::exists(dir / "expect.stderr")) {
    EXPECT_EQ(result.err, readFile(dir / "expect.stderr"));
  }
  if (fs::exists(dir / "expect")) {
    for (const auto& entry : fs::directory_iterator(dir / "expect")) {
      std::string name = entry.path().filename().string();
      bool hex = entry.path().extension() == ".hex";
      fs::path produced = work / (hex ? entry.path().stem().string() : name);
      SCOPED_TRACE(name);
      ASSERT_TRUE(fs::exists(produced)) << "not written: " << produced.filename();
      std::string actual = readFile(produced);
      if (update && hex) writeFile(entry.path(), toHexText(actual));
      if (update && !hex) writeFile(entry.path(), actual);
      if (hex) {
        EXPECT_EQ(toHexText(actual), toHexText(parseHexText(readFile(entry.path()))));
      } else {
        EXPECT_EQ(actual, readFile(entry.path()));
      }
    }
  }
  if (fs::exists(dir / "absent")) {
    for (const std::string& name : lines(readFile(dir / "absent"))) {
      EXPECT_FALSE(fs::exists(work / name)) << name << " should not exist";
    }
  }
  fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, ::testing::ValuesIn(caseNames()), [](const auto& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !isalnum(static_cast<unsigned char>(c)); },
      '_');
  return name;
});

}  // namespace
