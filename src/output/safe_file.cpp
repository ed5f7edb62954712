// Temporary names carry a random part, and the file is created exclusively, so two runs
// never write into each other's temporary file. Only a plain file (or a new name) is replaced
// by renaming: a device, a pipe or a symbolic link is written in place, so `-l /dev/stdout`
// writes to the terminal instead of replacing the link.
#include "output/safe_file.h"

#include <filesystem>
#include <random>
#include <system_error>

namespace zendra {
namespace fs = std::filesystem;

std::FILE* openTempFile(const std::string& target, std::string& tempPath, bool binary) {
  tempPath.clear();
  std::error_code ec;
  if (target.empty()) return nullptr;
  fs::file_status link = fs::symlink_status(target, ec);
  fs::file_status file = fs::status(target, ec);
  if (fs::is_directory(file)) return nullptr;
  if (fs::exists(link) && (fs::is_symlink(link) || !fs::is_regular_file(file)))
    return std::fopen(target.c_str(), binary ? "wb" : "w");
  if (fs::exists(file)) {
    // A file that cannot be opened for writing is refused, not silently replaced.
    std::FILE* probe = std::fopen(target.c_str(), "r+b");
    if (probe == nullptr) return nullptr;
    std::fclose(probe);
  }
  std::random_device device;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(device()));
    tempPath = target + suffix;
    if (std::FILE* opened = std::fopen(tempPath.c_str(), binary ? "wbx" : "wx")) return opened;
    if (!fs::exists(tempPath, ec)) break;  // not a clash: the folder refuses
  }
  tempPath.clear();
  return nullptr;
}

bool commitTempFile(const std::string& tempPath, const std::string& target) {
  if (tempPath.empty()) return true;  // written in place
  std::error_code ec;
  fs::rename(tempPath, target, ec);
  return !ec;
}

void discardTempFile(const std::string& tempPath) {
  if (tempPath.empty()) return;
  std::error_code ec;
  fs::remove(tempPath, ec);
}

}  // namespace zendra
