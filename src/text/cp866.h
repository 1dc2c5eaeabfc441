#pragma once

#include <cstddef>
#include <string_view>

// The console texts are written in the source as readable UTF-8 and turned
// into DOS Cyrillic (CP866) bytes here, at compile time. A character that
// CP866 cannot hold stops the build.
namespace movrek {

namespace cp866_detail {

// Maps one Unicode code point to its CP866 byte, or returns -1.
constexpr int map_code_point(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x042F) return 0x80 + static_cast<int>(cp - 0x0410);  // А..Я
  if (cp >= 0x0430 && cp <= 0x043F) return 0xA0 + static_cast<int>(cp - 0x0430);  // а..п
  if (cp >= 0x0440 && cp <= 0x044F) return 0xE0 + static_cast<int>(cp - 0x0440);  // р..я
  switch (cp) {
    case 0x0401:
      return 0xF0;  // Ё
    case 0x0451:
      return 0xF1;  // ё
    case 0x2500:
      return 0xC4;  // ─, the rule byte
    case 0x2502:
      return 0xB3;  // │
    case 0x00A0:
      return 0xFF;  // no-break space
    default:
      return -1;
  }
}

}  // namespace cp866_detail

// Converts UTF-8 to CP866. Returns the number of bytes written to `out`
// (which needs room for n bytes), or -1 for malformed or unmappable input.
constexpr long utf8_to_cp866(const char8_t* s, std::size_t n, char* out) {
  std::size_t i = 0;
  long w = 0;
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp = 0;
    std::size_t len = 0;
    if (c < 0x80) {
      cp = c;
      len = 1;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      len = 3;
    } else {
      return -1;
    }
    if (i + len > n) return -1;
    for (std::size_t k = 1; k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return -1;
      cp = (cp << 6) | (cc & 0x3F);
    }
    const int b = cp866_detail::map_code_point(cp);
    if (b < 0) return -1;
    out[w++] = static_cast<char>(b);
    i += len;
  }
  return w;
}

// A CP866 text made at compile time from a UTF-8 literal.
template <std::size_t N>
struct Cp866Text {
  char bytes[N]{};
  std::size_t size = 0;
  constexpr std::string_view view() const { return std::string_view(bytes, size); }
  constexpr operator std::string_view() const { return view(); }
};

template <std::size_t N>
consteval Cp866Text<N> cp866(const char8_t (&utf8)[N]) {
  Cp866Text<N> text;
  const long n = utf8_to_cp866(utf8, N - 1, text.bytes);
  if (n < 0) throw "text has a character that CP866 cannot hold";
  text.size = static_cast<std::size_t>(n);
  return text;
}

}  // namespace movrek
