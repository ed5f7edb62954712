// Output files are written beside their target under a temporary name and renamed into place
// only when complete, so a failed run never leaves a truncated file or destroys a good one.
#pragma once

#include <cstdio>
#include <string>

namespace zendra {

// Creates a fresh temporary file in the target's folder; nullptr when that is impossible or
// the target exists and cannot be written. A target that is not a plain file is opened itself
// and tempPath left empty.
std::FILE* openTempFile(const std::string& target, std::string& tempPath, bool binary);
// Moves the finished temporary file over the target (nothing to do for an empty tempPath).
bool commitTempFile(const std::string& tempPath, const std::string& target);
void discardTempFile(const std::string& tempPath);

}  // namespace zendra
