// Error table rows, in code order so a lookup is an index.
#include "driver/error_table.h"

#include <iterator>

namespace zendra {
namespace {

// clang-format off
constexpr ErrorRow kErrorTable[] = {
  {ErrorCode::Ok,                    "ok"},
  {ErrorCode::IllegalPseudoOp,       "illegal pseudo-op '.%s'"},
  {ErrorCode::IllegalParameter,      "illegal parameter %s"},
  {ErrorCode::IllegalMnemonic,       "illegal mnemonic"},
  {ErrorCode::MissingMnemonic,       "missing mnemonic"},
  {ErrorCode::MissingOperand,        "missing operand"},
  {ErrorCode::MissingLabel,          "missing label"},
  {ErrorCode::UnknownAddressingMode, "unknown addressing mode"},
  {ErrorCode::IllegalAddressingMode, "illegal addressing mode"},
  {ErrorCode::QuoteMissing,          "quote missing"},
  {ErrorCode::FilenameMissing,       "filename missing"},
  {ErrorCode::InvalidExpression,     "invalid expression"},
  {ErrorCode::BendWithoutBlock,      ".bend without .block"},
  {ErrorCode::EndifWithoutIf,        ".endif without .if"},
  {ErrorCode::EndmWithoutMacro,      ".endm without .macro"},
  {ErrorCode::TooManyGotos,          "too many .goto"},
  {ErrorCode::Unknown,               "unknown"},
  {ErrorCode::NestedMacro,           "nested macro"},
  {ErrorCode::FileDoesNotExist,      "file does not exist: '%s'"},
  {ErrorCode::UnableToOpen,          "unable to open file '%s'"},
  {ErrorCode::UnableToWrite,         "unable to write to file '%s'"},
  {ErrorCode::UnableToRead,          "unable to read file '%s'"},
  {ErrorCode::MissingExpression,     "missing expression"},
  {ErrorCode::BadLine,               "bad line"},
  {ErrorCode::OutputTooBig,          "output too big"},
  {ErrorCode::PhaseError,            "phase error"},
  {ErrorCode::DoubleDefined,         "double defined; %s"},
  {ErrorCode::TooManyIncludes,       "too many includes"},
  {ErrorCode::MissingBrace,          "missing brace"},
  {ErrorCode::IllegalOperator,       "illegal operator"},
  {ErrorCode::BranchOutOfRange,      "branch out of range"},
  {ErrorCode::MissingParenthesis,    "missing parenthesis"},
  {ErrorCode::UndefinedLabel,        "undefined label; '%s'"},
  {ErrorCode::MissingEndm,           "missing .endm"},
  {ErrorCode::IllegalQuantity,       "illegal quantity; {%s}"},
  {ErrorCode::MacroWithoutEndm,      ".macro without .endm"},
  {ErrorCode::BlockWithoutBend,      ".block without .bend"},
  {ErrorCode::IfWithoutEndif,        ".if without .endif"},
  {ErrorCode::OverlappedOutput,      "overlapped output {%s}"},
};
// clang-format on

constexpr bool rowsFollowCodeOrder() {
  for (size_t i = 0; i < std::size(kErrorTable); ++i)
    if (static_cast<size_t>(kErrorTable[i].code) != i) return false;
  return true;
}
static_assert(std::size(kErrorTable) == 39, "codes 0 to 38");
static_assert(rowsFollowCodeOrder(), "a new code cannot land without its row");

}  // namespace

std::string_view errorTemplate(ErrorCode code) {
  auto index = static_cast<size_t>(code);
  return index < std::size(kErrorTable) ? kErrorTable[index].message : std::string_view{};
}

}  // namespace zendra
