#include "text/text_reader.h"

#include <cstring>

namespace movrek {

namespace {
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kEndOfFile = 0x1A;
}  // namespace

TextReader::TextReader(ByteSource& source, std::size_t block_size)
    : source_(source),
      buffer_(std::make_unique_for_overwrite<char[]>(block_size == 0 ? 1 : block_size)),
      block_size_(block_size == 0 ? 1 : block_size) {}

bool TextReader::refill() {
  if (eof_ || failed_) return false;
  const long n = source_.read(buffer_.get(), block_size_);
  pos_ = 0;
  end_ = 0;
  if (n < 0) {
    failed_ = true;
    return false;
  }
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ = static_cast<std::size_t>(n);
  return true;
}

int TextReader::raw_byte() {
  if (pos_ == end_ && !refill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_++]);
}

int TextReader::next_byte() {
  if (eof_) return -1;
  int c = raw_byte();
  if (c == kCr) c = raw_byte();
  if (c == kEndOfFile) {
    eof_ = true;
    return -1;
  }
  return c;
}

bool TextReader::read_piece(std::size_t limit, std::string& piece) {
  piece.clear();
  while (piece.size() < limit) {
    const int c = next_byte();
    if (c < 0) break;
    piece.push_back(static_cast<char>(c));
    if (c == kLf) break;
  }
  return !piece.empty();
}

bool TextReader::read_line(std::string_view& text, std::string& scratch) {
  scratch.clear();
  bool took = false;
  while (!eof_) {
    if (pos_ == end_ && !refill()) break;
    const char* start = buffer_.get() + pos_;
    const std::size_t avail = end_ - pos_;
    const char* lf = static_cast<const char*>(std::memchr(start, kLf, avail));
    const std::size_t seg = lf != nullptr ? static_cast<std::size_t>(lf - start) : avail;
    const char* cr = static_cast<const char*>(std::memchr(start, kCr, seg));
    const char* sub = static_cast<const char*>(std::memchr(start, kEndOfFile, seg));

    if (sub == nullptr && lf != nullptr && !took && (cr == nullptr || cr == lf - 1)) {
      // The whole line lies in the buffer with at most the CR of its CR LF:
      // show it in place.
      text = std::string_view(start, cr == nullptr ? seg : seg - 1);
      pos_ += seg + 1;
      return true;
    }

    // Copy up to the first byte that needs a rule applied.
    const char* stop = start + seg;
    if (cr != nullptr && cr < stop) stop = cr;
    if (sub != nullptr && sub < stop) stop = sub;
    const std::size_t plain = static_cast<std::size_t>(stop - start);
    scratch.append(start, plain);
    took = took || plain > 0;
    pos_ += plain;
    if (stop == start + seg && lf == nullptr) continue;  // need the next block

    // One byte under the rules, then carry on scanning.
    const int c = next_byte();
    if (c < 0) break;
    took = true;
    if (c == kLf) {
      text = scratch;
      return true;
    }
    scratch.push_back(static_cast<char>(c));
  }
  text = scratch;
  return took;
}

}  // namespace movrek
