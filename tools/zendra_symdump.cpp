// zendra-symdump: prints a Zendra symbol file as text, or writes its symbols as VICE labels.
// Everything but the process boundary lives in symbol_dump.h.

#include <iostream>
#include <new>
#include <string_view>
#include <vector>

#include "symbol_dump.h"

int main(int argc, char** argv) {
  try {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return zendra::symdump::runSymdump(args, std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    std::cerr << "zendra-symdump: out of memory\n";
    return zendra::symdump::kExitFailure;
  }
}
