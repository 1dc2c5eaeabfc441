#include "driver/command_line.h"

#include <string_view>

#include "text/char_class.h"

namespace movrek {

namespace {

enum class OptionResult { kAccepted, kHelp, kInvalid };

// Reads an argument of options: pairs of an introducer and a letter, each pair
// followed by another introducer or the end of the argument.
OptionResult read_options(std::string_view arg, std::string_view introducers) {
  const auto is_introducer = [&](char c) { return introducers.find(c) != std::string_view::npos; };
  std::size_t i = 0;
  while (i < arg.size()) {
    if (!is_introducer(arg[i])) return OptionResult::kInvalid;
    if (i + 1 == arg.size()) break;  // a lone introducer ends the argument
    switch (fold_case(static_cast<unsigned char>(arg[i + 1]))) {
      case 'h':
      case '?':
        return OptionResult::kHelp;
      case 'n':
      case 'o':
        break;
      default:
        return OptionResult::kInvalid;
    }
    i += 2;
  }
  return OptionResult::kAccepted;
}

}  // namespace

int parse_command_line(int argc, const char* const* argv, std::string_view introducers,
                       CommandLine& out) {
  int positional = 0;
  bool help = false;
  bool invalid = false;
  for (int i = 1; i < argc && !help && !invalid; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    if (arg.empty()) continue;
    if (introducers.find(arg.front()) != std::string_view::npos) {
      const OptionResult r = read_options(arg, introducers);
      help = r == OptionResult::kHelp;
      invalid = r == OptionResult::kInvalid;
      continue;
    }
    if (positional == 0) {
      out.input_path = std::string(arg);
    } else if (positional == 1) {
      out.output_path = std::string(arg);
    } else {
      invalid = true;
      continue;
    }
    ++positional;
  }
  if (positional != 2) return -1;
  if (help) return 1;
  return invalid ? -1 : 0;
}

}  // namespace movrek
