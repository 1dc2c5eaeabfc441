#include "text/names.h"

#include <cstdint>

#include "text/char_class.h"

namespace movrek {

int compare_names(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = fold_case(static_cast<unsigned char>(a[i]));
    const unsigned char y = fold_case(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::size_t NameHash::operator()(std::string_view s) const {
  // FNV-1a over the folded bytes.
  std::uint64_t h = 14695981039346656037ull;
  for (char c : s) {
    h ^= fold_case(static_cast<unsigned char>(c));
    h *= 1099511628211ull;
  }
  return static_cast<std::size_t>(h);
}

}  // namespace movrek
