// Symbol file: header, section directory, then the sections symbols, line table, strings,
// macro expansions and memory map, little-endian. Each section's writer is run twice: once
// to size it (no output) and once to write it, so header and contents cannot disagree.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "driver/assembler.h"
#include "output/object_file.h"
#include "output/safe_file.h"

namespace zendra {
namespace {

enum class SectionType : uint32_t {
  LineTable = 1,
  Symbols = 2,
  Strings = 3,
  Expansions = 4,
  MemoryMap = 5
};

// Writes bytes when given a place (with room for all of them); only counts them when sizing.
struct Sink {
  char* at = nullptr;
  uint32_t size = 0;
  void u8(uint8_t v) {
    ++size;
    if (at != nullptr) *at++ = static_cast<char>(v);
  }
  void u16(uint32_t v) {
    u8(static_cast<uint8_t>(v));
    u8(static_cast<uint8_t>(v >> 8));
  }
  void u32(uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  void text(std::string_view s) {
    size += static_cast<uint32_t>(s.size()) + 1;
    if (at == nullptr) return;
    std::memcpy(at, s.data(), s.size());
    at += s.size();
    *at++ = '\0';
  }
};

struct SymbolFileWriter {
  Assembler& as;
  std::vector<const SymbolEntry*> symbols;  // in file order

  // Byte-wise, a shorter name first on a common prefix, equal names in definition order. That
  // is strcmp's order, since names hold no NUL and end with one; the first eight bytes of each
  // name, read as a number, settle most comparisons without touching the names.
  explicit SymbolFileWriter(Assembler& assembler) : as(assembler) {
    struct Keyed {
      uint64_t prefix;
      const SymbolEntry* entry;
    };
    const SymbolPool& entries = as.symbols.entries();
    std::vector<Keyed> keyed;
    keyed.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      const char* name = as.names.spelling(entries[i].nameId);
      uint64_t prefix = 0;
      for (int k = 0; k < 8 && name[k] != '\0'; ++k)
        prefix |= static_cast<uint64_t>(static_cast<uint8_t>(name[k])) << (56 - 8 * k);
      keyed.push_back({prefix, &entries[i]});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
      if (a.prefix != b.prefix) return a.prefix < b.prefix;
      uint32_t x = a.entry->nameId, y = b.entry->nameId;
      return x != y && std::strcmp(as.names.spelling(x), as.names.spelling(y)) < 0;
    });
    symbols.reserve(keyed.size());
    for (const Keyed& k : keyed) symbols.push_back(k.entry);
  }

  // Statements keep their addresses whenever a symbol file is written; the default covers a
  // record that never went through the parser.
  static void lineRecord(Sink& out, const StatementRecord& st) {
    static const StatementExtra kNone;
    const StatementExtra& x = st.extra != nullptr ? *st.extra : kNone;
    out.u32(st.line);
    out.u32(x.scopeId);
    out.u32(st.fileIndex);
    out.u32(x.macroCallIndex);
    out.u16(static_cast<uint32_t>(x.pcBefore) & 0xFFFF);
    out.u16(static_cast<uint32_t>(x.pcAfter) & 0xFFFF);
  }
  static uint32_t emittedCount(const StatementList& list) {
    uint32_t n = 0;
    for (const StatementRecord* st : list) n += st->emitted ? 1 : 0;
    return n;
  }
  static void lineBlock(Sink& out, const StatementList& list) {
    uint32_t count = emittedCount(list);
    out.u32(8 + 20 * count);
    out.u32(count);
    for (const StatementRecord* st : list)
      if (st->emitted) lineRecord(out, *st);
  }

