#include "text/format.h"

#include <charconv>

namespace movrek {

namespace {

template <typename Args>
std::string fill(std::string_view pattern, const Args& args) {
  std::string out;
  out.reserve(pattern.size() + 64);
  auto arg = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() &&
        (pattern[i + 1] == 's' || pattern[i + 1] == 'd') && arg != args.end()) {
      out.append(*arg++);
      ++i;
    } else {
      out.push_back(pattern[i]);
    }
  }
  return out;
}

}  // namespace

std::string format_message(std::string_view pattern, std::initializer_list<std::string_view> args) {
  return fill(pattern, args);
}

std::string format_message(std::string_view pattern, std::span<const std::string> args) {
  return fill(pattern, args);
}

std::string unsigned_decimal_text(unsigned long long value) {
  char digits[24];
  const auto res = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, res.ptr);
}

std::string decimal_text(long long value) {
  char digits[24];
  const auto res = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, res.ptr);
}

}  // namespace movrek
