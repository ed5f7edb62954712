// Control-code names: the nine built-in tables of brace names, written once as data, and the
// lookup of a name (single characters, numbers, then the tables in search order). The tables are
// indexed at compile time by a hash of the case-folded name, so a lookup neither scans nor
// allocates.
#include "text/control_codes.h"

#include <array>
#include <iterator>

#include "text/petscii.h"

namespace zendra {

namespace {

// clang-format off
constexpr ControlCodeEntry kProper[] = {
  // $00-$1F: control codes ($1B has no row here; table 2 names it)
  {"null",          0x00},
  {"ct a",          0x01},
  {"ct b",          0x02},
  {"stop",          0x03},
  {"ct d",          0x04},
  {"white",         0x05},
  {"ct f",          0x06},
  {"ct g",          0x07},
  {"disable sh cm", 0x08},
  {"enable sh cm",  0x09},
  {"ct j",          0x0A},
  {"ct k",          0x0B},
  {"ct l",          0x0C},
  {"return",        0x0D},
  {"lower case",    0x0E},
  {"ct o",          0x0F},
  {"ct p",          0x10},
  {"down",          0x11},
  {"rvs on",        0x12},
  {"home",          0x13},
  {"del",           0x14},
  {"ct u",          0x15},
  {"ct v",          0x16},
  {"ct w",          0x17},
  {"ct x",          0x18},
  {"ct y",          0x19},
  {"ct z",          0x1A},
  {"red",           0x1C},
  {"right",         0x1D},
  {"green",         0x1E},
  {"blue",          0x1F},
  // $20-$40: the single character with that code (step 2 takes such names first)
  {" ",             0x20},
  {"!",             0x21},
  {"\"",            0x22},
  {"#",             0x23},
  {"$",             0x24},
  {"%",             0x25},
  {"&",             0x26},
  {"'",             0x27},
  {"(",             0x28},
  {")",             0x29},
  {"*",             0x2A},
  {"+",             0x2B},
  {",",             0x2C},
  {"-",             0x2D},
  {".",             0x2E},
  {"/",             0x2F},
  {"0",             0x30},
  {"1",             0x31},
  {"2",             0x32},
  {"3",             0x33},
  {"4",             0x34},
  {"5",             0x35},
  {"6",             0x36},
  {"7",             0x37},
  {"8",             0x38},
  {"9",             0x39},
  {":",             0x3A},
  {";",             0x3B},
  {"<",             0x3C},
  {"=",             0x3D},
  {">",             0x3E},
  {"?",             0x3F},
  {"@",             0x40},
  // $41-$5A: the unshifted letters, written in lower case
  {"a",             0x41},
  {"b",             0x42},
  {"c",             0x43},
  {"d",             0x44},
  {"e",             0x45},
  {"f",             0x46},
  {"g",             0x47},
  {"h",             0x48},
  {"i",             0x49},
  {"j",             0x4A},
  {"k",             0x4B},
  {"l",             0x4C},
  {"m",             0x4D},
  {"n",             0x4E},
  {"o",             0x4F},
  {"p",             0x50},
  {"q",             0x51},
  {"r",             0x52},
  {"s",             0x53},
  {"t",             0x54},
  {"u",             0x55},
  {"v",             0x56},
  {"w",             0x57},
  {"x",             0x58},
  {"y",             0x59},
  {"z",             0x5A},
  // $5B-$5F
  {"[",             0x5B},
  {"pound",         0x5C},
  {"]",             0x5D},
  {"arrow up",      0x5E},
  {"arrow left",    0x5F},
  // $60-$80: the code as three decimal digits (step 4 takes such names first)
  {"096",           0x60},
  {"097",           0x61},
  {"098",           0x62},
  {"099",           0x63},
  {"100",           0x64},
  {"101",           0x65},
  {"102",           0x66},
  {"103",           0x67},
  {"104",           0x68},
  {"105",           0x69},
  {"106",           0x6A},
  {"107",           0x6B},
  {"108",           0x6C},
  {"109",           0x6D},
  {"110",           0x6E},
  {"111",           0x6F},
  {"112",           0x70},
  {"113",           0x71},
  {"114",           0x72},
  {"115",           0x73},
  {"116",           0x74},
  {"117",           0x75},
  {"118",           0x76},
  {"119",           0x77},
  {"120",           0x78},
  {"121",           0x79},
  {"122",           0x7A},
  {"123",           0x7B},
  {"124",           0x7C},
  {"125",           0x7D},
  {"126",           0x7E},
  {"127",           0x7F},
  {"128",           0x80},
  // $81-$9F: control codes and colours
  {"orange",        0x81},
  {"130",           0x82},
  {"run",           0x83},
  {"132",           0x84},
  {"f1",            0x85},
  {"f3",            0x86},
  {"f5",            0x87},
  {"f7",            0x88},
  {"f2",            0x89},
  {"f4",            0x8A},
  {"f6",            0x8B},
  {"f8",            0x8C},
  {"sh return",     0x8D},
  {"upper case",    0x8E},
  {"143",           0x8F},
  {"black",         0x90},
  {"up",            0x91},
  {"rvs off",       0x92},
  {"clr",           0x93},
  {"inst",          0x94},
  {"brown",         0x95},
  {"light red",     0x96},
  {"dark gray",     0x97},
  {"medium gray",   0x98},
  {"light green",   0x99},
  {"light blue",    0x9A},
  {"light gray",    0x9B},
  {"purple",        0x9C},
  {"left",          0x9D},
  {"yellow",        0x9E},
  {"cyan",          0x9F},
  // $A0-$BF: shifted space and Commodore-key graphics
  {"sh space",      0xA0},
  {"cm k",          0xA1},
  {"cm i",          0xA2},
  {"cm t",          0xA3},
  {"cm @",          0xA4},
  {"cm g",          0xA5},
  {"cm +",          0xA6},
  {"cm m",          0xA7},
  {"cm pound",      0xA8},
  {"sh pound",      0xA9},
  {"cm n",          0xAA},
  {"cm q",          0xAB},
  {"cm d",          0xAC},
  {"cm z",          0xAD},
  {"cm s",          0xAE},
  {"cm p",          0xAF},
  {"cm a",          0xB0},
  {"cm e",          0xB1},
  {"cm r",          0xB2},
  {"cm w",          0xB3},
  {"cm h",          0xB4},
  {"cm j",          0xB5},
  {"cm l",          0xB6},
  {"cm y",          0xB7},
  {"cm u",          0xB8},
  {"cm o",          0xB9},
  {"sh @",          0xBA},
  {"cm f",          0xBB},
  {"cm c",          0xBC},
  {"cm x",          0xBD},
  {"cm v",          0xBE},
  {"cm b",          0xBF},
  // $C0-$DF: shifted graphics; the shifted letters, written in upper case
  {"sh asterisk",   0xC0},
  {"A",             0xC1},
  {"B",             0xC2},
  {"C",             0xC3},
  {"D",             0xC4},
  {"E",             0xC5},
  {"F",             0xC6},
  {"G",             0xC7},
  {"H",             0xC8},
  {"I",             0xC9},
  {"J",             0xCA},
  {"K",             0xCB},
  {"L",             0xCC},
  {"M",             0xCD},
  {"N",             0xCE},
  {"O",             0xCF},
  {"P",             0xD0},
  {"Q",             0xD1},
  {"R",             0xD2},
  {"S",             0xD3},
  {"T",             0xD4},
  {"U",             0xD5},
  {"V",             0xD6},
  {"W",             0xD7},
  {"X",             0xD8},
  {"Y",             0xD9},
  {"Z",             0xDA},
  {"sh +",          0xDB},
  {"cm -",          0xDC},
  {"sh -",          0xDD},
  {"sh arrow up",   0xDE},
  {"cm asterisk",   0xDF},
  // $E0-$FE: the code as three decimal digits
  {"224",           0xE0},
  {"225",           0xE1},
  {"226",           0xE2},
  {"227",           0xE3},
  {"228",           0xE4},
  {"229",           0xE5},
  {"230",           0xE6},
  {"231",           0xE7},
  {"232",           0xE8},
  {"233",           0xE9},
  {"234",           0xEA},
  {"235",           0xEB},
  {"236",           0xEC},
  {"237",           0xED},
  {"238",           0xEE},
  {"239",           0xEF},
  {"240",           0xF0},
  {"241",           0xF1},
  {"242",           0xF2},
  {"243",           0xF3},
  {"244",           0xF4},
  {"245",           0xF5},
  {"246",           0xF6},
  {"247",           0xF7},
  {"248",           0xF8},
  {"249",           0xF9},
  {"250",           0xFA},
  {"251",           0xFB},
  {"252",           0xFC},
  {"253",           0xFD},
  {"254",           0xFE},
  // $FF
  {"pi",            0xFF},
};

constexpr ControlCodeEntry kProperC128[] = {
  {"bell",              0x07}, {"ct h",              0x08},
  {"tab",               0x09}, {"line feed",         0x0A},
  {"enable sh cm 128",  0x0B}, {"disable sh cm 128", 0x0C},
  {"tab toggle",        0x18}, {"esc",               0x1B},
};

constexpr ControlCodeEntry kProperC128Col80[] = {
  {"underline",     0x02}, {"flash on",      0x0F},
  {"underline off", 0x82}, {"flash off",     0x8F},
};

// The colour number in two hexadecimal digits after "c:" gives the PETSCII colour code.
constexpr ControlCodeEntry kProperCoderColors[] = {
  {"c:01", 0x05}, {"c:02", 0x1C}, {"c:05", 0x1E}, {"c:06", 0x1F},
  {"c:08", 0x81}, {"c:00", 0x90}, {"c:09", 0x95}, {"c:0a", 0x96},
  {"c:0b", 0x97}, {"c:0c", 0x98}, {"c:0d", 0x99}, {"c:0e", 0x9A},
  {"c:0f", 0x9B}, {"c:04", 0x9C}, {"c:07", 0x9E}, {"c:03", 0x9F},
};

constexpr ControlCodeEntry kProperAltColors[] = {
  {"wht",         0x05}, {"red",         0x1C}, {"grn",         0x1E}, {"blu",         0x1F},
  {"orng",        0x81}, {"blk",         0x90}, {"brn",         0x95}, {"l red",       0x96},
  {"d gry",       0x97}, {"m gry",       0x98}, {"l grn",       0x99}, {"l blu",       0x9A},
  {"l gry",       0x9B}, {"pur",         0x9C}, {"yel",         0x9E}, {"cyn",         0x9F},
  {"d gray",      0x97}, {"m gray",      0x98}, {"l green",     0x99}, {"l blue",      0x9A},
  {"l gray",      0x9B}, {"d grey",      0x97}, {"m grey",      0x98}, {"l grey",      0x9B},
  {"lt red",      0x96}, {"dk gry",      0x97}, {"md gry",      0x98}, {"lt grn",      0x99},
  {"lt blu",      0x9A}, {"lt gry",      0x9B}, {"dk gray",     0x97}, {"md gray",     0x98},
  {"lt green",    0x99}, {"lt blue",     0x9A}, {"lt gray",     0x9B}, {"dk grey",     0x97},
  {"md grey",     0x98}, {"lt grey",     0x9B}, {"dark grey",   0x97}, {"medium grey", 0x98},
  {"light grey",  0x9B},
};

constexpr ControlCodeEntry kProperC128Col80Colors[] = {
  {"dark red",     0x1C}, {"dark green",   0x1E},
  {"dark blue",    0x1F}, {"dark purple",  0x81},
  {"dark yellow",  0x95}, {"dark cyan",    0x97},
  {"light purple", 0x9C}, {"light yellow", 0x9E},
  {"light cyan",   0x9F},
};

constexpr ControlCodeEntry kBastext[] = {
  {"ct c",        0x03}, {"white",       0x05}, {"ct h",        0x08}, {"ct i",        0x09},
  {"ct n",        0x0E}, {"reverse on",  0x12}, {"delete",      0x14}, {"red",         0x1C},
  {"green",       0x1E}, {"blue",        0x1F}, {"orange",      0x81}, {"black",       0x90},
  {"reverse off", 0x92}, {"clear",       0x93}, {"brown",       0x95}, {"pink",        0x96},
  {"dark gray",   0x97}, {"gray",        0x98}, {"light green", 0x99}, {"light blue",  0x9A},
  {"light gray",  0x9B}, {"purple",      0x9C}, {"yellow",      0x9E}, {"cyan",        0x9F},
};

constexpr ControlCodeEntry kTok64[] = {
  {"white",       0x05}, {"reverse on",  0x12}, {"red",         0x1C}, {"green",       0x1E},
  {"blue",        0x1F}, {"space",       0x20}, {"orange",      0x81}, {"black",       0x90},
  {"reverse off", 0x92}, {"clear",       0x93}, {"brown",       0x95}, {"l red",       0x96},
  {"dark gray",   0x97}, {"gray",        0x98}, {"light green", 0x99}, {"light blue",  0x9A},
  {"light gray",  0x9B}, {"purple",      0x9C}, {"yellow",      0x9E}, {"cyan",        0x9F},
};

// Some names occur twice, with the same code.
constexpr ControlCodeEntry kPetcat[] = {
  {"null",           0x00}, {"ctrl-a",         0x01}, {"ctrl-b",         0x02}, {"stop",           0x03},
  {"ctrl-d",         0x04}, {"wht",            0x05}, {"ctrl-f",         0x06}, {"ctrl-g",         0x07},
  {"dish",           0x08}, {"ensh",           0x09}, {"ctrl-k",         0x0B}, {"ctrl-l",         0x0C},
  {"swlc",           0x0E}, {"ctrl-o",         0x0F}, {"ctrl-p",         0x10}, {"rvon",           0x12},
  {"ctrl-u",         0x15}, {"ctrl-v",         0x16}, {"ctrl-w",         0x17}, {"ctrl-x",         0x18},
  {"ctrl-y",         0x19}, {"ctrl-z",         0x1A}, {"esc",            0x1B}, {"rght",           0x1D},
  {"f1",             0x85}, {"f3",             0x86}, {"f5",             0x87}, {"f7",             0x88},
  {"f2",             0x89}, {"f4",             0x8A}, {"f6",             0x8B}, {"f8",             0x8C},
  {"sret",           0x8D}, {"swuc",           0x8E}, {"rvof",           0x92}, {"lred",           0x96},
  {"gry1",           0x97}, {"gry2",           0x98}, {"lgrn",           0x99}, {"lblu",           0x9A},
  {"gry3",           0x9B}, {"sh space",       0xA0}, {"cm k",           0xA1}, {"cm i",           0xA2},
  {"cm t",           0xA3}, {"cm @",           0xA4}, {"cm g",           0xA5}, {"cm +",           0xA6},
  {"cm m",           0xA7}, {"cm pound",       0xA8}, {"sh pound",       0xA9}, {"cm n",           0xAA},
  {"cm q",           0xAB}, {"cm d",           0xAC}, {"cm z",           0xAD}, {"cm s",           0xAE},
  {"cm p",           0xAF}, {"up/lo lock on",  0x08}, {"up/lo lock off", 0x09}, {"lower case",     0x0E},
  {"rvs on",         0x12}, {"delete",         0x14}, {"esc",            0x1B}, {"rght",           0x1D},
  {"orange",         0x81}, {"shift return",   0x8D}, {"upper case",     0x8E}, {"blk",            0x90},
  {"up",             0x91}, {"rvs off",        0x92}, {"clear",          0x93}, {"insert",         0x94},
  {"brown",          0x95}, {"lt red",         0x96}, {"grey1",          0x97}, {"grey2",          0x98},
  {"lt green",       0x99}, {"lt blue",        0x9A}, {"grey3",          0x9B}, {"reverse on",     0x12},
  {"space",          0x20}, {"shift-space",    0xA0}, {"cbm-k",          0xA1}, {"cbm-i",          0xA2},
  {"cbm-t",          0xA3}, {"cbm-@",          0xA4}, {"cbm-g",          0xA5}, {"cbm-+",          0xA6},
  {"cbm-m",          0xA7}, {"cbm-pound",      0xA8}, {"shift-pound",    0xA9}, {"cbm-n",          0xAA},
  {"cbm-q",          0xAB}, {"cbm-d",          0xAC}, {"cbm-z",          0xAD}, {"cbm-s",          0xAE},
  {"cbm-p",          0xAF}, {"cbm-a",          0xB0}, {"cbm-e",          0xB1}, {"cbm-r",          0xB2},
  {"cbm-w",          0xB3}, {"cbm-h",          0xB4}, {"cbm-j",          0xB5}, {"cbm-l",          0xB6},
  {"cbm-y",          0xB7}, {"cbm-u",          0xB8}, {"cbm-o",          0xB9}, {"shift-@",        0xBA},
  {"cbm-f",          0xBB}, {"cbm-c",          0xBC}, {"cbm-x",          0xBD}, {"cbm-v",          0xBE},
  {"cbm-b",          0xBF}, {"shift-*",        0xC0}, {"shift-a",        0xC1}, {"shift-b",        0xC2},
  {"shift-c",        0xC3}, {"shift-d",        0xC4}, {"shift-e",        0xC5}, {"shift-f",        0xC6},
  {"shift-g",        0xC7}, {"shift-h",        0xC8}, {"shift-i",        0xC9}, {"shift-j",        0xCA},
  {"shift-k",        0xCB}, {"shift-l",        0xCC}, {"shift-m",        0xCD}, {"shift-n",        0xCE},
  {"shift-o",        0xCF}, {"shift-p",        0xD0}, {"shift-q",        0xD1}, {"shift-r",        0xD2},
  {"shift-s",        0xD3}, {"shift-t",        0xD4}, {"shift-u",        0xD5}, {"shift-v",        0xD6},
  {"shift-w",        0xD7}, {"shift-x",        0xD8}, {"shift-y",        0xD9}, {"shift-z",        0xDA},
  {"shift-+",        0xDB}, {"cbm--",          0xDC}, {"shift--",        0xDD}, {"shift-^",        0xDE},
  {"cbm-*",          0xDF},
};

constexpr ControlCodeTable kTables[] = {
  {"Proper",                         kProper},
  {"Proper (c128)",                  kProperC128},
  {"Proper (c128/80 Column)",        kProperC128Col80},
  {"Proper (Coder Colors)",          kProperCoderColors},
  {"Proper (Alt Colors)",            kProperAltColors},
  {"Proper (c128/80 Column Colors)", kProperC128Col80Colors},
  {"Bastext (v1.06)",                kBastext},
  {"Tok64 (v1.4)",                   kTok64},
  {"petcat (VICE v2.4)",             kPetcat},
};
// clang-format on

static_assert(std::size(kProper) == 255, "one row per code $00-$FF except $1B");
static_assert(std::size(kProperC128) == 8);
static_assert(std::size(kProperC128Col80) == 4);
static_assert(std::size(kProperCoderColors) == 16);
static_assert(std::size(kProperAltColors) == 41);
static_assert(std::size(kProperC128Col80Colors) == 9);
static_assert(std::size(kBastext) == 24);
static_assert(std::size(kTok64) == 20);
static_assert(std::size(kPetcat) == 145);
static_assert(std::size(kTables) == 9);

constexpr bool rowsAscendWithoutEsc(std::span<const ControlCodeEntry> rows) {
  unsigned expected = 0x00;
  for (const ControlCodeEntry& row : rows) {
    if (expected == 0x1B) ++expected;
    if (row.code != expected++) return false;
  }
  return expected == 0x100;
}
static_assert(rowsAscendWithoutEsc(kProper), "table 1 follows the codes $00-$FF, skipping $1B");

// Names match ignoring the case of letters only: every other byte, including those above $7F
// and the punctuation that differs from a letter by $20 ('@' and '`', '[' and '{'), is exact.
constexpr uint8_t foldLetter(char c) {
  const auto u = static_cast<uint8_t>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<uint8_t>(u + 0x20) : u;
}

constexpr bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldLetter(a[i]) != foldLetter(b[i])) return false;
  return true;
}

