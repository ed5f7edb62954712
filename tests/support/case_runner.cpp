// Case runner helpers shared by the end-to-end and other whole-assembly tests.
#include "support/case_runner.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "driver/driver.h"

namespace zendra::testing {

std::vector<std::string> splitArguments(const std::string& line) {
  std::vector<std::string> args;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
      if (inWord) args.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) args.push_back(word);
  return args;
}

std::string parseHexText(const std::string& text) {
  std::string bytes;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string word;
    while (words >> word) bytes += static_cast<char>(std::stoi(word, nullptr, 16));
  }
  return bytes;
}

std::string toHexText(const std::string& bytes) {
  std::string out;
  char buffer[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(bytes[i]));
    out += buffer;
    out += (i % 16 == 15 || i + 1 == bytes.size()) ? '\n' : ' ';
  }
  return out;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::filesystem::path makeTempDir(const std::string& prefix) {
  std::random_device device;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto dir = base / (prefix + "-" + std::to_string(device()));
    if (std::filesystem::create_directory(dir)) return dir;
  }
}

namespace {

// Changes the working folder for the duration of an in-process run.
struct WorkingDirectory {
  std::filesystem::path saved = std::filesystem::current_path();
  explicit WorkingDirectory(const std::filesystem::path& dir) {
    std::filesystem::current_path(dir);
  }
  ~WorkingDirectory() { std::filesystem::current_path(saved); }
};

}  // namespace

CaseResult runInProcess(const std::filesystem::path& workDir, const std::vector<std::string>& args,
                        const std::string& stdinText, const std::vector<std::string>& env) {
  WorkingDirectory cd(workDir);
  std::vector<const char*> argv{"zendra"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  ProcessEnvironment environment;
  for (const std::string& e : env)
    if (e.rfind("VORTA_INCLUDE_PATH=", 0) == 0) environment.includePath = e.substr(19);
  std::istringstream in(stdinText);
  std::ostringstream out, err;
  CaseResult result;
  result.exitStatus =
      runZendra(static_cast<int>(argv.size()), argv.data(), in, out, err, environment);
  result.out = out.str();
  result.err = err.str();
  return result;
}

CaseResult runProcess(const std::filesystem::path& workDir, const std::vector<std::string>& args,
                      const std::string& stdinText, const std::vector<std::string>& env) {
  auto quote = [](const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  writeFile(workDir / ".stdin", stdinText);
  std::string command = "cd " + quote(workDir.string()) + " && env -u VORTA_INCLUDE_PATH";
  for (const std::string& e : env) command += " " + quote(e);
  command += " " + quote(ZENDRA_EXE);
  for (const std::string& a : args) command += " " + quote(a);
  command += " <.stdin >.stdout 2>.stderr";
  int status = std::system(command.c_str());
  CaseResult result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = readFile(workDir / ".stdout");
  result.err = readFile(workDir / ".stderr");
  for (const char* f : {".stdin", ".stdout", ".stderr"}) std::filesystem::remove(workDir / f);
  return result;
}

}  // namespace zendra::testing
