// PETSCII and screen-code conversion, computed by rule from the ranges of the character sets.
#include "text/petscii.h"

namespace zendra {

namespace {

constexpr bool inRange(uint8_t value, uint8_t low, uint8_t high) {
  return value >= low && value <= high;
}

}  // namespace

uint8_t asciiToPetscii(uint8_t ch) {
  if (ch == 0x08) return 0x14;  // backspace: the delete key
  if (ch == 0x0A) return 0x0D;  // line feed: return

  if (inRange(ch, 'A', 'Z')) return static_cast<uint8_t>(ch + 0x80);  // shifted letters $C1-$DA
  if (inRange(ch, 'a', 'z')) return static_cast<uint8_t>(ch - 0x20);  // unshifted letters $41-$5A
  return ch;
}

ScreenCode petsciiToScreen(uint8_t p) {
  // The two blocks of control codes have no screen code.
  if (inRange(p, 0x00, 0x1F) || inRange(p, 0x80, 0x9F)) return {false, 0};
  if (inRange(p, 0x20, 0x3F)) return {true, p};
  if (inRange(p, 0x40, 0x5F)) return {true, static_cast<uint8_t>(p - 0x40)};
  if (inRange(p, 0x60, 0x7F)) return {true, static_cast<uint8_t>(p - 0x20)};
  if (inRange(p, 0xA0, 0xBF)) return {true, static_cast<uint8_t>(p - 0x40)};
  // Pi ($FF) shares its screen code with $DE.
  if (p == 0xFF) return {true, 0x5E};
  return {true, static_cast<uint8_t>(p - 0x80)};  // $C0-$FE
}

uint8_t convertTextChar(uint8_t ch, bool screen, bool petsciiConversion) {
  if (screen) {
    const ScreenCode sc = petsciiToScreen(asciiToPetscii(ch));
    return sc.found ? sc.code : 0;
  }
  return petsciiConversion ? asciiToPetscii(ch) : ch;
}

uint8_t petsciiToAscii(uint8_t p) {
  // The steps are tested in this order; $A4 (the underscore-like graphic) comes first.
  if (p == 0xA4) return '_';
  if ((p & 0x7F) < 0x20) {
    if (p == 0x0D || p == 0x8D) return 0x0A;  // return and shifted return: line feed
    if (p == 0x14) return 0x08;               // delete: backspace
  }
  if (p == 0xA0 || p == 0xE0) return ' ';  // shifted spaces
  if (inRange(p, 0x20, 0x40) || p == 0x5B || p == 0x5D) return p;
  if (inRange(p, 0x41, 0x5A)) return static_cast<uint8_t>(p + 0x20);  // a-z
  if (inRange(p, 0xC1, 0xDA)) return static_cast<uint8_t>(p - 0x80);  // A-Z
  if (inRange(p, 0x61, 0x7A)) return static_cast<uint8_t>(p - 0x20);  // A-Z
  return p;
}

std::string petsciiTextToAscii(std::string_view bytes) {
  std::string text(bytes.size(), '\0');
  for (size_t i = 0; i < bytes.size(); ++i)
    text[i] = static_cast<char>(petsciiToAscii(static_cast<uint8_t>(bytes[i])));
  return text;
}

}  // namespace zendra
