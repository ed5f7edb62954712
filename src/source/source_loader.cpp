// Each file is read whole into a buffer that lives as long as the run; its lines become
// statements whose text views that buffer.
#include "source/source_loader.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "driver/assembler.h"
#include "source/line_parser.h"
#include "source/path_rules.h"

namespace zendra {
namespace {

// Reads a stream to its end, giving up beyond `limit` bytes (a device that never ends).
bool readStream(std::istream& in, std::vector<char>& bytes, size_t limit) {
  char chunk[64 * 1024];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    if (bytes.size() > limit) return false;
  }
  return !in.bad();
}

bool isStatementFree(const StatementRecord& st) {
  return !st.hasLabel() && st.mnemonicIndex == StatementRecord::kNoMnemonic &&
         st.pseudoOp == PseudoOp::None && st.macro() == nullptr && st.operand == nullptr &&
         !st.setPc && !st.needsSubstitution();
}

// The state of one file being read.
struct FileLoad {
  Assembler& as;
  uint16_t fileIndex;
  MacroRecord* passedMacro;
  StatementList& out;
  bool expanding;
  MacroRecord* openMacro = nullptr;
  uint32_t macroLine = 0;
  bool ended = false;
  bool ok = true;

  std::string_view name() const { return as.fileName(fileIndex); }
  void report(ErrorCode code, uint32_t line, std::string_view text = {}) {
    if (text.empty())
      as.reportError(code, static_cast<int32_t>(line), name());
    else
      as.reportError(code, static_cast<int32_t>(line), name(), text, -1);
    ok = false;
  }
  void append(StatementList& list, StatementRecord* st) {
    st->position = static_cast<uint32_t>(list.size());
    list.push_back(st);
  }
  void placeInBody(StatementRecord* st) {
    if (openMacro != nullptr)
      append(openMacro->body, st);
    else if (passedMacro != nullptr)
      append(passedMacro->body, st);
    else
      append(out, st);
  }
  void place(StatementRecord* st);
  void include(StatementRecord* st);
};

void FileLoad::include(StatementRecord* st) {
  append(out, st);
  std::string_view requested = st->stringOperand();
  if (isMissingFileName(requested)) {
    report(ErrorCode::FilenameMissing, st->line);
    return;
  }
  std::string found = findSourceFile(name(), requested, as.settings.includeDirs);
  if (found.empty()) {
    report(ErrorCode::FileDoesNotExist, st->line, requested);
    return;
  }
  MacroRecord* collector = openMacro != nullptr ? openMacro : passedMacro;
  if (!loadSource(as, found, collector, out, expanding)) ok = false;
}

void FileLoad::place(StatementRecord* st) {
  switch (st->pseudoOp) {
    case PseudoOp::Include: include(st); return;
    case PseudoOp::End: ended = true; return;
    case PseudoOp::Endm:
      if (openMacro == nullptr) report(ErrorCode::EndmWithoutMacro, st->line);
      append(out, st);
      openMacro = nullptr;
      return;
    case PseudoOp::Macro:
    case PseudoOp::Segment: {
      if (openMacro != nullptr || passedMacro != nullptr) {
        report(ErrorCode::NestedMacro, st->line);
        return;
      }
      MacroRecord* record = as.newMacro();
      record->name = as.labelText(*st);
      record->nameId = st->labelId;
      record->opensScope = st->pseudoOp == PseudoOp::Macro;
      record->isSegment = st->pseudoOp == PseudoOp::Segment;
      st->extra->macro = record;
      append(out, st);
      openMacro = record;
      macroLine = st->line;
      return;
    }
    default: placeInBody(st); return;
  }
}

}  // namespace

bool isMissingFileName(std::string_view name) {
  return name.find_first_not_of(" \t\v\f\r") == std::string_view::npos;
}

