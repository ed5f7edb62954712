#pragma once
// Symbol file reader for zendra-symdump: checks every offset, size and count against the file,
// decodes the sections, prints them as text and writes the symbols as a VICE monitor label file.
// Header-only so that the tool and its tests share one copy without a library target.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Text layout, one item per line; offsets, sizes and counts in decimal, addresses and values hex:
//   header: first section offset 52, magic $00015457, section count 5
//   directory 0: offset 52, type 2 (symbols)
//   section 0: symbols, offset 52, size 28, count 1
//     symbol 0: string 1 "loop", scope 1, value $00001000 (4096), line 3, file 0 "main.asm"
//   section 1: line table, offset 80, size 28, count 1
//     line 3, scope 1, file 0, macro call 0, pc $1000-$1003
//   section 2: strings, offset 108, size 22, count 2
//     string 0: "main.asm"
//   section 3: macro expansions, offset 130, size 44, count 1
//     expansion 1: block offset 16, size 28, count 1
//       line 7, scope 2, file 0, macro call 0, pc $1003-$1005
//   section 4: memory map, offset 174, size 6, count 1
//     run 0: start $1000, count 5, Code
// Strings are quoted with \" \\ and \xHH escapes. A string index with no such string prints as
// <missing>, a memory kind outside Code..WordData as "kind N", a non-zero reserved byte as
// "reserved N"; a section type this reader does not know prints its header only.
//
// VICE labels: one "al C:xxxx .name" line per symbol in file order, xxxx the low 16 bits of the
// value in lowercase hex. VICE names hold only letters, digits and '_' and do not start with a
// digit, so every other byte becomes '_', a leading digit gets a '_' in front, and a symbol whose
// name is empty is skipped. VICE keeps only the last address given to a name, so a name already
// written (symbols of the same name in other scopes are the usual case) gets '_' and the symbol's
// scope id appended, then '_2', '_3', ... until it is free: "a", "a_1", "a_1_2".
namespace zendra::symdump {

constexpr uint32_t kMagic = 0x00015457;  // the bytes "W", "T", 1, 0
constexpr uint64_t kFileHeaderSize = 12;
constexpr uint64_t kDirectoryEntrySize = 8;
constexpr uint64_t kSectionHeaderSize = 8;
constexpr uint64_t kSymbolRecordSize = 20;
constexpr uint64_t kLineRecordSize = 20;
constexpr uint64_t kExpansionEntrySize = 8;
constexpr uint64_t kMemoryRunSize = 6;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // usage errors too

enum class SectionType : uint32_t {
  LineTable = 1,
  Symbols = 2,
  Strings = 3,
  MacroExpansions = 4,
  MemoryMap = 5,
};

struct SectionTypeRow {
  SectionType type;
  std::string_view name;
};
// clang-format off
constexpr SectionTypeRow kSectionTypeTable[] = {
  {SectionType::LineTable,       "line table"},
  {SectionType::Symbols,         "symbols"},
  {SectionType::Strings,         "strings"},
  {SectionType::MacroExpansions, "macro expansions"},
  {SectionType::MemoryMap,       "memory map"},
};
// clang-format on

// Indexed by the byte kind stored in a memory-map run.
constexpr std::string_view kByteKindNames[] = {"Code", "Text", "ByteData", "WordData"};

struct SymbolRecord {
  uint32_t nameIndex = 0;  // into the strings section
  uint32_t scopeId = 0;
  int32_t value = 0;
  int32_t line = 0;        // -1 when the symbol has no defining line
  uint32_t fileIndex = 0;  // into the strings section: file names come first
};

struct LineRecord {
  uint32_t line = 0;
  uint32_t scopeId = 0;
  uint32_t fileIndex = 0;
  uint32_t macroCallIndex = 0;
  uint16_t pcBefore = 0;
  uint16_t pcAfter = 0;
};

struct Expansion {
  uint32_t number = 0;
  uint32_t blockOffset = 0;  // from the start of the macro-expansion section
  uint32_t blockSize = 0;
  std::vector<LineRecord> lines;
};

struct MemoryRun {
  uint16_t start = 0;
  uint16_t count = 0;
  uint8_t kind = 0;
  uint8_t reserved = 0;
};

// One section as found through the directory; only the list that matches its type is filled.
struct Section {
  uint32_t offset = 0;
  uint32_t type = 0;  // as stored, possibly a type this reader does not know
  uint32_t size = 0;
  uint32_t count = 0;
  std::vector<SymbolRecord> symbols;
  std::vector<LineRecord> lines;
  std::vector<std::string> strings;
  std::vector<Expansion> expansions;
  std::vector<MemoryRun> memoryMap;
};

struct SymbolFile {
  uint32_t firstSectionOffset = 0;
  uint32_t magic = 0;
  uint32_t sectionCount = 0;
  std::vector<Section> sections;  // in directory order
};

// ---- Decoding --------------------------------------------------------------------------------

using Bytes = std::span<const uint8_t>;

// Callers check the range with fits() first; the reads themselves do not.
inline uint16_t readU16(Bytes bytes, uint64_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline uint32_t readU32(Bytes bytes, uint64_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// Offsets and lengths are 64-bit so that a u32 offset plus a u32 size cannot wrap.
inline bool fits(Bytes bytes, uint64_t at, uint64_t length) {
  return at <= bytes.size() && length <= bytes.size() - at;
}

inline bool fail(std::string& error, std::string text) {
  error = std::move(text);
  return false;
}

inline std::optional<SectionType> knownSectionType(uint32_t raw) {
  for (const auto& row : kSectionTypeTable)
    if (static_cast<uint32_t>(row.type) == raw) return row.type;
  return std::nullopt;
}

inline std::string_view sectionTypeName(uint32_t raw) {
  for (const auto& row : kSectionTypeTable)
    if (static_cast<uint32_t>(row.type) == raw) return row.name;
  return "unknown";
}

inline LineRecord readLineRecord(Bytes bytes, uint64_t at) {
  return {readU32(bytes, at),      readU32(bytes, at + 4),  readU32(bytes, at + 8),
          readU32(bytes, at + 12), readU16(bytes, at + 16), readU16(bytes, at + 18)};
}

// Sections whose size is fixed by their count; a count that disagrees is the usual corruption.
[[nodiscard]] inline bool checkRecordSize(const Section& section, uint64_t headerSize,
                                          uint64_t recordSize, std::string& error) {
  const uint64_t expected = headerSize + recordSize * section.count;
  if (section.size == expected) return true;
  return fail(error, "count " + std::to_string(section.count) + " needs size " +
                         std::to_string(expected) + ", but the size is " +
                         std::to_string(section.size));
}

[[nodiscard]] inline bool decodeSymbols(Bytes body, Section& section, std::string& error) {
  if (!checkRecordSize(section, kSectionHeaderSize, kSymbolRecordSize, error)) return false;
  section.symbols.reserve(section.count);
  for (uint64_t at = kSectionHeaderSize; at < body.size(); at += kSymbolRecordSize) {
    section.symbols.push_back(
        {readU32(body, at), readU32(body, at + 4), static_cast<int32_t>(readU32(body, at + 8)),
         static_cast<int32_t>(readU32(body, at + 12)), readU32(body, at + 16)});
  }
  return true;
}

[[nodiscard]] inline bool decodeLineTable(Bytes body, Section& section, std::string& error) {
  if (!checkRecordSize(section, kSectionHeaderSize, kLineRecordSize, error)) return false;
  section.lines.reserve(section.count);
  for (uint64_t at = kSectionHeaderSize; at < body.size(); at += kLineRecordSize)
    section.lines.push_back(readLineRecord(body, at));
  return true;
}

// The count is trusted only as far as the bytes hold zero-terminated strings.
[[nodiscard]] inline bool decodeStrings(Bytes body, Section& section, std::string& error) {
  uint64_t at = kSectionHeaderSize;
  for (uint32_t i = 0; i < section.count; ++i) {
    if (at == body.size()) {
      return fail(error, "holds only " + std::to_string(i) + " of " +
                             std::to_string(section.count) + " strings");
    }
    const auto begin = body.begin() + static_cast<std::ptrdiff_t>(at);
    const auto zero = std::find(begin, body.end(), uint8_t{0});
    if (zero == body.end())
      return fail(error, "string " + std::to_string(i) + " has no terminating zero byte");
    section.strings.emplace_back(begin, zero);
    at += static_cast<uint64_t>(zero - begin) + 1;
  }
  if (at != body.size())
    return fail(error, std::to_string(body.size() - at) + " bytes follow the last string");
  return true;
}

[[nodiscard]] inline bool decodeExpansionBlock(Bytes body, uint64_t directoryEnd,
                                               Expansion& expansion, std::string& error) {
  const std::string where = "block of expansion " + std::to_string(expansion.number) +
                            " at offset " + std::to_string(expansion.blockOffset);
  if (expansion.blockOffset < directoryEnd)
    return fail(error, where + " lies inside the expansion directory");
  if (!fits(body, expansion.blockOffset, kSectionHeaderSize))
    return fail(error, where + " runs past the end of the section");
  expansion.blockSize = readU32(body, expansion.blockOffset);
  Section block;  // a block has the form of a line table
  block.size = expansion.blockSize;
  block.count = readU32(body, expansion.blockOffset + 4);
  if (!fits(body, expansion.blockOffset, block.size))
    return fail(error, where + ": size " + std::to_string(block.size) +
                           " runs past the end of the section");
  std::string blockError;
  if (!decodeLineTable(body.subspan(expansion.blockOffset, block.size), block, blockError))
    return fail(error, where + ": " + blockError);
  expansion.lines = std::move(block.lines);
  return true;
}

[[nodiscard]] inline bool decodeMacroExpansions(Bytes body, Section& section, std::string& error) {
  const uint64_t directoryEnd = kSectionHeaderSize + kExpansionEntrySize * section.count;
  if (directoryEnd > section.size) {
    return fail(error, "a directory of " + std::to_string(section.count) + " expansions needs " +
                           std::to_string(directoryEnd) + " bytes, but the size is " +
                           std::to_string(section.size));
  }
  section.expansions.reserve(section.count);
  for (uint64_t at = kSectionHeaderSize; at < directoryEnd; at += kExpansionEntrySize) {
    Expansion expansion;
    expansion.number = readU32(body, at);
    expansion.blockOffset = readU32(body, at + 4);
    if (!decodeExpansionBlock(body, directoryEnd, expansion, error)) return false;
    section.expansions.push_back(std::move(expansion));
  }
  return true;
}

[[nodiscard]] inline bool decodeMemoryMap(Bytes body, Section& section, std::string& error) {
  if (!checkRecordSize(section, 0, kMemoryRunSize, error)) return false;  // size omits the header
  section.memoryMap.reserve(section.count);
  for (uint64_t at = kSectionHeaderSize; at < body.size(); at += kMemoryRunSize)
    section.memoryMap.push_back(
        {readU16(body, at), readU16(body, at + 2), body[at + 4], body[at + 5]});
  return true;
}

// Bytes a section occupies from its offset, taken from its stored size.
inline uint64_t sectionExtent(std::optional<SectionType> type, uint32_t size) {
  if (!type) return kSectionHeaderSize;  // an unknown section's size is not interpreted
  switch (*type) {
    case SectionType::MemoryMap: return kSectionHeaderSize + size;
    case SectionType::LineTable:
    case SectionType::Symbols:
    case SectionType::Strings:
    case SectionType::MacroExpansions: return size;
  }
  return size;
}

[[nodiscard]] inline bool decodeSection(Bytes bytes, Section& section, std::string& error) {
  if (!fits(bytes, section.offset, kSectionHeaderSize))
    return fail(error, "section header runs past the end of the file");
  section.size = readU32(bytes, section.offset);
  section.count = readU32(bytes, section.offset + 4);
  const auto type = knownSectionType(section.type);
  const uint64_t extent = sectionExtent(type, section.size);
  if (extent < kSectionHeaderSize)
    return fail(error, "size " + std::to_string(section.size) + " is smaller than its header");
  if (!fits(bytes, section.offset, extent)) {
    return fail(error, "size " + std::to_string(section.size) +
                           " runs past the end of the file: the section would end at " +
                           std::to_string(section.offset + extent));
  }
  if (!type) return true;
  const Bytes body = bytes.subspan(section.offset, extent);
  switch (*type) {
    case SectionType::Symbols: return decodeSymbols(body, section, error);
    case SectionType::LineTable: return decodeLineTable(body, section, error);
    case SectionType::Strings: return decodeStrings(body, section, error);
    case SectionType::MacroExpansions: return decodeMacroExpansions(body, section, error);
    case SectionType::MemoryMap: return decodeMemoryMap(body, section, error);
  }
  return true;
}

[[nodiscard]] inline bool decodeHeader(Bytes bytes, SymbolFile& file, std::string& error) {
  if (bytes.size() < kFileHeaderSize) {
    return fail(error, "file too short for the header: " + std::to_string(bytes.size()) +
                           " bytes, need " + std::to_string(kFileHeaderSize));
  }
  file.firstSectionOffset = readU32(bytes, 0);
  file.magic = readU32(bytes, 4);
  file.sectionCount = readU32(bytes, 8);
  if (file.magic != kMagic) return fail(error, "not a symbol file: bad magic");
  const uint64_t directorySize = kDirectoryEntrySize * file.sectionCount;
  if (!fits(bytes, kFileHeaderSize, directorySize)) {
    return fail(error, "a directory of " + std::to_string(file.sectionCount) +
                           " sections runs past the end of the file (" +
                           std::to_string(bytes.size()) + " bytes)");
  }
  if (file.firstSectionOffset != kFileHeaderSize + directorySize) {
    return fail(error, "first section offset " + std::to_string(file.firstSectionOffset) +
                           " does not follow the directory, which ends at " +
                           std::to_string(kFileHeaderSize + directorySize));
  }
  return true;
}

// Decodes a whole symbol file. On failure leaves in error what is wrong and where, and file
// holds whatever was decoded before it.
[[nodiscard]] inline bool decodeSymbolFile(Bytes bytes, SymbolFile& file, std::string& error) {
  file = {};
  if (!decodeHeader(bytes, file, error)) return false;
  std::vector<uint32_t> seenTypes;
  file.sections.reserve(file.sectionCount);
  for (uint32_t i = 0; i < file.sectionCount; ++i) {
    Section section;
    section.offset = readU32(bytes, kFileHeaderSize + kDirectoryEntrySize * i);
    section.type = readU32(bytes, kFileHeaderSize + kDirectoryEntrySize * i + 4);
    const std::string where = "section " + std::to_string(i) + " (" +
                              std::string(sectionTypeName(section.type)) + ") at offset " +
                              std::to_string(section.offset) + ": ";
    // A second strings section would make every name ambiguous.
    const bool known = knownSectionType(section.type).has_value();
    if (known && std::count(seenTypes.begin(), seenTypes.end(), section.type) != 0)
      return fail(error, where + "second section of this type");
    seenTypes.push_back(section.type);
    if (section.offset < file.firstSectionOffset)
      return fail(error, where + "lies inside the header or directory");
    std::string sectionError;
    if (!decodeSection(bytes, section, sectionError)) return fail(error, where + sectionError);
    file.sections.push_back(std::move(section));
  }
  return true;
}

// ---- Text dump -------------------------------------------------------------------------------

inline std::string hexDigits(uint32_t value, int digits, bool upper = true) {
  const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string text(static_cast<size_t>(digits), '0');
  for (size_t i = text.size(); i-- > 0; value >>= 4) text[i] = alphabet[value & 0xF];
  return text;
}

inline std::string quotedText(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<uint8_t>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      out += "\\x" + hexDigits(byte, 2);
    }
  }
  return out + "\"";
}

inline const std::vector<std::string>* findStrings(const SymbolFile& file) {
  for (const auto& section : file.sections)
    if (section.type == static_cast<uint32_t>(SectionType::Strings)) return &section.strings;
  return nullptr;
}

inline const std::string* stringAt(const std::vector<std::string>* strings, uint32_t index) {
  if (strings == nullptr || index >= strings->size()) return nullptr;
  return &(*strings)[index];
}

// "3 \"main.asm\"", or "3 <missing>" for an index with no string behind it.
inline std::string indexAndString(const std::vector<std::string>* strings, uint32_t index) {
  const std::string* text = stringAt(strings, index);
  return std::to_string(index) + " " + (text != nullptr ? quotedText(*text) : "<missing>");
}

inline void printLineRecord(std::ostream& out, const LineRecord& record, std::string_view indent) {
  out << indent << "line " << record.line << ", scope " << record.scopeId << ", file "
      << record.fileIndex << ", macro call " << record.macroCallIndex << ", pc $"
      << hexDigits(record.pcBefore, 4) << "-$" << hexDigits(record.pcAfter, 4) << '\n';
}

inline void printSymbols(std::ostream& out, const Section& section,
                         const std::vector<std::string>* strings) {
  for (size_t i = 0; i < section.symbols.size(); ++i) {
    const SymbolRecord& symbol = section.symbols[i];
    out << "  symbol " << i << ": string " << indexAndString(strings, symbol.nameIndex)
        << ", scope " << symbol.scopeId << ", value $"
        << hexDigits(static_cast<uint32_t>(symbol.value), 8) << " (" << symbol.value << "), line "
        << symbol.line << ", file " << indexAndString(strings, symbol.fileIndex) << '\n';
  }
}

inline void printMemoryMap(std::ostream& out, const Section& section) {
  for (size_t i = 0; i < section.memoryMap.size(); ++i) {
    const MemoryRun& run = section.memoryMap[i];
    out << "  run " << i << ": start $" << hexDigits(run.start, 4) << ", count " << run.count
        << ", ";
    if (run.kind < std::size(kByteKindNames))
      out << kByteKindNames[run.kind];
    else
      out << "kind " << static_cast<int>(run.kind);
    if (run.reserved != 0) out << ", reserved " << static_cast<int>(run.reserved);
    out << '\n';
  }
}

inline void printSection(std::ostream& out, const Section& section, size_t index,
                         const std::vector<std::string>* strings) {
  const auto type = knownSectionType(section.type);
  out << "section " << index << ": ";
  if (type)
    out << sectionTypeName(section.type);
  else
    out << "unknown type " << section.type;
  out << ", offset " << section.offset << ", size " << section.size << ", count " << section.count
      << '\n';
  if (!type) return;
  switch (*type) {
    case SectionType::Symbols: printSymbols(out, section, strings); break;
    case SectionType::LineTable:
      for (const auto& record : section.lines) printLineRecord(out, record, "  ");
      break;
    case SectionType::Strings:
      for (size_t i = 0; i < section.strings.size(); ++i)
        out << "  string " << i << ": " << quotedText(section.strings[i]) << '\n';
      break;
    case SectionType::MacroExpansions:
      for (const auto& expansion : section.expansions) {
        out << "  expansion " << expansion.number << ": block offset " << expansion.blockOffset
            << ", size " << expansion.blockSize << ", count " << expansion.lines.size() << '\n';
        for (const auto& record : expansion.lines) printLineRecord(out, record, "    ");
      }
      break;
    case SectionType::MemoryMap: printMemoryMap(out, section); break;
  }
}

inline void printSymbolFile(const SymbolFile& file, std::ostream& out) {
  out << "header: first section offset " << file.firstSectionOffset << ", magic $"
      << hexDigits(file.magic, 8) << ", section count " << file.sectionCount << '\n';
  for (size_t i = 0; i < file.sections.size(); ++i) {
    out << "directory " << i << ": offset " << file.sections[i].offset << ", type "
        << file.sections[i].type << " (" << sectionTypeName(file.sections[i].type) << ")\n";
  }
  const auto* strings = findStrings(file);
  for (size_t i = 0; i < file.sections.size(); ++i) printSection(out, file.sections[i], i, strings);
}

// ---- VICE labels -----------------------------------------------------------------------------

inline bool isViceNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The name as VICE accepts it, or "" when nothing is left to name.
inline std::string viceLabelName(std::string_view name) {
  std::string out;
  if (!name.empty() && name.front() >= '0' && name.front() <= '9') out += '_';
  for (const char c : name) out += isViceNameChar(c) ? c : '_';
  return out;
}

// A name already used gets "_<scope>", then "_2", "_3", ... until it is free.
inline std::string uniqueViceName(std::string name, uint32_t scopeId,
                                  std::unordered_set<std::string>& used) {
  if (used.contains(name)) {
    const std::string scoped = name + "_" + std::to_string(scopeId);
    name = scoped;
    for (uint64_t n = 2; used.contains(name); ++n) name = scoped + "_" + std::to_string(n);
  }
  used.insert(name);
  return name;
}

// Writes one label line per named symbol. Fails, writing nothing, when a symbol's name index
// has no string, since the label file would silently lack it.
[[nodiscard]] inline bool writeViceLabels(const SymbolFile& file, std::ostream& out,
                                          std::string& error) {
  const auto* strings = findStrings(file);
  std::ostringstream text;
  std::unordered_set<std::string> used;
  for (const auto& section : file.sections) {
    for (size_t i = 0; i < section.symbols.size(); ++i) {
      const SymbolRecord& symbol = section.symbols[i];
      const std::string* name = stringAt(strings, symbol.nameIndex);
      if (name == nullptr) {
        return fail(error, "symbol " + std::to_string(i) + ": string index " +
                               std::to_string(symbol.nameIndex) + " has no string");
      }
      std::string label = viceLabelName(*name);
      if (label.empty()) continue;
      label = uniqueViceName(std::move(label), symbol.scopeId, used);
      text << "al C:" << hexDigits(static_cast<uint32_t>(symbol.value) & 0xFFFF, 4, false) << " ."
           << label << '\n';
    }
  }
  out << text.str();
  return true;
}

// ---- Command line ----------------------------------------------------------------------------

constexpr std::string_view kUsage = "usage: zendra-symdump [--vice] FILE.tdb [OUT.lbl]\n";

constexpr std::string_view kHelp =
    "usage: zendra-symdump FILE.tdb\n"
    "       zendra-symdump --vice FILE.tdb [OUT.lbl]\n"
    "       zendra-symdump --help\n"
    "\n"
    "Prints a Zendra symbol file as text: header, directory, then every section\n"
    "with its records.\n"
    "\n"
    "--vice writes the symbols as a VICE monitor label file instead, to OUT.lbl or\n"
    "standard output: one line \"al C:xxxx .name\" per symbol, xxxx the low 16 bits\n"
    "of its value. In names, characters other than letters, digits and '_' become\n"
    "'_', a leading digit gets a '_' in front, and empty names are skipped. A name\n"
    "already written (the same name in another scope) gets '_' and the symbol's\n"
    "scope id appended, then '_2', '_3', ... until it is unique.\n"
    "\n"
    "Exit status: 0 on success, 1 for a usage error or an unreadable, malformed or\n"
    "unwritable file.\n";

[[nodiscard]] inline bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                                        std::string& error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return fail(error, "is a directory");
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail(error, "cannot open for reading");
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return fail(error, "read error");
  return true;
}

