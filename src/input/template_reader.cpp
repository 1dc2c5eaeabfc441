#include "input/template_reader.h"

#include "text/text_reader.h"

namespace movrek {

namespace {
// The template is read into an 8-byte buffer: pieces of at most 7 bytes.
constexpr std::size_t kPieceLimit = 7;
}  // namespace

int read_template(ByteSource& source, TemplateList& tags) {
  TextReader reader(source);
  std::string piece;
  int count = 0;
  while (!reader.eof()) {
    ++count;
    const bool got = reader.read_piece(kPieceLimit, piece);
    // A failed read reports the piece it was reading; a piece cut short by
    // the failure adds no entry.
    if (reader.failed()) return count;
    if (!got) continue;
    if (piece[0] == '\0') return count;
    tags.push_back(piece.size() > 1 ? piece[1] : '\0');
  }
  return 0;
}

int read_template(FileSystem& files, const std::string& path, TemplateList& tags) {
  const auto source = file_or_null(files.open(path));
  if (!source) return -1;
  return read_template(*source, tags);
}

}  // namespace movrek
