// Tests of the PETSCII and screen-code conversions: every edge case of the rules, the round trip
// through PETSCII, and the screen-code rule against its bitwise form.
#include "text/petscii.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace zendra {
namespace {

enum class Conversion {
  AsciiToPetscii,
  PetsciiToScreen,
  ScreenText,       // convertTextChar with screen, petsciiConversion on
  ScreenTextAscii,  // convertTextChar with screen, petsciiConversion off
  PetsciiText,      // convertTextChar without screen, petsciiConversion on
  AsciiText,        // convertTextChar without screen, petsciiConversion off
  PetsciiToAscii,
};

std::string_view conversionName(Conversion conversion) {
  switch (conversion) {
    case Conversion::AsciiToPetscii: return "asciiToPetscii";
    case Conversion::PetsciiToScreen: return "petsciiToScreen";
    case Conversion::ScreenText: return "convertTextChar(screen)";
    case Conversion::ScreenTextAscii: return "convertTextChar(screen, ascii)";
    case Conversion::PetsciiText: return "convertTextChar(petscii)";
    case Conversion::AsciiText: return "convertTextChar(ascii)";
    case Conversion::PetsciiToAscii: return "petsciiToAscii";
  }
  return "?";
}

std::string hexByte(uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "$%02X", value);
  return text;
}

// The printable result: "$XX", or "none" for a PETSCII code without a screen code.
std::string convert(Conversion conversion, uint8_t input) {
  switch (conversion) {
    case Conversion::AsciiToPetscii: return hexByte(asciiToPetscii(input));
    case Conversion::PetsciiToScreen: {
      const ScreenCode sc = petsciiToScreen(input);
      if (!sc.found) return sc.code == 0 ? "none" : "none, code " + hexByte(sc.code);
      return hexByte(sc.code);
    }
    case Conversion::ScreenText: return hexByte(convertTextChar(input, true, true));
    case Conversion::ScreenTextAscii: return hexByte(convertTextChar(input, true, false));
    case Conversion::PetsciiText: return hexByte(convertTextChar(input, false, true));
    case Conversion::AsciiText: return hexByte(convertTextChar(input, false, false));
    case Conversion::PetsciiToAscii: return hexByte(petsciiToAscii(input));
  }
  return "?";
}

struct ConversionCase {
  Conversion conversion;
  uint8_t input;
  std::string_view expected;
};

