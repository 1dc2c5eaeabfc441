#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "text/byte_io.h"

namespace movrek {

// Writes text to a byte sink in the DOS convention: every line feed becomes
// CR LF, on every host; all other bytes pass unchanged. Output is gathered in
// a large buffer. The first failed write is remembered, and nothing more is
// written after it (what is still gathered is dropped).
class TextWriter {
 public:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  explicit TextWriter(ByteSink& sink);

  void write(std::string_view text);
  // Writes a text that holds no line feed, without looking for one.
  void write_plain(std::string_view text) {
    if (text.size() <= kBufferSize - used_) {
      if (!text.empty()) std::memcpy(buffer_.get() + used_, text.data(), text.size());
      used_ += text.size();
    } else {
      append_raw(text.data(), text.size());
    }
  }
  void put(char c) {
    if (c != '\n' && used_ < kBufferSize) {
      buffer_[used_++] = c;
    } else {
      put_slow(c);
    }
  }
  // Writes `count` copies of `c` (none for a count of 0 or less).
  void fill(char c, long count);
  // Ends the line and writes `indent` spaces (none for 0 or less).
  void new_line(long indent) {
    if (indent >= 0 && static_cast<unsigned long>(indent) <= kLineEnd.size() - 2 &&
        kLineEnd.size() <= kBufferSize - used_) {
      std::memcpy(buffer_.get() + used_, kLineEnd.data(), kLineEnd.size());
      used_ += 2 + static_cast<std::size_t>(indent);
    } else {
      new_line_slow(indent);
    }
  }

  // Flushes the buffer and closes the sink. Returns false when any write,
  // the flush or the close failed.
  bool close();
  bool ok() const { return ok_; }

 private:
  void flush();
  void append_raw(const char* data, std::size_t n);
  void put_slow(char c);
  void new_line_slow(long indent);

  // A line end and the most spaces new_line writes from it.
  static constexpr std::string_view kLineEnd = "\r\n                                ";

  ByteSink& sink_;
  std::unique_ptr<char[]> buffer_;  // kBufferSize bytes, never zero-filled
  std::size_t used_ = 0;
  bool ok_ = true;
  bool closed_ = false;
};

}  // namespace movrek
