// libFuzzer target: a whole assembly of the input, with listing and symbol file.
#include <filesystem>

#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Output files land in a folder of their own, away from the sources.
  auto dir = std::filesystem::temp_directory_path() / "zendra-fuzz-assemble";
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zendra::fuzz::assembleInput(data, size);
  return 0;
}
