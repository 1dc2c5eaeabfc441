#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "driver/console.h"
#include "driver/host.h"
#include "text/char_class.h"
#include "text/cp866.h"
#include "text/paths.h"

namespace movrek {

namespace {

bool out_of_memory(DWORD error) {
  return error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY;
}

FileError error_of(DWORD error) {
  if (out_of_memory(error)) return FileError::kNoMemory;
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FileError::kNotFound;
  return FileError::kOther;
}

class Source final : public ByteSource {
 public:
  ~Source() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  long read(char* buf, std::size_t n) override {
    DWORD got = 0;
    const DWORD want = n < 0x40000000 ? static_cast<DWORD>(n) : 0x40000000;
    if (ReadFile(handle_, buf, want, &got, nullptr)) return static_cast<long>(got);
    const DWORD error = GetLastError();
    if (error == ERROR_BROKEN_PIPE) return 0;  // the writer of a pipe is done
    if (out_of_memory(error)) throw std::bad_alloc();
    return -1;
  }
  std::optional<std::uint64_t> size() const override { return size_; }
  std::optional<FileId> identity() const override { return identity_; }
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::optional<std::uint64_t> size_;  // a disk file's size when it was opened
  std::optional<FileId> identity_;
};

// The volume's serial number and the file's index, which tell files apart.
std::optional<FileId> identity_of(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) {
    if (out_of_memory(GetLastError())) throw std::bad_alloc();
    return std::nullopt;
  }
  return FileId{info.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

class Sink final : public ByteSink {
 public:
  ~Sink() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool write(const char* data, std::size_t n) override {
    while (n > 0 && handle_ != INVALID_HANDLE_VALUE) {
      DWORD put = 0;
      const DWORD want = n < 0x40000000 ? static_cast<DWORD>(n) : 0x40000000;
      if (!WriteFile(handle_, data, want, &put, nullptr)) {
        if (out_of_memory(GetLastError())) throw std::bad_alloc();
        return false;
      }
      if (put == 0) return false;
      data += put;
      n -= put;
    }
    return n == 0;
  }
  bool close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (handle == INVALID_HANDLE_VALUE) return false;
    if (CloseHandle(handle)) return true;
    if (out_of_memory(GetLastError())) throw std::bad_alloc();
    return false;
  }
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class SystemFiles final : public FileSystem {
 public:
  // The sharing and creation modes of the C library's fopen "rb" and "wb".
  Opened<ByteSource> open(const std::string& path) override {
    auto source = std::make_unique<Source>();
    source->handle_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source->handle_ == INVALID_HANDLE_VALUE) return {nullptr, error_of(GetLastError())};
    LARGE_INTEGER size;
    if (GetFileType(source->handle_) == FILE_TYPE_DISK && GetFileSizeEx(source->handle_, &size) &&
        size.QuadPart >= 0) {
      source->size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    if (GetFileType(source->handle_) == FILE_TYPE_DISK)
      source->identity_ = identity_of(source->handle_);
    return {std::move(source)};
  }
  Opened<ByteSink> create(const std::string& path) override {
    auto sink = std::make_unique<Sink>();
    sink->handle_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (sink->handle_ == INVALID_HANDLE_VALUE) return {nullptr, error_of(GetLastError())};
    return {std::move(sink)};
  }
  FileError can_create(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      const bool writable =
          (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
      return writable ? FileError::kNone : FileError::kOther;
    }
    const DWORD error = GetLastError();
    if (out_of_memory(error)) throw std::bad_alloc();
    if (error != ERROR_FILE_NOT_FOUND) return error_of(error);
    // A new file: its directory must be there.
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return FileError::kNone;
    const std::string dir = path.substr(0, slash + 1);
    const DWORD dir_attributes = GetFileAttributesA(dir.c_str());
    if (dir_attributes == INVALID_FILE_ATTRIBUTES) return error_of(GetLastError());
    return (dir_attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileError::kNone
                                                            : FileError::kNotFound;
  }
  std::string real_path(const std::string& path) override { return path; }
  Identity identify(const std::string& path) override {
    Identity identity = identify_existing(path);
    if (identity.kind != Identity::Kind::kNoFile || identity.name.empty()) return identity;
    // Where it would be created: its directory and its last name, in either
    // case, as the file system takes it.
    const std::size_t slash = path.find_last_of("\\/");
    const std::size_t colon = path.size() >= 2 && path[1] == ':' ? 1 : std::string::npos;
    const std::size_t end = slash != std::string::npos ? slash : colon;
    const std::string dir = end == std::string::npos ? std::string(".") : path.substr(0, end + 1);
    std::string name = end == std::string::npos ? path : path.substr(end + 1);
    for (char& c : name)
      c = static_cast<char>(fold_case(static_cast<unsigned char>(c)));
    const Identity directory = identify_existing(dir);
    if (name.empty() || directory.kind != Identity::Kind::kFile) {
      return {Identity::Kind::kNoFile, {}, {}};
    }
    return {Identity::Kind::kNoFile, directory.id, name};
  }

 private:
  // The identity of an existing file or directory; kNoFile (with a name, so
  // that the caller looks further) when there is none.
  Identity identify_existing(const std::string& path) {
    // Opened for no access at all, which a directory allows too.
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (out_of_memory(error)) throw std::bad_alloc();
      if (error == ERROR_FILE_NOT_FOUND) return {Identity::Kind::kNoFile, {}, path};
      if (error == ERROR_PATH_NOT_FOUND) return {Identity::Kind::kNoFile, {}, {}};
      return {Identity::Kind::kUnknown, {}, {}};
    }
    std::optional<FileId> id;
    try {
      id = identity_of(handle);
    } catch (...) {
      CloseHandle(handle);
      throw;
    }
    CloseHandle(handle);
    if (!id) return {Identity::Kind::kUnknown, {}, {}};
    return {Identity::Kind::kFile, *id, {}};
  }
};

class WindowsHost final : public Host {
 public:
  explicit WindowsHost(const char* argv0) : argv0_(argv0 != nullptr ? argv0 : "") {
    DWORD mode = 0;
    console_ = GetStdHandle(STD_OUTPUT_HANDLE);
    const bool terminal = GetConsoleMode(console_, &mode) != 0;
    // A console shows UTF-16 text right whatever its code page.
    unicode_ =
        choose_console_text(std::getenv(kConsoleVariable), terminal, true) == ConsoleText::kUnicode;
    wide_ = unicode_ && terminal;
  }

  Platform platform() override { return {program_directory(), '\\', "-/", true}; }
  FileSystem& files() override { return files_; }
  // Standard output stays in text mode, as a Win32 console program's does;
  // the text is converted in pieces on the stack.
  void console(std::string_view message) override {
    while (!message.empty()) {
      const std::string_view part = message.substr(0, kPiece);
      if (wide_) {
        wchar_t wide[kPiece];
        for (std::size_t i = 0; i < part.size(); ++i) {
          const unsigned char c = static_cast<unsigned char>(part[i]);
          wide[i] = c < 0x80 ? c : static_cast<wchar_t>(kCp866Upper[c - 0x80]);
        }
        DWORD written = 0;
        WriteConsoleW(console_, wide, static_cast<DWORD>(part.size()), &written, nullptr);
      } else if (unicode_) {
        char utf8[3 * kPiece];
        std::fwrite(utf8, 1, cp866_to_utf8(part, utf8), stdout);
      } else {
        std::fwrite(part.data(), 1, part.size(), stdout);
      }
      message.remove_prefix(part.size());
    }
    std::fflush(stdout);
  }
  std::string current_directory() override {
    std::vector<char> buf(MAX_PATH + 1);
    while (true) {
      const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
      if (n == 0 && out_of_memory(GetLastError())) throw std::bad_alloc();
      if (n == 0) return std::string();
      if (n < buf.size()) break;
      buf.resize(n + 1);
    }
    std::string dir(buf.data());
    if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) dir.push_back('\\');
    return dir;
  }

 private:
  std::string program_directory() const {
    std::vector<char> buf(MAX_PATH + 1);
    while (true) {
      const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
      if (n == 0 && out_of_memory(GetLastError())) throw std::bad_alloc();
      if (n == 0) break;
      if (n < buf.size()) return directory_of(std::string_view(buf.data(), n));
      buf.resize(buf.size() * 2);
    }
    const std::string dir = directory_of(argv0_);
    return dir.empty() ? std::string(".\\") : dir;
  }

  static constexpr std::size_t kPiece = 512;
  std::string argv0_;
  SystemFiles files_;
  HANDLE console_ = INVALID_HANDLE_VALUE;
  bool unicode_ = false;  // the reader gets text, not CP866 bytes
  bool wide_ = false;     // ... on a console, in UTF-16
};

}  // namespace

std::unique_ptr<Host> make_system_host(const char* argv0) {
  return std::make_unique<WindowsHost>(argv0);
}

}  // namespace movrek
