#include "text/text_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "text/byte_scan.h"

namespace movrek {

namespace {
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kEndOfFile = 0x1A;
}  // namespace

TextReader::TextReader(ByteSource& source, std::size_t block_size)
    : source_(source),
      owned_(std::make_unique_for_overwrite<char[]>(block_size == 0 ? 1 : block_size)),
      buffer_(owned_.get()),
      block_size_(block_size == 0 ? 1 : block_size),
      capacity_(block_size_) {}

TextReader::TextReader(ByteSource& source, Arena& keep, std::size_t block_size)
    : source_(source),
      keep_(&keep),
      owned_(std::make_unique_for_overwrite<char[]>(block_size == 0 ? 1 : block_size)),
      block_size_(block_size == 0 ? 1 : block_size) {
  // One byte more than the file holds, so that the read that finds its end
  // has room and needs no block of its own.
  const std::optional<std::uint64_t> size = source.size();
  capacity_ = size && *size < SIZE_MAX / 2 ? static_cast<std::size_t>(*size) + 1 : block_size_;
  try {
    buffer_ = keep.allocate(capacity_);
  } catch (const std::bad_alloc&) {
    // The size told may be far more than the file holds (a sparse file, or
    // one cut short since): begin small, as for a file that tells nothing.
    if (capacity_ == block_size_) throw;
    capacity_ = block_size_;
    buffer_ = keep.allocate(capacity_);
  }
  if (capacity_ >= kLoadAheadBytes && capacity_ / kLoadAheadBlocks >= block_size_) {
    loader_ = std::make_unique<BlockLoader>(source, buffer_, capacity_, block_size_);
  }
}

std::size_t TextReader::read_source(char* to, std::size_t want) {
  const long n = source_.read(to, want);
  if (n < 0) failed_ = true;
  if (n == 0) eof_ = true;
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool TextReader::refill() {
  if (eof_ || failed_) return false;
  const std::size_t n = read_source(buffer_, block_size_);
  pos_ = 0;
  end_ = n;
  return n > 0;
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
  if (loader_) {
    BlockLoader::State state;
    const std::size_t filled = loader_->wait_beyond(end_, state);
    if (filled > end_) {
      end_ = filled;
      return true;
    }
    if (state == BlockLoader::State::kEnd) {
      eof_ = true;
      return false;
    }
    if (state == BlockLoader::State::kFailed) {
      failed_ = true;
      return false;
    }
    loader_.reset();  // the block is full: the file grew, and is read on here
  }
  // A reader that keeps leaves a block as it is until it is full.
  if (keep_ == nullptr || end_ == capacity_) {
    const std::size_t keep = end_ - pos_;
    const char* const from = buffer_ + pos_;
    char* to = buffer_;
    std::unique_ptr<char[]> bigger;
    std::size_t capacity = capacity_;
    if (keep_ != nullptr) {
      capacity = keep > block_size_ / 2 ? 2 * keep : block_size_;
      to = keep_->allocate(capacity);
    } else if (keep == capacity_) {
      capacity = 2 * capacity_;
      bigger = std::make_unique_for_overwrite<char[]>(capacity);
      to = bigger.get();
    }
    if (to != from) {
      std::memmove(to, from, keep);
      for (std::size_t i = 0; i < count; ++i)
        lines[i] = std::string_view(to + (lines[i].data() - from), lines[i].size());
    }
    if (bigger) owned_ = std::move(bigger);
    buffer_ = to;
    capacity_ = capacity;
    pos_ = 0;
    end_ = keep;
  }
  const std::size_t want =
      keep_ != nullptr ? std::min(capacity_ - end_, block_size_) : capacity_ - end_;
  char* const to = keep_ != nullptr ? owned_.get() : buffer_ + end_;
  const std::size_t n = read_source(to, want);
  if (n == 0) return false;
  if (keep_ != nullptr) std::memcpy(buffer_ + end_, to, n);
  end_ += n;
  return true;
}

namespace {

// The offset of the first byte below 0x20 in buf[at, end), which all bytes
// that need a rule are (LF, CR, 0x1A, NUL), or a later offset from which
// fewer than sixteen bytes are left.
std::size_t plain_end(const char* buf, std::size_t at, std::size_t end) {
  for (; end - at >= Bytes16::kSize; at += Bytes16::kSize) {
    if (const ByteMarks controls = Bytes16(buf + at).below(0x20); controls.any()) {
      return at + controls.first();
    }
  }
  return at;
}

// The offset of the first LF, CR or 0x1A in buf[at, end), or a later offset
// from which fewer than sixteen bytes are left.
std::size_t rule_end(const char* buf, std::size_t at, std::size_t end) {
  for (; end - at >= Bytes16::kSize; at += Bytes16::kSize) {
    const Bytes16 bytes(buf + at);
    if (const ByteMarks rules = bytes.equal(kLf) | bytes.equal(kCr) | bytes.equal(kEndOfFile);
        rules.any()) {
      return at + rules.first();
    }
  }
  return at;
}

}  // namespace

std::size_t TextReader::read_lines(std::size_t count, std::string_view* lines) {
  held_nul_ = false;
  if (eof_ || failed_) return 0;
  std::size_t taken = 0;
  bool held_nul = false;
  // The current line starts at `start`; its bytes go to `w`, which falls behind
  // `r` once a CR has been dropped. All three are buffer offsets from pos_ on,
  // and pos_ stays at the first line until the last one is done. The buffer
  // and its end are kept in locals: stores into `lines` might change members.
  std::size_t start = pos_;
  std::size_t w = pos_;
  std::size_t r = pos_;
  char* buf = buffer_;
  std::size_t end = end_;
  while (taken < count) {
    // Plain bytes up to a control byte, moved up behind a dropped CR.
    const std::size_t plain = plain_end(buf, r, end) - r;
    if (w != r) std::memmove(buf + w, buf + r, plain);
    w += plain;
    r += plain;
    while (r < end && static_cast<unsigned char>(buf[r]) >= 0x20)
      buf[w++] = buf[r++];

    // A control byte, or a CR whose next byte is here.
    if (r < end && (buf[r] != kCr || r + 1 < end)) {
      char c = buf[r++];
      if (c == kCr) c = buf[r++];  // the byte after a CR is taken as it is
      if (c == kLf) {
        lines[taken++] = std::string_view(buf + start, w - start);
        start = w = r;
      } else if (c == kEndOfFile) {
        eof_ = true;
        break;
      } else {
        held_nul = held_nul || c == '\0';
        buf[w++] = c;
        // Where one such control byte is, more tend to follow (a file of NUL
        // bytes): the rest of the line up to a byte with a rule is taken
        // sixteen bytes a step.
        const std::size_t run = rule_end(buf, r, end) - r;
        held_nul = held_nul || std::memchr(buf + r, '\0', run) != nullptr;
        if (w != r) std::memmove(buf + w, buf + r, run);
        w += run;
        r += run;
      }
      continue;
    }

    // The data ends inside the line: keep the lines so far and read more.
    // The bytes from pos_ on may move to the front, or to a new block.
    const std::size_t first = pos_;
    const bool more = read_more(lines, taken);
    const std::size_t moved = first - pos_;
    start -= moved;
    w -= moved;
    r -= moved;
    buf = buffer_;
    end = end_;
    if (!more) break;
  }
  if (taken < count && eof_ && w > start) {
    // The last line of the file, without a line feed.
    lines[taken++] = std::string_view(buf + start, w - start);
  }
  pos_ = r;
  held_nul_ = held_nul;
  return taken;
}

}  // namespace movrek
