// The user guide cannot drift from the program: every ```asm example in README.md is
// assembled (and, where a `<!-- bytes: ... -->` line precedes it, its bytes are compared), and
// the option lists of the README and the manual page are held against the help listing.
#include <gtest/gtest.h>

#include <regex>
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
  // Each help line: the names, padding, then the description from column 29.
  static const std::regex row(R"(^ (-(\S+)|  )/--(\S+)(?: <(\w+)>)?\s+(.*)$)");
  while (std::getline(help, line)) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, row)) << line;
    SCOPED_TRACE(line);
    std::string entry = m[2].matched ? ".BR -" + m[2].str() + " \", \" --" + m[3].str()
                                     : ".B --" + m[3].str();
    EXPECT_NE(page.find(entry), std::string::npos);
    EXPECT_NE(page.find("\n" + m[5].str() + "\n"), std::string::npos);
    ++options;
  }
  EXPECT_GT(options, 0);
}
