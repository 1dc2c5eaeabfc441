#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>

// The one seam through which the program reaches files: a FileSystem opens
// byte sources and creates byte sinks. The host's file system serves a run;
// tests and the fuzzer serve files from memory and fail any call they like.
// The DOS text convention is applied on top by TextReader and TextWriter.
//
// Lack of memory is never a plain failure: a call that the system refused for
// want of memory says so (kNoMemory), and reads, writes and closes throw
// std::bad_alloc, so that it ends the run like any failed allocation.
namespace movrek {

// Which file a name stands for, as the system tells files apart: device and
// inode, or volume and file index. Two names of one file (a link, "a/../b",
// an absolute and a relative spelling) give the same identity.
struct FileId {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  bool operator==(const FileId&) const = default;
};

// What the system says of a name.
struct Identity {
  enum class Kind {
    kFile,     // `id` is the file's identity (a directory is a file here too)
    kNoFile,   // nothing has that name: `id` is the directory that would hold
               // it, under `name`, or `name` is empty when there is none
    kUnknown,  // the system could not tell (no permission, an I/O error, ...)
  };
  Kind kind = Kind::kUnknown;
  FileId id;
  std::string name;
};

// True when two identities are one file, or would be once it is created.
inline bool same_file(const Identity& a, const Identity& b) {
  if (a.kind != b.kind || !(a.id == b.id)) return false;
  return a.kind == Identity::Kind::kFile ||
         (a.kind == Identity::Kind::kNoFile && !a.name.empty() && a.name == b.name);
}

// A source is read by one thread at a time, but not always by the thread that
// opened it: a large file kept in memory is read on a second thread (see
// BlockLoader), which ends before the reader that started it is gone. So a
// source keeps no state tied to a thread, and may throw std::bad_alloc from
// read() on either.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to n bytes into buf. Returns the count, which may be short of
  // n before the end; 0 at the end of the data; -1 when the read failed.
  virtual long read(char* buf, std::size_t n) = 0;
  // The number of bytes the source holds, when it can tell before reading (a
  // regular file); nothing when it cannot (a pipe). A guide for the size of a
  // buffer only: a file that changes while it is read gives more or fewer.
  virtual std::optional<std::uint64_t> size() const { return std::nullopt; }
  // The identity of the file it reads, when the system told it at the open.
  virtual std::optional<FileId> identity() const { return std::nullopt; }
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all n bytes; false when they could not all be written.
  virtual bool write(const char* data, std::size_t n) = 0;
  // Closes the sink; false when that failed. A sink destroyed unclosed is
  // closed without a word.
  virtual bool close() = 0;
};

// Why a file could not be opened or created.
enum class FileError {
  kNone,
  kNotFound,  // no file of that name
  kNoMemory,  // the system lacked the memory to open it
  kOther,     // a directory, no permission, an I/O error, ...
};

template <typename File>
struct Opened {
  std::unique_ptr<File> file;  // set exactly when error is kNone
  FileError error = FileError::kNone;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens an existing file for reading, as bytes. A directory is no file.
  virtual Opened<ByteSource> open(const std::string& path) = 0;
  // Creates a file for writing, replacing any file of that name.
  virtual Opened<ByteSink> create(const std::string& path) = 0;
  // Which file the name stands for, following links, without opening it; for
  // a name that no file has, where it would be created. Throws
  // std::bad_alloc when the system lacked the memory to tell.
  virtual Identity identify(const std::string& path) = 0;
  // What create(path) would give, as far as the system tells without
  // creating anything: kNone when it would succeed.
  virtual FileError can_create(const std::string& path) = 0;
  // When `path` is a link, the name of the file it stands for, for telling a
  // user which file to edit; else, or when the system cannot tell, `path`.
  virtual std::string real_path(const std::string& path) = 0;
};

// The file, or nullptr when it could not be opened; throws std::bad_alloc
// when that was for lack of memory.
template <typename File>
std::unique_ptr<File> file_or_null(Opened<File> opened) {
  if (opened.error == FileError::kNoMemory) throw std::bad_alloc();
  return std::move(opened.file);
}

}  // namespace movrek
