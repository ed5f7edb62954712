// The list file: what pass 2 lists around conditions, macros, includes and the output
// switches, and how a write failure ends the listing. Column layout: the list-* case folders.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "driver/assembler.h"
#include "output/listing_writer.h"
#include "support/assemble.h"

namespace zendra::testing {
namespace {

// A first line: number, address (or blanks), the byte columns padded to four, the text.
std::string row(int line, std::string_view address, std::string_view bytes, std::string_view text) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%4d %-5s%-12s ", line, std::string(address).c_str(),
                std::string(bytes).c_str());
  return buffer + std::string(text) + "\n";
}
std::string row(int line, std::string_view text) { return row(line, "", "", text); }

struct ListingCase {
  std::string_view name;
  std::string_view source;
  std::string listing;
  std::map<std::string, std::string> files = {};
};

TEST(ListingWriter, ListsWhatPass2Executes) {
  const ListingCase cases[] = {
      {"lines skipped by a false condition are listed without bytes",
       " .if 0\n nop\n .endif\n rts\n",
       row(1, " .if 0") + row(2, " nop") + row(3, " .endif") + row(4, "1000 ", "60 ", " rts") +
           row(5, "")},
      {"bytes are listed before the .eor mask, at the pc rather than the storage address",
       " .eor $ff\n .offs $1000\n lda #1\n",
       row(1, " .eor $ff") + row(2, " .offs $1000") + row(3, "1000 ", "a9 01 ", " lda #1") +
           row(4, "")},
      {"eight bytes: the text on the first line only", " .byte 1,2,3,4,5,6,7,8\n",
       row(1, "1000 ", "01 02 03 04 ", " .byte 1,2,3,4,5,6,7,8") + "     1004 05 06 07 08 \n" +
           row(2, "")},
      {"a .proff in a macro body ends with the expansion",
       "m .macro\n .proff\n nop\n .endm\n #m\n rts\n",
       row(1, "m .macro") + row(2, " .proff") + row(3, " nop") + row(4, " .endm") + row(5, " #m") +
           row(2, " .proff") + row(6, "1001 ", "60 ", " rts") + row(7, "")},
      {".hidemac hides the calls after it until .showmac",
       "m .macro\n nop\n .endm\n .hidemac\n #m\n .showmac\n #m\n",
       row(1, "m .macro") + row(2, " nop") + row(3, " .endm") + row(4, " .hidemac") +
           row(5, " #m") + row(6, " .showmac") + row(7, " #m") + row(2, "1001 ", "ea ", " nop") +
           row(8, "")},
      {"a macro line shows its text after substitution",
       "say .macro\n .text \"@1\"\n .endm\n #say \"hi\"\n",
       row(1, "say .macro") + row(2, " .text \"@1\"") + row(3, " .endm") + row(4, " #say \"hi\"") +
           row(2, "1000 ", "48 49 ", " .text \"hi\"") + row(5, "")},
      {"an included file's lines carry their own numbers",
       " nop\n .include \"inc.asm\"\n rts\n",
       row(1, "1000 ", "ea ", " nop") + row(2, " .include \"inc.asm\"") + row(1, "; library") +
           row(2, "1001 ", "e8 ", " inx") + row(3, "") + row(3, "1002 ", "60 ", " rts") +
           row(4, ""),
       {{"inc.asm", "; library\n inx\n"}}},
  };
  for (const ListingCase& c : cases) {
    SCOPED_TRACE(c.name);
    Assembly a = assemble(std::string(c.source), {"-l", "t.lst"}, c.files);
    EXPECT_EQ(a.exitStatus, 0) << a.out;
    EXPECT_EQ(a.files["t.lst"], c.listing);
  }
}

// /dev/full accepts the open and fails every write that reaches it. Unbuffered, the first line
// fails at its statement; buffered, nothing reaches the device before the file is closed.
TEST(ListingWriter, ReportsAWriteFailureOnceAndStopsListing) {
  struct FailureCase {
    std::string_view name;
    bool buffered;
    std::string_view report;
  };
  const FailureCase cases[] = {
      {"while listing", false, "t.asm(7) : error 20: unable to write to file 't.lst'\n"},
      {"when closing", true, "t.asm : error 20: unable to write to file 't.lst'\n"},
  };
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream out;
    RunSettings settings;
    settings.inputName = "t.asm";
    Assembler as(settings, out);
    as.files.emplace_back().name = "t.asm";
    as.pass = 2;
    as.listing.path = "t.lst";
    as.listing.file = std::fopen("/dev/full", "w");
    ASSERT_NE(as.listing.file, nullptr);
    if (!c.buffered) std::setvbuf(as.listing.file, nullptr, _IONBF, 0);
    StatementRecord first, second;
    StatementExtra firstText, secondText;
    first.line = 7;
    firstText.text = " .byte 1,2,3,4,5,6";
    firstText.textLength = 18;
    first.extra = &firstText;
    second.line = 8;
    secondText.text = " nop";
    secondText.textLength = 4;
    second.extra = &secondText;
    beginListLine(as, first);
    for (uint8_t b = 1; b <= 6; ++b) listByte(as, b);
    beginListLine(as, second);
    listByte(as, 0xea);
    closeListing(as);
    EXPECT_EQ(out.str(), "\nPass 2:\n\n" + std::string(c.report));
    EXPECT_EQ(as.listing.file, nullptr);
    EXPECT_FALSE(as.passFailed);  // the run itself can still succeed
  }
}

}  // namespace
}  // namespace zendra::testing
