// Program driver: the command line, the informational options, the run and its summary.
// It writes only to the streams it is given, so a whole assembly can run in-process.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace zendra {

struct ProcessEnvironment {
  std::optional<std::string> includePath;  // VORTA_INCLUDE_PATH
};

// Runs the program as the process entry would; returns the exit status.
int runZendra(int argc, const char* const* argv, std::istream& in, std::ostream& out,
              std::ostream& err, const ProcessEnvironment& env);

std::string bannerText();
std::string usageText();
std::string tryHelpText();
// The start address as the `start` option reads it: "$hex" or decimal, 0 when unreadable.
uint32_t parseStartAddress(std::string_view text);
// The input name with its extension replaced; ".ext" is appended when it has no '.'.
std::string deriveFileName(const std::string& input, std::string_view extension);

}  // namespace zendra
