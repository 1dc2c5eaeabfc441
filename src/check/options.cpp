#include "check/options.h"

#include "check/messages.h"
#include "text/char_class.h"
#include "text/format.h"

namespace movrek::check {

Parsed parse_options(int argc, const char* const* argv, std::string_view introducers, Options& out,
                     std::string& complaint) {
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    // The value of -c or --config: the rest of the argument, or when there
    // is none, the next argument.
    const auto take_config = [&](std::optional<std::string_view> rest) {
      if (!rest && i + 1 < argc && argv[i + 1] != nullptr) rest = argv[++i];
      if (!rest || rest->empty()) {
        complaint = format_message(messages::kMissingValue, {arg});
        return false;
      }
      out.config = std::string(*rest);
      return true;
    };
    if (arg.empty()) continue;
    if (options && arg == "--") {
      options = false;
    } else if (options && arg.starts_with("--")) {
      const std::size_t equals = arg.find('=');
      const std::string_view name = arg.substr(2, equals - 2);
      if (name == "config") {
        const std::optional<std::string_view> value =
            equals == std::string_view::npos ? std::nullopt : std::optional(arg.substr(equals + 1));
        if (!take_config(value)) return Parsed::kInvalid;
      } else if (arg == "--strict") {
        out.strict = true;
      } else if (arg == "--help") {
        return Parsed::kHelp;
      } else if (arg == "--version") {
        return Parsed::kVersion;
      } else {
        complaint = format_message(messages::kUnknownOption, {arg});
        return Parsed::kInvalid;
      }
    } else if (options && arg.size() > 1 && introducers.find(arg[0]) != std::string_view::npos) {
      for (std::size_t k = 1; k < arg.size(); ++k) {
        const unsigned char letter = fold_case(static_cast<unsigned char>(arg[k]));
        if (letter == 's') {
          out.strict = true;
        } else if (letter == 'h' || letter == '?') {
          return Parsed::kHelp;
        } else if (letter == 'c') {
          const std::string_view rest = arg.substr(k + 1);
          if (!take_config(rest.empty() ? std::nullopt : std::optional(rest))) {
            return Parsed::kInvalid;
          }
          break;
        } else {
          complaint = format_message(messages::kUnknownOption, {arg});
          return Parsed::kInvalid;
        }
      }
    } else if (out.paths.size() < 2) {
      out.paths.emplace_back(arg);
    } else {
      complaint = format_message(messages::kExtraArgument, {arg});
      return Parsed::kInvalid;
    }
  }
  return Parsed::kRun;
}

}  // namespace movrek::check
