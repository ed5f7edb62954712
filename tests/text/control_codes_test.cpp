// Tests of the control-code names: the nine tables against their lists, the order of the tests in
// controlCodeValue with its number forms and case rule, and encodeControlText with each failure.
#include "text/control_codes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace zendra {
namespace {

std::string hexBytes(std::string_view bytes) {
  std::string text;
  for (char b : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", static_cast<uint8_t>(b));
    if (!text.empty()) text += ' ';
    text += hex;
  }
  return text;
}

// "$XX", or "not found" (with the code when it is not the promised 0).
std::string valueOf(std::string_view name) {
  const ControlCodeResult result = controlCodeValue(name);
  char text[24];
  if (result.found) {
    std::snprintf(text, sizeof text, "$%02X", result.code);
  } else if (result.code == 0) {
    std::snprintf(text, sizeof text, "not found");
  } else {
    std::snprintf(text, sizeof text, "not found, code $%02X", result.code);
  }
  return text;
}

std::string upperCase(std::string_view name) {
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  return upper;
}

struct TableSize {
  std::string_view label;
  size_t rows;
};
// clang-format off
constexpr TableSize kTableSizes[] = {
  {"Proper",                         255},
  {"Proper (c128)",                  8},
  {"Proper (c128/80 Column)",        4},
  {"Proper (Coder Colors)",          16},
  {"Proper (Alt Colors)",            41},
  {"Proper (c128/80 Column Colors)", 9},
  {"Bastext (v1.06)",                24},
  {"Tok64 (v1.4)",                   20},
  {"petcat (VICE v2.4)",             145},
};
// clang-format on

TEST(ControlCodes, TablesComeInSearchOrderWithTheirSizes) {
  const auto tables = controlCodeTables();
  ASSERT_EQ(tables.size(), std::size(kTableSizes));
  for (size_t t = 0; t < tables.size(); ++t) {
    SCOPED_TRACE(kTableSizes[t].label);
    EXPECT_EQ(tables[t].label, kTableSizes[t].label);
    EXPECT_EQ(tables[t].rows.size(), kTableSizes[t].rows);
  }
}

// Rows picked from each list: the first, the last and some between (table, row, name, code).
struct SampleRow {
  size_t table;
  size_t row;
  std::string_view name;
  uint8_t code;
};
// clang-format off
constexpr SampleRow kSampleRows[] = {
  {0, 0,   "null",              0x00},
  {0, 26,  "ct z",              0x1A},
  {0, 27,  "red",               0x1C},   // after the gap at $1B
  {0, 31,  " ",                 0x20},
  {0, 33,  "\"",                0x22},
  {0, 63,  "@",                 0x40},
  {0, 64,  "a",                 0x41},
  {0, 91,  "pound",             0x5C},
  {0, 94,  "arrow left",        0x5F},
  {0, 95,  "096",               0x60},
  {0, 127, "128",               0x80},
  {0, 128, "orange",            0x81},
  {0, 146, "clr",               0x93},
  {0, 158, "cyan",              0x9F},
  {0, 159, "sh space",          0xA0},
  {0, 190, "cm b",              0xBF},
  {0, 191, "sh asterisk",       0xC0},
  {0, 192, "A",                 0xC1},
  {0, 217, "Z",                 0xDA},
  {0, 222, "cm asterisk",       0xDF},
  {0, 223, "224",               0xE0},
  {0, 253, "254",               0xFE},
  {0, 254, "pi",                0xFF},
  {1, 0,   "bell",              0x07},
  {1, 5,   "disable sh cm 128", 0x0C},
  {1, 7,   "esc",               0x1B},
  {2, 0,   "underline",         0x02},
  {2, 3,   "flash off",         0x8F},
  {3, 0,   "c:01",              0x05},
  {3, 7,   "c:0a",              0x96},
  {3, 15,  "c:03",              0x9F},
  {4, 0,   "wht",               0x05},
  {4, 16,  "d gray",            0x97},
  {4, 40,  "light grey",        0x9B},
  {5, 0,   "dark red",          0x1C},
  {5, 8,   "light cyan",        0x9F},
  {6, 0,   "ct c",              0x03},
  {6, 15,  "pink",              0x96},
  {6, 23,  "cyan",              0x9F},
  {7, 0,   "white",             0x05},
  {7, 5,   "space",             0x20},
  {7, 19,  "cyan",              0x9F},
  {8, 0,   "null",              0x00},
  {8, 22,  "esc",               0x1B},
  {8, 57,  "up/lo lock on",     0x08},
  {8, 62,  "esc",               0x1B},   // a name that occurs twice, with the same code
  {8, 80,  "space",             0x20},
  {8, 144, "cbm-*",             0xDF},
};
// clang-format on

TEST(ControlCodes, TablesHoldTheListedRows) {
  const auto tables = controlCodeTables();
  for (const SampleRow& s : kSampleRows) {
    SCOPED_TRACE("table " + std::to_string(s.table + 1) + " row " + std::to_string(s.row));
    ASSERT_LT(s.table, tables.size());
    ASSERT_LT(s.row, tables[s.table].rows.size());
    EXPECT_EQ(tables[s.table].rows[s.row].name, s.name);
    EXPECT_EQ(tables[s.table].rows[s.row].code, s.code);
  }
}

// Table 1 has one row per code but $1B; its one-character and three-digit rows say what steps 2
// and 4 of the lookup compute.
TEST(ControlCodes, ProperTableCoversEveryCodeButEsc) {
  const auto rows = controlCodeTables()[0].rows;
  unsigned expected = 0;
  for (const ControlCodeEntry& row : rows) {
    if (expected == 0x1B) ++expected;
    SCOPED_TRACE(std::string(row.name));
    EXPECT_EQ(row.code, expected);
    if (expected >= 0x20 && expected <= 0x40) {
      EXPECT_EQ(row.name, std::string(1, static_cast<char>(expected)));
    }
    if ((expected >= 0x60 && expected <= 0x80) || (expected >= 0xE0 && expected <= 0xFE)) {
      char digits[4];
      std::snprintf(digits, sizeof digits, "%03u", expected);
      EXPECT_EQ(row.name, digits);
    }
    ++expected;
  }
  EXPECT_EQ(expected, 0x100u);
}

// No name has different codes in two tables, so every row's name must look up its own code,
// whatever table comes first, and in any letter case.
TEST(ControlCodes, EveryRowNameGivesItsCode) {
  for (const ControlCodeTable& table : controlCodeTables()) {
    for (const ControlCodeEntry& row : table.rows) {
      SCOPED_TRACE(std::string(table.label) + ": " + std::string(row.name));
      const ControlCodeResult result = controlCodeValue(row.name);
      EXPECT_TRUE(result.found);
      EXPECT_EQ(result.code, row.code);
      if (row.name.size() > 1) {
        EXPECT_EQ(valueOf(upperCase(row.name)), valueOf(row.name));
      }
    }
  }
}

struct NameCase {
  std::string_view name;
  std::string_view expected;
};
// clang-format off
constexpr NameCase kNameCases[] = {
  {"white",       "$05"},
  {"WHITE",       "$05"},
  {"wht",         "$05"},        // table 5
  {"c:01",        "$05"},        // table 4
  {"$05",         "$05"},
  {"005",         "$05"},
  {"5",           "$35"},        // one character: the digit, not the number
  {"a",           "$41"},
  {"A",           "$C1"},
  {"clr",         "$93"},        // table 1
  {"clear",       "$93"},        // table 7
  {"esc",         "$1B"},        // table 2; table 1 has no $1B row
  {"ESC",         "$1B"},
  {"$0d",         "$0D"},
  {"$1ff",        "$FF"},        // the low 8 bits
  {"$zz",         "$00"},        // no digits: 0, and found
  {"$5",          "not found"},  // two characters: not a number
  {"13",          "not found"},  // one or two digits: not a number
  {"013",         "$0D"},
  {"255",         "$FF"},
  {"256",         "$00"},
  {"999",         "$E7"},
  {"rvs on",      "$12"},
  {"RVS ON",      "$12"},
  {"Rvs On",      "$12"},
  {"rvs  on",     "not found"},  // blanks are compared exactly
  {"rvs on ",     "not found"},
  {"C:0A",        "$96"},
  {"CBM-@",       "$A4"},
  {"cm `",        "not found"},  // '`' is not '@' in another case
  {"[",           "$5B"},
  {"sh {",        "not found"},
  {"",            "not found"},
  {"nosuch",      "not found"},
  {"disable sh cm 128 and more", "not found"},
};
// clang-format on

TEST(ControlCodes, NamesGiveTheirCodes) {
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(std::string("{") + std::string(c.name) + "}");
    EXPECT_EQ(valueOf(c.name), c.expected);
  }
}

