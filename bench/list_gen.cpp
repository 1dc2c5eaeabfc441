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

void word_of_length(SplitMix64& rng, std::uint32_t length, bool cyrillic, std::string& out) {
  static constexpr std::string_view kLatinVowels = "aeiouaeoy";
  static constexpr std::string_view kLatinConsonants = "bcdfghklmnprstvwzrstnl";
  const std::size_t start = out.size();
  for (std::uint32_t i = 0; i < length; ++i) {
    const bool vowel = i % 2 == 1 || rng.percent(10);
    if (cyrillic) {
      out += static_cast<char>(vowel ? pick(rng, kVowels) : pick(rng, kConsonants));
    } else {
      const std::string_view from = vowel ? kLatinVowels : kLatinConsonants;
      out += from[rng.below(static_cast<std::uint32_t>(from.size()))];
    }
  }
  if (length == 0) return;
  if (rng.percent(15)) {
    const auto c = static_cast<unsigned char>(out[start]);
    out[start] = static_cast<char>(cyrillic ? to_upper_cp866(c) : c - ('a' - 'A'));
  }
  if (length > 2 && rng.percent(6)) out.back() = rng.percent(60) ? ',' : '.';
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
  // Every number of digits alike, so small files are as common as large ones.
  const std::uint32_t digits = rng_.between(1, 6);
  std::uint32_t low = 1;
  for (std::uint32_t i = 1; i < digits; ++i)
    low *= 10;
  decimal(rng_.percent(1) ? 1000000 : rng_.between(low, low * 10 - 1), out);
}

std::uint32_t TextMaker::word_count() {
  // Four in five from 3 to 36 words, the others from 3 to 40: about 20.
  return rng_.percent(80) ? rng_.between(3, 36) : rng_.between(3, 40);
}

void TextMaker::description(std::uint32_t words, std::size_t budget, std::string& out) {
  // The mean word length that fills the budget, kept between 1 and 10 bytes;
  // lengths spread evenly around it.
  const std::size_t spaces = words > 0 ? words - 1 : 0;
  std::size_t mean = budget > spaces + words ? (budget - spaces) / words : 1;
  if (mean > 10) mean = 10;
  const std::uint32_t low = static_cast<std::uint32_t>(mean > 3 ? mean - 3 : 1);
  const std::uint32_t high = static_cast<std::uint32_t>(2 * mean) - low;
  for (std::uint32_t i = 0; i < words; ++i) {
    if (i > 0) {
      out += ' ';
      if (rng_.percent(1)) out += ' ';
    }
    word_of_length(rng_, rng_.between(low, high), rng_.percent(20), out);
  }
}

void TextMaker::description(std::string& out) {
  const std::uint32_t words = word_count();
  description(words, 9 * words, out);
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

void TextMaker::pad_origin(std::size_t length, std::string& origin) {
  static constexpr std::array<std::string_view, 12> kParticulars = {
      "24h",     "V.34+", "ISDN",     "freq",       "by name", "FTN",
      "station", "node",  "sysop is", "everywhere", "Moscow",  "St.Petersburg"};
  if (origin.size() >= length) return;
  origin += " (";
  while (origin.size() < length) {
    origin += pick(rng_, kParticulars);
    origin += rng_.percent(30) ? ", " : " ";
  }
  origin.resize(length);
  if (origin.back() == ' ' || origin.back() == ',') origin.back() = ')';
}

}  // namespace movrek::bench
