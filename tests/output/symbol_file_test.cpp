// Symbol file contents, read back with zendra-symdump's decoder so that a failure shows records
// rather than bytes. The byte-exact layout is pinned by the sym-* case folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "support/assemble.h"
#include "support/case_runner.h"
#include "symbol_dump.h"

namespace zendra::testing {
namespace {

namespace sd = zendra::symdump;

// Decodes a symbol file; returns what is wrong with it, or "" when it reads cleanly.
std::string decode(const std::string& bytes, sd::SymbolFile& file) {
  std::vector<uint8_t> data(bytes.begin(), bytes.end());
  std::string error;
  return sd::decodeSymbolFile(data, file, error) ? "" : "malformed: " + error;
}

std::string dumpOf(const std::string& bytes) {
  sd::SymbolFile file;
  if (std::string error = decode(bytes, file); !error.empty()) return error;
  std::ostringstream out;
  sd::printSymbolFile(file, out);
  return out.str();
}

// The records of one section as zendra-symdump prints them, without the section's own line.
std::string records(const Assembly& a, sd::SectionType type) {
  auto it = a.files.find("t.tdb");
  if (it == a.files.end()) return "no symbol file:\n" + a.out;
  sd::SymbolFile file;
  if (std::string error = decode(it->second, file); !error.empty()) return error;
  for (const sd::Section& section : file.sections) {
    if (section.type != static_cast<uint32_t>(type)) continue;
    std::ostringstream out;
    sd::printSection(out, section, 0, sd::findStrings(file));
    std::string text = out.str();
    return text.substr(text.find('\n') + 1);
  }
  return "no such section";
}

struct SectionCase {
  std::string_view name;
  std::string_view source;
  std::string_view records;
  std::map<std::string, std::string> files = {};
};

void expectRecords(std::span<const SectionCase> cases, sd::SectionType type) {
  for (const SectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    Assembly a = assemble(std::string(c.source), {"-s"}, c.files);
    EXPECT_EQ(records(a, type), c.records);
  }
}

TEST(SymbolFile, StoresEachKindOfName) {
  const SectionCase cases[] = {
      {"a variable keeps the address of its first .var line", "v .var 1\n nop\nv .var v+1\n nop\n",
       "  symbol 0: string 1 \"v\", scope 1, value $00001000 (4096), line 1, file 0 \"t.asm\"\n"},
      {"a .lbl stores its line index", " nop\ntop .lbl\n",
       "  symbol 0: string 1 \"top\", scope 1, value $00000001 (1), line 2, file 0 \"t.asm\"\n"},
      {"an assignment stores its pass-2 value with the byte selection applied",
       "size = stop-start\nlo = <$1234\nstart nop\nstop\n",
       "  symbol 0: string 1 \"lo\", scope 1, value $00000034 (52), line 2, file 0 \"t.asm\"\n"
       "  symbol 1: string 2 \"size\", scope 1, value $00000001 (1), line 1, file 0 \"t.asm\"\n"
       "  symbol 2: string 3 \"start\", scope 1, value $00001000 (4096), line 3, file 0 \"t.asm\"\n"
       "  symbol 3: string 4 \"stop\", scope 1, value $00001001 (4097), line 4, file 0 "
       "\"t.asm\"\n"},
      {"names sort byte-wise, equal names in the order they were defined",
       " .block\nx nop\n .bend\nx nop\nB nop\n_ nop\na1 nop\na nop\n",
       "  symbol 0: string 1 \"B\", scope 1, value $00001002 (4098), line 5, file 0 \"t.asm\"\n"
       "  symbol 1: string 2 \"_\", scope 1, value $00001003 (4099), line 6, file 0 \"t.asm\"\n"
       "  symbol 2: string 3 \"a\", scope 1, value $00001005 (4101), line 8, file 0 \"t.asm\"\n"
       "  symbol 3: string 4 \"a1\", scope 1, value $00001004 (4100), line 7, file 0 \"t.asm\"\n"
       "  symbol 4: string 5 \"x\", scope 2, value $00001000 (4096), line 2, file 0 \"t.asm\"\n"
       "  symbol 5: string 6 \"x\", scope 1, value $00001001 (4097), line 4, file 0 \"t.asm\"\n"},
      {"a label in a macro body is one name per expansion, in its scope",
       "m .macro\nhere nop\n .endm\n #m\n #m\n",
       "  symbol 0: string 1 \"here\", scope 2, value $00001000 (4096), line 2, file 0 \"t.asm\"\n"
       "  symbol 1: string 2 \"here\", scope 3, value $00001001 (4097), line 2, file 0 \"t.asm\"\n"
       "  symbol 2: string 3 \"m\", scope 1, value $00001000 (4096), line 1, file 0 \"t.asm\"\n"},
  };
  expectRecords(cases, sd::SectionType::Symbols);
}

TEST(SymbolFile, MapsByteKindsInAddressOrder) {
  const SectionCase cases[] = {
      {"one run per kind", " .byte 1\n .word 2\n .text \"a\"\n nop\n",
       "  run 0: start $1000, count 1, ByteData\n"
       "  run 1: start $1001, count 2, WordData\n"
       "  run 2: start $1003, count 1, Text\n"
       "  run 3: start $1004, count 1, Code\n"},
      {"unwritten addresses get no run", " nop\n*= $1010\n nop\n",
       "  run 0: start $1000, count 1, Code\n"
       "  run 1: start $1010, count 1, Code\n"},
      {"address order, not statement order", "*= $2000\n nop\n*= $1000\n nop\n",
       "  run 0: start $1000, count 1, Code\n"
       "  run 1: start $2000, count 1, Code\n"},
      {"an overlapped address keeps its first kind", " nop\n*= $1000\n .byte 1\n",
       "  run 0: start $1000, count 1, Code\n"},
      {"binary data",
       " .binary \"d.bin\"\n",
       "  run 0: start $1000, count 3, ByteData\n",
       {{"d.bin", "xyz"}}},
      {"runs lie at the storage address", " .offs $1000\n nop\n",
       "  run 0: start $2000, count 1, Code\n"},
  };
  expectRecords(cases, sd::SectionType::MemoryMap);
}

TEST(SymbolFile, RecordsOnlyLinesThatEmitted) {
  const SectionCase cases[] = {
      {"skipped, label-only and pc lines have none",
       " .if 0\n nop\n .endif\nhere\n*= $1100\n rts\n",
       "  line 6, scope 1, file 0, macro call 0, pc $1100-$1101\n"},
      {"the pc range is the pc, not the storage address", " .offs $1000\n nop\n",
       "  line 2, scope 1, file 0, macro call 0, pc $1000-$1001\n"},
      {"a line run three times by a jump has one record, with pass 1's last range",
       "n .var 0\nloop .lbl\n nop\nn .var n+1\n .if n-3\n .goto loop\n .endif\n",
       "  line 3, scope 1, file 0, macro call 0, pc $1002-$1003\n"},
      {"a block's lines carry the block's scope", " .block\n nop\n .bend\n nop\n",
       "  line 2, scope 2, file 0, macro call 0, pc $1000-$1001\n"
       "  line 4, scope 1, file 0, macro call 0, pc $1001-$1002\n"},
  };
  expectRecords(cases, sd::SectionType::LineTable);
}

TEST(SymbolFile, GivesNestedExpansionsABlockEach) {
  const std::string source =
      "inner .macro\n inx\n .endm\nouter .macro\n #inner\n nop\n .endm\n #outer\n";
  Assembly a = assemble(source, {"-s"});
  EXPECT_EQ(records(a, sd::SectionType::LineTable),
            "  line 8, scope 1, file 0, macro call 1, pc $1000-$1002\n");
  EXPECT_EQ(records(a, sd::SectionType::MacroExpansions),
            "  expansion 1: block offset 24, size 48, count 2\n"
            "    line 5, scope 2, file 0, macro call 2, pc $1000-$1001\n"
            "    line 6, scope 2, file 0, macro call 0, pc $1001-$1002\n"
            "  expansion 2: block offset 72, size 28, count 1\n"
            "    line 2, scope 3, file 0, macro call 0, pc $1000-$1001\n");
}

TEST(SymbolFile, IsNotWrittenWithoutCode) {
  Assembly a = assemble("a = 1\nb\n", {"-s"});
  EXPECT_EQ(a.exitStatus, 0);
  EXPECT_EQ(a.files.count("t.tdb"), 0u);
  EXPECT_NE(a.out.find("No object code produced by input!"), std::string::npos) << a.out;
}

// The sym-* case folders compare bytes; this reads both sides as records, so that a failing
// case names the field that differs, and checks that each expectation is a well-formed file.
TEST(SymbolFile, CaseFoldersReadAsTheirExpectations) {
  namespace fs = std::filesystem;
  for (const auto& entry : fs::directory_iterator(ZENDRA_CASES_DIR)) {
    std::string name = entry.path().filename().string();
    fs::path expected = entry.path() / "expect" / "t.tdb.hex";
    if (name.rfind("sym-", 0) != 0 || !fs::exists(expected)) continue;
    SCOPED_TRACE(name);
    fs::path work = makeTempDir("zendra-sym");
    for (const auto& input : fs::directory_iterator(entry.path())) {
      std::string file = input.path().filename().string();
      if (file != "args" && file != "expect" && file.rfind("expect.", 0) != 0)
        fs::copy(input.path(), work / file, fs::copy_options::recursive);
    }
    (void)runInProcess(work, splitArguments(readFile(entry.path() / "args")), "", {});
    std::string want = dumpOf(parseHexText(readFile(expected)));
    EXPECT_EQ(want.find("malformed"), std::string::npos) << want;
    EXPECT_EQ(fs::exists(work / "t.tdb") ? dumpOf(readFile(work / "t.tdb")) : "not written", want);
    fs::remove_all(work);
  }
}

}  // namespace
}  // namespace zendra::testing
