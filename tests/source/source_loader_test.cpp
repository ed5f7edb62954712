// Source loader: how lines of the main file and its includes land in the one statement list
// (line numbers, end-of-file markers, `.end`, macro bodies), and standard input.
// The loading errors are end-to-end cases (tests/cases/load-*).

#include "source/source_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "driver/assembler.h"
#include "support/case_runner.h"

namespace zendra {
namespace {

namespace fs = std::filesystem;

// "file:line text" per statement, the end-of-file marker as "eof", an empty line as "-".
std::string render(const Assembler& as, const StatementList& list) {
  std::string text;
  for (const StatementRecord* st : list) {
    std::string_view raw = st->rawText();
    raw.remove_prefix(std::min(raw.find_first_not_of(" \t"), raw.size()));
    std::string item = fs::path(std::string(as.fileName(st->fileIndex))).filename().string() + ":" +
                       std::to_string(st->line) + " ";
    // Without a listing an instruction keeps no text: its mnemonic stands for the line.
    if (raw.empty() && st->mnemonic() != nullptr) raw = st->mnemonic()->name;
    item += st->pseudoOp == PseudoOp::EndOfFile ? "eof" : raw.empty() ? "-" : std::string(raw);
    text += (text.empty() ? "" : " | ") + item;
  }
  return text;
}

// A listing is asked for (its name is never opened here), so lines without a statement stay.
RunSettings listingSettings() {
  RunSettings settings;
  settings.listName = "t.lst";
  return settings;
}

struct Loaded {
  std::ostringstream out;
  Assembler as{listingSettings(), out};
  bool ok = false;
};

// Writes the files into a fresh folder and loads t.asm from there.
void load(Loaded& l, const std::map<std::string, std::string>& files) {
  fs::path dir = testing::makeTempDir("zendra-loader");
  for (const auto& [name, text] : files) testing::writeFile(dir / name, text);
  l.as.settings.inputName = (dir / "t.asm").string();
  l.ok = loadSource(l.as, l.as.settings.inputName, nullptr, l.as.statements);
  fs::remove_all(dir);
}

struct LineCase {
  std::string_view source, statements;
};
constexpr LineCase kLineCases[] = {
    {"", "t.asm:1 eof"},
    {"\tnop\n", "t.asm:1 nop | t.asm:2 eof"},
    {"\tnop\n\tbrk", "t.asm:1 nop | t.asm:2 brk | t.asm:3 eof"},  // no final newline
    {"\tnop\r\n\tbrk\r\n", "t.asm:1 nop | t.asm:2 brk | t.asm:3 eof"},
    {"\tnop\n\n; note\n", "t.asm:1 nop | t.asm:2 - | t.asm:3 ; note | t.asm:4 eof"},
    {"\tnop\n\t.end\n\tbrk\n", "t.asm:1 nop | t.asm:3 eof"},  // `.end` itself is dropped
    {"m\t.macro\n\tnop\n\t.endm\n\tbrk\n",
     "t.asm:1 m\t.macro | t.asm:3 .endm | t.asm:4 brk | t.asm:5 eof"},
};

TEST(SourceLoader, PlacesEachLineWithItsNumber) {
  for (const LineCase& c : kLineCases) {
    SCOPED_TRACE(c.source);
    Loaded l;
    load(l, {{"t.asm", std::string(c.source)}});
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(render(l.as, l.as.statements), c.statements);
    EXPECT_EQ(l.out.str(), "");
  }
}

TEST(SourceLoader, WithoutAListingLinesThatHoldNothingAreDropped) {
  Loaded l;
  l.as.settings.listName.clear();
  load(l, {{"t.asm", "\tnop\n\n; note\nm\t.macro\n\n\t.endm\n\tbrk\n"}});
  EXPECT_TRUE(l.ok);
  EXPECT_EQ(render(l.as, l.as.statements),
            "t.asm:1 nop | t.asm:4 m\t.macro | t.asm:6 .endm | t.asm:7 brk | t.asm:8 eof");
  EXPECT_EQ(render(l.as, l.as.statements[1]->macro()->body), "");
}

TEST(SourceLoader, CollectsMacroBodies) {
  Loaded l;
  load(l, {{"t.asm", "m\t.macro\n\tnop\n\n\t.endm\n"}});
  ASSERT_TRUE(l.ok);
  const StatementRecord* definition = l.as.statements.front();
  ASSERT_NE(definition->macro(), nullptr);
  EXPECT_EQ(definition->macro()->name, "m");
  EXPECT_TRUE(definition->macro()->opensScope);
  EXPECT_EQ(render(l.as, definition->macro()->body), "t.asm:2 nop | t.asm:3 -");
}

TEST(SourceLoader, IncludedLinesFollowTheirInclude) {
  Loaded l;
  load(l, {{"t.asm", "\t.include \"i.asm\"\n\tbrk\n"}, {"i.asm", "\tnop\n\t.end\n\tclc\n"}});
  EXPECT_TRUE(l.ok);
  EXPECT_EQ(render(l.as, l.as.statements),
            "t.asm:1 .include \"i.asm\" | i.asm:1 nop | i.asm:3 eof | t.asm:2 brk | t.asm:3 eof");
  EXPECT_EQ(l.as.loadCount, 2);
  ASSERT_EQ(l.as.files.size(), 2u);
  EXPECT_EQ(fs::path(l.as.files[1].name).filename(), "i.asm");
}

// Inside a definition the included lines are the macro's; the `.include` and the file's
// marker stay in the program, so the file boundary is kept.
TEST(SourceLoader, IncludeInsideADefinitionFeedsItsBody) {
  Loaded l;
  load(l, {{"t.asm", "m\t.macro\n\t.include \"i.asm\"\n\t.endm\n"},
           {"i.asm", "\tnop\n\t.include \"j.asm\"\n"},
           {"j.asm", "\tclc\n"}});
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(render(l.as, l.as.statements),
            "t.asm:1 m\t.macro | t.asm:2 .include \"i.asm\" | i.asm:2 .include \"j.asm\" | "
            "j.asm:2 eof | i.asm:3 eof | t.asm:3 .endm | t.asm:4 eof");
  EXPECT_EQ(render(l.as, l.as.statements.front()->macro()->body), "i.asm:1 nop | j.asm:1 clc");
}

TEST(SourceLoader, EmptyNameReadsStandardInput) {
  std::ostringstream out;
  Assembler as{RunSettings{}, out};
  std::istringstream in("\tnop\n\tbrk");
  as.in = &in;
  EXPECT_TRUE(loadSource(as, "", nullptr, as.statements));
  EXPECT_EQ(render(as, as.statements), ":1 nop | :2 brk | :3 eof");
}

// A source of many blocks: strings, macro bodies and calls scattered among plain lines that
// keep no text, a comment longer than a block, and a long string.
std::string manyBlockSource(const std::string& newline) {
  std::string source = "        *= $1000" + newline + "m .macro" + newline + " lda #\\1" + newline +
                       " .text \"@2\"" + newline + " .endm" + newline;
  for (int i = 0; i < 40000; ++i) {
    std::string n = std::to_string(i);
    switch (i % 7) {
      case 0: source += "c" + n + " = " + n + "*3"; break;
      case 1:
        source += "; comment " + n + " " + std::string(static_cast<size_t>(i % 90), '-');
        break;
      case 2: break;
      case 3:
        if (i % 21 == 3) source += " .text \"t" + std::to_string(i % 100) + "\"";
        break;
      case 4:
        if (i % 28 == 4) source += " #m " + std::to_string(i % 256) + ", \"x" + n + "\"";
        break;
      case 5: source += " lda #<c" + std::to_string(i - 5); break;
      case 6: source += "l" + n + " nop"; break;
    }
    source += newline;
    if (i == 12000) source += "; " + std::string(300 * 1024, 'y') + newline;
    if (i == 20000) source += " .text \"" + std::string(9000, 'z') + "\"" + newline;
  }
  return source;
}

// Regular files are read a block at a time and only blocks whose text is still needed stay;
// the bytes must be those of the same source read whole (from standard input, or with a
// listing, which keeps every line).
TEST(SourceLoader, ReadsALargeSourceInBlocksLikeAWholeOne) {
  fs::path dir = testing::makeTempDir("zendra-blocks");
  for (const std::string newline : {"\n", "\r\n"}) {
    SCOPED_TRACE(newline == "\n" ? "LF" : "CR LF");
    const std::string source = manyBlockSource(newline);
    ASSERT_GT(source.size(), 3u * 256u * 1024u);  // several blocks
    testing::writeFile(dir / "big.asm", source);
    auto run = [&](const std::vector<std::string>& args, const std::string& in) {
      testing::CaseResult r = testing::runInProcess(dir, args, in, {});
      EXPECT_EQ(r.exitStatus, 0) << r.out;
      return r.out;
    };
    std::string streamed = run({"big.asm", "-o", "streamed.prg"}, "");
    std::string listed = run({"big.asm", "-l", "big.lst", "-o", "listed.prg"}, "");
    run({"-o", "whole.prg"}, source);
    EXPECT_EQ(streamed, listed);
    const std::string bytes = testing::readFile(dir / "whole.prg");
    EXPECT_GT(bytes.size(), 20000u);
    EXPECT_EQ(testing::readFile(dir / "streamed.prg"), bytes);
    EXPECT_EQ(testing::readFile(dir / "listed.prg"), bytes);
    // The listing shows lines from every part of the file as written.
    const std::string listing = testing::readFile(dir / "big.lst");
    for (const char* line : {"c39998 = 39998*3", " #m 96, \"x39008\"", "l27 nop"})
      EXPECT_NE(listing.find(line), std::string::npos) << line;
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zendra
