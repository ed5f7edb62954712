// Option table: matching of arguments against the registered options, the pending-option rules
// that decide where a value goes, and the help listing.

#include "driver/option_table.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace zendra {

namespace {

// Each message follows the argument exactly as the user typed it.
constexpr std::string_view kMissingArgument = " must be followed by an argument.";
constexpr std::string_view kGivenTwice = " can only be specified once.";
constexpr std::string_view kNotAnOption = " is not a valid option.";

std::string message(std::string_view argument, std::string_view text) {
  std::string result(argument);
  result += text;
  return result;
}

// "-x" and "/x" name a short option; "--name" a long one. A long name after a single "-" and
// a bare "-" or "--" name nothing.
bool namesOption(std::string_view argument, const OptionSpec& option) {
  bool shortLead = argument.starts_with('-') || argument.starts_with('/');
  if (shortLead && !option.shortName.empty() && argument.substr(1) == option.shortName) return true;
  return argument.starts_with("--") && !option.longName.empty() &&
         argument.substr(2) == option.longName;
}

bool namesEither(std::string_view name, const OptionSpec& option) {
  return !name.empty() && (option.shortName == name || option.longName == name);
}

// The help column width one option asks for. It counts two characters more for a short name
// than its lead takes, so with a short name the column keeps that margin.
int helpWidthOf(std::string_view shortName, std::string_view longName,
                std::string_view argumentName) {
  size_t width = shortName.empty() ? 4 : shortName.size() + 5;
  if (!longName.empty()) width += longName.size() + 2;
  if (!argumentName.empty()) width += argumentName.size() + 3;
  return static_cast<int>(width);
}

// " -I/--include-path <path>": the "/" stays even without a short name, which leaves two
// blanks in its place.
std::string helpLead(const OptionSpec& option) {
  std::string lead = " ";
  lead += option.shortName.empty() ? "  " : "-" + option.shortName;
  lead += "/";
  if (!option.longName.empty()) lead += "--" + option.longName;
  if (option.argumentName.empty()) return lead;
  switch (option.argumentKind) {
    case ArgumentKind::None: break;
    case ArgumentKind::Optional: lead += " [" + option.argumentName + "]"; break;
    case ArgumentKind::Required: lead += " <" + option.argumentName + ">"; break;
  }
  return lead;
}

}  // namespace

void OptionTable::addOption(std::string_view shortName, std::string_view longName,
                            std::string_view description, ArgumentKind kind,
                            std::string_view argumentName, std::vector<std::string>* sink) {
  OptionSpec option;
  option.shortName = shortName;
  option.longName = longName;
  option.description = description;
  option.argumentKind = kind;
  option.argumentName = argumentName;
  option.sink = sink;
  options.push_back(std::move(option));
  columnWidth = std::max(columnWidth, helpWidthOf(shortName, longName, argumentName));
}

void OptionTable::hideOption(std::string_view name) {
  for (OptionSpec& option : options)
    if (namesEither(name, option)) option.hidden = true;
}

void OptionTable::parseArguments(int argc, const char* const* argv) {
  if (argv == nullptr) return;
  Pending pending;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == nullptr) continue;
    std::string_view argument = argv[i];
    if (!matchOptions(argument, pending)) takeUnmatched(argument, pending);
  }
  reportMissingArgument(pending);
}

// Every option is tried, even after one matched, so an argument naming two options sets both.
// A repeat of an option without a sink is an error but still counts as matched, so it neither
// becomes a value nor a positional argument, and leaves the pending option as it was.
bool OptionTable::matchOptions(std::string_view argument, Pending& pending) {
  bool matched = false;
  for (OptionSpec& option : options) {
    if (!namesOption(argument, option)) continue;
    matched = true;
    if (option.given && option.sink == nullptr) {
      errors.push_back(message(argument, kGivenTwice));
      continue;
    }
    // Another option arriving while a value is owed means the value was never given.
    reportMissingArgument(pending);
    option.given = true;
    pending = Pending{&option, std::string(argument)};
  }
  return matched;
}

// An argument that names no option is the pending option's value when it takes one, even when
// it begins with "-"; otherwise a leading "-" marks a mistyped option.
void OptionTable::takeUnmatched(std::string_view argument, Pending& pending) {
  OptionSpec* option = pending.option;
  if (option != nullptr && option->argumentKind != ArgumentKind::None) {
    option->value = argument;
    if (option->sink != nullptr) option->sink->emplace_back(argument);
    pending = Pending{};
    return;
  }
  if (argument.starts_with('-'))
    errors.push_back(message(argument, kNotAnOption));
  else
    positionals.emplace_back(argument);
}

// Only a Required option owes a value; an Optional one may simply go without.
void OptionTable::reportMissingArgument(const Pending& pending) {
  if (pending.option != nullptr && pending.option->argumentKind == ArgumentKind::Required)
    errors.push_back(message(pending.namedBy, kMissingArgument));
}

const OptionSpec* OptionTable::findGiven(std::string_view name) const {
  for (const OptionSpec& option : options)
    if (option.given && namesEither(name, option)) return &option;
  return nullptr;
}

bool OptionTable::isGiven(std::string_view name) const { return findGiven(name) != nullptr; }

std::string OptionTable::valueOf(std::string_view name) const {
  const OptionSpec* option = findGiven(name);
  return option != nullptr ? option->value : std::string();
}

std::vector<std::string> OptionTable::positionalArguments() const { return positionals; }

std::vector<std::string> OptionTable::parseErrors() const { return errors; }

int OptionTable::helpColumnWidth() const { return columnWidth; }

void OptionTable::printHelp(std::ostream& out) const {
  for (const OptionSpec& option : options) {
    if (option.hidden) continue;
    std::string line = helpLead(option);
    size_t width = static_cast<size_t>(columnWidth);
    if (line.size() < width) line.append(width - line.size(), ' ');  // a longer lead is kept whole
    out << line << ' ' << option.description << '\n';
  }
}

}  // namespace zendra
