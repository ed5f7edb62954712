// Run-wide helpers of the Assembler: name interning under `ignore-case`, and error reporting.
#include "driver/assembler.h"

#include <ostream>

namespace zendra {

Assembler::Assembler(RunSettings runSettings, std::ostream& output)
    : settings(std::move(runSettings)), out(output) {
  image.overlapTolerated = settings.overlapTolerated;
  listing.enabled = settings.listingEnabled;
  listing.showMacros = settings.showMacros;
}

Assembler::~Assembler() {
  if (listing.file != nullptr) std::fclose(listing.file);
}

uint32_t Assembler::internName(std::string_view name) {
  if (!settings.caseSensitive) {
    bool hasUpper = false;
    for (char c : name) hasUpper |= (c >= 'A' && c <= 'Z');
    if (hasUpper) {
      std::string lowered(name);
      for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      // Interning first avoids storing a second copy of a lowered name already known.
      uint32_t before = static_cast<uint32_t>(names.size());
      uint32_t id = names.intern(lowered);
      if (id == before) {
        // The table keeps the view it was given; replace the temporary with stored text.
        id = names.intern(texts.store(lowered));
      }
      return id;
    }
  }
  return names.intern(name);
}

namespace {

constexpr size_t kMaxMessage = 999;

void printLine(std::ostream& out, ErrorCode code, int32_t line, std::string_view file,
               std::string_view message, int32_t column) {
  out << file;
  if (line >= 0) out << '(' << line << ')';
  out << " : error " << static_cast<int>(code) << ": " << message;
  if (line >= 0 && column >= 0) out << " at col " << column;
  out << '\n';
}

}  // namespace

void Assembler::reportError(ErrorCode code, int32_t line, std::string_view file, int32_t column) {
  if (code == ErrorCode::OverlappedOutput) {
    ++overlapErrorCount;
    if (overlapErrorCount > 5) {
      if (overlapErrorCount == 6) out << " (suppressing further overlap errors)\n";
      return;
    }
  }
  std::string_view message = errorTemplate(code);
  if (message.empty()) return;
  int header = pass == 0 ? 1 : pass;
  if (header != lastHeaderPass) {
    lastHeaderPass = header;
    out << "\nPass " << header << ":\n\n";
  }
  printLine(out, code, line, file, message, column);
  ++errorCount;
}

void Assembler::reportError(ErrorCode code, int32_t line, std::string_view file,
                            std::string_view text, int32_t column) {
  if (code == ErrorCode::OverlappedOutput) {
    ++overlapErrorCount;
    if (overlapErrorCount > 5) {
      if (overlapErrorCount == 6) out << " (suppressing further overlap errors)\n";
      return;
    }
  }
  std::string_view pattern = errorTemplate(code);
  if (pattern.empty()) return;
  std::string message;
  size_t at = pattern.find("%s");
  if (at == std::string_view::npos) {
    message = pattern;
  } else {
    message.reserve(pattern.size() + text.size());
    message.append(pattern.substr(0, at)).append(text).append(pattern.substr(at + 2));
  }
  if (message.size() > kMaxMessage) message.resize(kMaxMessage);
  int header = pass == 0 ? 1 : pass;
  if (header != lastHeaderPass) {
    lastHeaderPass = header;
    out << "\nPass " << header << ":\n\n";
  }
  printLine(out, code, line, file, message, column);
  ++errorCount;
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
