// Each file is read in blocks and its lines become statements. A statement that needs its
// line's text later (strings, macro lines, the listing) views the block, which then stays for
// the run; the blocks nobody views are read over.
#include "source/source_loader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "driver/assembler.h"
#include "source/char_classes.h"
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

// An empty line, blanks, or a comment: it parses to no statement and fails nowhere. Most lines
// of a large source are such lines, so they are recognised before the parser sees them.
bool holdsNothing(std::string_view line) {
  for (char c : line) {
    if (c == ';') return true;
    if (!isBlank(c)) return false;
  }
  return true;
}

constexpr size_t kBlockSize = 256 * 1024;

// Hands out a source a run of whole lines at a time (the last line of the input may lack its
// newline). A block stays for the run when its owner keeps it; otherwise the next block is
// read into the same memory, so a large source of plain lines never lies in memory whole.
class BlockReader {
 public:
  explicit BlockReader(SourceFile& file) : file(file) {}

  // Reads the regular file `path` a block at a time.
  bool stream(const std::string& path) {
    own = std::make_unique<std::ifstream>(path, std::ios::binary);
    in = own.get();
    return static_cast<bool>(*own);
  }
  // Closes the file while an included file is read, so that a chain of includes holds one
  // file open, not one per level; reading goes on where it stopped.
  void suspend() {
    if (own == nullptr) return;
    own.reset();
    in = nullptr;
  }
  // Reads all of `from` now; false when that fails or it holds more than kMaxFileSize bytes.
  bool readWhole(std::istream& from) {
    in = &from;
    bool read = true;
    while (read && !atEnd) {
      makeRoom();
      read = fill();
    }
    in = nullptr;  // nothing more is read from it
    return read;
  }

  // The next lines; nothing when the input is done, or failed (then `failed` is set).
  std::string_view next() {
    for (;;) {
      makeRoom();
      if (!atEnd && !fill()) {
        failed = true;
        return {};
      }
      if (filled == 0) return {};
      std::string_view text(block.get(), filled);
      if (atEnd) {
        pending = filled;
        return text;
      }
      size_t last = text.rfind('\n');
      if (last != std::string_view::npos) {
        pending = last + 1;
        return text.substr(0, pending);
      }
      // One line longer than the block: the block grows until the line fits.
    }
  }
  // The lines last handed out stay valid for the run.
  void keep() { file.blocks.push_back(std::move(block)); }

  bool failed = false;

 private:
  // Moves what follows the lines handed out to the front of the block, or of a new block when
  // this one is kept; a block filled by one line grows.
  void makeRoom() {
    size_t tail = filled - pending;
    if (block == nullptr) {
      const char* from = file.blocks.empty() ? nullptr : file.blocks.back().get() + pending;
      capacity = std::max(kBlockSize, tail * 2);
      auto fresh = std::make_unique_for_overwrite<char[]>(capacity);
      if (tail > 0) std::memcpy(fresh.get(), from, tail);
      block = std::move(fresh);
    } else if (pending > 0) {
      std::memmove(block.get(), block.get() + pending, tail);
    } else if (filled == capacity && !atEnd) {
      capacity *= 2;
      auto larger = std::make_unique_for_overwrite<char[]>(capacity);
      std::memcpy(larger.get(), block.get(), filled);
      block = std::move(larger);
    }
    filled = tail;
    pending = 0;
  }
  bool fill() {
    if (in == nullptr && !resume()) return false;
    size_t room = capacity - filled;
    in->read(block.get() + filled, static_cast<std::streamsize>(room));
    auto got = static_cast<size_t>(in->gcount());
    filled += got;
    total += got;
    if (in->bad() || total > kMaxFileSize) return false;
    if (got < room) atEnd = true;
    return true;
  }

  bool resume() {
    own = std::make_unique<std::ifstream>(file.name, std::ios::binary);
    if (!*own || !own->seekg(static_cast<std::streamoff>(total))) return false;
    in = own.get();
    return true;
  }

  SourceFile& file;
  std::unique_ptr<std::ifstream> own;  // a regular file read in blocks
  std::istream* in = nullptr;
  std::unique_ptr<char[]> block;
  size_t capacity = 0;
  size_t filled = 0;
  size_t pending = 0;  // where the part not yet handed out begins
  size_t total = 0;
  bool atEnd = false;
};

// A regular file is read in blocks as it is parsed. Standard input and other files (devices,
// pipes) are read whole first, so that one which never ends is refused before any of it is
// parsed; so is a directory, or a file beyond kMaxFileSize.
bool openSource(Assembler& as, const std::string& name, BlockReader& reader) {
  if (name.empty()) return as.in != nullptr && reader.readWhole(*as.in);
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::file_status status = fs::status(name, ec);
  if (ec || fs::is_directory(status)) return false;
  if (!fs::is_regular_file(status)) {
    std::ifstream stream(name, std::ios::binary);
    return stream && reader.readWhole(stream);
  }
  auto size = fs::file_size(name, ec);
  if (ec || size > kMaxFileSize) return false;
  return reader.stream(name);
}

// The state of one file being read. Files are read one at a time: an `.include` suspends its
// file, whose state waits on the loader's stack (on the heap, so that a chain of includes
// needs no deeper call stack) until the included file is done.
struct FileLoad {
  Assembler& as;
  uint16_t fileIndex;
  MacroRecord* passedMacro;
  StatementList& out;
  bool expanding;
  BlockReader reader;
  MacroRecord* openMacro = nullptr;
  LineParser parser{as};
  uint32_t lineNumber = 1;
  uint32_t macroLine = 0;
  bool keepEvery = false;   // every statement keeps its text
  bool keepExtras = false;  // every statement keeps a StatementExtra
  bool keepEmpty = false;
  bool ended = false;
  bool ok = true;
  // The lines the reader handed out, read up to `start`; `keepBlock` when one of them is viewed.
  std::string_view text;
  size_t start = 0;
  bool keepBlock = false;
  // An `.include` met on the last line read: the file to read before going on, and the macro
  // its lines belong to.
  std::string includeName;
  MacroRecord* includeCollector = nullptr;

