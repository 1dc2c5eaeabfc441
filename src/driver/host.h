#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "text/byte_io.h"

namespace movrek {

// What a run needs to know of the system it runs on.
struct Platform {
  std::string program_dir;  // the running executable's directory, ending in a separator
  char separator = '/';     // appended where a directory ends in none
  std::string_view option_introducers = "-";
  // Windows file names: ASCII letters in either case and either separator
  // name the same file, and "\\" and "c:" start absolute names.
  bool windows_names = false;
};

// What differs between the hosts movrek32 runs on, and all that a run takes
// from its host: where the program lies and how paths and options are
// written, the files, and the console. Tests stand in a host of their own.
class Host {
 public:
  virtual ~Host() = default;
  // Throws std::bad_alloc when memory runs out.
  virtual Platform platform() = 0;
  virtual FileSystem& files() = 0;
  // Writes one console message (CP866 bytes) and sees it on its way. A
  // console that cannot take it loses it: the reports are what counts.
  virtual void console(std::string_view message) = 0;
  // The current directory, ending in a separator; empty when it cannot be
  // told. Throws std::bad_alloc when memory runs out.
  virtual std::string current_directory() { return {}; }
};

// The system the program runs on. `argv0` is a fallback for a system that
// cannot tell where the running executable lies. One source file per host
// implements it; nothing else in the program knows which host it runs on.
std::unique_ptr<Host> make_system_host(const char* argv0);

}  // namespace movrek
