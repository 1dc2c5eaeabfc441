#include "text/decimal.h"

#include "text/char_class.h"

namespace movrek {

std::uint32_t decimal_value(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && is_space(static_cast<unsigned char>(text[i])))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint32_t value = 0;
  while (i < text.size() && is_digit(static_cast<unsigned char>(text[i]))) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    ++i;
  }
  return negative ? 0u - value : value;
}

std::int32_t decimal_int32(std::string_view text) {
  return static_cast<std::int32_t>(decimal_value(text));
}

}  // namespace movrek
