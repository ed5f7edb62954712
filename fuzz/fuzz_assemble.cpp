// libFuzzer target: whole assemblies of the input, with listing and symbol file and without,
// which must print and write the same.
#include <cstdio>
#include <cstdlib>
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
  if (zendra::fuzz::assembleInput(data, size)) return 0;
  std::fprintf(stderr, "the listing and symbol file changed what the assembly printed or wrote\n");
  std::abort();
}
