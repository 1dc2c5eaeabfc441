#pragma once

#include <string>
#include <string_view>

namespace movrek {

struct CommandLine {
  std::string input_path;
  std::string output_path;
};

// Parses the arguments after the program name. `introducers` holds the bytes
// that introduce options on this host. Returns 0 for a valid command line
// (both paths stored), 1 when help was requested, -1 when it is invalid.
int parse_command_line(int argc, const char* const* argv, std::string_view introducers,
                       CommandLine& out);

}  // namespace movrek
