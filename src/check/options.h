#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace movrek::check {

struct Options {
  std::optional<std::string> config;  // -c FILE
  bool strict = false;                // -s
  std::vector<std::string> paths;     // movrek32's two arguments, or none
};

enum class Parsed { kRun, kHelp, kVersion, kInvalid };

// Reads `movrek32-check [-c FILE] [-s] [movrek32's own arguments]`: the
// command line of movrek32 with the checker's options added, so that a
// sysop can put the checker's name in front of movrek32's. Options are read
// as movrek32 reads them: pairs of an introducer (one of `introducers`) and a
// letter, each followed by another introducer or the end of the argument;
// n and o are movrek32's and change nothing, h and ? ask for help, s is
// --strict, and c takes the configuration from the rest of its argument or
// else from the next one. The long forms --config FILE (or --config=FILE),
// --strict, --help and --version stand alone; "--", which movrek32 refuses,
// is refused too. Empty arguments are passed over. Positional arguments: the
// list and the main report, or none to check the configuration alone, but
// not when the command line has arguments that only movrek32 takes (its
// options, a lone introducer, an empty argument): movrek32 would refuse it.
// On kInvalid `complaint` is the console line that says why.
Parsed parse_options(int argc, const char* const* argv, std::string_view introducers, Options& out,
                     std::string& complaint);

}  // namespace movrek::check
