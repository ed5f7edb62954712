// Path rules of both platforms, and the include search order over a made-up file system.

#include "source/path_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zendra {
namespace {

struct AbsoluteCase {
  std::string_view name;
  bool windows, elsewhere;
};
constexpr AbsoluteCase kAbsoluteCases[] = {
    {"c:\\src\\a.asm", true, false},
    {"Z:a.asm", true, false},  // a drive letter alone is enough
    {"1:a.asm", false, false},
    {":a.asm", false, false},
    {"/usr/a.asm", false, true},
    {"\\src\\a.asm", false, true},
    {"src/a.asm", false, false},
    {"a", false, false},
    {"", false, false},
};

TEST(PathRules, TellAbsoluteNamesPerPlatform) {
  for (const AbsoluteCase& c : kAbsoluteCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(kWindowsPaths.isAbsolute(c.name), c.windows);
    EXPECT_EQ(kUnixPaths.isAbsolute(c.name), c.elsewhere);
  }
}

std::string join(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : " | ") + item;
  return text;
}

struct SearchCase {
  const PathRules* rules;
  std::string_view including, name, candidates;
};
const std::vector<std::string> kDirs = {"inc", "/opt/c64"};
const SearchCase kSearchCases[] = {
    {&kUnixPaths, "src/game.asm", "lib.asm",
     "src/lib.asm | lib.asm | inc/lib.asm | /opt/c64/lib.asm"},
    {&kUnixPaths, "game.asm", "lib.asm", "lib.asm | inc/lib.asm | /opt/c64/lib.asm"},
    {&kUnixPaths, "a/b/game.asm", "x/lib.asm",
     "a/b/x/lib.asm | x/lib.asm | inc/x/lib.asm | /opt/c64/x/lib.asm"},
    {&kUnixPaths, "src/game.asm", "/abs/lib.asm", "/abs/lib.asm"},
    {&kUnixPaths, "src\\game.asm", "lib.asm", "lib.asm | inc/lib.asm | /opt/c64/lib.asm"},
    {&kWindowsPaths, "src\\game.asm", "lib.asm",
     "src\\lib.asm | lib.asm | inc\\lib.asm | /opt/c64\\lib.asm"},
    {&kWindowsPaths, "src/game.asm", "lib.asm", "lib.asm | inc\\lib.asm | /opt/c64\\lib.asm"},
    {&kWindowsPaths, "src\\game.asm", "d:\\lib.asm", "d:\\lib.asm"},
};

TEST(PathRules, IncludeSearchTriesBesideTheFileThenHereThenThePath) {
  for (const SearchCase& c : kSearchCases) {
    SCOPED_TRACE(std::string(c.including) + " includes " + std::string(c.name));
    EXPECT_EQ(join(includeCandidates(c.including, c.name, kDirs, *c.rules)), c.candidates);
  }
}

TEST(PathRules, FindSourceFileReturnsTheFirstNameThatExists) {
  struct Case {
    std::set<std::string> existing;
    std::string_view name, found;
  };
  const Case cases[] = {
      {{"src/lib.asm", "lib.asm", "inc/lib.asm"}, "lib.asm", "src/lib.asm"},
      {{"lib.asm", "inc/lib.asm"}, "lib.asm", "lib.asm"},
      {{"inc/lib.asm", "/opt/c64/lib.asm"}, "lib.asm", "inc/lib.asm"},
      {{"/opt/c64/lib.asm"}, "lib.asm", "/opt/c64/lib.asm"},
      {{}, "lib.asm", ""},
      {{"src/abs/lib.asm", "abs/lib.asm"}, "/abs/lib.asm", ""},  // absolute: no search
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.found);
    auto exists = [&](const std::string& name) { return c.existing.count(name) > 0; };
    EXPECT_EQ(findSourceFile("src/game.asm", c.name, kDirs, kUnixPaths, exists), c.found);
  }
}

}  // namespace
}  // namespace zendra
