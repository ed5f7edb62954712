// The user guide cannot drift from the program: every ```asm example in README.md is
// assembled (and, where a `<!-- bytes: ... -->` line precedes it, its bytes are compared), and
// the option lists of the README and the manual page are held against the help listing.
#include <gtest/gtest.h>

#include <sstream>

#include "driver/driver.h"
#include "support/assemble.h"
#include "support/case_runner.h"

using namespace zendra::testing;

namespace {

struct Example {
  std::string source;
  std::string bytes;  // expected image, empty when the README does not say
  int line = 0;
};

std::vector<Example> readmeExamples() {
  std::istringstream in(readFile(std::string(ZENDRA_SOURCE_DIR) + "/README.md"));
  std::vector<Example> examples;
  std::string line, bytes;
  int number = 0;
  bool inside = false;
  while (std::getline(in, line)) {
    ++number;
    if (inside) {
      if (line.rfind("```", 0) == 0)
        inside = false;
      else
        examples.back().source += line + "\n";
    } else if (line.rfind("<!-- bytes: ", 0) == 0) {
      bytes = line.substr(12, line.find(" -->") - 12);
    } else if (line == "```asm") {
      examples.push_back({"", bytes, number});
      bytes.clear();
      inside = true;
    }
  }
  return examples;
}

std::string helpListing() {
  const char* argv[] = {"zendra", "--help"};
  std::istringstream in;
  std::ostringstream out, err;
  zendra::runZendra(2, argv, in, out, err, {});
  std::string text = out.str();
  return text.substr(text.find('\n', text.find("usage:")) + 1);
}

}  // namespace

TEST(Readme, EveryExampleAssembles) {
  auto examples = readmeExamples();
  ASSERT_FALSE(examples.empty());
  for (const Example& e : examples) {
    SCOPED_TRACE("README.md line " + std::to_string(e.line));
    Assembly a = assemble(e.source);
    EXPECT_EQ(a.exitStatus, 0) << a.out;
    if (!e.bytes.empty()) {
      EXPECT_EQ(a.imageHex(), e.bytes);
    }
  }
}

TEST(Readme, OptionListIsTheHelpListing) {
  std::string readme = readFile(std::string(ZENDRA_SOURCE_DIR) + "/README.md");
  EXPECT_NE(readme.find("```\n" + helpListing() + "```\n"), std::string::npos);
}

TEST(ManPage, ListsEveryOptionWithItsHelpText) {
  std::string page = readFile(std::string(ZENDRA_SOURCE_DIR) + "/doc/zendra.1");
  std::istringstream help(helpListing());
  std::string line;
  int options = 0;
  // Each help line: " -x/--long <arg>", padding, then the description after column 28.
  while (std::getline(help, line)) {
    SCOPED_TRACE(line);
    ASSERT_GT(line.size(), 28u);
    std::string names = line.substr(0, 28), description = line.substr(28);
    size_t slash = names.find("/--");
    ASSERT_NE(slash, std::string::npos);
    std::string shortName = names.substr(1, slash - 1);
    std::string longName = names.substr(slash + 3, names.find_first_of(" <", slash) - slash - 3);
    std::string entry =
        shortName[0] == '-' ? ".BR " + shortName + " \", \" --" + longName : ".B --" + longName;
    EXPECT_NE(page.find(entry), std::string::npos);
    EXPECT_NE(page.find("\n" + description + "\n"), std::string::npos);
    ++options;
  }
  EXPECT_GT(options, 0);
}

TEST(Readme, FirstProgramPrintsWhatTheGuideShows) {
  std::istringstream in(readFile(std::string(ZENDRA_SOURCE_DIR) + "/README.md"));
  std::string line, shown;
  while (std::getline(in, line) && line != "    $ zendra first.asm") {
  }
  // The indented lines after the command, up to the first paragraph of text.
  while (std::getline(in, line) && (line.empty() || line.rfind("    ", 0) == 0))
    shown += (line.empty() ? "" : line.substr(4)) + "\n";
  while (shown.size() > 1 && shown[shown.size() - 2] == '\n') shown.pop_back();
  ASSERT_FALSE(shown.empty());
  auto examples = readmeExamples();
  ASSERT_FALSE(examples.empty());
  EXPECT_EQ(assemble(examples.front().source).out, shown);
}
