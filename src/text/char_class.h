#pragma once

// Character classes for every byte test in the program. They are ASCII only:
// no byte from 0x80 up belongs to any class, whatever the locale says.
namespace movrek {

constexpr bool is_space(unsigned char c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20;
}
constexpr bool is_letter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool is_digit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// Folds A..Z to a..z and leaves every other byte alone.
constexpr unsigned char fold_case(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

}  // namespace movrek
