// Temporary names carry a random part, and the file is created exclusively, so two runs
// never write into each other's temporary file.
#include "output/safe_file.h"

#include <filesystem>
#include <random>
#include <system_error>

namespace zendra {

std::FILE* openTempFile(const std::string& target, std::string& tempPath, bool binary) {
  std::error_code ec;
  if (target.empty() || std::filesystem::is_directory(target, ec)) return nullptr;
  std::random_device device;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(device()));
    tempPath = target + suffix;
    if (std::FILE* file = std::fopen(tempPath.c_str(), binary ? "wbx" : "wx")) return file;
    if (!std::filesystem::exists(tempPath, ec)) break;  // not a clash: the folder refuses
  }
  tempPath.clear();
  return nullptr;
}

bool commitTempFile(const std::string& tempPath, const std::string& target) {
  std::error_code ec;
  std::filesystem::rename(tempPath, target, ec);
  return !ec;
}

void discardTempFile(const std::string& tempPath) {
  if (tempPath.empty()) return;
  std::error_code ec;
  std::filesystem::remove(tempPath, ec);
}

}  // namespace zendra
