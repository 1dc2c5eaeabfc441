#include <unistd.h>

#include <string>
#include <vector>

#include "driver/host.h"
#include "driver/paths.h"

namespace movrek::host {

std::string program_directory(const char* argv0) {
  // /proc/self/exe names the running executable whatever path started it.
  std::vector<char> buf(4096);
  while (true) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) break;
    if (static_cast<std::size_t>(n) < buf.size()) {
      return directory_of(std::string_view(buf.data(), static_cast<std::size_t>(n)));
    }
    buf.resize(buf.size() * 2);
  }
  // Without /proc, the path the program was started by is the best guess.
  std::string dir = directory_of(argv0 != nullptr ? argv0 : "");
  return dir.empty() ? std::string("./") : dir;
}

char default_separator() {
  return '/';
}

// An argument that begins with "/" is an absolute path here, not an option.
bool is_option_introducer(char c) {
  return c == '-';
}

void prepare_console() {}

}  // namespace movrek::host
