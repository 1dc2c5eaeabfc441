#include <windows.h>

#include <string>
#include <vector>

#include "driver/host.h"
#include "driver/paths.h"

namespace movrek::host {

std::string program_directory(const char* argv0) {
  std::vector<char> buf(MAX_PATH + 1);
  while (true) {
    const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) break;
    if (n < buf.size()) return directory_of(std::string_view(buf.data(), n));
    buf.resize(buf.size() * 2);
  }
  std::string dir = directory_of(argv0 != nullptr ? argv0 : "");
  return dir.empty() ? std::string(".\\") : dir;
}

char default_separator() {
  return '\\';
}

bool is_option_introducer(char c) {
  return c == '-' || c == '/';
}

// Standard output stays in text mode, as a Win32 console program's does.
void prepare_console() {}

}  // namespace movrek::host
