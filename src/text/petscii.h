// PETSCII and screen-code conversion: the fixed byte conversions from source characters to
// PETSCII, from PETSCII to the screen codes the video chip reads, and from PETSCII back to source
// characters. Each is a pure function of one byte, computed by rule; no host code page is involved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zendra {

// Source character to PETSCII: lower-case letters become the unshifted PETSCII letters, upper-case
// letters the shifted ones, backspace the delete key and line feed return; all else is unchanged.
uint8_t asciiToPetscii(uint8_t ch);

// found is false (and code 0) for the PETSCII codes that have no screen code: $00-$1F and $80-$9F.
struct ScreenCode {
  bool found;
  uint8_t code;
};
ScreenCode petsciiToScreen(uint8_t p);

// The byte that a text pseudo-op emits for one source character. With screen, the character goes
// through PETSCII to its screen code (0 when there is none) and petsciiConversion is ignored;
// without, it is converted to PETSCII only when petsciiConversion is on.
uint8_t convertTextChar(uint8_t ch, bool screen, bool petsciiConversion);

// PETSCII back to a source character; inverts asciiToPetscii for every character below $80 except
// carriage return (13) and 20, which come back as line feed (10) and backspace (8).
uint8_t petsciiToAscii(uint8_t p);

// petsciiToAscii applied to every byte, in order; the result has the same length.
std::string petsciiTextToAscii(std::string_view bytes);

}  // namespace zendra
