#include "list_gen.h"

#include <array>
#include <string_view>

namespace movrek::bench {

namespace {

template <typename T, std::size_t N>
const T& pick(SplitMix64& rng, const std::array<T, N>& items) {
  return items[rng.below(static_cast<std::uint32_t>(N))];
}

constexpr std::array<std::string_view, 12> kAreaPrefixes = {
    "FIDO", "RU", "SU", "XOFCOM", "R50", "BBS", "NET", "AVA", "FILE", "MSK", "SPB", "UA"};
constexpr std::array<std::string_view, 20> kAreaTopics = {
    "SOFT", "GAMES", "DOC", "UTIL", "PICS", "NEWS", "MUSIC", "WIN", "DOS",   "LINUX",
    "NODE", "AVIR",  "SRC", "FONT", "EDU",  "HAM",  "OS2",   "NET", "MAGAZ", "DRIVERS"};

constexpr std::array<std::string_view, 72> kEnglishWords = {
    "the",       "a",           "and",      "for",        "with",      "of",           "to",
    "in",        "new",         "version",  "utility",    "program",   "archive",      "fixed",
    "bugs",      "update",      "release",  "beta",       "shareware", "freeware",     "game",
    "driver",    "editor",      "viewer",   "tool",       "source",    "code",         "docs",
    "support",   "files",       "nodelist", "point",      "mailer",    "tosser",       "BBS",
    "door",      "FidoNet",     "patch",    "registered", "demo",      "music",        "player",
    "converter", "compression", "network",  "modem",      "terminal",  "script",       "library",
    "example",   "DOS",         "Windows",  "OS/2",       "Linux",     "fast",         "small",
    "full",      "screen",      "text",     "mode",       "VGA",       "SoundBlaster", "mouse",
    "memory",    "disk",        "cache",    "backup",     "virus",     "scanner",      "database",
    "menu",      "setup"};

constexpr std::array<std::string_view, 12> kExtensions = {"ZIP", "RAR", "ARJ", "LZH", "HA",  "EXE",
                                                          "TXT", "7Z",  "DOC", "GIF", "COM", "ZOO"};
constexpr std::array<std::string_view, 5> kLongSuffixes = {".tar.gz", ".zip", ".tgz", ".rar",
                                                           ".tar.bz2"};

constexpr std::array<std::string_view, 16> kFirstNames = {
    "Ivan", "Sergey", "Alexey", "Dmitry", "Andrew", "Pavel", "Oleg",  "Yuri",
    "Max",  "Igor",   "Victor", "Roman",  "Eugene", "Boris", "Anton", "Denis"};
constexpr std::array<std::string_view, 16> kLastNames = {
    "Petrov",  "Ivanov", "Sidorov", "Smirnov", "Kuznetsov", "Popov", "Volkov", "Sokolov",
    "Lebedev", "Kozlov", "Novikov", "Morozov", "Pavlov",    "Orlov", "Titov",  "Zaitsev"};
constexpr std::array<std::string_view, 8> kStations = {"Moscow Central", "Night Owl", "Black Cat",
                                                       "Polar Star",     "Old Mill",  "Red Square",
                                                       "Big Bear",       "Sunrise"};

// CP866 lower-case letters, the common ones repeated.
constexpr std::array<unsigned char, 14> kVowels = {0xA0, 0xA0, 0xA5, 0xA5, 0xA8, 0xA8, 0xAE,
                                                   0xAE, 0xAE, 0xE3, 0xEB, 0xED, 0xEE, 0xEF};
constexpr std::array<unsigned char, 24> kConsonants = {
    0xA1, 0xA2, 0xA2, 0xA3, 0xA4, 0xA6, 0xA7, 0xAA, 0xAB, 0xAB, 0xAC, 0xAD,
    0xAD, 0xAF, 0xE0, 0xE0, 0xE1, 0xE1, 0xE2, 0xE2, 0xE4, 0xE5, 0xE7, 0xE8};

unsigned char to_upper_cp866(unsigned char c) {
  if (c >= 0xA0 && c <= 0xAF) return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xEF) return static_cast<unsigned char>(c - 0x50);
  return c;
}

void address(SplitMix64& rng, std::string& out) {
  out += "2:";
  decimal(rng.between(450, 6090), out);
  out += '/';
  decimal(rng.between(1, 9999), out);
}

std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
  SplitMix64 m(a ^ (b * 0xD1B54A32D192ED03ULL));
  return m.next();
}

}  // namespace

void decimal(std::uint64_t value, std::string& out) {
  char digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0)
    out += digits[--n];
}

void english_word(SplitMix64& rng, std::string& out) {
  out += pick(rng, kEnglishWords);
}

