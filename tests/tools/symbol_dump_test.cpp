// Tests for zendra-symdump: symbol files are built byte by byte here, independently of the
// reader, then dumped as text, turned into VICE labels, or corrupted and rejected.

#include "symbol_dump.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace zendra::symdump {
namespace {

using ByteVector = std::vector<uint8_t>;

void putU16(ByteVector& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void putU32(ByteVector& out, uint32_t value) {
  putU16(out, value & 0xFFFF);
  putU16(out, value >> 16);
}

void pokeU32(ByteVector& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t peekU32(const ByteVector& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// A section from its 8-byte header on, as the assembler lays it out.
struct RawSection {
  uint32_t type;
  ByteVector bytes;
};

void putLineRecords(ByteVector& out, const std::vector<LineRecord>& lines) {
  putU32(out, static_cast<uint32_t>(8 + 20 * lines.size()));
  putU32(out, static_cast<uint32_t>(lines.size()));
  for (const auto& r : lines) {
    putU32(out, r.line);
    putU32(out, r.scopeId);
    putU32(out, r.fileIndex);
    putU32(out, r.macroCallIndex);
    putU16(out, r.pcBefore);
    putU16(out, r.pcAfter);
  }
}

RawSection symbolsSection(const std::vector<SymbolRecord>& symbols) {
  RawSection s{2, {}};
  putU32(s.bytes, static_cast<uint32_t>(8 + 20 * symbols.size()));
  putU32(s.bytes, static_cast<uint32_t>(symbols.size()));
  for (const auto& r : symbols) {
    putU32(s.bytes, r.nameIndex);
    putU32(s.bytes, r.scopeId);
    putU32(s.bytes, static_cast<uint32_t>(r.value));
    putU32(s.bytes, static_cast<uint32_t>(r.line));
    putU32(s.bytes, r.fileIndex);
  }
  return s;
}

RawSection lineTableSection(const std::vector<LineRecord>& lines) {
  RawSection s{1, {}};
  putLineRecords(s.bytes, lines);
  return s;
}

RawSection stringsSection(const std::vector<std::string>& strings) {
  ByteVector text;
  for (const auto& str : strings) {
    text.insert(text.end(), str.begin(), str.end());
    text.push_back(0);
  }
  RawSection s{3, {}};
  putU32(s.bytes, static_cast<uint32_t>(8 + text.size()));
  putU32(s.bytes, static_cast<uint32_t>(strings.size()));
  s.bytes.insert(s.bytes.end(), text.begin(), text.end());
  return s;
}

struct ExpansionInput {
  uint32_t number;
  std::vector<LineRecord> lines;
};

RawSection macroExpansionsSection(const std::vector<ExpansionInput>& expansions) {
  ByteVector blocks;
  ByteVector directory;
  const size_t firstBlock = 8 + 8 * expansions.size();
  for (const auto& e : expansions) {
    putU32(directory, e.number);
    putU32(directory, static_cast<uint32_t>(firstBlock + blocks.size()));
    putLineRecords(blocks, e.lines);
  }
  RawSection s{4, {}};
  putU32(s.bytes, static_cast<uint32_t>(firstBlock + blocks.size()));
  putU32(s.bytes, static_cast<uint32_t>(expansions.size()));
  s.bytes.insert(s.bytes.end(), directory.begin(), directory.end());
  s.bytes.insert(s.bytes.end(), blocks.begin(), blocks.end());
  return s;
}

RawSection memoryMapSection(const std::vector<MemoryRun>& runs) {
  RawSection s{5, {}};
  putU32(s.bytes, static_cast<uint32_t>(6 * runs.size()));  // this size leaves out the header
  putU32(s.bytes, static_cast<uint32_t>(runs.size()));
  for (const auto& r : runs) {
    putU16(s.bytes, r.start);
    putU16(s.bytes, r.count);
    s.bytes.push_back(r.kind);
    s.bytes.push_back(r.reserved);
  }
  return s;
}

ByteVector buildFile(const std::vector<RawSection>& sections) {
  ByteVector out;
  const auto first = static_cast<uint32_t>(12 + 8 * sections.size());
  putU32(out, first);
  out.insert(out.end(), {'W', 'T', 1, 0});
  putU32(out, static_cast<uint32_t>(sections.size()));
  uint32_t offset = first;
  for (const auto& s : sections) {
    putU32(out, offset);
    putU32(out, s.type);
    offset += static_cast<uint32_t>(s.bytes.size());
  }
  for (const auto& s : sections) out.insert(out.end(), s.bytes.begin(), s.bytes.end());
  return out;
}

// Two source files, a label "loop" in two scopes, a macro called twice of which the second
// call emitted nothing, and code, text and word data in the image.
ByteVector sampleFile() {
  return buildFile({
      symbolsSection({
          {2, 0, 3, 2, 0},
          {3, 0, 0x1000, 4, 0},
          {4, 1, 0x1005, 7, 1},
          {5, 0, -2, -1, 0},
      }),
      lineTableSection({{4, 0, 0, 0, 0x1000, 0x1003}, {5, 0, 0, 0, 0x1003, 0x1005}}),
      stringsSection({"main.asm", "lib/macros.inc", "count", "loop", "loop", "neg"}),
      macroExpansionsSection({{1, {{7, 1, 1, 1, 0x1005, 0x1007}}}, {2, {}}}),
      memoryMapSection({{0x1000, 3, 0, 0}, {0x1003, 2, 1, 0}, {0x1005, 2, 3, 0}}),
  });
}

// Section offsets in sampleFile(), in directory order.
constexpr size_t kSymbolsAt = 52;
constexpr size_t kLinesAt = 140;
constexpr size_t kStringsAt = 188;
constexpr size_t kMacrosAt = 240;
constexpr size_t kMemoryMapAt = 300;
constexpr size_t kSampleSize = 326;

// The printed text, or "error: " and the reason.
std::string dump(const ByteVector& bytes) {
  SymbolFile file;
  std::string error;
  if (!decodeSymbolFile(bytes, file, error)) return "error: " + error;
  std::ostringstream out;
  printSymbolFile(file, out);
  return out.str();
}

std::string viceLabels(const ByteVector& bytes) {
  SymbolFile file;
  std::string error;
  if (!decodeSymbolFile(bytes, file, error)) return "error: " + error;
  std::ostringstream out;
  if (!writeViceLabels(file, out, error)) return "error: " + error;
  return out.str();
}

TEST(SymbolDump, PrintsEverySectionType) {
  const ByteVector bytes = sampleFile();
  ASSERT_EQ(bytes.size(), kSampleSize);
  EXPECT_EQ(dump(bytes),
            "header: first section offset 52, magic $00015457, section count 5\n"
            "directory 0: offset 52, type 2 (symbols)\n"
            "directory 1: offset 140, type 1 (line table)\n"
            "directory 2: offset 188, type 3 (strings)\n"
            "directory 3: offset 240, type 4 (macro expansions)\n"
            "directory 4: offset 300, type 5 (memory map)\n"
            "section 0: symbols, offset 52, size 88, count 4\n"
            "  symbol 0: string 2 \"count\", scope 0, value $00000003 (3), line 2, "
            "file 0 \"main.asm\"\n"
            "  symbol 1: string 3 \"loop\", scope 0, value $00001000 (4096), line 4, "
            "file 0 \"main.asm\"\n"
            "  symbol 2: string 4 \"loop\", scope 1, value $00001005 (4101), line 7, "
            "file 1 \"lib/macros.inc\"\n"
            "  symbol 3: string 5 \"neg\", scope 0, value $FFFFFFFE (-2), line -1, "
            "file 0 \"main.asm\"\n"
            "section 1: line table, offset 140, size 48, count 2\n"
            "  line 4, scope 0, file 0, macro call 0, pc $1000-$1003\n"
            "  line 5, scope 0, file 0, macro call 0, pc $1003-$1005\n"
            "section 2: strings, offset 188, size 52, count 6\n"
            "  string 0: \"main.asm\"\n"
            "  string 1: \"lib/macros.inc\"\n"
            "  string 2: \"count\"\n"
            "  string 3: \"loop\"\n"
            "  string 4: \"loop\"\n"
            "  string 5: \"neg\"\n"
            "section 3: macro expansions, offset 240, size 60, count 2\n"
            "  expansion 1: block offset 24, size 28, count 1\n"
            "    line 7, scope 1, file 1, macro call 1, pc $1005-$1007\n"
            "  expansion 2: block offset 52, size 8, count 0\n"
            "section 4: memory map, offset 300, size 18, count 3\n"
            "  run 0: start $1000, count 3, Code\n"
            "  run 1: start $1003, count 2, Text\n"
            "  run 2: start $1005, count 2, WordData\n");
}

struct RenderCase {
  std::string_view name;
  std::function<ByteVector()> build;
  std::string_view expectedLine;
};

TEST(SymbolDump, ShowsOddContentWithoutRejectingIt) {
  const RenderCase cases[] = {
      {"escaped name", [] { return buildFile({stringsSection({"a\"b\\c\x01\xC3\xA9"})}); },
       "  string 0: \"a\\\"b\\\\c\\x01\\xC3\\xA9\"\n"},
      {"empty main file name (standard input)",
       [] {
         return buildFile({stringsSection({"", "x"})});
       },
       "  string 0: \"\"\n"},
      {"name index past the strings",
       [] {
         return buildFile({symbolsSection({{9, 0, 1, 1, 0}}), stringsSection({"a.asm"})});
       },
       "  symbol 0: string 9 <missing>, scope 0, value $00000001 (1), line 1, file 0 \"a.asm\"\n"},
      {"no strings section",
       [] {
         return buildFile({symbolsSection({{0, 2, 0x7FFFFFFF, 0, 0}})});
       },
       "  symbol 0: string 0 <missing>, scope 2, value $7FFFFFFF (2147483647), line 0, file 0 "
       "<missing>\n"},
      {"kind outside the four and a reserved byte",
       [] {
         return buildFile({memoryMapSection({{0xFFFF, 1, 4, 0}, {0, 0xFFFF, 2, 7}})});
       },
       "  run 0: start $FFFF, count 1, kind 4\n"
       "  run 1: start $0000, count 65535, ByteData, reserved 7\n"},
      {"unknown section type",
       [] {
         RawSection unknown{9, {}};
         putU32(unknown.bytes, 1000);  // not interpreted, so not checked against the file
         putU32(unknown.bytes, 3);
         return buildFile({unknown});
       },
       "directory 0: offset 20, type 9 (unknown)\n"
       "section 0: unknown type 9, offset 20, size 1000, count 3\n"},
      {"no sections", [] { return buildFile({}); },
       "header: first section offset 12, magic $00015457, section count 0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(dump(c.build()).find(c.expectedLine), std::string::npos) << dump(c.build());
  }
}

TEST(SymbolDump, WritesViceLabelsWithUniqueAcceptableNames) {
  const ByteVector bytes = buildFile({
      symbolsSection({
          {1, 0, 0, 0, 0},       // empty name: skipped
          {2, 0, 0x0801, 1, 0},  // leading digit
          {3, 0, 0x1000, 2, 0},
          {4, 1, 0x1005, 3, 0},   // same name, another scope
          {5, 2, 0x12345, 4, 0},  // only the low 16 bits are an address
          {6, 0, 0x2000, 5, 0},   // collides with the name made for scope 1
          {7, 0, 0x3000, 6, 0},   // '.' is no name character
          {8, 0, -1, 7, 0},
          {9, 3, 1, 8, 0},  // the same name twice in one scope
          {10, 3, 2, 9, 0},
          {11, 3, 3, 10, 0},
          {12, 0, 0xABCD, 11, 0},  // a two-byte character
      }),
      stringsSection({"main.asm", "", "9lives", "loop", "loop", "loop", "loop_1", "my.label", "neg",
                      "x", "x", "x", "\xC3\xA9t\xC3\xA9"}),
  });
  EXPECT_EQ(viceLabels(bytes),
            "al C:0801 ._9lives\n"
            "al C:1000 .loop\n"
            "al C:1005 .loop_1\n"
            "al C:2345 .loop_2\n"
            "al C:2000 .loop_1_0\n"
            "al C:3000 .my_label\n"
            "al C:ffff .neg\n"
            "al C:0001 .x\n"
            "al C:0002 .x_3\n"
            "al C:0003 .x_3_2\n"
            "al C:abcd .__t__\n");
}

TEST(SymbolDump, ViceLabelsRefuseASymbolWithoutName) {
  const ByteVector noName = buildFile(
      {symbolsSection({{0, 0, 1, 1, 0}, {5, 0, 2, 2, 0}}), stringsSection({"main.asm", "a"})});
  EXPECT_EQ(viceLabels(noName), "error: symbol 1: string index 5 has no string");
  EXPECT_EQ(viceLabels(buildFile({lineTableSection({{1, 0, 0, 0, 0, 1}})})), "");
}

struct Corruption {
  std::string_view name;
  std::function<void(ByteVector&)> apply;
  std::string_view error;
};

TEST(SymbolDump, RejectsMalformedFiles) {
  const Corruption cases[] = {
      {"empty file", [](ByteVector& b) { b.clear(); },
       "file too short for the header: 0 bytes, need 12"},
      {"short header", [](ByteVector& b) { b.resize(11); },
       "file too short for the header: 11 bytes, need 12"},
      {"bad magic", [](ByteVector& b) { b[5] = 'X'; }, "not a symbol file: bad magic"},
      {"directory past the end", [](ByteVector& b) { pokeU32(b, 8, 1000); },
       "a directory of 1000 sections runs past the end of the file (326 bytes)"},
      {"section count near 2^32", [](ByteVector& b) { pokeU32(b, 8, 0xFFFFFFFF); },
       "a directory of 4294967295 sections runs past the end of the file (326 bytes)"},
      {"first section offset off", [](ByteVector& b) { pokeU32(b, 0, 60); },
       "first section offset 60 does not follow the directory, which ends at 52"},
      {"section offset past the end", [](ByteVector& b) { pokeU32(b, 12 + 8 * 4, 400); },
       "section 4 (memory map) at offset 400: section header runs past the end of the file"},
      {"section offset near 2^32", [](ByteVector& b) { pokeU32(b, 12 + 8 * 4, 0xFFFFFFFC); },
       "section 4 (memory map) at offset 4294967292: section header runs past the end of the "
       "file"},
      {"section offset inside the directory", [](ByteVector& b) { pokeU32(b, 12, 20); },
       "section 0 (symbols) at offset 20: lies inside the header or directory"},
      {"type given twice", [](ByteVector& b) { pokeU32(b, 12 + 8 + 4, 2); },
       "section 1 (symbols) at offset 140: second section of this type"},
      {"symbol count too large", [](ByteVector& b) { pokeU32(b, kSymbolsAt + 4, 1000); },
       "section 0 (symbols) at offset 52: count 1000 needs size 20008, but the size is 88"},
      {"symbol size and count past the end",
       [](ByteVector& b) {
         pokeU32(b, kSymbolsAt, 8 + 20 * 1000);
         pokeU32(b, kSymbolsAt + 4, 1000);
       },
       "section 0 (symbols) at offset 52: size 20008 runs past the end of the file: the section "
       "would end at 20060"},
      {"section size near 2^32", [](ByteVector& b) { pokeU32(b, kLinesAt, 0xFFFFFFFF); },
       "section 1 (line table) at offset 140: size 4294967295 runs past the end of the file: the "
       "section would end at 4294967435"},
      {"size smaller than the section header", [](ByteVector& b) { pokeU32(b, kLinesAt, 4); },
       "section 1 (line table) at offset 140: size 4 is smaller than its header"},
      {"line count too large", [](ByteVector& b) { pokeU32(b, kLinesAt + 4, 3); },
       "section 1 (line table) at offset 140: count 3 needs size 68, but the size is 48"},
      {"string count too large", [](ByteVector& b) { pokeU32(b, kStringsAt + 4, 7); },
       "section 2 (strings) at offset 188: holds only 6 of 7 strings"},
      {"string count near 2^32", [](ByteVector& b) { pokeU32(b, kStringsAt + 4, 0xFFFFFFFF); },
       "section 2 (strings) at offset 188: holds only 6 of 4294967295 strings"},
      {"string count too small", [](ByteVector& b) { pokeU32(b, kStringsAt + 4, 5); },
       "section 2 (strings) at offset 188: 4 bytes follow the last string"},
      {"last string unterminated", [](ByteVector& b) { b[kMacrosAt - 1] = 'x'; },
       "section 2 (strings) at offset 188: string 5 has no terminating zero byte"},
      {"expansion count too large", [](ByteVector& b) { pokeU32(b, kMacrosAt + 4, 100); },
       "section 3 (macro expansions) at offset 240: a directory of 100 expansions needs 808 "
       "bytes, but the size is 60"},
      {"expansion block past the section", [](ByteVector& b) { pokeU32(b, kMacrosAt + 12, 56); },
       "section 3 (macro expansions) at offset 240: block of expansion 1 at offset 56 runs past "
       "the end of the section"},
      {"expansion block inside its directory",
       [](ByteVector& b) { pokeU32(b, kMacrosAt + 20, 16); },
       "section 3 (macro expansions) at offset 240: block of expansion 2 at offset 16 lies "
       "inside the expansion directory"},
      {"expansion block count too large", [](ByteVector& b) { pokeU32(b, kMacrosAt + 28, 5); },
       "section 3 (macro expansions) at offset 240: block of expansion 1 at offset 24: count 5 "
       "needs size 108, but the size is 28"},
      {"expansion block size past the section",
       [](ByteVector& b) { pokeU32(b, kMacrosAt + 24, 48); },
       "section 3 (macro expansions) at offset 240: block of expansion 1 at offset 24: size 48 "
       "runs past the end of the section"},
      {"memory map count too large", [](ByteVector& b) { pokeU32(b, kMemoryMapAt + 4, 4); },
       "section 4 (memory map) at offset 300: count 4 needs size 24, but the size is 18"},
      {"memory map truncated", [](ByteVector& b) { b.pop_back(); },
       "section 4 (memory map) at offset 300: size 18 runs past the end of the file: the "
       "section would end at 326"},
  };
  ASSERT_EQ(peekU32(sampleFile(), 12 + 8 * 3), kMacrosAt);  // the offsets above still hold
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ByteVector bytes = sampleFile();
    c.apply(bytes);
    EXPECT_EQ(dump(bytes), "error: " + std::string(c.error));
    EXPECT_EQ(viceLabels(bytes), "error: " + std::string(c.error));
  }
}

TEST(SymbolDump, RejectsEveryTruncation) {
  const ByteVector whole = sampleFile();
  for (size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE(length);
    const ByteVector prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(dump(prefix).rfind("error: ", 0), 0u);
  }
}

// Whatever a damaged byte does, decoding ends with a message or a file that prints.
TEST(SymbolDump, SurvivesAnyDamagedByte) {
  const ByteVector whole = sampleFile();
  for (size_t at = 0; at < whole.size(); ++at) {
    for (const uint8_t value : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0xFF}}) {
      SCOPED_TRACE(std::to_string(at) + " = " + std::to_string(value));
      ByteVector bytes = whole;
      bytes[at] = value;
      const std::string text = dump(bytes);
      EXPECT_FALSE(text.empty() || text == "error: ");
      viceLabels(bytes);
    }
  }
}

// ---- The command line, on real files --------------------------------------------------------

class SymdumpCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    // A random part keeps test runs that share the temporary folder apart.
    dir = std::filesystem::temp_directory_path() /
          ("zendra_symdump_test_" + std::to_string(std::random_device{}()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    writeBytes("good.tdb", sampleFile());
    ByteVector bad = sampleFile();
    bad[4] = 0;
    writeBytes("bad.tdb", bad);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  void writeBytes(const std::string& name, const ByteVector& bytes) {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }

  struct Result {
    int status;
    std::string out;
    std::string err;
  };
  Result run(const std::vector<std::string>& args) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream out;
    std::ostringstream err;
    const int status = runSymdump(views, out, err);
    return {status, out.str(), err.str()};
  }

  std::filesystem::path dir;
};

TEST_F(SymdumpCommand, AnswersEachCommandLine) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;  // the start of standard output
    std::string err;  // the whole of standard error
  };
  const std::string good = path("good.tdb");
  const std::string usage(kUsage);
  const Case cases[] = {
      {{}, 1, "", "zendra-symdump: no symbol file given\n" + usage},
      {{"--help"}, 0, "usage: zendra-symdump FILE.tdb\n", ""},
      {{good, "-h"}, 0, "usage: zendra-symdump FILE.tdb\n", ""},
      {{"--labels", good}, 1, "", "zendra-symdump: unknown option '--labels'\n" + usage},
      {{good, "out.lbl"}, 1, "", "zendra-symdump: too many file names\n" + usage},
      {{"--vice", good, "a.lbl", "b.lbl"}, 1, "", "zendra-symdump: too many file names\n" + usage},
      {{"--vice"}, 1, "", "zendra-symdump: no symbol file given\n" + usage},
      {{path("missing.tdb")},
       1,
       "",
       "zendra-symdump: " + path("missing.tdb") + ": cannot open for reading\n"},
      {{dir.string()}, 1, "", "zendra-symdump: " + dir.string() + ": is a directory\n"},
      {{path("bad.tdb")},
       1,
       "",
       "zendra-symdump: " + path("bad.tdb") + ": not a symbol file: bad magic\n"},
      {{"--vice", path("bad.tdb")},
       1,
       "",
       "zendra-symdump: " + path("bad.tdb") + ": not a symbol file: bad magic\n"},
      {{good}, 0, "header: first section offset 52,", ""},
      {{good, "--vice"}, 0, "al C:0003 .count\nal C:1000 .loop\nal C:1005 .loop_1\n", ""},
      {{"--vice", good, path("no-such-dir/x.lbl")},
       1,
       "",
       "zendra-symdump: " + path("no-such-dir/x.lbl") + ": cannot open for writing\n"},
  };
  for (const auto& c : cases) {
    std::string trace;
    for (const auto& a : c.args) trace += a + " ";
    SCOPED_TRACE(trace);
    const Result r = run(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
    EXPECT_EQ(r.err, c.err);
  }
}

TEST_F(SymdumpCommand, WritesTheLabelFileNamed) {
  const Result r = run({"--vice", path("good.tdb"), path("labels.lbl")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  std::ifstream in(path("labels.lbl"));
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), viceLabels(sampleFile()));
  EXPECT_EQ(text.str(), "al C:0003 .count\nal C:1000 .loop\nal C:1005 .loop_1\nal C:fffe .neg\n");
}

}  // namespace
}  // namespace zendra::symdump
