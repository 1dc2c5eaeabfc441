#include "text/byte_io.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace movrek {

std::unique_ptr<FileSource> FileSource::open(const std::string& path) {
  std::error_code ec;
  if (path.empty() || std::filesystem::is_directory(std::filesystem::path(path), ec)) {
    return nullptr;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return nullptr;
  // TextReader reads in large blocks of its own; a second buffer only copies.
  std::setvbuf(f, nullptr, _IONBF, 0);
  return std::unique_ptr<FileSource>(new FileSource(f));
}

FileSource::~FileSource() {
  std::fclose(file_);
}

long FileSource::read(char* buf, std::size_t n) {
  const std::size_t got = std::fread(buf, 1, n, file_);
  if (got == 0 && std::ferror(file_)) return -1;
  return static_cast<long>(got);
}

long MemorySource::read(char* buf, std::size_t n) {
  std::size_t want = n < chunk_ ? n : chunk_;
  const std::size_t left = data_.size() - pos_;
  if (want > left) want = left;
  if (fail_at_ != SIZE_MAX && pos_ + want > fail_at_) {
    if (pos_ >= fail_at_) return -1;
    want = fail_at_ - pos_;
  }
  // An empty view may have no data pointer at all, which memcpy must not see.
  if (want > 0) std::memcpy(buf, data_.data() + pos_, want);
  pos_ += want;
  return static_cast<long>(want);
}

std::unique_ptr<FileSink> FileSink::create(const std::string& path) {
  if (path.empty()) return nullptr;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return nullptr;
  std::setvbuf(f, nullptr, _IONBF, 0);
  return std::unique_ptr<FileSink>(new FileSink(f));
}

FileSink::~FileSink() {
  if (file_ != nullptr) std::fclose(file_);
}

bool FileSink::write(const char* data, std::size_t n) {
  if (file_ == nullptr) return false;
  return std::fwrite(data, 1, n, file_) == n;
}

bool FileSink::close() {
  if (file_ == nullptr) return false;
  const bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok && closed;
}

bool StringSink::write(const char* data, std::size_t n) {
  if (bytes_.size() + n > capacity_) {
    bytes_.append(data, capacity_ - bytes_.size());
    return false;
  }
  bytes_.append(data, n);
  return true;
}

}  // namespace movrek
