// Whole-assembly helper for tests: assembles a source text in a fresh folder, in-process.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace zendra::testing {

struct Assembly {
  int exitStatus = 0;
  std::string out;  // standard output, banner included
  std::string err;
  std::string program;  // the program file's bytes, empty when none was written
  std::map<std::string, std::string> files;  // every file left in the folder, by name
  // The program's bytes after the two-byte load address, as "a9 01 60".
  std::string imageHex() const;
};

// Writes `source` to t.asm (plus any `extraFiles`), runs `zendra t.asm <args>` and collects
// what it wrote (the program file is t.prg unless args say otherwise).
Assembly assemble(const std::string& source, const std::vector<std::string>& args = {},
                  const std::map<std::string, std::string>& extraFiles = {});

// The error lines a run printed, one per line, without the banner and the pass headers.
std::string errorLines(const Assembly& a);

// The image bytes of a source, or "error N" lines (one per reported error) when it fails.
std::string assembleToHex(const std::string& source, const std::vector<std::string>& args = {});

}  // namespace zendra::testing
