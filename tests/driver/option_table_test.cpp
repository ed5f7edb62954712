// Option table tests: the driver's own option rows on the command lines users type (repeats,
// missing values, mistyped options, values that look like options), the help column width and
// the whole help listing.

#include "driver/option_table.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace zendra {
namespace {

enum class Sink : uint8_t { None, IncludePaths, Defines };

struct OptionRow {
  std::string_view shortName, longName;
  ArgumentKind kind;
  std::string_view argumentName, description;
  Sink sink;
};

constexpr ArgumentKind kNo = ArgumentKind::None;
constexpr ArgumentKind kArg = ArgumentKind::Required;

// The driver's options, in its registration order.
// clang-format off
constexpr OptionRow kDriverRows[] = {
  {"h", "help",          kNo,  "",       "Show this help text, then exit",                    Sink::None},
  {"?", "usage",         kNo,  "",       "Show a short usage message, then exit",             Sink::None},
  {"",  "version",       kNo,  "",       "Show version number with credits, then exit",       Sink::None},
  {"i", "in",            kArg, "file",   "Input is read from the file",                       Sink::None},
  {"o", "out",           kArg, "file",   "Output is written to the file",                     Sink::None},
  {"q", "quiet",         kNo,  "",       "Suppress all non-error output",                     Sink::None},
  {"I", "include-path",  kArg, "path",   "Add path to search list for .include ops",          Sink::IncludePaths},
  {"D", "define",        kArg, "define", "Define label",                                      Sink::Defines},
  {"S", "start",         kArg, "start",  "Specify default start address (decimal or $hex)",  Sink::None},
  {"L", "omit-load",     kNo,  "",       "Omit load address from output file",                Sink::None},
  {"s", "symbol",        kNo,  "",       "Generate symbol output",                            Sink::None},
  {"l", "list",          kArg, "file",   "Generate list output to the file",                  Sink::None},
  {"M", "hide-macros",   kNo,  "",       "Suppress macro expansion in list output",           Sink::None},
  {"P", "proff",         kNo,  "",       "Start assembly with implied .proff",                Sink::None},
  {"",  "ignore-case",   kNo,  "",       "Case insensitive comparisons",                      Sink::None},
  {"R", "error-overlap", kNo,  "",       "Error on object code overlap",                      Sink::None},
  {"",  "error-undoc",   kNo,  "",       "Error on undocumented opcodes",                     Sink::None},
  {"",  "error-dtv",     kNo,  "",       "Error on DTV opcodes",                              Sink::None},
  {"a", "ascii",         kNo,  "",       "Assemble in ascii mode (no conversion to petscii)", Sink::None},
};
// clang-format on
static_assert(std::size(kDriverRows) == 19, "one row per driver option");

// The driver's table with "a" hidden, as the driver sets it up. The sinks are declared first
// so that they outlive the table.
struct DriverOptions {
  std::vector<std::string> includePaths;
  std::vector<std::string> defines;
  OptionTable table;

  DriverOptions() {
    for (const OptionRow& row : kDriverRows)
      table.addOption(row.shortName, row.longName, row.description, row.kind, row.argumentName,
                      sinkFor(row.sink));
    table.hideOption("a");
  }
  DriverOptions(const DriverOptions&) = delete;
  DriverOptions& operator=(const DriverOptions&) = delete;

  std::vector<std::string>* sinkFor(Sink sink) {
    switch (sink) {
      case Sink::None: return nullptr;
      case Sink::IncludePaths: return &includePaths;
      case Sink::Defines: return &defines;
    }
    return nullptr;
  }
};

// Splits the command line at blanks and parses it behind a program name.
void parse(OptionTable& table, std::string_view commandLine) {
  std::vector<std::string> words;
  std::istringstream in{std::string(commandLine)};
  for (std::string word; in >> word;) words.push_back(word);
  std::vector<const char*> argv{"zendra"};
  for (const std::string& word : words) argv.push_back(word.c_str());
  table.parseArguments(static_cast<int>(argv.size()), argv.data());
}

std::string join(const std::vector<std::string>& items, std::string_view separator) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += separator;
    text += item;
  }
  return text;
}

// The given options by long name in table order, as "name", "name=value", and a filled sink in
// brackets: "include-path=b[a,b]".
std::string renderGiven(DriverOptions& options) {
  std::vector<std::string> given;
  for (const OptionRow& row : kDriverRows) {
    if (!options.table.isGiven(row.longName)) continue;
    std::string item(row.longName);
    std::string value = options.table.valueOf(row.longName);
    if (!value.empty()) item += "=" + value;
    if (const std::vector<std::string>* sink = options.sinkFor(row.sink); sink && !sink->empty())
      item += "[" + join(*sink, ",") + "]";
    given.push_back(item);
  }
  return join(given, " ");
}