// clang-format off
constexpr ConversionCase kConversionCases[] = {
  {Conversion::AsciiToPetscii,  'A',  "$C1"},   // upper case: the shifted letters
  {Conversion::AsciiToPetscii,  'Z',  "$DA"},
  {Conversion::AsciiToPetscii,  'a',  "$41"},   // lower case: the unshifted letters
  {Conversion::AsciiToPetscii,  'z',  "$5A"},
  {Conversion::AsciiToPetscii,  '@',  "$40"},
  {Conversion::AsciiToPetscii,  '\\', "$5C"},
  {Conversion::AsciiToPetscii,  '_',  "$5F"},
  {Conversion::AsciiToPetscii,  '`',  "$60"},
  {Conversion::AsciiToPetscii,  '{',  "$7B"},
  {Conversion::AsciiToPetscii,  0x7F, "$7F"},
  {Conversion::AsciiToPetscii,  8,    "$14"},   // backspace: delete
  {Conversion::AsciiToPetscii,  10,   "$0D"},   // line feed: return
  {Conversion::AsciiToPetscii,  9,    "$09"},   // tab is unchanged
  {Conversion::AsciiToPetscii,  13,   "$0D"},   // and so is carriage return
  {Conversion::AsciiToPetscii,  0xA0, "$A0"},   // $80-$FF are unchanged
  {Conversion::AsciiToPetscii,  0xC1, "$C1"},

  {Conversion::PetsciiToScreen, 0x00, "none"},
  {Conversion::PetsciiToScreen, 0x05, "none"},
  {Conversion::PetsciiToScreen, 0x1F, "none"},
  {Conversion::PetsciiToScreen, 0x20, "$20"},
  {Conversion::PetsciiToScreen, 0x3F, "$3F"},
  {Conversion::PetsciiToScreen, 0x40, "$00"},
  {Conversion::PetsciiToScreen, 0x41, "$01"},
  {Conversion::PetsciiToScreen, 0x5E, "$1E"},
  {Conversion::PetsciiToScreen, 0x5F, "$1F"},
  {Conversion::PetsciiToScreen, 0x60, "$40"},
  {Conversion::PetsciiToScreen, 0x7F, "$5F"},
  {Conversion::PetsciiToScreen, 0x80, "none"},
  {Conversion::PetsciiToScreen, 0x93, "none"},
  {Conversion::PetsciiToScreen, 0x9F, "none"},
  {Conversion::PetsciiToScreen, 0xA0, "$60"},
  {Conversion::PetsciiToScreen, 0xBF, "$7F"},
  {Conversion::PetsciiToScreen, 0xC0, "$40"},
  {Conversion::PetsciiToScreen, 0xC1, "$41"},
  {Conversion::PetsciiToScreen, 0xDF, "$5F"},
  {Conversion::PetsciiToScreen, 0xE0, "$60"},
  {Conversion::PetsciiToScreen, 0xFE, "$7E"},
  {Conversion::PetsciiToScreen, 0xFF, "$5E"},

  {Conversion::ScreenText,      'a',  "$01"},
  {Conversion::ScreenText,      'A',  "$41"},
  {Conversion::ScreenText,      '@',  "$00"},
  {Conversion::ScreenText,      '\t', "$00"},   // no screen code gives 0
  {Conversion::ScreenText,      ' ',  "$20"},
  {Conversion::ScreenTextAscii, 'a',  "$01"},   // screen ignores petsciiConversion
  {Conversion::ScreenTextAscii, 'A',  "$41"},
  {Conversion::PetsciiText,     'a',  "$41"},
  {Conversion::PetsciiText,     'A',  "$C1"},
  {Conversion::AsciiText,       'a',  "$61"},   // conversion off: the byte as written
  {Conversion::AsciiText,       'A',  "$41"},
  {Conversion::AsciiText,       10,   "$0A"},

  {Conversion::PetsciiToAscii,  0xC1, "$41"},   // 'A'
  {Conversion::PetsciiToAscii,  0xDA, "$5A"},   // 'Z'
  {Conversion::PetsciiToAscii,  0x41, "$61"},   // 'a'
  {Conversion::PetsciiToAscii,  0x5A, "$7A"},   // 'z'
  {Conversion::PetsciiToAscii,  0x61, "$41"},   // 'A'
  {Conversion::PetsciiToAscii,  0x7A, "$5A"},   // 'Z'
  {Conversion::PetsciiToAscii,  0x0D, "$0A"},   // return: line feed
  {Conversion::PetsciiToAscii,  0x8D, "$0A"},   // shifted return: line feed
  {Conversion::PetsciiToAscii,  0x14, "$08"},   // delete: backspace
  {Conversion::PetsciiToAscii,  0xA0, "$20"},   // shifted spaces: a space
  {Conversion::PetsciiToAscii,  0xE0, "$20"},
  {Conversion::PetsciiToAscii,  0xA4, "$5F"},   // '_'
  {Conversion::PetsciiToAscii,  0x05, "$05"},   // other control codes are unchanged
  {Conversion::PetsciiToAscii,  0x94, "$94"},
  {Conversion::PetsciiToAscii,  0x40, "$40"},
  {Conversion::PetsciiToAscii,  0x5B, "$5B"},
  {Conversion::PetsciiToAscii,  0x5C, "$5C"},
  {Conversion::PetsciiToAscii,  0xFF, "$FF"},
};
// clang-format on

TEST(Petscii, ConvertsEachEdgeCase) {
  for (const ConversionCase& c : kConversionCases) {
    SCOPED_TRACE(std::string(conversionName(c.conversion)) + " of " + hexByte(c.input));
    EXPECT_EQ(convert(c.conversion, c.input), c.expected);
  }
}

TEST(Petscii, RoundTripsEverySourceCharacterBelow80) {
  for (unsigned ch = 0; ch < 0x80; ++ch) {
    SCOPED_TRACE(hexByte(static_cast<uint8_t>(ch)));
    // Carriage return and 20 share their PETSCII codes with line feed and backspace.
    const unsigned expected = ch == 13 ? 10 : ch == 20 ? 8 : ch;
    EXPECT_EQ(hexByte(petsciiToAscii(asciiToPetscii(static_cast<uint8_t>(ch)))),
              hexByte(static_cast<uint8_t>(expected)));
  }
}

// The range table and its bitwise restatement must agree for every code.
TEST(Petscii, ScreenCodesFollowTheBitwiseRule) {
  for (unsigned p = 0; p < 0x100; ++p) {
    SCOPED_TRACE(hexByte(static_cast<uint8_t>(p)));
    std::string expected;
    if ((p & 0x60) == 0) {
      expected = "none";
    } else if (p <= 0x5F) {
      expected = hexByte(static_cast<uint8_t>(p & 0x3F));
    } else if (p <= 0x7F) {
      expected = hexByte(static_cast<uint8_t>(p & 0x5F));
    } else if (p == 0xFF) {
      expected = hexByte(0x5E);
    } else {
      expected = hexByte(static_cast<uint8_t>((p & 0x3F) | 0x40));
    }
    EXPECT_EQ(convert(Conversion::PetsciiToScreen, static_cast<uint8_t>(p)), expected);
  }
}

TEST(Petscii, TextToAsciiConvertsEveryByteInOrder) {
  using namespace std::string_view_literals;
  EXPECT_EQ(petsciiTextToAscii(""), "");
  EXPECT_EQ(petsciiTextToAscii("\xC1\x41\x0D\x00\x14\xA4"sv), "Aa\n\0\b_"sv);  // same length
}

}  // namespace
}  // namespace zendra