void russian_word(SplitMix64& rng, std::string& out) {
  const std::size_t start = out.size();
  const std::uint32_t syllables = rng.between(1, 4);
  for (std::uint32_t i = 0; i < syllables; ++i) {
    if (i > 0 || rng.percent(80)) out += static_cast<char>(pick(rng, kConsonants));
    out += static_cast<char>(pick(rng, kVowels));
    if (rng.percent(25)) out += static_cast<char>(pick(rng, kConsonants));
  }
  if (rng.percent(15)) {
    out[start] = static_cast<char>(to_upper_cp866(static_cast<unsigned char>(out[start])));
  }
}

SplitMix64 TextMaker::area_rng(std::uint32_t area, std::uint64_t salt) const {
  return SplitMix64(mix(seed_ ^ salt, area));
}

void TextMaker::area_name(std::uint32_t area, std::string& out) const {
  SplitMix64 rng = area_rng(area, 0xA4EA);
  out += pick(rng, kAreaPrefixes);
  out += '.';
  out += pick(rng, kAreaTopics);
  out += '.';
  decimal(area, out);
}

void TextMaker::area_description(std::uint32_t area, std::string& out) const {
  SplitMix64 rng = area_rng(area, 0xDE5C);
  const bool russian = rng.percent(50);
  const std::size_t start = out.size();
  const std::uint32_t target = rng.between(20, 60);
  while (out.size() - start < target) {
    if (out.size() > start) out += ' ';
    if (russian) {
      russian_word(rng, out);
    } else {
      english_word(rng, out);
    }
  }
  if (out.size() - start > 60) out.resize(start + 60);
}

void TextMaker::link(std::uint32_t area, std::string& out) const {
  SplitMix64 rng = area_rng(area, 0x11CC);
  address(rng, out);
}

void TextMaker::file_name(std::string& out) {
  static constexpr std::string_view kNameBytes = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
  const std::uint32_t kind = rng_.below(100);
  if (kind < 10) {
    // A long name: words, a version, a suffix.
    const std::uint32_t words = rng_.between(1, 3);
    for (std::uint32_t i = 0; i < words; ++i) {
      if (i > 0) out += rng_.percent(50) ? '-' : '_';
      english_word(rng_, out);
    }
    out += '-';
    decimal(rng_.between(0, 9), out);
    out += '.';
    decimal(rng_.between(0, 99), out);
    out += pick(rng_, kLongSuffixes);
    return;
  }
  const std::uint32_t length = rng_.percent(80) ? rng_.between(6, 8) : rng_.between(1, 5);
  for (std::uint32_t i = 0; i < length; ++i) {
    // Digits and punctuation are rarer than letters.
    const std::uint32_t range = rng_.percent(75) ? 26 : kNameBytes.size();
    out += kNameBytes[rng_.below(range)];
  }
  if (kind < 15) return;  // no extension
  out += '.';
  out += pick(rng_, kExtensions);
}

void TextMaker::size(std::string& out) {
  const std::uint32_t digits = rng_.between(3, 8);
  std::uint64_t value = rng_.between(1, 9);
  for (std::uint32_t i = 1; i < digits; ++i)
    value = value * 10 + rng_.below(10);
  decimal(value, out);
}

void TextMaker::description(std::string& out) {
  // Skewed towards short texts, like real ones: median about 50 bytes, mean
  // about 70, one in 25 longer than 180.
  const std::uint32_t band = rng_.below(100);
  const std::uint32_t target = band < 55   ? rng_.between(20, 50)
                               : band < 85 ? rng_.between(50, 100)
                               : band < 96 ? rng_.between(100, 180)
                                           : rng_.between(180, 300);
  const std::uint32_t language = rng_.below(100);  // <65 English, <85 Russian, else mixed
  const std::size_t start = out.size();
  while (out.size() - start < target) {
    if (out.size() > start) {
      out += ' ';
      if (rng_.percent(1)) out += ' ';
    }
    const bool russian = language >= 65 && (language < 85 || rng_.percent(50));
    const std::uint32_t token = rng_.below(100);
    if (token < 3) {
      out += 'v';
      decimal(rng_.between(0, 9), out);
      out += '.';
      decimal(rng_.between(0, 99), out);
    } else if (token < 4) {
      out += "(C) ";
      decimal(rng_.between(1985, 1999), out);
    } else if (russian) {
      russian_word(rng_, out);
    } else {
      english_word(rng_, out);
    }
    if (rng_.percent(6)) out += rng_.percent(60) ? ',' : '.';
  }
  if (out.size() - start > 300) out.resize(start + 300);
}

void TextMaker::origin(std::string& out) {
  const std::uint32_t kind = rng_.below(10);
  if (kind < 5) {
    address(rng_, out);
    if (rng_.percent(30)) {
      out += '.';
      decimal(rng_.between(1, 99), out);
    }
    return;
  }
  if (kind < 8) {
    out += pick(rng_, kFirstNames);
    out += ' ';
    out += pick(rng_, kLastNames);
  } else {
    out += pick(rng_, kStations);
    out += " BBS";
  }
  out += ", ";
  address(rng_, out);
}

}  // namespace movrek::bench