  // Writes one section (or sizes it); returns false when the section is empty.
  bool section(SectionType type, Sink& out) {
    switch (type) {
      case SectionType::Symbols: {
        auto count = static_cast<uint32_t>(symbols.size());
        if (count == 0) return false;
        out.u32(8 + 20 * count);
        out.u32(count);
        auto fileCount = static_cast<uint32_t>(as.files.size());
        for (uint32_t i = 0; i < count; ++i) {
          const SymbolEntry& e = *symbols[i];
          out.u32(fileCount + i);
          out.u32(e.scopeId);
          out.u32(static_cast<uint32_t>(as.symbols.storedValue(e)));
          out.u32(static_cast<uint32_t>(e.line()));
          out.u32(e.fileIndex());
        }
        return true;
      }
      case SectionType::LineTable:
        if (emittedCount(as.statements) == 0) return false;
        lineBlock(out, as.statements);
        return true;
      case SectionType::Strings: {
        uint32_t total = 0;
        for (const SourceFile& f : as.files) total += static_cast<uint32_t>(f.name.size()) + 1;
        for (const SymbolEntry* e : symbols)
          total += static_cast<uint32_t>(as.names.name(e->nameId).size()) + 1;
        out.u32(8 + total);
        out.u32(static_cast<uint32_t>(as.files.size() + symbols.size()));
        for (const SourceFile& f : as.files) out.text(f.name);
        for (const SymbolEntry* e : symbols) out.text(as.names.name(e->nameId));
        return true;
      }
      case SectionType::Expansions: {
        auto count = static_cast<uint32_t>(as.expansions.size());
        if (count == 0) return false;
        uint32_t blocks = 0;
        for (const Expansion& x : as.expansions) blocks += 8 + 20 * emittedCount(*x.copies);
        out.u32(8 + 8 * count + blocks);
        out.u32(count);
        uint32_t offset = 8 + 8 * count;
        for (const Expansion& x : as.expansions) {
          out.u32(x.number);
          out.u32(offset);
          offset += 8 + 20 * emittedCount(*x.copies);
        }
        for (const Expansion& x : as.expansions) lineBlock(out, *x.copies);
        return true;
      }
      case SectionType::MemoryMap: {
        struct Run {
          uint32_t start, count;
          ByteKind kind;
        };
        std::vector<Run> runs;
        const MemoryImage& image = as.image;
        for (uint32_t i = 0; i < image.imageLength; ++i) {
          ByteKind kind = image.kinds[i];
          if (!runs.empty() && runs.back().kind == kind &&
              runs.back().start + runs.back().count == i)
            ++runs.back().count;
          else if (kind != ByteKind::Unwritten)
            runs.push_back({i, 1, kind});
        }
        if (runs.empty()) return false;
        out.u32(6 * static_cast<uint32_t>(runs.size()));
        out.u32(static_cast<uint32_t>(runs.size()));
        for (const Run& r : runs) {
          out.u16(image.imageBase + r.start);
          out.u16(r.count);
          out.u8(static_cast<uint8_t>(r.kind));
          out.u8(0);
        }
        return true;
      }
    }
    return false;
  }
};

}  // namespace

bool writeSymbolFile(Assembler& as) {
  const std::string& name = as.settings.symbolName;
  if (name.empty()) return true;
  SymbolFileWriter writer(as);
  constexpr SectionType kOrder[] = {SectionType::Symbols, SectionType::LineTable,
                                    SectionType::Strings, SectionType::Expansions,
                                    SectionType::MemoryMap};
  struct Present {
    SectionType type;
    uint32_t size;
  };
  std::vector<Present> present;
  size_t total = 12;
  for (SectionType type : kOrder) {
    Sink sizing;
    if (writer.section(type, sizing)) {
      // The memory map's size field leaves out its own header; the directory follows the field.
      uint32_t size = type == SectionType::MemoryMap ? sizing.size - 8 : sizing.size;
      present.push_back({type, size});
      total += 8 + sizing.size;
    }
  }
  std::string bytes(total, '\0');
  Sink out{bytes.data()};
  auto n = static_cast<uint32_t>(present.size());
  out.u32(12 + 8 * n);
  out.u32(0x00015457);
  out.u32(n);
  uint32_t offset = 12 + 8 * n;
  for (const Present& p : present) {
    out.u32(offset);
    out.u32(static_cast<uint32_t>(p.type));
    offset += p.size;
  }
  for (const Present& p : present) writer.section(p.type, out);
  assert(out.size == total);  // both runs of a section write the same

  std::string temp;
  std::FILE* file = openTempFile(name, temp, true);
  if (file == nullptr) {
    as.reportError(ErrorCode::UnableToOpen, 0, as.settings.inputName, name, -1);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = (std::fclose(file) == 0) && ok;
  ok = ok && commitTempFile(temp, name);
  if (!ok) {
    discardTempFile(temp);
    as.reportError(ErrorCode::UnableToWrite, 0, as.settings.inputName, name, -1);
  }
  return ok;
}

}  // namespace zendra