struct ParseCase {
  std::string_view commandLine;
  std::string_view given;       // see renderGiven
  std::string_view positional;  // joined by blanks
  std::string_view errors;      // joined by "|"
};

// clang-format off
constexpr ParseCase kParseCases[] = {
  {"-q -q",                     "quiet",                   "",         "-q can only be specified once."},
  {"-o x --out y",              "out=x",                   "y",        "--out can only be specified once."},
  {"-o -o y",                   "out=y",                   "",         "-o can only be specified once."},
  {"-I a -I b",                 "include-path=b[a,b]",     "",         ""},
  {"-D A=1 --define B",         "define=B[A=1,B]",         "",         ""},
  {"-o",                        "out",                     "",         "-o must be followed by an argument."},
  {"-I",                        "include-path",            "",         "-I must be followed by an argument."},
  {"-o -q",                     "out quiet",               "",         "-o must be followed by an argument."},
  {"-o -I a",                   "out include-path=a[a]",   "",         "-o must be followed by an argument."},
  {"-I -I a",                   "include-path=a[a]",       "",         "-I must be followed by an argument."},
  {"-o -x",                     "out=-x",                  "",         ""},   // names no option: a value
  {"/o game.prg",               "out=game.prg",            "",         ""},
  {"-help",                     "",                        "",         "-help is not a valid option."},
  {"--help",                    "help",                    "",         ""},
  {"-h",                        "help",                    "",         ""},
  {"/h",                        "help",                    "",         ""},
  {"/?",                        "usage",                   "",         ""},
  {"--usage",                   "usage",                   "",         ""},
  {"/help",                     "",                        "/help",    ""},   // "/" takes short names only
  {"--in=game.asm",             "",                        "",         "--in=game.asm is not a valid option."},
  {"-",                         "",                        "",         "- is not a valid option."},
  {"--",                        "",                        "",         "-- is not a valid option."},
  {"--version -x",              "version",                 "",         "-x is not a valid option."},
  {"game.asm -i other.asm",     "in=other.asm",            "game.asm", ""},
  {"-q game.asm",               "quiet",                   "game.asm", ""},
  {"a.asm -q b.asm",            "quiet",                   "a.asm b.asm", ""},
  {"-a",                        "ascii",                   "",         ""},
  {"-s -S $c000 -l out.lst -L", "start=$c000 omit-load symbol list=out.lst", "", ""},
  {"-q -x -q -o",               "out quiet",               "",
   "-x is not a valid option.|-q can only be specified once.|-o must be followed by an argument."},
};
// clang-format on

TEST(OptionTable, ParsesDriverCommandLines) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.commandLine);
    DriverOptions options;
    parse(options.table, c.commandLine);
    EXPECT_EQ(renderGiven(options), c.given);
    EXPECT_EQ(join(options.table.positionalArguments(), " "), c.positional);
    EXPECT_EQ(join(options.table.parseErrors(), "|"), c.errors);
  }
}

TEST(OptionTable, QueriesAcceptEitherNameExactly) {
  DriverOptions options;
  parse(options.table, "-o game.prg --version");
  EXPECT_TRUE(options.table.isGiven("o"));
  EXPECT_TRUE(options.table.isGiven("out"));
  EXPECT_EQ(options.table.valueOf("o"), "game.prg");
  EXPECT_EQ(options.table.valueOf("out"), "game.prg");
  EXPECT_TRUE(options.table.isGiven("version"));
  EXPECT_FALSE(options.table.isGiven(""));  // "version" has no short name, yet "" names nothing
  EXPECT_FALSE(options.table.isGiven("-o"));
  EXPECT_FALSE(options.table.isGiven("O"));
  EXPECT_FALSE(options.table.isGiven("in"));
  EXPECT_EQ(options.table.valueOf("in"), "");
  EXPECT_EQ(options.table.valueOf("nonsense"), "");
}

TEST(OptionTable, ExaminesEveryOptionForEachArgument) {
  OptionTable table;
  table.addOption("x", "first", "", ArgumentKind::None, "");
  table.addOption("x", "second", "", ArgumentKind::None, "");
  parse(table, "-x");
  EXPECT_TRUE(table.isGiven("first"));
  EXPECT_TRUE(table.isGiven("second"));
  EXPECT_EQ(join(table.parseErrors(), "|"), "");
}

struct OptionalCase {
  std::string_view commandLine;
  std::string_view value;
  bool quiet;
};

