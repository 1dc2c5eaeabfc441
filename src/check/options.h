#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace movrek::check {

struct Options {
  std::optional<std::string> config;  // -c FILE
  bool strict = false;                // -s
  std::vector<std::string> paths;     // the list, then the main report
};

enum class Parsed { kRun, kHelp, kVersion, kInvalid };

// Reads `movrek32-check [-c FILE] [-s] [LIST [REPORT]]` with the long forms
// --config FILE (or --config=FILE), --strict, --help and --version; short
// options start with any of `introducers` and may be joined (-sc FILE), and
// "--" ends the options. On kInvalid `complaint` is the console line that
// says why.
Parsed parse_options(int argc, const char* const* argv, std::string_view introducers, Options& out,
                     std::string& complaint);

}  // namespace movrek::check
