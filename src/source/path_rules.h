// Path rules of the two platforms the assembler is built for, as pure functions, and the
// include search that uses them. The build picks the rules of the platform it targets.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zendra {

struct PathRules {
  char separator;
  bool (*isAbsolute)(std::string_view name);
};

// Windows: a drive letter and ':'. Elsewhere: a leading '/' or '\'.
bool isAbsoluteWindows(std::string_view name);
bool isAbsoluteUnix(std::string_view name);
constexpr PathRules kWindowsPaths{'\\', isAbsoluteWindows};
constexpr PathRules kUnixPaths{'/', isAbsoluteUnix};
const PathRules& hostPathRules();

// The names an include search tries, in order: next to the including file, the name as
// given (working directory), then each include directory.
std::vector<std::string> includeCandidates(std::string_view includingFile, std::string_view name,
                                           const std::vector<std::string>& includeDirs,
                                           const PathRules& rules);

// The first candidate that exists, or empty.
std::string findSourceFile(std::string_view includingFile, std::string_view name,
                           const std::vector<std::string>& includeDirs, const PathRules& rules,
                           const std::function<bool(const std::string&)>& exists);
// The same with the host's rules and file system.
std::string findSourceFile(std::string_view includingFile, std::string_view name,
                           const std::vector<std::string>& includeDirs);

}  // namespace zendra
