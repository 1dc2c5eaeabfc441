#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "driver/console.h"
#include "driver/host.h"
#include "driver/paths.h"
#include "text/cp866.h"

namespace movrek {

namespace {

// A call that makes no progress (EAGAIN on a descriptor someone made
// non-blocking, or a write of nothing) is tried again this often before it
// counts as failed.
constexpr int kStallLimit = 100;

[[noreturn]] void out_of_memory() {
  throw std::bad_alloc();
}

// Waits until `fd` is ready for `events`; false when waiting failed.
bool wait_for(int fd, short events) {
  pollfd p{fd, events, 0};
  while (::poll(&p, 1, 1000) < 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Writes all of data to fd through interruptions, short writes and a full
// non-blocking pipe. Throws std::bad_alloc when the system lacks the memory.
bool write_all(int fd, const char* data, std::size_t n) {
  int stalls = 0;
  while (n > 0) {
    const ssize_t put = ::write(fd, data, n < SSIZE_MAX ? n : SSIZE_MAX);
    if (put > 0) {
      data += put;
      n -= static_cast<std::size_t>(put);
      stalls = 0;
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno == ENOMEM) out_of_memory();
    const bool again = put == 0 || errno == EAGAIN || errno == EWOULDBLOCK;
    if (!again || ++stalls > kStallLimit || !wait_for(fd, POLLOUT)) return false;
  }
  return true;
}

class Source final : public ByteSource {
 public:
  ~Source() override {
    if (fd_ >= 0) ::close(fd_);  // nothing was written: nothing to lose
  }
  long read(char* buf, std::size_t n) override {
    int stalls = 0;
    while (true) {
      const ssize_t got = ::read(fd_, buf, n < LONG_MAX ? n : LONG_MAX);
      if (got >= 0) return static_cast<long>(got);
      if (errno == EINTR) continue;
      if (errno == ENOMEM) out_of_memory();
      if ((errno != EAGAIN && errno != EWOULDBLOCK) || ++stalls > kStallLimit ||
          !wait_for(fd_, POLLIN)) {
        return -1;
      }
    }
  }
  int fd_ = -1;
};

class Sink final : public ByteSink {
 public:
  ~Sink() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool write(const char* data, std::size_t n) override {
    return fd_ >= 0 && write_all(fd_, data, n);
  }
  bool close() override {
    const int fd = fd_;
    fd_ = -1;
    if (fd < 0) return false;
    // Linux releases the descriptor even when close is interrupted, and
    // every byte has been handed over by write already.
    if (::close(fd) == 0 || errno == EINTR) return true;
    if (errno == ENOMEM) out_of_memory();
    return false;
  }
  int fd_ = -1;
};

FileError error_of(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileError::kNotFound;
    case ENOMEM:
      return FileError::kNoMemory;
    default:
      return FileError::kOther;
  }
}

int open_retrying(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

class SystemFiles final : public FileSystem {
 public:
  Opened<ByteSource> open(const std::string& path) override {
    auto source = std::make_unique<Source>();  // first, so that no descriptor can leak
    source->fd_ = open_retrying(path, O_RDONLY);
    if (source->fd_ < 0) return {nullptr, error_of(errno)};
    struct stat st;
    if (::fstat(source->fd_, &st) != 0) return {nullptr, error_of(errno)};
    if (S_ISDIR(st.st_mode)) return {nullptr, FileError::kOther};
    return {std::move(source)};
  }
  Opened<ByteSink> create(const std::string& path) override {
    auto sink = std::make_unique<Sink>();
    sink->fd_ = open_retrying(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (sink->fd_ < 0) return {nullptr, error_of(errno)};
    return {std::move(sink)};
  }
};

// Whether the user's locale (not the program's "C") has a UTF-8 character set.
bool locale_is_utf8() {
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  const std::string saved = current != nullptr ? current : "C";
  bool utf8 = false;
  if (std::setlocale(LC_CTYPE, "") != nullptr) utf8 = is_utf8_codeset(nl_langinfo(CODESET));
  std::setlocale(LC_CTYPE, saved.c_str());
  return utf8;
}

class PosixHost final : public Host {
 public:
  explicit PosixHost(const char* argv0) : argv0_(argv0 != nullptr ? argv0 : "") {
    // A console pipe closed by its reader must not end the run before the
    // reports are written; such writes fail instead, and are let go.
    ::signal(SIGPIPE, SIG_IGN);
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    unicode_ = choose_console_text(std::getenv(kConsoleVariable), terminal,
                                   terminal && locale_is_utf8()) == ConsoleText::kUnicode;
  }

  Platform platform() override { return {program_directory(), '/', "-"}; }
  FileSystem& files() override { return files_; }
  // Unbuffered: each message is out before the run goes on. Converted in
  // pieces on the stack, so that even the out-of-memory message gets out.
  void console(std::string_view message) override {
    try {
      while (!message.empty()) {
        const std::string_view part = message.substr(0, kPiece);
        char utf8[3 * kPiece];
        if (unicode_) {
          write_all(STDOUT_FILENO, utf8, cp866_to_utf8(part, utf8));
        } else {
          write_all(STDOUT_FILENO, part.data(), part.size());
        }
        message.remove_prefix(part.size());
      }
    } catch (const std::bad_alloc&) {
    }
  }
  std::string current_directory() override {
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
      if (errno == ENOMEM) out_of_memory();
      if (errno != ERANGE) return std::string();
      buf.resize(buf.size() * 2);
    }
    std::string dir(buf.data());
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
  }

 private:
  std::string program_directory() const {
    // /proc/self/exe names the running executable whatever path started it.
    std::vector<char> buf(4096);
    while (true) {
      const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
      if (n < 0 && errno == ENOMEM) out_of_memory();
      if (n < 0) break;
      if (static_cast<std::size_t>(n) < buf.size()) {
        return directory_of(std::string_view(buf.data(), static_cast<std::size_t>(n)));
      }
      buf.resize(buf.size() * 2);
    }
    // Without /proc, the path the program was started by is the best guess.
    const std::string dir = directory_of(argv0_);
    return dir.empty() ? std::string("./") : dir;
  }

  static constexpr std::size_t kPiece = 512;

  std::string argv0_;
  SystemFiles files_;
  bool unicode_ = false;
};

}  // namespace

std::unique_ptr<Host> make_system_host(const char* argv0) {
  return std::make_unique<PosixHost>(argv0);
}

}  // namespace movrek