// FNV-1a over the folded name.
constexpr uint32_t nameHash(std::string_view name) {
  uint32_t hash = 0x811C9DC5;
  for (char c : name) hash = (hash ^ foldLetter(c)) * 0x01000193;
  return hash;
}

// Open addressing with linear probing; a power of two at least twice the rows, so probes stay
// short and every probe sequence reaches an empty slot.
constexpr size_t kIndexSlots = 2048;

constexpr size_t countRows() {
  size_t rows = 0;
  for (const ControlCodeTable& table : kTables) rows += table.rows.size();
  return rows;
}
static_assert(countRows() * 2 <= kIndexSlots, "the name index stays at most half full");

struct NameIndex {
  std::array<const ControlCodeEntry*, kIndexSlots> slots{};  // nullptr: empty
};

// Walking the tables in search order and keeping only the first row of each name makes a hit in
// the index the first match of the search.
constexpr NameIndex buildNameIndex() {
  NameIndex index;
  for (const ControlCodeTable& table : kTables) {
    for (const ControlCodeEntry& row : table.rows) {
      size_t slot = nameHash(row.name) & (kIndexSlots - 1);
      while (index.slots[slot] != nullptr && !sameName(index.slots[slot]->name, row.name))
        slot = (slot + 1) & (kIndexSlots - 1);
      if (index.slots[slot] == nullptr) index.slots[slot] = &row;
    }
  }
  return index;
}