  FileLoad(Assembler& as, uint16_t fileIndex, MacroRecord* passedMacro, StatementList& out,
           bool expanding)
      : as(as),
        fileIndex(fileIndex),
        passedMacro(passedMacro),
        out(out),
        expanding(expanding),
        reader(as.files[fileIndex]) {}

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
  bool readLine(std::string_view lineText);
  bool readLines();
  bool finish();
};

// Reads lines until the file ends (true) or an `.include` asks for its file first (false).
bool FileLoad::readLines() {
  while (!ended) {
    if (start >= text.size()) {
      if (keepBlock) reader.keep();
      keepBlock = false;
      text = reader.next();
      start = 0;
      if (text.empty()) break;
    }
    size_t end = text.find('\n', start);
    size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view lineText = text.substr(start, end - start);
    // A carriage return before the newline ends the line like the newline itself.
    if (!lineText.empty() && lineText.back() == '\r') lineText.remove_suffix(1);
    start = next;
    keepBlock |= readLine(lineText);
    if (!includeName.empty()) return false;
  }
  if (keepBlock) reader.keep();
  keepBlock = false;
  return true;
}

// Closes the file: its end-of-file marker, and the checks that need the whole file.
bool FileLoad::finish() {
  if (reader.failed) {
    as.reportError(ErrorCode::UnableToOpen, -1, as.settings.inputName, name(), -1);
    return false;
  }
  StatementRecord* marker = as.newStatement();
  marker->pseudoOp = PseudoOp::EndOfFile;
  marker->line = lineNumber;
  marker->fileIndex = fileIndex;
  append(out, marker);
  if (openMacro != nullptr) {
    as.reportError(ErrorCode::MacroWithoutEndm, static_cast<int32_t>(macroLine), name());
    return false;
  }
  return ok;
}

// Parses and places one line; true when its statement keeps a view of the line's text.
bool FileLoad::readLine(std::string_view lineText) {
  if (!keepEmpty && holdsNothing(lineText)) {
    ++lineNumber;
    return false;
  }
  StatementRecord* st = as.newStatement();
  st->line = lineNumber;
  st->fileIndex = fileIndex;
  // Lines of a macro body are substituted and parsed again from their text.
  parser.keepText = keepEvery || openMacro != nullptr || passedMacro != nullptr;
  parser.keepExtra = keepExtras;
  if (!parser.parseLine(*st, ParseState::LineStart, lineText)) {
    if (parser.errorText.empty())
      as.reportError(parser.errorCode, static_cast<int32_t>(lineNumber), name(),
                     parser.errorColumn);
    else
      as.reportError(parser.errorCode, static_cast<int32_t>(lineNumber), name(), parser.errorText,
                     parser.errorColumn);
    ok = false;
  } else if (!keepEmpty && isStatementFree(*st)) {
    if (st->extra != nullptr) as.extraPool.pop_back();
    as.statementPool.pop_back();
    ++lineNumber;
    return false;
  }
  bool viewsText = st->extra != nullptr && st->extra->textLength > 0;
  place(st);
  ++lineNumber;
  return viewsText;
}

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
  includeName = std::move(found);
  includeCollector = openMacro != nullptr ? openMacro : passedMacro;
  reader.suspend();
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

namespace {

// Starts reading a file: a new state on the stack, or false when it cannot be read (reported).
bool openFile(Assembler& as, const std::string& name, MacroRecord* passedMacro, StatementList& out,
              bool expanding, std::vector<std::unique_ptr<FileLoad>>& stack) {
  ++as.loadCount;
  if (as.loadCount > kMaxLoads) {
    as.reportError(ErrorCode::TooManyIncludes, -1, as.settings.inputName);
    return false;
  }
  auto fileIndex = static_cast<uint16_t>(as.files.size());
  as.files.emplace_back().name = name;
  auto load = std::make_unique<FileLoad>(as, fileIndex, passedMacro, out, expanding);
  if (!openSource(as, name, load->reader)) {
    as.reportError(ErrorCode::UnableToOpen, -1, as.settings.inputName, name, -1);
    return false;
  }
  load->keepEvery = expanding || as.keepsEveryText();
  load->keepExtras = as.keepsEveryExtra();
  // Without a listing, lines that hold no statement (empty or comment only) change nothing
  // in either pass, so they are not kept.
  load->keepEmpty = !as.settings.listName.empty();
  stack.push_back(std::move(load));
  return true;
}

}  // namespace

bool loadSource(Assembler& as, const std::string& name, MacroRecord* passedMacro,
                StatementList& out, bool expanding) {
  std::vector<std::unique_ptr<FileLoad>> stack;
  if (!openFile(as, name, passedMacro, out, expanding, stack)) return false;
  bool ok = true;
  while (!stack.empty()) {
    FileLoad& load = *stack.back();
    if (!load.readLines()) {
      std::string included = std::move(load.includeName);
      load.includeName.clear();
      if (!openFile(as, included, load.includeCollector, out, expanding, stack)) load.ok = false;
      continue;
    }
    ok = load.finish();
    stack.pop_back();
    if (!stack.empty() && !ok) stack.back()->ok = false;
  }
  return ok;
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
