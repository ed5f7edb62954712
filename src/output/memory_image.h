// Memory image: the written address range of a pass, and in pass 2 the bytes with their kinds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zendra {

// Stored in the kind map and in the symbol file, so each carries its number.
enum class ByteKind : uint8_t { Code = 0, Text = 1, ByteData = 2, WordData = 3, Unwritten = 4 };

struct OverlapNote {
  int32_t line = -1;
  std::string fileName;
};

struct MemoryImage {
  uint32_t lowAddress = 0xFFFF;
  uint32_t highAddress = 0;  // one past the highest address; wide so that $FFFF is kept
  uint32_t imageBase = 0;
  uint32_t imageLength = 0;
  std::vector<uint8_t> bytes;
  std::vector<ByteKind> kinds;
  uint8_t eorMask = 0;
  int32_t offsetValue = 0;
  bool overlapTolerated = true;
  OverlapNote overlapNote;

  bool wroteNothing() const { return highAddress == 0; }
  void resetRange() {
    lowAddress = 0xFFFF;
    highAddress = 0;
  }
  // Zero-filled bytes and an all-Unwritten kind map for pass 2.
  void prepare(uint32_t base, uint32_t length) {
    imageBase = base;
    imageLength = length;
    bytes.assign(length, 0);
    kinds.assign(length, ByteKind::Unwritten);
    resetRange();
  }
  bool written(uint32_t address) const {
    return address >= imageBase && address - imageBase < imageLength &&
           kinds[address - imageBase] != ByteKind::Unwritten;
  }
};

}  // namespace zendra
