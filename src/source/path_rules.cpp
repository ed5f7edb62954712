// Include search over candidate names; existence is a file-status query.
#include "source/path_rules.h"

#include <filesystem>
#include <system_error>

namespace zendra {

bool isAbsoluteWindows(std::string_view name) {
  if (name.size() < 2 || name[1] != ':') return false;
  char c = name[0];
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAbsoluteUnix(std::string_view name) {
  return !name.empty() && (name[0] == '/' || name[0] == '\\');
}

const PathRules& hostPathRules() {
#ifdef _WIN32
  return kWindowsPaths;
#else
  return kUnixPaths;
#endif
}

std::vector<std::string> includeCandidates(std::string_view includingFile, std::string_view name,
                                           const std::vector<std::string>& includeDirs,
                                           const PathRules& rules) {
  std::vector<std::string> candidates;
  if (rules.isAbsolute(name)) {
    candidates.emplace_back(name);
    return candidates;
  }
  size_t cut = includingFile.rfind(rules.separator);
  if (cut != std::string_view::npos) {
    std::string beside(includingFile.substr(0, cut + 1));
    beside += name;
    candidates.push_back(std::move(beside));
  }
  candidates.emplace_back(name);
  for (const std::string& dir : includeDirs) {
    std::string path = dir;
    path += rules.separator;
    path += name;
    candidates.push_back(std::move(path));
  }
  return candidates;
}

std::string findSourceFile(std::string_view includingFile, std::string_view name,
                           const std::vector<std::string>& includeDirs, const PathRules& rules,
                           const std::function<bool(const std::string&)>& exists) {
  for (std::string& candidate : includeCandidates(includingFile, name, includeDirs, rules))
    if (exists(candidate)) return std::move(candidate);
  return {};
}

std::string findSourceFile(std::string_view includingFile, std::string_view name,
                           const std::vector<std::string>& includeDirs) {
  return findSourceFile(includingFile, name, includeDirs, hostPathRules(),
                        [](const std::string& path) {
                          std::error_code ec;
                          (void)std::filesystem::status(path, ec);
                          return !ec;
                        });
}

}  // namespace zendra
