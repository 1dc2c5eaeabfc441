#include "input/template_reader.h"

#include <algorithm>

#include "text/text_reader.h"

namespace movrek {

namespace {
// The template is read into an 8-byte buffer: pieces of at most 7 bytes.
constexpr std::size_t kPieceLimit = 7;
}  // namespace

TemplateResult read_template(ByteSource& source, TemplateList& tags) {
  TextReader reader(source);
  std::string piece;
  int count = 0;
  int line = 1;
  while (!reader.eof()) {
    ++count;
    const bool got = reader.read_piece(kPieceLimit, piece);
    // A failed read reports the piece it was reading; a piece cut short by
    // the failure adds no entry.
    if (reader.failed()) return {TemplateResult::Status::kReadFailed, count, line, {}, {}};
    if (!got) continue;
    if (piece[0] == '\0') return {TemplateResult::Status::kNulPiece, count, line, {}, {}};
    tags.push_back(piece.size() > 1 ? piece[1] : '\0');
    if (piece.back() == '\n') ++line;
  }
  return {};
}

TemplateResult read_template(FileSystem& files, const std::string& path, TemplateList& tags) {
  Opened<ByteSource> opened = files.open(path);
  if (opened.error == FileError::kNoMemory) throw std::bad_alloc();
  if (!opened.file) return {TemplateResult::Status::kCannotOpen, 0, 0, opened.error, {}};
  TemplateResult result = read_template(*opened.file, tags);
  result.identity = opened.file->identity();
  return result;
}

TemplateFault template_fault(const TemplateList& tags) {
  if (tags.empty()) return TemplateFault::kEmpty;
  const bool area = std::find(tags.begin(), tags.end(), 'A') != tags.end();
  const bool file = std::find(tags.begin(), tags.end(), 'F') != tags.end();
  if (!area && !file) return TemplateFault::kNoAreaNorFile;
  if (!area) return TemplateFault::kNoArea;
  return file ? TemplateFault::kNone : TemplateFault::kNoFile;
}

}  // namespace movrek
