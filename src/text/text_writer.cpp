#include "text/text_writer.h"

#include <algorithm>

namespace movrek {

TextWriter::TextWriter(ByteSink& sink)
    : sink_(&sink), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

TextWriter::TextWriter()
    : sink_(nullptr), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

void TextWriter::make_room() {
  if (sink_ == nullptr) {
    auto bigger = std::make_unique_for_overwrite<char[]>(2 * capacity_);
    std::memcpy(bigger.get(), buffer_.get(), used_);
    buffer_ = std::move(bigger);
    capacity_ *= 2;
    return;
  }
  if (used_ > 0 && ok_) ok_ = sink_->write(buffer_.get(), used_);
  used_ = 0;
}

void TextWriter::append_raw(const char* data, std::size_t n) {
  while (n > 0 && ok_) {
    if (used_ == capacity_) make_room();
    std::size_t take = capacity_ - used_;
    if (take > n) take = n;
    std::memcpy(buffer_.get() + used_, data, take);
    used_ += take;
    data += take;
    n -= take;
  }
}

void TextWriter::write_raw(std::string_view bytes) {
  // Whole buffers' worth go to the sink straight from `bytes`: the writes
  // are those of copying them through the buffer, without the copy.
  const std::size_t fill = std::min(bytes.size(), capacity_ - used_);
  append_raw(bytes.data(), fill);
  bytes.remove_prefix(fill);
  if (bytes.empty()) return;
  make_room();
  // Not a last whole buffer's worth: copied, it would wait for a byte more.
  while (sink_ != nullptr && bytes.size() > capacity_ && ok_) {
    ok_ = sink_->write(bytes.data(), capacity_);
    bytes.remove_prefix(capacity_);
  }
  append_raw(bytes.data(), bytes.size());
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
    if (used_ == capacity_) make_room();
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
    if (used_ == capacity_) make_room();
    std::size_t take = capacity_ - used_;
    if (static_cast<unsigned long>(count) < take) take = static_cast<std::size_t>(count);
    std::memset(buffer_.get() + used_, c, take);
    used_ += take;
    count -= static_cast<long>(take);
  }
}

bool TextWriter::close() {
  if (closed_) return ok_;
  closed_ = true;
  if (sink_ == nullptr) return ok_;
  make_room();
  const bool closed = sink_->close();
  ok_ = ok_ && closed;
  return ok_;
}

}  // namespace movrek
