#pragma once

#include <cstddef>
#include <string_view>

// DOS Cyrillic (CP866). The console texts are written in the source as
// readable UTF-8 and turned into CP866 bytes here, at compile time; a
// character that CP866 cannot hold stops the build. The same table turns
// CP866 back into UTF-8 for a console that reads UTF-8.
namespace movrek {

// The Unicode code point of each byte from 0x80 up; bytes below are ASCII.
inline constexpr char16_t kCp866Upper[128] = {
    // 0x80: А..Я
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    // 0xA0: а..п
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F,
    // 0xB0: shades and box drawing; 0xC4 is the rule of every report
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    // 0xE0: р..я
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F,
    // 0xF0: Ё ё Є є Ї ї Ў ў ° ∙ · √ № ¤ ■ and the no-break space
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x2116, 0x00A4, 0x25A0, 0x00A0};

// The CP866 byte of a code point, or -1 when CP866 has none.
constexpr int cp866_byte(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  for (int i = 0; i < 128; ++i) {
    if (kCp866Upper[i] == cp) return 0x80 + i;
  }
  return -1;
}

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
    const int b = cp866_byte(cp);
    if (b < 0) return -1;
    out[w++] = static_cast<char>(b);
    i += len;
  }
  return w;
}

// Converts CP866 to UTF-8, every byte being a character, into `out`, which
// needs room for three bytes a byte. Returns the bytes written.
std::size_t cp866_to_utf8(std::string_view text, char* out);

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
