// The two passes over the statement list and the phase check between them.
#pragma once

namespace zendra {

class Assembler;

// True when no statement of pass n reported an error.
[[nodiscard]] bool runPass(Assembler& as, int n);
// Pass 1, the image, pass 2 and the phase check; true when the run succeeded.
[[nodiscard]] bool runPasses(Assembler& as);

}  // namespace zendra
