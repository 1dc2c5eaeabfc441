#include "text/text_writer.h"

namespace movrek {

TextWriter::TextWriter(ByteSink& sink)
    : sink_(sink), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

void TextWriter::flush() {
  if (used_ > 0 && ok_) ok_ = sink_.write(buffer_.get(), used_);
  used_ = 0;
}

void TextWriter::append_raw(const char* data, std::size_t n) {
  while (n > 0 && ok_) {
    if (used_ == kBufferSize) flush();
    std::size_t take = kBufferSize - used_;
    if (take > n) take = n;
    std::memcpy(buffer_.get() + used_, data, take);
    used_ += take;
    data += take;
    n -= take;
  }
}

void TextWriter::write(std::string_view text) {
  while (!text.empty()) {
    const char* lf = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()));
    if (lf == nullptr) {
      append_raw(text.data(), text.size());
      return;
    }
    const std::size_t n = static_cast<std::size_t>(lf - text.data());
    append_raw(text.data(), n);
    append_raw("\r\n", 2);
    text.remove_prefix(n + 1);
  }
}

void TextWriter::put_slow(char c) {
  if (c == '\n') {
    append_raw("\r\n", 2);
  } else {
    if (used_ == kBufferSize) flush();
    buffer_[used_++] = c;
  }
}

void TextWriter::new_line_slow(long indent) {
  append_raw("\r\n", 2);
  fill(' ', indent);
}

void TextWriter::fill(char c, long count) {
  if (c == '\n') {
    for (long i = 0; i < count && ok_; ++i)
      put(c);
    return;
  }
  while (count > 0 && ok_) {
    if (used_ == kBufferSize) flush();
    std::size_t take = kBufferSize - used_;
    if (static_cast<unsigned long>(count) < take) take = static_cast<std::size_t>(count);
    std::memset(buffer_.get() + used_, c, take);
    used_ += take;
    count -= static_cast<long>(take);
  }
}

bool TextWriter::close() {
  if (closed_) return ok_;
  closed_ = true;
  flush();
  const bool closed = sink_.close();
  ok_ = ok_ && closed;
  return ok_;
}

}  // namespace movrek
