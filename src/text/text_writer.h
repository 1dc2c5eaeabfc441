#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "text/byte_io.h"

namespace movrek {

// Writes text to a byte sink in the DOS convention: every line feed becomes
// CR LF, on every host; all other bytes pass unchanged. Output is gathered in
// a large buffer and written in pieces of kBufferSize bytes. The first failed
// write is remembered, and nothing more is written after it (what is still
// gathered is dropped).
//
// A writer without a sink gathers everything in memory instead, for bytes
// made in one place and written in another.
class TextWriter {
 public:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  explicit TextWriter(ByteSink& sink);
  // A writer that keeps what it is given, its buffer growing as needed.
  TextWriter();

  void write(std::string_view text);
  // Writes a text that holds no line feed, without looking for one.
  void write_plain(std::string_view text) {
    if (text.size() <= capacity_ - used_) {
      if (!text.empty()) std::memcpy(buffer_.get() + used_, text.data(), text.size());
      used_ += text.size();
    } else {
      append_raw(text.data(), text.size());
    }
  }
  // Writes bytes as they are, line ends included: what another writer
  // gathered, for instance. The sink sees the same writes as it would have
  // for the text that gave them.
  void write_raw(std::string_view bytes);
  void put(char c) {
    if (c != '\n' && used_ < capacity_) {
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
        kLineEnd.size() <= capacity_ - used_) {
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

  // For a writer without a sink: all it was given, and a fresh start that
  // keeps the buffer.
  std::string_view bytes() const { return std::string_view(buffer_.get(), used_); }
  void clear() { used_ = 0; }

 private:
  // Makes room in a full buffer: writes it out, or grows it.
  void make_room();
  void append_raw(const char* data, std::size_t n);
  void put_slow(char c);
  void new_line_slow(long indent);

  // A line end and the most spaces new_line writes from it.
  static constexpr std::string_view kLineEnd = "\r\n                                ";

  ByteSink* sink_;                  // none: everything stays in the buffer
  std::unique_ptr<char[]> buffer_;  // capacity_ bytes, never zero-filled
  std::size_t capacity_ = kBufferSize;
  std::size_t used_ = 0;
  bool ok_ = true;
  bool closed_ = false;
};

}  // namespace movrek
