#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "driver/console.h"
#include "driver/host.h"
#include "text/cp866.h"
#include "text/paths.h"

namespace movrek {

namespace {

[[noreturn]] void out_of_memory() {
  throw std::bad_alloc();
}

// A call that made no progress is tried again when it was interrupted, when
// the descriptor is not ready yet (EAGAIN: someone made it non-blocking) or
// when a write took nothing, at most kLimit times in a row; lack of memory
// ends the run; anything else is a failure.
class Retry {
 public:
  static constexpr int kLimit = 100;

  // True to try again. `error` is the call's errno, or 0 for a write of nothing.
  bool again(int fd, short events, int error) {
    if (error == ENOMEM) out_of_memory();
    if (++tries_ > kLimit) return false;
    if (error == EINTR) return true;
    if (error != 0 && error != EAGAIN && error != EWOULDBLOCK) return false;
    pollfd p{fd, events, 0};
    if (::poll(&p, 1, 1000) < 0 && errno == ENOMEM) out_of_memory();
    return true;  // whatever poll said, the call itself tells
  }
  void progress() { tries_ = 0; }

 private:
  int tries_ = 0;
};

// Writes all of data to fd through interruptions, short writes and a full
// non-blocking pipe. Throws std::bad_alloc when the system lacks the memory.
bool write_all(int fd, const char* data, std::size_t n) {
  Retry retry;
  while (n > 0) {
    const ssize_t put = ::write(fd, data, n < SSIZE_MAX ? n : SSIZE_MAX);
    if (put > 0) {
      data += put;
      n -= static_cast<std::size_t>(put);
      retry.progress();
    } else if (!retry.again(fd, POLLOUT, put < 0 ? errno : 0)) {
      return false;
    }
  }
  return true;
}

class Source final : public ByteSource {
 public:
  ~Source() override {
    if (fd_ >= 0) ::close(fd_);  // nothing was written: nothing to lose
  }
  long read(char* buf, std::size_t n) override {
    if (failure_ != 0) return -1;
    Retry retry;
    while (true) {
      const ssize_t got = ::read(fd_, buf, n < LONG_MAX ? n : LONG_MAX);
      if (got >= 0) return static_cast<long>(got);
      if (!retry.again(fd_, POLLIN, errno)) return -1;
    }
  }
  std::optional<std::uint64_t> size() const override { return size_; }
  std::optional<FileId> identity() const override { return identity_; }
  int fd_ = -1;
  std::optional<std::uint64_t> size_;  // a regular file's size when it was opened
  std::optional<FileId> identity_;
  int failure_ = 0;  // an errno that the first read reports
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
  int tries = 0;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR && ++tries < Retry::kLimit);
  return fd;
}

// True when `path` names the regular file that standard output writes to.
bool is_console_file(const std::string& path) {
  struct stat console, target;
  return ::fstat(STDOUT_FILENO, &console) == 0 && S_ISREG(console.st_mode) &&
         ::stat(path.c_str(), &target) == 0 && console.st_dev == target.st_dev &&
         console.st_ino == target.st_ino;
}

FileId id_of(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// stat through interruptions: 0, or the errno it ended with.
int stat_retrying(const std::string& path, struct stat& st) {
  for (int tries = 0; ::stat(path.c_str(), &st) != 0;) {
    if (errno == ENOMEM) out_of_memory();
    if (errno != EINTR || ++tries == Retry::kLimit) return errno;
  }
  return 0;
}

class SystemFiles final : public FileSystem {
 public:
  Opened<ByteSource> open(const std::string& path) override {
    auto source = std::make_unique<Source>();  // first, so that no descriptor can leak
    source->fd_ = open_retrying(path, O_RDONLY);
    if (source->fd_ < 0) return {nullptr, error_of(errno)};
    struct stat st;
    int tries = 0;
    while (::fstat(source->fd_, &st) != 0) {
      if (errno == ENOMEM) out_of_memory();
      if (errno != EINTR || ++tries == Retry::kLimit) {
        // Open, but not to be looked at: a read error of the file, on its
        // first read, like any later failure on it.
        source->failure_ = errno;
        return {std::move(source)};
      }
    }
    if (S_ISDIR(st.st_mode)) return {nullptr, FileError::kOther};
    if (S_ISREG(st.st_mode) && st.st_size >= 0)
      source->size_ = static_cast<std::uint64_t>(st.st_size);
    source->identity_ =
        FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return {std::move(source)};
  }
  Opened<ByteSink> create(const std::string& path) override {
    auto sink = std::make_unique<Sink>();
    if (is_console_file(path)) {
      // The console's own file (/dev/stdout, or where it was sent): the
      // report goes where the console writes, not truncated under it, so
      // that the file holds both in the order of the run.
      sink->fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
      if (sink->fd_ >= 0) return {std::move(sink)};
    }
    sink->fd_ = open_retrying(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (sink->fd_ < 0) return {nullptr, error_of(errno)};
    return {std::move(sink)};
  }
  FileError can_create(const std::string& path) override {
    if (is_console_file(path)) return FileError::kNone;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) return FileError::kOther;
      return ::access(path.c_str(), W_OK) == 0 ? FileError::kNone : error_of(errno);
    }
    if (errno != ENOENT) return error_of(errno);
    // A new file: its directory must be there and take it.
    const std::size_t slash = path.find_last_of('/');
    const std::string dir =
        slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    if (::stat(dir.c_str(), &st) != 0) return error_of(errno);
    if (!S_ISDIR(st.st_mode)) return FileError::kNotFound;
    return ::access(dir.c_str(), W_OK | X_OK) == 0 ? FileError::kNone : error_of(errno);
  }
  std::string real_path(const std::string& path) override {
    // Only a name that is itself a link names another file to edit.
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* const real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
      if (errno == ENOMEM) out_of_memory();
      return path;
    }
    std::string out(real);
    std::free(real);
    return out;
  }
  Identity identify(const std::string& path) override {
    struct stat st;
    switch (stat_retrying(path, st)) {
      case 0:
        return {Identity::Kind::kFile, id_of(st), {}};
      case ENOENT: {
        // Where it would be created: its directory and its last name.
        const std::size_t slash = path.find_last_of('/');
        const std::string dir =
            slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (name.empty() || stat_retrying(dir, st) != 0) return {Identity::Kind::kNoFile, {}, {}};
        return {Identity::Kind::kNoFile, id_of(st), name};
      }
      case ENOTDIR:
        return {Identity::Kind::kNoFile, {}, {}};
      default:
        return {Identity::Kind::kUnknown, {}, {}};
    }
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
    // Closed, and with no /dev/null to hold its place, standard output is no
    // console: a file opened later may take its number.
    console_open_ = ::fcntl(STDOUT_FILENO, F_GETFD) >= 0;
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
      while (console_open_ && !message.empty()) {
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
  bool console_open_ = true;
  bool unicode_ = false;
};

}  // namespace

std::unique_ptr<Host> make_system_host(const char* argv0) {
  // Before anything is allocated or opened: a console pipe closed by its
  // reader must not end the run, and a standard descriptor that was closed
  // must not be handed to a file the run opens, or console messages would
  // land in it.
  ::signal(SIGPIPE, SIG_IGN);
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
      if (null >= 0 && null != fd) ::close(null);  // the lower ones were open after all
    }
  }
  return std::make_unique<PosixHost>(argv0);
}

}  // namespace movrek
