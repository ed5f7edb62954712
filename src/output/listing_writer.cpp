// The list file is written while pass 2 runs. A line is finished when the next one begins,
// so bytes emitted by a statement land on its line whatever emits them.
#include "output/listing_writer.h"

#include <cstdio>

#include "driver/assembler.h"
#include "output/safe_file.h"

namespace zendra {
namespace {

bool active(const Assembler& as) { return as.listing.file != nullptr && as.listing.enabled; }

// A short write stops the listing for the rest of the run; the run itself goes on.
void write(Assembler& as, const char* data, size_t size) {
  ListingWriter& l = as.listing;
  if (l.file == nullptr || size == 0) return;
  if (std::fwrite(data, 1, size, l.file) == size) return;
  int32_t line = l.current != nullptr ? static_cast<int32_t>(l.current->line) : -1;
  std::string_view file =
      l.current != nullptr ? as.fileName(l.current->fileIndex) : as.settings.inputName;
  as.reportError(ErrorCode::UnableToWrite, line, file, l.path, -1);
  std::fclose(l.file);
  l.file = nullptr;
  discardTempFile(l.tempPath);
}

void write(Assembler& as, std::string_view text) { write(as, text.data(), text.size()); }

void writeHex(Assembler& as, const char* format, uint32_t value) {
  char buffer[16];
  int n = std::snprintf(buffer, sizeof buffer, format, value);
  write(as, buffer, static_cast<size_t>(n));
}

}  // namespace

void openListing(Assembler& as, const std::string& path) {
  ListingWriter& l = as.listing;
  l.path = path;
  l.file = openTempFile(path, l.tempPath, false);
  if (l.file == nullptr)
    as.reportError(ErrorCode::UnableToOpen, -1, as.settings.inputName, path, -1);
}

void closeListing(Assembler& as) {
  ListingWriter& l = as.listing;
  if (l.file == nullptr) return;
  finishListLine(as, false);
  if (l.file == nullptr) return;
  bool ok = std::fclose(l.file) == 0;
  l.file = nullptr;
  if (!ok || !commitTempFile(l.tempPath, l.path)) {
    as.reportError(ErrorCode::UnableToWrite, -1, as.settings.inputName, l.path, -1);
    discardTempFile(l.tempPath);
  }
}

void beginListLine(Assembler& as, const StatementRecord& st) {
  if (!active(as)) return;
  ListingWriter& l = as.listing;
  if (l.current != nullptr) finishListLine(as, false);
  l.current = &st;
  l.currentPc = as.pc;
  l.byteCount = 0;
  char buffer[16];
  int n = std::snprintf(buffer, sizeof buffer, "%4u ", st.line);
  write(as, buffer, static_cast<size_t>(n));
}

void listByte(Assembler& as, uint8_t byte) {
  ListingWriter& l = as.listing;
  if (!active(as) || l.current == nullptr) return;
  if (l.byteCount % 4 == 0) {
    if (l.byteCount == 4)
      finishListLine(as, true);
    else if (l.byteCount >= 8)
      write(as, "\n");
    if (l.byteCount > 0) write(as, "     ");
    writeHex(as, "%04x ", static_cast<uint32_t>(l.currentPc + l.byteCount) & 0xFFFF);
  }
  writeHex(as, "%02x ", byte);
  ++l.byteCount;
}

void finishListLine(Assembler& as, bool force) {
  ListingWriter& l = as.listing;
  if (!active(as) || l.current == nullptr) return;
  if (l.byteCount < 4) {
    if (l.byteCount == 0) write(as, "     ");
    for (int i = l.byteCount; i < 4; ++i) write(as, "   ");
  }
  // The text ends the first line, also one holding exactly four bytes; after a fifth byte it
  // is already there.
  if (l.byteCount <= 4 || force) {
    write(as, " ");
    write(as, l.current->rawText());
  }
  write(as, "\n");
}

}  // namespace zendra
