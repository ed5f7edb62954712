// libFuzzer target: the line parser alone, on every line of the input.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zendra::fuzz::parseInput(data, size);
  return 0;
}
