#include "text/names.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "text/char_class.h"

namespace movrek {

namespace {

// Folds the letters A..Z among the eight bytes of `x` to a..z and leaves
// every other byte alone. Each byte is tested on its own seven low bits, so
// no carry crosses into the next one.
std::uint64_t fold_case8(std::uint64_t x) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHigh = kOnes * 0x80;
  const std::uint64_t low7 = x & ~kHigh;
  const std::uint64_t from_a = low7 + kOnes * (0x80 - 'A');      // high bit: at least 'A'
  const std::uint64_t past_z = low7 + kOnes * (0x80 - 'Z' - 1);  // high bit: past 'Z'
  const std::uint64_t upper = from_a & ~past_z & ~x & kHigh;
  return x | (upper >> 2);  // 0x80 >> 2 is the bit that makes a letter small
}

// How two words of eight bytes compare with their letters folded: by the
// first byte, in text order, where they differ; 0 when they do not.
int compare_folded(std::uint64_t x, std::uint64_t y) {
  if (x == y) return 0;
  x = fold_case8(x);
  y = fold_case8(y);
  if (x == y) return 0;
  const std::uint64_t diff = x ^ y;
  const int shift = std::endian::native == std::endian::little ? std::countr_zero(diff) & ~7
                                                               : 56 - (std::countl_zero(diff) & ~7);
  return ((x >> shift) & 0xFF) < ((y >> shift) & 0xFF) ? -1 : 1;
}

}  // namespace

int compare_names(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  std::uint64_t x;
  std::uint64_t y;
  std::size_t i = 0;
  for (; n - i >= 8; i += 8) {
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (const int c = compare_folded(x, y)) return c;
  }
  if (i < n) {
    if (n >= 8) {
      // The last eight bytes: those before i are equal already.
      std::memcpy(&x, a.data() + n - 8, 8);
      std::memcpy(&y, b.data() + n - 8, 8);
    } else {
      char short_a[8] = {};
      char short_b[8] = {};
      for (std::size_t k = 0; k < n; ++k) {
        short_a[k] = a[k];
        short_b[k] = b[k];
      }
      std::memcpy(&x, short_a, 8);
      std::memcpy(&y, short_b, 8);
    }
    if (const int c = compare_folded(x, y)) return c;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::size_t NameHash::operator()(std::string_view s) const {
  // The folded bytes, eight at a time, each step mixed by a multiplication;
  // the last bits spread over the whole value, since tables use the low ones.
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
  std::uint64_t h = s.size() * kMultiplier;
  std::size_t i = 0;
  for (; s.size() - i >= 8; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, s.data() + i, 8);
    h = (h ^ fold_case8(x)) * kMultiplier;
    h ^= h >> 29;
  }
  if (i < s.size()) {
    // The last eight bytes, or all of a shorter name padded with zeros.
    std::uint64_t x;
    if (s.size() >= 8) {
      std::memcpy(&x, s.data() + s.size() - 8, 8);
    } else {
      char bytes[8] = {};
      for (std::size_t k = 0; k < s.size(); ++k)
        bytes[k] = s[k];
      std::memcpy(&x, bytes, 8);
    }
    h = (h ^ fold_case8(x)) * kMultiplier;
  }
  h ^= h >> 32;
  h *= 0xD6E8FEB86659FD93u;
  h ^= h >> 32;
  return static_cast<std::size_t>(h);
}

}  // namespace movrek
