#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// Raw byte sources and sinks: files opened in binary mode, or memory for tests.
// The DOS text convention is applied on top of them by TextReader and TextWriter.
namespace movrek {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to n bytes into buf. Returns the count, 0 at the end of the data,
  // or -1 when the read failed.
  virtual long read(char* buf, std::size_t n) = 0;
};

class FileSource final : public ByteSource {
 public:
  // Opens the file for reading. Returns nothing when it cannot be opened or
  // when the path names a directory.
  static std::unique_ptr<FileSource> open(const std::string& path);
  ~FileSource() override;
  long read(char* buf, std::size_t n) override;

 private:
  explicit FileSource(std::FILE* f) : file_(f) {}
  std::FILE* file_;
};

class MemorySource final : public ByteSource {
 public:
  // `chunk` caps the bytes returned per read, so tests can cut the data at any
  // point; `fail_at` makes the read that would pass that offset fail.
  explicit MemorySource(std::string_view data, std::size_t chunk = SIZE_MAX,
                        std::size_t fail_at = SIZE_MAX)
      : data_(data), chunk_(chunk), fail_at_(fail_at) {}
  long read(char* buf, std::size_t n) override;

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
  std::size_t chunk_;
  std::size_t fail_at_;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all n bytes; false when they could not all be written.
  virtual bool write(const char* data, std::size_t n) = 0;
  // Flushes and closes; false when that failed.
  virtual bool close() = 0;
};

class FileSink final : public ByteSink {
 public:
  // Creates the file, replacing any file of that name. Returns nothing when it
  // cannot be created.
  static std::unique_ptr<FileSink> create(const std::string& path);
  ~FileSink() override;
  bool write(const char* data, std::size_t n) override;
  bool close() override;

 private:
  explicit FileSink(std::FILE* f) : file_(f) {}
  std::FILE* file_;
};

class StringSink final : public ByteSink {
 public:
  // `capacity` makes writes fail once that many bytes are held (a full disk).
  explicit StringSink(std::size_t capacity = SIZE_MAX) : capacity_(capacity) {}
  bool write(const char* data, std::size_t n) override;
  bool close() override { return true; }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::size_t capacity_;
};

}  // namespace movrek
