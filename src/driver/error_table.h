// Error table: every numbered message the assembler can print, and the lookup by code.
// Codes appear in messages ("error 5: ..."), so each enumerator carries its number.
#pragma once

#include <cstdint>
#include <string_view>

namespace zendra {

enum class ErrorCode : uint8_t {
  Ok = 0,
  IllegalPseudoOp = 1,
  IllegalParameter = 2,
  IllegalMnemonic = 3,
  MissingMnemonic = 4,
  MissingOperand = 5,
  MissingLabel = 6,
  UnknownAddressingMode = 7,
  IllegalAddressingMode = 8,
  QuoteMissing = 9,
  FilenameMissing = 10,
  InvalidExpression = 11,
  BendWithoutBlock = 12,
  EndifWithoutIf = 13,
  EndmWithoutMacro = 14,
  TooManyGotos = 15,
  Unknown = 16,
  NestedMacro = 17,
  FileDoesNotExist = 18,
  UnableToOpen = 19,
  UnableToWrite = 20,
  UnableToRead = 21,
  MissingExpression = 22,
  BadLine = 23,
  OutputTooBig = 24,
  PhaseError = 25,
  DoubleDefined = 26,
  TooManyIncludes = 27,
  MissingBrace = 28,
  IllegalOperator = 29,
  BranchOutOfRange = 30,
  MissingParenthesis = 31,
  UndefinedLabel = 32,
  MissingEndm = 33,
  IllegalQuantity = 34,
  MacroWithoutEndm = 35,
  BlockWithoutBend = 36,
  IfWithoutEndif = 37,
  OverlappedOutput = 38,
};

struct ErrorRow {
  ErrorCode code;
  std::string_view message;  // at most one "%s"
};

// The template of a code, or an empty view for a code that has no row.
std::string_view errorTemplate(ErrorCode code);

}  // namespace zendra
