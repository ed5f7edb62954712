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
// The three below do nothing without a file or while the listing is off; a short write reports
// error 20 at the current statement once and stops the listing for the rest of the run.
// Finishes the previous line and starts the statement's: its line number.
void beginListLine(Assembler& as, const StatementRecord& st);
// Adds a byte of the current statement; the fifth, ninth, ... byte starts a continuation line.
void listByte(Assembler& as, uint8_t byte);
// Ends the current line: pads the byte columns and adds the source text unless a continuation
// line has already followed it. force: the first line is full and more bytes follow.
void finishListLine(Assembler& as, bool force);

}  // namespace zendra
