#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace movrek {

// Fills a message pattern: each "%s" or "%d" in turn takes the next argument,
// as text. Numbers are passed through decimal_text.
std::string format_message(std::string_view pattern, std::initializer_list<std::string_view> args);
std::string format_message(std::string_view pattern, std::span<const std::string> args);

// A number as decimal text.
std::string decimal_text(long long value);
std::string unsigned_decimal_text(unsigned long long value);

}  // namespace movrek
