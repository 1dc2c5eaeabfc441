#pragma once

#include <string>
#include <string_view>

namespace movrek {

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
