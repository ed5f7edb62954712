// Option table: the registry of command-line options. The driver registers each option, hands
// over the argument vector once, then asks what was given, which plain arguments remain and what
// went wrong. Parsing never stops early; errors are collected as text for the driver to print.
// The same table renders the help listing.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace zendra {

enum class ArgumentKind : uint8_t { None = 0, Optional = 1, Required = 2 };

struct OptionSpec {
  std::string shortName, longName, description;  // an empty name cannot be typed
  ArgumentKind argumentKind = ArgumentKind::None;
  std::string argumentName, value;  // argumentName is the help placeholder; value the last taken
  std::vector<std::string>* sink = nullptr;  // owned by the caller; also receives every value
  bool given = false;
  bool hidden = false;  // left out of the help listing, still accepted
};

class OptionTable {
 public:
  // Appends an option and widens the help column for it. A sink, when given, must outlive the
  // table; an option with a sink may be given any number of times.
  void addOption(std::string_view shortName, std::string_view longName,
                 std::string_view description, ArgumentKind kind, std::string_view argumentName,
                 std::vector<std::string>* sink = nullptr);
  // Hides every option whose short or long name is `name` from the help listing.
  void hideOption(std::string_view name);
  // Examines argv[1] to argv[argc - 1]; every argument is looked at and every error recorded.
  void parseArguments(int argc, const char* const* argv);

  // Queries take either name, compared exactly; an empty name matches nothing.
  bool isGiven(std::string_view name) const;
  std::string valueOf(std::string_view name) const;  // empty unless a given option has that name
  std::vector<std::string> positionalArguments() const;
  std::vector<std::string> parseErrors() const;  // each message begins with the argument as typed

  void printHelp(std::ostream& out) const;  // one line per visible option, in registration order
  int helpColumnWidth() const;

 private:
  // The most recently matched option and the argument that named it; it may take the next
  // unmatched argument as its value.
  struct Pending {
    OptionSpec* option = nullptr;
    std::string namedBy;
  };

  bool matchOptions(std::string_view argument, Pending& pending);
  void takeUnmatched(std::string_view argument, Pending& pending);
  void reportMissingArgument(const Pending& pending);
  const OptionSpec* findGiven(std::string_view name) const;

  std::vector<OptionSpec> options;  // registration order
  std::vector<std::string> positionals;
  std::vector<std::string> errors;
  int columnWidth = 0;
};

}  // namespace zendra
