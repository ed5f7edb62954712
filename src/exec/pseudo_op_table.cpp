// The 34 pseudo-op names in table order.
#include "exec/pseudo_op_table.h"

#include <iterator>

namespace zendra {
namespace {

using F = OperandForm;
using P = PseudoOp;
// clang-format off
constexpr PseudoOpEntry kPseudoOpTable[] = {
  {"bend",    F::None,           P::Bend},
  {"binary",  F::StringThenList, P::Binary},
  {"block",   F::None,           P::Block},
  {"bounce",  F::ExpressionList, P::Bounce},
  {"byte",    F::ExpressionList, P::Byte},
  {"end",     F::None,           P::End},
  {"endif",   F::None,           P::Endif},
  {"endm",    F::None,           P::Endm},
  {"eor",     F::Expression,     P::Eor},
  {"goto",    F::Name,           P::Goto},
  {"hidemac", F::None,           P::Hidemac},
  {"if",      F::Expression,     P::If},
  {"ifeq",    F::Expression,     P::Ifeq},
  {"ifne",    F::Expression,     P::Ifne},
  {"ifmi",    F::Expression,     P::Ifmi},
  {"ifpl",    F::Expression,     P::Ifpl},
  {"include", F::String,         P::Include},
  {"lbl",     F::None,           P::Lbl},
  {"macro",   F::None,           P::Macro},
  {"null",    F::String,         P::Null},
  {"offs",    F::Expression,     P::Offs},
  {"proff",   F::None,           P::Proff},
  {"pron",    F::None,           P::Pron},
  {"rta",     F::ExpressionList, P::Rta},
  {"segment", F::None,           P::Segment},
  {"shift",   F::String,         P::Shift},
  {"screen",  F::String,         P::Screen},
  {"showmac", F::None,           P::Showmac},
  {"text",    F::String,         P::Text},
  {"var",     F::Expression,     P::Var},
  {"word",    F::ExpressionList, P::Word},
  {"ifdef",   F::ExpressionList, P::Ifdef},
  {"ifndef",  F::ExpressionList, P::Ifndef},
  {"repeat",  F::ExpressionList, P::Repeat},
};
// clang-format on
static_assert(std::size(kPseudoOpTable) == 34, "one row per pseudo-op name");

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != b[i]) return false;
  }
  return true;
}

}  // namespace

const PseudoOpEntry* lookupPseudoOp(std::string_view name) {
  for (const auto& entry : kPseudoOpTable)
    if (equalsIgnoringCase(name, entry.name)) return &entry;
  return nullptr;
}

}  // namespace zendra