// An optional value is taken when offered and may be left out, anywhere on the line.
constexpr OptionalCase kOptionalCases[] = {
    {"-c", "", false},
    {"-c red", "red", false},
    {"-c -q", "", true},
    {"--color -q red", "", true},  // -q has become the pending option, and takes no value
};

TEST(OptionTable, OptionalArgumentMayBeLeftOut) {
  for (const OptionalCase& c : kOptionalCases) {
    SCOPED_TRACE(c.commandLine);
    OptionTable table;
    table.addOption("c", "color", "Colour the output", ArgumentKind::Optional, "mode");
    table.addOption("q", "quiet", "Say less", ArgumentKind::None, "");
    parse(table, c.commandLine);
    EXPECT_TRUE(table.isGiven("color"));
    EXPECT_EQ(table.valueOf("color"), c.value);
    EXPECT_EQ(table.isGiven("quiet"), c.quiet);
    EXPECT_EQ(join(table.parseErrors(), "|"), "");
  }
}

TEST(OptionTable, ToleratesEmptyAndMissingArguments) {
  OptionTable table;
  table.addOption("o", "out", "", ArgumentKind::Required, "file");
  table.parseArguments(0, nullptr);
  table.parseArguments(1, nullptr);
  const char* argv[] = {"zendra", "", nullptr, "-o", ""};
  table.parseArguments(static_cast<int>(std::size(argv)), argv);
  EXPECT_EQ(table.positionalArguments(), std::vector<std::string>{""});
  EXPECT_TRUE(table.isGiven("out"));
  EXPECT_EQ(table.valueOf("out"), "");
  EXPECT_TRUE(table.parseErrors().empty());
}

struct WidthCase {
  std::string_view shortName, longName, argumentName;
  int width;
};

// The width reserves two more characters for a short name than its lead " -x/" takes.
constexpr WidthCase kWidthCases[] = {
    {"", "", "", 4},
    {"h", "", "", 6},
    {"", "version", "", 13},
    {"", "x", "file", 14},
    {"I", "include-path", "path", 27},
};

TEST(OptionTable, HelpColumnFitsTheWidestOption) {
  for (const WidthCase& c : kWidthCases) {
    SCOPED_TRACE(c.longName);
    OptionTable table;
    table.addOption(c.shortName, c.longName, "", ArgumentKind::Required, c.argumentName);
    EXPECT_EQ(table.helpColumnWidth(), c.width);
  }

  DriverOptions options;
  EXPECT_EQ(options.table.helpColumnWidth(), 27);

  OptionTable table;  // the widest option counts though hidden, and wherever it was added
  table.addOption("w", "wide-and-hidden", "", ArgumentKind::None, "");
  table.addOption("n", "narrow", "", ArgumentKind::None, "");
  table.hideOption("wide-and-hidden");
  EXPECT_EQ(table.helpColumnWidth(), 23);
}

TEST(OptionTable, PrintsDriverHelpListing) {
  DriverOptions options;
  std::ostringstream out;
  options.table.printHelp(out);
  EXPECT_EQ(out.str(),
            " -h/--help                  Show this help text, then exit\n"
            " -?/--usage                 Show a short usage message, then exit\n"
            "   /--version               Show version number with credits, then exit\n"
            " -i/--in <file>             Input is read from the file\n"
            " -o/--out <file>            Output is written to the file\n"
            " -q/--quiet                 Suppress all non-error output\n"
            " -I/--include-path <path>   Add path to search list for .include ops\n"
            " -D/--define <define>       Define label\n"
            " -S/--start <start>         Specify default start address (decimal or $hex)\n"
            " -L/--omit-load             Omit load address from output file\n"
            " -s/--symbol                Generate symbol output\n"
            " -l/--list <file>           Generate list output to the file\n"
            " -M/--hide-macros           Suppress macro expansion in list output\n"
            " -P/--proff                 Start assembly with implied .proff\n"
            "   /--ignore-case           Case insensitive comparisons\n"
            " -R/--error-overlap         Error on object code overlap\n"
            "   /--error-undoc           Error on undocumented opcodes\n"
            "   /--error-dtv             Error on DTV opcodes\n");
}

TEST(OptionTable, HelpShowsArgumentFormsAndLongNamelessOptions) {
  OptionTable table;
  table.addOption("c", "color", "Colour the output", ArgumentKind::Optional, "mode");
  table.addOption("v", "", "Verbose", ArgumentKind::None, "");
  table.addOption("x", "", "Hidden", ArgumentKind::None, "");
  table.hideOption("x");
  std::ostringstream out;
  table.printHelp(out);
  EXPECT_EQ(out.str(),
            " -c/--color [mode]   Colour the output\n"
            " -v/                 Verbose\n");
}

}  // namespace
}  // namespace zendra
