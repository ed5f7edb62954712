// The label of a statement as written, found again in its line's text when it is needed.
#include "source/statement_record.h"

namespace zendra {

std::string_view labelInText(std::string_view rawText) {
  size_t start = rawText.find_first_not_of(" \t\v\f\r");
  if (start == std::string_view::npos) return {};
  size_t end = start;
  while (end < rawText.size()) {
    char c = rawText[end];
    bool word =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!word) break;
    ++end;
  }
  return rawText.substr(start, end - start);
}

}  // namespace zendra
