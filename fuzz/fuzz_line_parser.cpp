// libFuzzer target: the line parser alone, on every line of the input; a line that the common
// shapes read differently from the state machine stops the fuzzer.
#include <cstdio>
#include <cstdlib>

#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string difference = zendra::fuzz::parseInput(data, size);
  if (difference.empty()) return 0;
  std::fprintf(stderr, "line read two ways: %s\n", difference.c_str());
  std::abort();
}
