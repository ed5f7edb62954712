// End-to-end cases: each folder under tests/cases holds a command line, its input files and
// the expected exit status, standard output and output files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zendra::testing {

struct CaseResult {
  int exitStatus = 0;
  std::string out;
  std::string err;
};

// Splits a command line on blanks; double quotes group words.
std::vector<std::string> splitArguments(const std::string& line);
// Parses hex text ("a9 01  # lda #1") into bytes; `#` starts a comment.
std::string parseHexText(const std::string& text);
std::string toHexText(const std::string& bytes);
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Runs the assembler in-process in `workDir` with the given arguments (argv[0] excluded).
CaseResult runInProcess(const std::filesystem::path& workDir, const std::vector<std::string>& args,
                        const std::string& stdinText, const std::vector<std::string>& env);
// Runs the real executable as a process in `workDir`.
CaseResult runProcess(const std::filesystem::path& workDir, const std::vector<std::string>& args,
                      const std::string& stdinText, const std::vector<std::string>& env);

// A fresh empty folder under the system's temporary folder.
std::filesystem::path makeTempDir(const std::string& prefix);

}  // namespace zendra::testing
