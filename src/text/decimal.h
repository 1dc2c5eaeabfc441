#pragma once

#include <cstdint>
#include <string_view>

namespace movrek {

// The number at the start of a text: leading whitespace skipped, one optional
// sign, then decimal digits up to the first other byte. No digits give 0.
// There is no overflow test: the value wraps around modulo 2^64, and a minus
// sign negates it modulo 2^64.
std::uint64_t decimal_value(std::string_view text);

// The same value modulo 2^32 read as a signed 32-bit integer (two's
// complement), as a 32-bit setting takes it.
std::int32_t decimal_int32(std::string_view text);

}  // namespace movrek
