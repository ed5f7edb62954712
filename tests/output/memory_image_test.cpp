// emitByte and the memory image: the range a pass measures, the physical address under an
// offset, the pass-2 store with the XOR mask and the kinds, and overlap detection.

#include "output/memory_image.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver/assembler.h"
#include "exec/executor.h"

namespace zendra {
namespace {

struct Emitter {
  std::ostringstream out;
  Assembler as{RunSettings{}, out};
  StatementRecord first, second;

  Emitter() {
    as.files.emplace_back().name = "t.asm";
    first.line = 3;
    second.line = 7;
  }
  bool emit(uint32_t pc, int32_t value, ByteKind kind, StatementRecord& st) {
    as.pc = static_cast<int32_t>(pc);
    return emitByte(as, value, kind, st);
  }
};

TEST(MemoryImage, PassOneMeasuresThePhysicalRange) {
  struct Case {
    uint32_t pc;
    int32_t offset;
    uint32_t low, high;
  };
  const Case cases[] = {
      {0x1000, 0, 0x1000, 0x1001},
      {0xFFFF, 0, 0xFFFF, 0x10000},      // the top byte keeps its place in the range
      {0x1000, 0x1000, 0x2000, 0x2001},  // stored at pc + offset
      {0xF000, 0x2000, 0x1000, 0x1001},  // the storage address wraps
      {0x1000, INT32_MAX, 0x0FFF, 0x1000},
      {0x1000, -0x1000, 0x0000, 0x0001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pc + c.offset);
    Emitter e;
    e.as.pass = 1;
    e.as.image.offsetValue = c.offset;
    EXPECT_TRUE(e.emit(c.pc, 0xEA, ByteKind::Code, e.first));
    EXPECT_EQ(e.as.pc, static_cast<int32_t>(c.pc + 1));  // pc itself is not offset
    EXPECT_EQ(e.as.image.lowAddress, c.low);
    EXPECT_EQ(e.as.image.highAddress, c.high);
  }
}

TEST(MemoryImage, PassTwoStoresMaskedBytesAndTheirKinds) {
  Emitter e;
  e.as.pass = 2;
  MemoryImage& image = e.as.image;
  image.prepare(0x1000, 4);
  EXPECT_TRUE(e.emit(0x1000, 0xA9, ByteKind::Code, e.first));
  image.eorMask = 0xFF;
  EXPECT_TRUE(e.emit(0x1002, 0x0F, ByteKind::Text, e.second));
  EXPECT_EQ(image.bytes, (std::vector<uint8_t>{0xA9, 0x00, 0xF0, 0x00}));  // gaps stay 0
  EXPECT_EQ(image.kinds, (std::vector<ByteKind>{ByteKind::Code, ByteKind::Unwritten, ByteKind::Text,
                                                ByteKind::Unwritten}));
  EXPECT_TRUE(image.written(0x1000));
  EXPECT_FALSE(image.written(0x1001));
  EXPECT_FALSE(image.written(0x1004));
  EXPECT_TRUE(e.first.emitted);
  EXPECT_EQ(image.lowAddress, 0x1000u);
  EXPECT_EQ(image.highAddress, 0x1003u);
}

TEST(MemoryImage, TolerantOverlapKeepsTheLaterByteAndNotesTheFirstPlace) {
  Emitter e;
  e.as.pass = 2;
  MemoryImage& image = e.as.image;
  image.prepare(0x0C00, 1);
  EXPECT_TRUE(e.emit(0x0C00, 1, ByteKind::WordData, e.first));
  EXPECT_TRUE(e.emit(0x0C00, 2, ByteKind::Code, e.second));
  EXPECT_TRUE(e.emit(0x0C00, 3, ByteKind::Code, e.first));
  EXPECT_EQ(image.bytes[0], 3);
  EXPECT_EQ(image.kinds[0], ByteKind::WordData);
  EXPECT_EQ(image.overlapNote.line, 7);
  EXPECT_EQ(image.overlapNote.fileName, "t.asm");
}

TEST(MemoryImage, OverlapAsAnErrorFailsWithTheAddressInHex) {
  Emitter e;
  e.as.pass = 2;
  e.as.image.overlapTolerated = false;
  e.as.image.prepare(0x0C00, 1);
  EXPECT_TRUE(e.emit(0x0C00, 1, ByteKind::Code, e.first));
  EXPECT_FALSE(e.emit(0x0C00, 2, ByteKind::Code, e.second));
  EXPECT_EQ(e.as.errorCodePending, ErrorCode::OverlappedOutput);
  EXPECT_EQ(e.as.errorText, "$c00");
  EXPECT_EQ(e.as.pc, 0x0C01);  // the byte still counts
}

}  // namespace
}  // namespace zendra
