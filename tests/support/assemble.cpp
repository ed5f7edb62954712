// Runs a whole assembly through the driver, as the command line would.
#include "support/assemble.h"

#include <filesystem>
#include <sstream>

#include "support/case_runner.h"

namespace zendra::testing {

std::string Assembly::imageHex() const {
  std::string hex;
  char buffer[4];
  for (size_t i = 2; i < program.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(program[i]));
    if (!hex.empty()) hex += ' ';
    hex += buffer;
  }
  return hex;
}

Assembly assemble(const std::string& source, const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& extraFiles) {
  namespace fs = std::filesystem;
  fs::path dir = makeTempDir("zendra-test");
  writeFile(dir / "t.asm", source);
  for (const auto& [name, text] : extraFiles) {
    fs::create_directories((dir / name).parent_path());
    writeFile(dir / name, text);
  }
  std::vector<std::string> argv{"t.asm"};
  argv.insert(argv.end(), args.begin(), args.end());
  CaseResult r = runInProcess(dir, argv, "", {});
  Assembly a{r.exitStatus, r.out, r.err, {}, {}};
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file())
      a.files[fs::relative(entry.path(), dir).string()] = readFile(entry.path());
  if (auto it = a.files.find("t.prg"); it != a.files.end()) a.program = it->second;
  fs::remove_all(dir);
  return a;
}

std::string errorLines(const Assembly& a) {
  std::istringstream in(a.out);
  std::string line;
  std::string lines;
  while (std::getline(in, line))
    if (line.find(": error ") != std::string::npos) lines += (lines.empty() ? "" : "\n") + line;
  return lines;
}

std::string assembleToHex(const std::string& source, const std::vector<std::string>& args) {
  Assembly a = assemble(source, args);
  if (a.exitStatus == 0) return a.imageHex();
  // One "error N" per reported error line, so a test reads the codes only.
  std::string codes;
  const std::string marker = " : error ";
  for (size_t at = a.out.find(marker.substr(2)); at != std::string::npos;
       at = a.out.find(marker.substr(2), at + 1)) {
    size_t digits = at + marker.size() - 2;
    size_t end = a.out.find(':', digits);
    if (end == std::string::npos) break;
    if (!codes.empty()) codes += ", ";
    codes += "error " + a.out.substr(digits, end - digits);
  }
  return codes.empty() ? "failed" : codes;
}

}  // namespace zendra::testing
