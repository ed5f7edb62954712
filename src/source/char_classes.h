// Character classes of the line parser, one table lookup each, shared by the state machine and
// the reading of the common line shapes so that both see the same characters alike.
#pragma once

#include <array>
#include <cstdint>

namespace zendra {

namespace charclass {
constexpr uint8_t kBlank = 1, kLetter = 2, kDigit = 4, kUnderscore = 8;
// A carriage return counts as a blank, so CR LF sources parse like LF sources.
constexpr auto kClasses = [] {
  std::array<uint8_t, 256> classes{};
  for (unsigned char c : {' ', '\t', '\v', '\f', '\r'}) classes[c] = kBlank;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] = kLetter;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] = kLetter;
  for (int c = '0'; c <= '9'; ++c) classes[c] = kDigit;
  classes['_'] = kUnderscore;
  return classes;
}();
// Hexadecimal digit values, 0xFF for other characters.
constexpr auto kHexValues = [] {
  std::array<uint8_t, 256> values{};
  values.fill(0xFF);
  for (int c = '0'; c <= '9'; ++c) values[c] = static_cast<uint8_t>(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) values[c] = static_cast<uint8_t>(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) values[c] = static_cast<uint8_t>(c - 'A' + 10);
  return values;
}();
inline uint8_t of(char c) { return kClasses[static_cast<uint8_t>(c)]; }
}  // namespace charclass

inline bool isBlank(char c) { return charclass::of(c) == charclass::kBlank; }
inline bool isLetter(char c) { return charclass::of(c) == charclass::kLetter; }
inline bool isDigit(char c) { return charclass::of(c) == charclass::kDigit; }
inline bool isIdentChar(char c) {
  using namespace charclass;
  return (of(c) & (kLetter | kDigit | kUnderscore)) != 0;
}
// The value of a digit of the radix (2, 10 or 16), or -1.
inline int digitValue(char c, uint32_t radix) {
  uint8_t v = charclass::kHexValues[static_cast<uint8_t>(c)];
  return v < radix ? v : -1;
}

// The kind of a binary operator character (ExprKind 0 to 6), or -1.
inline int operatorKind(char c) {
  switch (c) {
    case '+': return 0;
    case '-': return 1;
    case '/': return 2;
    case '*': return 3;
    case '&': return 4;
    case '.': return 5;
    case ':': return 6;
    default: return -1;
  }
}

}  // namespace zendra
