// The program file: two bytes of little-endian load address, then every image byte.
#include "output/object_file.h"

#include "driver/assembler.h"
#include "output/safe_file.h"

namespace zendra {

bool writeObjectFile(Assembler& as) {
  const std::string& name = as.settings.outputName;
  std::string temp;
  std::FILE* file = openTempFile(name, temp, true);
  if (file == nullptr) {
    as.reportError(ErrorCode::UnableToOpen, -1, as.settings.inputName, name, -1);
    return false;
  }
  bool ok = true;
  if (!as.settings.omitLoad) {
    unsigned char load[2] = {static_cast<unsigned char>(as.image.lowAddress & 0xFF),
                             static_cast<unsigned char>((as.image.lowAddress >> 8) & 0xFF)};
    if (std::fwrite(load, 1, 2, file) != 2) {
      as.reportError(ErrorCode::UnableToWrite, -1, as.settings.inputName, name, -1);
      std::fclose(file);
      discardTempFile(temp);
      return false;
    }
  }
  const auto& bytes = as.image.bytes;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
    ok = false;
  if (std::fclose(file) != 0) ok = false;
  if (ok && !commitTempFile(temp, name)) {
    as.reportError(ErrorCode::UnableToWrite, -1, as.settings.inputName, name, -1);
    ok = false;
  }
  if (!ok) discardTempFile(temp);
  return ok;
}

}  // namespace zendra
