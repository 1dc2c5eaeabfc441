#include "text/text_reader.h"

#include <bit>
#include <cstdint>
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
      block_size_(block_size == 0 ? 1 : block_size),
      capacity_(block_size_) {}

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

bool TextReader::read_more(std::string_view* lines, std::size_t count) {
  if (eof_ || failed_) return false;
  const std::size_t keep = end_ - pos_;
  const char* const from = buffer_.get() + pos_;
  char* to = buffer_.get();
  std::unique_ptr<char[]> bigger;
  if (keep == capacity_) {
    bigger = std::make_unique_for_overwrite<char[]>(2 * capacity_);
    to = bigger.get();
  }
  if (to != from) {
    std::memmove(to, from, keep);
    for (std::size_t i = 0; i < count; ++i)
      lines[i] = std::string_view(to + (lines[i].data() - from), lines[i].size());
  }
  if (bigger) {
    buffer_ = std::move(bigger);
    capacity_ *= 2;
  }
  pos_ = 0;
  end_ = keep;
  const long n = source_.read(buffer_.get() + end_, capacity_ - end_);
  if (n < 0) {
    failed_ = true;
    return false;
  }
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(n);
  return true;
}

namespace {

// Marks the bytes of `x` below 0x20, which all bytes that need a rule are
// (LF, CR, 0x1A, NUL); other control bytes come along. The lowest mark is
// exact, higher ones may not be.
constexpr std::uint64_t kOnes = 0x0101010101010101u;
inline std::uint64_t control_bytes(std::uint64_t x) {
  return (x - kOnes * 0x20) & ~x & (kOnes * 0x80);
}

// The offset of the first control byte in buf[at, end), or `end`; on a
// machine that is not little-endian it may stop up to eight bytes short.
std::size_t plain_end(const char* buf, std::size_t at, std::size_t end) {
  while (end - at >= 16) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, buf + at, 8);
    std::memcpy(&y, buf + at + 8, 8);
    if ((control_bytes(x) | control_bytes(y)) != 0) break;
    at += 16;
  }
  while (end - at >= 8) {
    std::uint64_t x;
    std::memcpy(&x, buf + at, 8);
    if (const std::uint64_t found = control_bytes(x); found != 0) {
      if constexpr (std::endian::native == std::endian::little) {
        return at + static_cast<std::size_t>(std::countr_zero(found)) / 8;
      }
      return at;
    }
    at += 8;
  }
  return at;
}

}  // namespace

std::size_t TextReader::read_lines(std::size_t count, std::string_view* lines) {
  held_nul_ = false;
  if (eof_ || failed_) return 0;
  std::size_t taken = 0;
  // The current line starts at `start`; its bytes go to `w`, which falls behind
  // `r` once a CR has been dropped. All three are buffer offsets from pos_ on,
  // and pos_ stays at the first line until the last one is done.
  std::size_t start = pos_;
  std::size_t w = pos_;
  std::size_t r = pos_;
  while (taken < count) {
    char* const buf = buffer_.get();
    // Plain bytes up to a control byte, moved up behind a dropped CR.
    const std::size_t plain = plain_end(buf, r, end_) - r;
    if (w != r) std::memmove(buf + w, buf + r, plain);
    w += plain;
    r += plain;
    while (r < end_ && static_cast<unsigned char>(buf[r]) >= 0x20)
      buf[w++] = buf[r++];

    // A control byte, or a CR whose next byte is here.
    if (r < end_ && (buf[r] != kCr || r + 1 < end_)) {
      char c = buf[r++];
      if (c == kCr) c = buf[r++];  // the byte after a CR is taken as it is
      if (c == kLf) {
        lines[taken++] = std::string_view(buf + start, w - start);
        start = w = r;
      } else if (c == kEndOfFile) {
        eof_ = true;
        break;
      } else {
        held_nul_ = held_nul_ || c == '\0';
        buf[w++] = c;
      }
      continue;
    }

    // The data ends inside the line: keep the lines so far and read more.
    const std::size_t moved = pos_;
    const bool more = read_more(lines, taken);
    start -= moved;
    w -= moved;
    r -= moved;
    if (!more) break;
  }
  if (taken < count && eof_ && w > start) {
    // The last line of the file, without a line feed.
    lines[taken++] = std::string_view(buffer_.get() + start, w - start);
  }
  pos_ = r;
  return taken;
}

}  // namespace movrek
