#pragma once

#include <string>
#include <string_view>

// File names as both hosts write them: a backslash or a slash separates
// directories, and a name may start with a drive letter and a colon.
namespace movrek {

constexpr bool is_separator(char c) {
  return c == '\\' || c == '/';
}

// True when `path` starts with a drive letter and a colon ("c:").
constexpr bool has_drive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// True when `path` does not depend on the current directory: it starts with
// a slash, or where `windows_names` holds, also with a backslash or a drive.
constexpr bool is_absolute_path(std::string_view path, bool windows_names) {
  if (!path.empty() && path[0] == '/') return true;
  return windows_names && ((!path.empty() && path[0] == '\\') || has_drive(path));
}

// Joins a directory (with an optional drive letter and colon) and a file name:
// every backslash or slash of the directory is written as the first of the two
// that occurs in it; then that separator (`fallback` when the directory holds
// none) unless the directory already ends in one; then the name. An empty
// directory gives the name alone.
std::string join_path(std::string_view directory, std::string_view name, char fallback);

// The drive and directory part of a full file name, ending in a separator
// (empty when the name has neither).
std::string directory_of(std::string_view path);

}  // namespace movrek