constexpr NameIndex kNameIndex = buildNameIndex();

const ControlCodeEntry* findRow(std::string_view name) {
  size_t slot = nameHash(name) & (kIndexSlots - 1);
  while (const ControlCodeEntry* row = kNameIndex.slots[slot]) {
    if (sameName(row->name, name)) return row;
    slot = (slot + 1) & (kIndexSlots - 1);
  }
  return nullptr;
}

// Blank as in the line parser: white space other than newline and carriage return.
constexpr bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

constexpr int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads text as an unsigned hexadecimal number the way C's strtoul does with 32 bits: leading
// blanks, an optional sign and an optional 0x prefix are skipped, digits run to the first
// non-digit, and no digits give 0. A magnitude too large for 32 bits gives $FFFFFFFF whatever the
// sign; otherwise a minus sign negates modulo 2^32.
constexpr uint32_t readHex(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
  uint64_t value = 0;
  for (; i < text.size() && hexDigitValue(text[i]) >= 0; ++i) {
    value = value * 16 + static_cast<uint64_t>(hexDigitValue(text[i]));
    if (value > 0xFFFFFFFF) return 0xFFFFFFFF;
  }
  const auto low = static_cast<uint32_t>(value);
  return negative ? 0u - low : low;
}

constexpr bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::span<const ControlCodeTable> controlCodeTables() { return kTables; }

