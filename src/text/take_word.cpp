#include "text/take_word.h"

#include "text/char_class.h"

namespace movrek {

void skip_space(std::string_view& cursor) {
  std::size_t i = 0;
  while (i < cursor.size() && is_space(static_cast<unsigned char>(cursor[i])))
    ++i;
  cursor.remove_prefix(i);
}

std::optional<std::string_view> take_word(std::string_view& cursor, long limit) {
  skip_space(cursor);
  std::size_t n = 0;
  while (static_cast<long>(n) < limit && n < cursor.size()) {
    const unsigned char c = static_cast<unsigned char>(cursor[n]);
    if (c == 0 || is_space(c)) break;
    ++n;
  }
  if (n == 0) return std::nullopt;
  std::string_view word = cursor.substr(0, n);
  cursor.remove_prefix(n);
  return word;
}

}  // namespace movrek