bool readWholeFile(const std::string& name, std::vector<char>& bytes, size_t limit) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::file_status status = fs::status(name, ec);
  if (ec || fs::is_directory(status)) return false;
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  if (fs::is_regular_file(status)) {
    // The size is known: one read straight into place.
    auto size = fs::file_size(name, ec);
    if (ec || size > limit) return false;
    bytes.resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(bytes.data(), static_cast<std::streamsize>(size))) return false;
    if (in.peek() == std::ifstream::traits_type::eof()) return true;
    bytes.clear();  // the file grew while being read: take it as a stream
    in.clear();
    in.seekg(0);
  }
  return readStream(in, bytes, limit);
}

bool loadSource(Assembler& as, const std::string& name, MacroRecord* passedMacro,
                StatementList& out, bool expanding) {
  ++as.loadCount;
  if (as.loadCount > kMaxLoads) {
    as.reportError(ErrorCode::TooManyIncludes, -1, as.settings.inputName);
    return false;
  }
  auto fileIndex = static_cast<uint16_t>(as.files.size());
  SourceFile& file = as.files.emplace_back();
  file.name = name;

  bool read = name.empty() ? (as.in != nullptr && readStream(*as.in, file.text, kMaxFileSize))
                           : readWholeFile(name, file.text, kMaxFileSize);
  if (!read) {
    std::vector<char>().swap(file.text);
    as.reportError(ErrorCode::UnableToOpen, -1, as.settings.inputName, name, -1);
    return false;
  }
  // Without a listing, lines that hold no statement (empty or comment only) change nothing
  // in either pass, so they are not kept.
  bool keepEmpty = !as.settings.listName.empty();

  FileLoad load{as, fileIndex, passedMacro, out, expanding};
  LineParser parser(as);
  bool keepEvery = expanding || as.keepsEveryExtra();
  std::string_view text(file.text.data(), file.text.size());
  uint32_t lineNumber = 1;
  size_t start = 0;
  while (!load.ended && start < text.size()) {
    size_t end = text.find('\n', start);
    size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view lineText = text.substr(start, end - start);
    // A carriage return before the newline ends the line like the newline itself.
    if (!lineText.empty() && lineText.back() == '\r') lineText.remove_suffix(1);
    start = next;

    StatementRecord* st = as.newStatement();
    st->line = lineNumber;
    st->fileIndex = fileIndex;
    // Lines of a macro body are substituted and parsed again from their text.
    parser.keepText = keepEvery || load.openMacro != nullptr || passedMacro != nullptr;
    if (!parser.parseLine(*st, ParseState::LineStart, lineText)) {
      if (parser.errorText.empty())
        as.reportError(parser.errorCode, static_cast<int32_t>(lineNumber), file.name,
                       parser.errorColumn);
      else
        as.reportError(parser.errorCode, static_cast<int32_t>(lineNumber), file.name,
                       parser.errorText, parser.errorColumn);
      load.ok = false;
    } else if (!keepEmpty && isStatementFree(*st)) {
      as.statementPool.pop_back();
      ++lineNumber;
      continue;
    }
    load.place(st);
    ++lineNumber;
  }

  StatementRecord* marker = as.newStatement();
  marker->pseudoOp = PseudoOp::EndOfFile;
  marker->line = lineNumber;
  marker->fileIndex = fileIndex;
  load.append(out, marker);

  if (load.openMacro != nullptr) {
    as.reportError(ErrorCode::MacroWithoutEndm, static_cast<int32_t>(load.macroLine), file.name);
    return false;
  }
  return load.ok;
}

bool loadBinaryFile(Assembler& as, const std::string& name, StatementRecord& st) {
  std::vector<char> bytes;
  std::error_code ec;
  if (std::filesystem::is_directory(name, ec)) return as.fail(ErrorCode::UnableToOpen, name);
  std::ifstream in(name, std::ios::binary);
  if (!in) return as.fail(ErrorCode::UnableToOpen, name);
  in.close();
  if (!readWholeFile(name, bytes, kMaxFileSize)) return as.fail(ErrorCode::UnableToRead, name);
  auto& data = as.binaryPool.emplace_back(bytes.begin(), bytes.end());
  as.binaryData[&st] = &data;
  return true;
}

}  // namespace zendra
