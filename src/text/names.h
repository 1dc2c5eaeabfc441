#pragma once

#include <cstddef>
#include <string_view>

namespace movrek {

// Compares two whole texts byte by byte as unsigned values, with only the
// ASCII letters A..Z folded to lower case. Returns <0, 0 or >0 like strcmp.
// Every name lookup, keyword match, exclusion test and sort goes through it.
int compare_names(std::string_view a, std::string_view b);

inline bool names_equal(std::string_view a, std::string_view b) {
  // Names that match byte for byte are the common case; fold only otherwise.
  return a.size() == b.size() && (a == b || compare_names(a, b) == 0);
}

// Hash and equality that agree with compare_names, for unordered containers
// keyed by names. Both are transparent, so string_view keys need no copies.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const;
};
struct NameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return names_equal(a, b); }
};

}  // namespace movrek
