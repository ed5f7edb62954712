// Run-wide helpers of the Assembler: name interning under `ignore-case`, and error reporting.
#include "driver/assembler.h"

#include <ostream>

namespace zendra {

Assembler::Assembler(RunSettings runSettings, std::ostream& output)
    : settings(std::move(runSettings)), out(output) {
  image.overlapTolerated = settings.overlapTolerated;
  listing.enabled = settings.listingEnabled;
  listing.showMacros = settings.showMacros;
  symbols.keepValues = !settings.symbolName.empty();
}

Assembler::~Assembler() {
  if (listing.file != nullptr) std::fclose(listing.file);
}

uint32_t Assembler::internName(std::string_view name) {
  if (settings.caseSensitive) return names.intern(name);
  // Under `ignore-case` names are kept lowered; the table copies a new name, so a temporary
  // lowered text is enough.
  std::string lowered(name);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return names.intern(lowered);
}

namespace {

constexpr size_t kMaxMessage = 999;
constexpr int kMaxOverlapErrors = 5;

// The message of a code: the template as it is (plain form, a "%s" stays visible), or filled
// with the text and cut to kMaxMessage characters. Empty for a code without a row.
std::string buildMessage(ErrorCode code, const std::string_view* text) {
  std::string_view pattern = errorTemplate(code);
  size_t at = pattern.find("%s");
  if (text == nullptr || at == std::string_view::npos) return std::string(pattern);
  std::string message;
  message.reserve(pattern.size() + text->size());
  message.append(pattern.substr(0, at)).append(*text).append(pattern.substr(at + 2));
  if (message.size() > kMaxMessage) message.resize(kMaxMessage);
  return message;
}

// Both forms of reportError; `text` is null for the plain form.
void report(Assembler& as, ErrorCode code, int32_t line, std::string_view file,
            const std::string_view* text, int32_t column) {
  if (code == ErrorCode::OverlappedOutput && ++as.overlapErrorCount > kMaxOverlapErrors) {
    if (as.overlapErrorCount == kMaxOverlapErrors + 1)
      as.out << " (suppressing further overlap errors)\n";
    return;
  }
  if (errorTemplate(code).empty()) return;
  std::string message = buildMessage(code, text);
  // Loading errors (pass 0) appear under the header of pass 1.
  int header = as.pass == 0 ? 1 : as.pass;
  if (header != as.lastHeaderPass) {
    as.lastHeaderPass = header;
    as.out << "\nPass " << header << ":\n\n";
  }
  std::ostream& out = as.out;
  out << file;
  if (line >= 0) out << '(' << line << ')';
  out << " : error " << static_cast<int>(code) << ": " << message;
  if (line >= 0 && column >= 0) out << " at col " << column;
  out << '\n';
  ++as.errorCount;
}

}  // namespace

void Assembler::reportError(ErrorCode code, int32_t line, std::string_view file, int32_t column) {
  report(*this, code, line, file, nullptr, column);
}

void Assembler::reportError(ErrorCode code, int32_t line, std::string_view file,
                            std::string_view text, int32_t column) {
  report(*this, code, line, file, &text, column);
}

void Assembler::reportPendingAt(int32_t line, std::string_view file) {
  passFailed = true;
  if (errorText.empty())
    reportError(errorCodePending, line, file);
  else
    reportError(errorCodePending, line, file, errorText, -1);
  errorText.clear();
}

void Assembler::reportPending(const StatementRecord& st) {
  reportPendingAt(static_cast<int32_t>(st.line), fileName(st.fileIndex));
}

}  // namespace zendra