ControlCodeResult controlCodeValue(std::string_view name) {
  if (name.empty()) return {false, 0};
  if (name.size() == 1) return {true, asciiToPetscii(static_cast<uint8_t>(name[0]))};
  if (name.size() >= 3 && name[0] == '$')
    return {true, static_cast<uint8_t>(readHex(name.substr(1)) & 0xFF)};
  if (name.size() == 3 && isDecimalDigit(name[0]) && isDecimalDigit(name[1]) &&
      isDecimalDigit(name[2])) {
    const int value = (name[0] - '0') * 100 + (name[1] - '0') * 10 + (name[2] - '0');
    return {true, static_cast<uint8_t>(value & 0xFF)};
  }
  if (const ControlCodeEntry* row = findRow(name)) return {true, row->code};
  return {false, 0};
}

// Fails (ok stays false) at a '{' inside a name, a '}' without an open brace or after an empty
// name, and a name that is not found; the bytes made before that point are returned with it.
EncodedText encodeControlText(std::string_view text) {
  EncodedText out{false, {}};
  out.bytes.reserve(text.size());
  bool inBrace = false;
  size_t nameStart = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '{') {
      if (inBrace) return out;
      inBrace = true;
      nameStart = i + 1;
    } else if (ch == '}') {
      if (!inBrace || i == nameStart) return out;
      const ControlCodeResult value = controlCodeValue(text.substr(nameStart, i - nameStart));
      if (!value.found) return out;
      out.bytes.push_back(static_cast<char>(value.code));
      inBrace = false;
    } else if (!inBrace) {
      out.bytes.push_back(static_cast<char>(asciiToPetscii(static_cast<uint8_t>(ch))));
    }
  }
  out.ok = true;  // a brace still open at the end is no error: the name collected is dropped
  return out;
}

}  // namespace zendra
