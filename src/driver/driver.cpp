// The run sequence: options, informational answers, settings, names from `define`, loading,
// the passes, the summary and the output files.
#include "driver/driver.h"

#include <cstdio>
#include <istream>
#include <ostream>

#include "driver/assembler.h"
#include "driver/option_table.h"
#include "driver/passes.h"
#include "expr/evaluator.h"
#include "output/object_file.h"
#include "source/line_parser.h"
#include "source/source_loader.h"

namespace zendra {
namespace {

constexpr std::string_view kProgramName = "Zendra";
constexpr std::string_view kRevisionKeyword = "$Rev: 1141 $";
constexpr std::string_view kDateKeyword =
    "$LastChangedDate: 2015-08-13 11:11:32 -0400 (Thu, 13 Aug 2015) $";
constexpr std::string_view kCopyright = "Copyright (c) the Zendra developers";
constexpr std::string_view kCredits =
    "\nCredits:\n"
    "  Zendra is written and maintained by the Zendra developers.\n"
    "  Thanks to everyone who keeps writing software for the Commodore 8-bit machines.";

struct OptionRow {
  std::string_view shortName, longName;
  ArgumentKind kind;
  std::string_view argumentName, description;
};
using K = ArgumentKind;
// clang-format off
constexpr OptionRow kOptionRows[] = {
  {"h", "help",          K::None,     "",       "Show this help text, then exit"},
  {"?", "usage",         K::None,     "",       "Show a short usage message, then exit"},
  {"",  "version",       K::None,     "",       "Show version number with credits, then exit"},
  {"i", "in",            K::Required, "file",   "Input is read from the file"},
  {"o", "out",           K::Required, "file",   "Output is written to the file"},
  {"q", "quiet",         K::None,     "",       "Suppress all non-error output"},
  {"I", "include-path",  K::Required, "path",   "Add path to search list for .include ops"},
  {"D", "define",        K::Required, "define", "Define label"},
  {"S", "start",         K::Required, "start",  "Specify default start address (decimal or $hex)"},
  {"L", "omit-load",     K::None,     "",       "Omit load address from output file"},
  {"s", "symbol",        K::None,     "",       "Generate symbol output"},
  {"l", "list",          K::Required, "file",   "Generate list output to the file"},
  {"M", "hide-macros",   K::None,     "",       "Suppress macro expansion in list output"},
  {"P", "proff",         K::None,     "",       "Start assembly with implied .proff"},
  {"",  "ignore-case",   K::None,     "",       "Case insensitive comparisons"},
  {"R", "error-overlap", K::None,     "",       "Error on object code overlap"},
  {"",  "error-undoc",   K::None,     "",       "Error on undocumented opcodes"},
  {"",  "error-dtv",     K::None,     "",       "Error on DTV opcodes"},
  {"a", "ascii",         K::None,     "",       "Assemble in ascii mode (no conversion to petscii)"},
};
// clang-format on
static_assert(std::size(kOptionRows) == 19, "one row per option");

std::string fill(std::string_view pattern, std::string_view a, std::string_view b = {},
                 std::string_view c = {}) {
  std::string out;
  std::string_view args[3] = {a, b, c};
  int next = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next < 3) {
      out.append(args[next++]);
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

// Reads an optional sign and digits of the base after leading blanks; stops at anything else.
uint32_t readNumber(std::string_view text, int base) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int d = (c >= '0' && c <= '9')   ? c - '0'
            : (c >= 'a' && c <= 'f') ? c - 'a' + 10
            : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                     : 99;
    if (d >= base) break;
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
  }
  return negative ? 0u - value : value;
}

struct Options {
  OptionTable table;
  std::vector<std::string> includePaths;
  std::vector<std::string> defines;
};

void registerOptions(Options& o) {
  for (const OptionRow& row : kOptionRows) {
    std::vector<std::string>* sink = row.shortName == "I"   ? &o.includePaths
                                     : row.shortName == "D" ? &o.defines
                                                            : nullptr;
    o.table.addOption(row.shortName, row.longName, row.description, row.kind, row.argumentName,
                      sink);
  }
  o.table.hideOption("a");
}

RunSettings makeSettings(const OptionTable& t, const ProcessEnvironment& env,
                         const std::vector<std::string>& includePaths) {
  RunSettings s;
  s.quiet = t.isGiven("quiet");
  s.petsciiConversion = !t.isGiven("ascii");
  s.caseSensitive = !t.isGiven("ignore-case");
  s.omitLoad = t.isGiven("omit-load");
  if (t.isGiven("start")) s.startAddress = parseStartAddress(t.valueOf("start"));
  s.showMacros = !t.isGiven("hide-macros");
  s.listingEnabled = !t.isGiven("proff");
  // Each switch removes its instruction set; `bra` goes with the DTV set.
  if (t.isGiven("error-undoc")) s.allowedClasses &= static_cast<uint8_t>(~kUndoc);
  if (t.isGiven("error-dtv")) s.allowedClasses &= static_cast<uint8_t>(~kDtv);
  s.overlapTolerated = !t.isGiven("error-overlap");
  std::vector<std::string> positional = t.positionalArguments();
  if (t.isGiven("in"))
    s.inputName = t.valueOf("in");
  else if (!positional.empty())
    s.inputName = positional.front();
  if (t.isGiven("out"))
    s.outputName = t.valueOf("out");
  else
    s.outputName = s.inputName.empty() ? "out.prg" : deriveFileName(s.inputName, "prg");
  if (t.isGiven("symbol"))
    s.symbolName = s.inputName.empty() ? "symbol.tdb" : deriveFileName(s.inputName, "tdb");
  if (t.isGiven("list")) s.listName = t.valueOf("list");
  if (env.includePath) s.includeDirs.push_back(*env.includePath);
  for (const std::string& dir : includePaths) s.includeDirs.push_back(dir);
  return s;
}

// Names from `define` enter the global scope before any source is read; their value text is
// parsed as an operand, and a value that fails to parse is not reported.
void defineCommandLineNames(Assembler& as, const std::vector<std::string>& defines,
                            std::vector<SymbolEntry*>& entries) {
  LineParser parser(as);
  for (const std::string& define : defines) {
    size_t eq = define.find('=');
    std::string_view name = as.texts.store(define.substr(0, eq));
    std::string_view value =
        eq == std::string::npos ? std::string_view("1") : as.texts.store(define.substr(eq + 1));
    SymbolEntry* entry = as.symbols.define(as.internName(name));
    StatementRecord* definition = as.newStatement();
    definition->line = 0;
    definition->fileIndex = 0;
    (void)parser.parseLine(*definition, ParseState::ExpressionStart, value);
    entry->definitionKind = DefinitionKind::Statement;
    entry->definition = definition;
    entries.push_back(entry);
  }
}

// The symbol file shows a command-line name with the value of its expression.
void storeCommandLineValues(Assembler& as, const std::vector<SymbolEntry*>& entries) {
  as.symbols.resetScopes();
  for (SymbolEntry* entry : entries) {
    const ExprNode* root = entry->definition->operand;
    int32_t value = 0;
    if (root != nullptr && evaluate(as, root, true, entry->definitionPc, value))
      as.symbols.storeValue(*entry, value);
  }
  as.errorCodePending = ErrorCode::Ok;
}

void printRanges(Assembler& as) {
  const MemoryImage& image = as.image;
  uint32_t low = image.lowAddress, end = image.highAddress;
  bool header = false;
  int64_t runStart = -1;
  char line[64];
  for (uint32_t a = low; a < end; ++a) {
    if (image.written(a)) {
      if (runStart < 0) runStart = a;
      continue;
    }
    if (runStart < 0) continue;
    if (!header) as.out << "\n\tRanges: \n";
    header = true;
    std::snprintf(line, sizeof line, "\t $%04x - $%04x \n", static_cast<unsigned>(runStart), a - 1);
    as.out << line;
    runStart = -1;
  }
  if (runStart >= 0 && static_cast<uint32_t>(runStart) != low) {
    std::snprintf(line, sizeof line, "\t $%04x - $%04x \n", static_cast<unsigned>(runStart),
                  (end - 1) & 0xFFFF);
    as.out << line;
  }
}

void printSummary(Assembler& as) {
  const MemoryImage& image = as.image;
  char line[160];
  if (image.overlapTolerated && image.overlapNote.line >= 0) {
    as.out << "\tNote: overlap was first seen at " << image.overlapNote.fileName << '('
           << image.overlapNote.line << ").\n";
  }
  // The true file size: an image of 65,534 bytes or more would read as a few bytes if the
  // count were cut to 16 bits.
  uint32_t count = image.highAddress - image.lowAddress + (as.settings.omitLoad ? 0 : 2);
  std::snprintf(line, sizeof line, "\tAssembled: $%04x - $%04x / Writing %u/$%04x bytes ",
                image.lowAddress, (image.highAddress - 1) & 0xFFFF, count, count);
  as.out << line << (as.settings.omitLoad ? "\n" : "incl load address\n");
  printRanges(as);
}

int assemble(Assembler& as, const Options& options) {
  std::vector<SymbolEntry*> commandLineNames;
  defineCommandLineNames(as, options.defines, commandLineNames);
  const RunSettings& s = as.settings;
  if (!s.listName.empty()) openListing(as, s.listName);
  bool ok = loadSource(as, s.inputName, nullptr, as.statements);
  // The passes intern names only when they rebuild a macro line; until then the index's
  // memory is better spent on the symbols pass 1 defines.
  as.names.dropIndex();
  ok = ok && runPasses(as);
  closeListing(as);
  if (!ok) {
    if (!s.quiet) as.out << "\t Build Failed. " << as.errorCount << " Errors\n";
    return 1;
  }
  if (as.image.wroteNothing()) {
    if (!s.quiet) as.out << "\tNo object code produced by input!\n";
    return 0;
  }
  storeCommandLineValues(as, commandLineNames);
  if (!s.quiet) printSummary(as);
  // Under `quiet` the files are still written: it silences messages, not results.
  if (!writeObjectFile(as)) {
    if (!s.quiet) as.out << "\t Unable to generate object file.\n";
    return 1;
  }
  if (!writeSymbolFile(as)) {
    if (!s.quiet) as.out << "\t Unable to generate symbol file.\n";
    return 1;
  }
  return 0;
}

}  // namespace

