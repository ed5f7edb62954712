// Object file: the load address (unless omitted) and the image, and the symbol file.
#pragma once

namespace zendra {

class Assembler;

// Writes the program file; reports 19 or 20 itself. False on any failure.
[[nodiscard]] bool writeObjectFile(Assembler& as);
// Writes the symbol file when one was asked for; reports 19 or 20 at line 0 itself.
[[nodiscard]] bool writeSymbolFile(Assembler& as);

}  // namespace zendra
