// emitByte: every byte of the run passes here. Pass 1 only measures; pass 2 stores, records
// the kind, finds overlaps and feeds the listing.
#include "output/memory_image.h"

#include <cstdio>

#include "driver/assembler.h"
#include "exec/executor.h"

namespace zendra {

bool emitByte(Assembler& as, int32_t value, ByteKind kind, StatementRecord& st) {
  MemoryImage& image = as.image;
  // Unsigned sum: any `.offs` value wraps into the 16-bit address space without overflow.
  uint32_t address =
      (static_cast<uint32_t>(as.pc) + static_cast<uint32_t>(image.offsetValue)) & 0xFFFF;
  if (address < image.lowAddress) image.lowAddress = address;
  bool overlap = false;
  if (as.pass == 2) {
    auto byte = static_cast<uint8_t>(value);
    listByte(as, byte);
    st.emitted = true;
    uint32_t index = address - image.imageBase;
    if (address >= image.imageBase && index < image.imageLength) {
      image.bytes[index] = byte ^ image.eorMask;
      if (image.kinds[index] == ByteKind::Unwritten)
        image.kinds[index] = kind;
      else
        overlap = true;  // the later byte stays, the first kind stays
    }
  }
  ++as.pc;
  if (address + 1 > image.highAddress) image.highAddress = address + 1;
  if (!overlap) return true;
  if (image.overlapNote.line < 0) {
    image.overlapNote.line = static_cast<int32_t>(st.line);
    image.overlapNote.fileName = as.fileName(st.fileIndex);
  }
  if (image.overlapTolerated) return true;
  char text[8];
  std::snprintf(text, sizeof text, "$%x", address);
  return as.fail(ErrorCode::OverlappedOutput, text);
}

}  // namespace zendra
