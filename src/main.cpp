// Process entry: hands the arguments, the standard streams and the environment to the driver.
#include <cstdlib>
#include <iostream>
#include <new>

#include "driver/driver.h"

int main(int argc, char** argv) {
  try {
    zendra::ProcessEnvironment env;
    if (const char* path = std::getenv("VORTA_INCLUDE_PATH")) env.includePath = path;
    return zendra::runZendra(argc, argv, std::cin, std::cout, std::cerr, env);
  } catch (const std::bad_alloc&) {
    std::cerr << "Zendra: out of memory\n";
    return 1;
  }
}
