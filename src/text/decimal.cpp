#include "text/decimal.h"

#include "text/char_class.h"

namespace movrek {

std::uint64_t decimal_value(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && is_space(static_cast<unsigned char>(text[i])))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint64_t value = 0;
  while (i < text.size() && is_digit(static_cast<unsigned char>(text[i]))) {
    value = value * 10u + static_cast<std::uint64_t>(text[i] - '0');
    ++i;
  }
  return negative ? 0u - value : value;
}

std::int32_t decimal_int32(std::string_view text) {
  // Arithmetic modulo 2^64 keeps every value modulo 2^32 too.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(decimal_value(text)));
}

}  // namespace movrek
