#include "check/options.h"

#include "check/messages.h"
#include "text/char_class.h"
#include "text/format.h"

namespace movrek::check {

Parsed parse_options(int argc, const char* const* argv, std::string_view introducers, Options& out,
                     std::string& complaint) {
  const auto is_introducer = [&](char c) { return introducers.find(c) != std::string_view::npos; };
  bool movrek32_line = false;  // arguments only movrek32 has: it wants its two paths
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    const auto invalid = [&](const auto& pattern, std::string_view what) {
      complaint = format_message(pattern, {what});
      return Parsed::kInvalid;
    };
    // The configuration's name: `rest`, or when that is empty the next argument.
    const auto take_config = [&](std::string_view rest) {
      if (rest.empty() && i + 1 < argc && argv[i + 1] != nullptr) rest = argv[++i];
      if (rest.empty()) return false;
      out.config = std::string(rest);
      return true;
    };
    if (arg.empty()) {
      movrek32_line = true;
      continue;
    }
    if (arg.starts_with("--")) {
      const std::size_t equals = arg.find('=');
      if (arg.substr(0, equals) == "--config") {
        if (equals != std::string_view::npos) {
          if (equals + 1 == arg.size()) return invalid(messages::kMissingValue, arg);
          out.config = std::string(arg.substr(equals + 1));
        } else if (!take_config({})) {
          return invalid(messages::kMissingValue, arg);
        }
      } else if (arg == "--strict") {
        out.strict = true;
      } else if (arg == "--help") {
        return Parsed::kHelp;
      } else if (arg == "--version") {
        return Parsed::kVersion;
      } else {
        return invalid(messages::kUnknownOption, arg);
      }
    } else if (is_introducer(arg[0])) {
      for (std::size_t k = 0; k < arg.size(); k += 2) {
        if (!is_introducer(arg[k])) return invalid(messages::kUnknownOption, arg);
        if (k + 1 == arg.size()) {  // a lone introducer ends the argument
          movrek32_line = true;
          break;
        }
        const unsigned char letter = fold_case(static_cast<unsigned char>(arg[k + 1]));
        if (letter == 'h' || letter == '?') return Parsed::kHelp;
        if (letter == 'c') {
          if (!take_config(arg.substr(k + 2))) {
            return invalid(messages::kMissingValue, arg.substr(k, 2));
          }
          break;
        }
        if (letter == 's') {
          out.strict = true;
        } else if (letter == 'n' || letter == 'o') {
          movrek32_line = true;
        } else {
          return invalid(messages::kUnknownOption, arg);
        }
      }
    } else if (out.paths.size() < 2) {
      out.paths.emplace_back(arg);
    } else {
      return invalid(messages::kExtraArgument, arg);
    }
  }
  if (out.paths.size() == 1 || (out.paths.empty() && movrek32_line)) {
    complaint = std::string(messages::kOnePath.view());
    return Parsed::kInvalid;
  }
  return Parsed::kRun;
}

}  // namespace movrek::check