std::string bannerText() {
  std::string_view rev = kRevisionKeyword.substr(6, kRevisionKeyword.rfind(' ') - 6);
  std::string_view date = kDateKeyword.substr(18, kDateKeyword.rfind('-') - 19);
  return fill("%s v1.1.0 [r%s; %s]", kProgramName, rev, date) + "; " + std::string(kCopyright);
}

std::string usageText() {
  return fill("usage: %s [-options] -i infile [-o outfile]", kProgramName);
}

std::string tryHelpText() {
  return fill("%s: try '%s --help' for more information", kProgramName, kProgramName);
}

uint32_t parseStartAddress(std::string_view text) {
  if (text.size() >= 2 && text[0] == '$') return readNumber(text.substr(1), 16);
  return readNumber(text, 10);
}

std::string deriveFileName(const std::string& input, std::string_view extension) {
  size_t dot = input.rfind('.');
  if (dot == std::string::npos) return input + "." + std::string(extension);
  return input.substr(0, dot + 1) + std::string(extension);
}

int runZendra(int argc, const char* const* argv, std::istream& in, std::ostream& out,
              std::ostream& err, const ProcessEnvironment& env) {
  Options options;
  registerOptions(options);
  options.table.parseArguments(argc, argv);
  std::vector<std::string> errors = options.table.parseErrors();
  if (!errors.empty()) {
    std::string_view invocation = argc > 0 && argv[0] != nullptr ? argv[0] : "";
    for (const std::string& e : errors) err << invocation << ": " << e << '\n';
    err << usageText() << '\n' << tryHelpText() << '\n';
    return 1;
  }
  const OptionTable& t = options.table;
  if (t.isGiven("version")) {
    out << bannerText() << '\n' << kCredits << '\n';
    return 0;
  }
  if (t.isGiven("usage")) {
    out << usageText() << '\n';
    return 0;
  }
  if (t.isGiven("help")) {
    out << bannerText() << '\n' << usageText() << '\n';
    t.printHelp(out);
    return 0;
  }
  RunSettings settings = makeSettings(t, env, options.includePaths);
  if (!settings.quiet) out << bannerText() << "\n\n";
  Assembler as(std::move(settings), out);
  as.in = &in;
  return assemble(as, options);
}

}  // namespace zendra
