#include "text/paths.h"

namespace movrek {

std::string join_path(std::string_view directory, std::string_view name, char fallback) {
  std::string out;
  out.reserve(directory.size() + name.size() + 1);
  if (has_drive(directory)) {
    out.append(directory.substr(0, 2));
    directory.remove_prefix(2);
  }
  if (!directory.empty()) {
    char sep = fallback;
    for (char c : directory) {
      if (is_separator(c)) {
        sep = c;
        break;
      }
    }
    for (char c : directory)
      out.push_back(is_separator(c) ? sep : c);
    if (!is_separator(directory.back())) out.push_back(sep);
  }
  out.append(name);
  return out;
}

std::string directory_of(std::string_view path) {
  std::size_t end = path.size();
  while (end > 0 && !is_separator(path[end - 1]))
    --end;
  if (end == 0 && has_drive(path)) end = 2;
  return std::string(path.substr(0, end));
}

}  // namespace movrek