[[nodiscard]] inline bool loadSymbolFile(const std::string& path, SymbolFile& file,
                                         std::string& error) {
  std::vector<uint8_t> bytes;
  return readWholeFile(path, bytes, error) && decodeSymbolFile(bytes, file, error);
}

inline int usageError(std::ostream& err, std::string_view reason) {
  err << "zendra-symdump: " << reason << '\n' << kUsage;
  return kExitFailure;
}

inline int fileError(std::ostream& err, std::string_view path, std::string_view reason) {
  err << "zendra-symdump: " << path << ": " << reason << '\n';
  return kExitFailure;
}

// Runs the tool on the arguments after the program name; returns the exit status.
inline int runSymdump(std::span<const std::string_view> args, std::ostream& out,
                      std::ostream& err) {
  bool vice = false;
  std::vector<std::string> names;
  for (const std::string_view arg : args) {
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return kExitOk;
    }
    if (arg == "--vice")
      vice = true;
    else if (arg.size() > 1 && arg.front() == '-')
      return usageError(err, "unknown option '" + std::string(arg) + "'");
    else
      names.emplace_back(arg);
  }
  if (names.empty()) return usageError(err, "no symbol file given");
  if (names.size() > (vice ? 2u : 1u)) return usageError(err, "too many file names");

  SymbolFile file;
  std::string error;
  if (!loadSymbolFile(names[0], file, error)) return fileError(err, names[0], error);
  std::ostringstream text;
  if (!vice)
    printSymbolFile(file, text);
  else if (!writeViceLabels(file, text, error))
    return fileError(err, names[0], error);

  if (names.size() == 1) {
    if (!(out << text.str() << std::flush)) return fileError(err, "standard output", "write error");
    return kExitOk;
  }
  std::ofstream labels(names[1]);
  if (!labels) return fileError(err, names[1], "cannot open for writing");
  labels << text.str();
  labels.close();
  if (!labels) return fileError(err, names[1], "write error");
  return kExitOk;
}

}  // namespace zendra::symdump
