// List file: one line per statement of pass 2 with its line number, address, bytes and text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zendra {

class Assembler;
struct StatementRecord;

struct ListingWriter {
  std::FILE* file = nullptr;
  std::string path;      // the name the user asked for
  std::string tempPath;  // written here, renamed into place when the run ends
  const StatementRecord* current = nullptr;
  int32_t currentPc = 0;
  int byteCount = 0;
  bool enabled = true;     // .proff/.pron and the `proff` option
  bool showMacros = true;  // .hidemac/.showmac and the `hide-macros` option
};

// Creates the list file; on failure reports error 19 and the run goes on without a listing.
void openListing(Assembler& as, const std::string& path);
// Finishes the last line, closes the file and puts it in place.
void closeListing(Assembler& as);
void beginListLine(Assembler& as, const StatementRecord& st);
void listByte(Assembler& as, uint8_t byte);
void finishListLine(Assembler& as, bool force);

}  // namespace zendra
