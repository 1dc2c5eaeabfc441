#include "text/cp866.h"

namespace movrek {

std::size_t cp866_to_utf8(std::string_view text, char* out) {
  char* const start = out;
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      *out++ = ch;
      continue;
    }
    const char16_t cp = kCp866Upper[c - 0x80];
    if (cp < 0x800) {
      *out++ = static_cast<char>(0xC0 | (cp >> 6));
    } else {
      *out++ = static_cast<char>(0xE0 | (cp >> 12));
      *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return static_cast<std::size_t>(out - start);
}

}  // namespace movrek
