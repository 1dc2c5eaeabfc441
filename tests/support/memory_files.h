#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "driver/host.h"
#include "driver/run.h"
#include "text/byte_io.h"

// Files, sources, sinks and a whole host in memory, for tests and fuzzing:
// every stage of a run can be driven without a disk, and any file call can
// be made to fail.
namespace movrek::testing {

// Serves `data`; `chunk` caps the bytes a read returns, and the read that
// would pass offset `fail_at` fails. It tells its size when asked to, as a
// regular file does.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view data, std::size_t chunk = SIZE_MAX,
                        std::size_t fail_at = SIZE_MAX)
      : data_(data), chunk_(chunk), fail_at_(fail_at) {}
  long read(char* buf, std::size_t n) override;
  std::optional<std::uint64_t> size() const override {
    return tells_size ? std::optional<std::uint64_t>(data_.size()) : std::nullopt;
  }

  bool tells_size = false;

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
  std::size_t chunk_;
  std::size_t fail_at_;
};

// Keeps what is written; writes fail once `capacity` bytes are held.
class StringSink final : public ByteSink {
 public:
  explicit StringSink(std::size_t capacity = SIZE_MAX) : capacity_(capacity) {}
  bool write(const char* data, std::size_t n) override;
  bool close() override { return true; }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::size_t capacity_;
};

// A file system of named byte strings. Paths are plain keys: a run opens
// exactly the names it was given, except that a name in `links` stands for
// the name it maps to, as a symbolic link does. Every call is counted (open, create, each
// read and write, each close), and the one numbered `fail_at` fails.
class MemoryFiles final : public FileSystem {
 public:
  enum class Fault {
    kIo,        // opens fail as for an unreadable file, reads and closes fail,
                // a write takes half its bytes and fails
    kNoMemory,  // opens say kNoMemory; reads, writes and closes throw std::bad_alloc
  };

  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::map<std::string, std::string> links;  // name -> the name it stands for
  std::set<std::string> created;             // every name created, in any way
  std::size_t chunk = SIZE_MAX;              // the most bytes one read returns
  std::size_t capacity = SIZE_MAX;           // the most bytes a file takes: then the disk is full
  long fail_at = 0;                          // 0: nothing fails
  Fault fault = Fault::kIo;
  bool windows_names = false;  // names of files yet to be made fold case

  long calls() const { return calls_; }
  // The call that failed, as "read NAME" (open, create, read, write, close),
  // or empty.
  const std::string& failed() const { return failed_; }
  // For a read that failed, the bytes of the file read before it.
  std::size_t failed_offset() const { return failed_offset_; }

  Opened<ByteSource> open(const std::string& path) override;
  Opened<ByteSink> create(const std::string& path) override;
  // A file's identity is its place among the names resolved so far.
  Identity identify(const std::string& path) override;
  FileError can_create(const std::string& path) override;
  std::string real_path(const std::string& path) override { return resolve(path); }

  // The name that `path` stands for, through any number of links.
  std::string resolve(const std::string& path) const;

  // Counts a call; true when it is the one to fail, in which case a
  // kNoMemory fault of a call that cannot say so throws.
  bool fails(const char* call, const std::string& path, bool can_say_no_memory = false);

 private:
  friend class OpenedSource;
  long calls_ = 0;
  std::string failed_;
  std::size_t failed_offset_ = 0;
  std::map<std::string, std::uint64_t> ids_;
};

// A host of memory files and a console string.
class MemoryHost final : public Host {
 public:
  MemoryFiles memory;
  std::string console_bytes;
  Platform system{"/prog/", '/', "-"};
  std::string current_dir = "/work/";

  Platform platform() override { return system; }
  FileSystem& files() override { return memory; }
  void console(std::string_view message) override { console_bytes.append(message); }
  std::string current_directory() override { return current_dir; }

  // Runs a program (movrek32 unless told) with these arguments after its
  // name; gives the exit code.
  using Program = int (*)(int, const char* const*, Host&);
  int run(const std::vector<std::string>& args, Program program = program_main);
};

}  // namespace movrek::testing