// After the "$" the number is read as strtoul reads base 16 within 32 bits.
// clang-format off
constexpr NameCase kHexNameCases[] = {
  {"$ 7f",        "$7F"},   // leading blanks
  {"$\t7f",       "$7F"},
  {"$+10",        "$10"},
  {"$-1",         "$FF"},   // minus negates modulo 2^32
  {"$-ff",        "$01"},
  {"$0x1f",       "$1F"},   // 0x prefix
  {"$0X1F",       "$1F"},
  {"$0x",         "$00"},
  {"$- 1",        "$00"},   // blanks only before the sign
  {"$12g4",       "$12"},   // digits up to the first non-digit
  {"$ffffffff",   "$FF"},
  {"$1234567ab",  "$FF"},   // too large for 32 bits: $FFFFFFFF
  {"$-123456789", "$FF"},   // whatever the sign
  {"$00000000012", "$12"},  // leading zeros do not overflow
};
// clang-format on

TEST(ControlCodes, HexNamesReadTheNumberAfterTheDollar) {
  for (const NameCase& c : kHexNameCases) {
    SCOPED_TRACE(std::string("{") + std::string(c.name) + "}");
    EXPECT_EQ(valueOf(c.name), c.expected);
  }
}

struct EncodeCase {
  std::string_view text;
  bool ok;
  std::string_view bytes;
};
// clang-format off
constexpr EncodeCase kEncodeCases[] = {
  {"a{red}B",         true,  "41 1c c2"},
  {"a{nosuch}b",      false, "41"},        // a name that is not found
  {"a{b",             true,  "41"},        // open at the end: the name is dropped
  {"a}b",             false, "41"},        // no open brace
  {"a{}b",            false, "41"},        // empty name
  {"a{re{d}b",        false, "41"},        // a brace inside a name
  {"",                true,  ""},
  {"{$93}{WHITE}x\n", true,  "93 05 58 0d"},
  {"{rvs on}{5}{013}", true, "12 35 0d"},
};
// clang-format on

TEST(ControlCodes, EncodesTextWithBraceNames) {
  for (const EncodeCase& c : kEncodeCases) {
    SCOPED_TRACE(c.text);
    const EncodedText encoded = encodeControlText(c.text);
    EXPECT_EQ(encoded.ok, c.ok);
    EXPECT_EQ(hexBytes(encoded.bytes), c.bytes);
  }
}

}  // namespace
}  // namespace zendra
