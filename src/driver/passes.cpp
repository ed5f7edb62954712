// Pass 1 measures and defines, pass 2 stores; both run the same statements in the same order,
// so scope numbers and expansion copies match between them.
#include "driver/passes.h"

#include "driver/assembler.h"
#include "exec/executor.h"

namespace zendra {

bool runPass(Assembler& as, int n) {
  as.pass = n;
  as.endSeen = false;
  as.pc = static_cast<int32_t>(as.settings.startAddress);
  as.image.offsetValue = 0;
  as.image.eorMask = 0;
  as.gotoCount = 0;
  as.gotoTarget = nullptr;
  as.expansionsThisPass = 0;
  as.executionsThisPass = 0;
  as.abortExpansions = false;
  as.symbols.resetScopes();
  as.waveNoise.reseed();
  as.passFailed = false;
  if (n == 2) {
    // Only pass 2's switches shape the listing.
    as.listing.enabled = as.settings.listingEnabled;
    as.listing.showMacros = as.settings.showMacros;
  }
  (void)runStatementList(as, as.statements, nullptr);
  return !as.passFailed;
}

bool runPasses(Assembler& as) {
  MemoryImage& image = as.image;
  image.resetRange();
  image.offsetValue = 0;
  if (!runPass(as, 1)) return false;
  if (image.wroteNothing()) return true;
  const std::string& input = as.settings.inputName;
  if (image.highAddress < image.lowAddress) {
    as.reportError(ErrorCode::Unknown, -1, input);
    return false;
  }
  uint32_t low = image.lowAddress;
  uint32_t high = image.highAddress;
  if (high - low > 65535) {
    as.reportError(ErrorCode::OutputTooBig, -1, input);
    return false;
  }
  image.prepare(low, high - low);
  if (!runPass(as, 2)) return false;
  if (image.lowAddress != low || image.highAddress != high) {
    as.reportError(ErrorCode::PhaseError, -1, input);
    return false;
  }
  return true;
}

}  // namespace zendra
