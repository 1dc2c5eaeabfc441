// Writes a synthetic new-files list (and for one shape a movrek.cfg) for
// `make bench`. The output depends only on the arguments, on every system.
//
//   gen_list --shape SHAPE --records N [--seed S] --out DIR
//
// DIR/list.lst holds N records of seven CR LF lines each in the order
// A E L F S D O, 300 to 350 bytes a record, with descriptions of 3 to 40
// words (about 20), one word in five Cyrillic (CP866). The shapes:
//   standard     files in batches over 200 areas
//   one-area     every file in one area
//   many-areas   100,000 areas in shuffled order
//   many-groups  also DIR/movrek.cfg with 1,000 groups of ten areas each;
//                three records in four go to those areas
//   nul          N * 325 NUL bytes, the size of a list of N records
//   controls     as many control bytes other than NUL, LF, CR and 0x1A

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

// splitmix64: tiny, fast, the same on every system and standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // [0, n) for n > 0, [lo, hi], and true with the given chance in 100.
  std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
  std::uint32_t between(std::uint32_t lo, std::uint32_t hi) { return lo + below(hi - lo + 1); }
  bool percent(std::uint32_t p) { return below(100) < p; }

 private:
  std::uint64_t state_;
};

template <typename T, std::size_t N>
const T& pick(Random& rng, const std::array<T, N>& items) {
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
constexpr std::array<std::string_view, 12> kParticulars = {
    "24h",     "V.34+", "ISDN",     "freq",       "by name", "FTN",
    "station", "node",  "sysop is", "everywhere", "Moscow",  "St.Petersburg"};
// CP866 lower-case letters, the common ones repeated.
constexpr std::array<unsigned char, 14> kVowels = {0xA0, 0xA0, 0xA5, 0xA5, 0xA8, 0xA8, 0xAE,
                                                   0xAE, 0xAE, 0xE3, 0xEB, 0xED, 0xEE, 0xEF};
constexpr std::array<unsigned char, 24> kConsonants = {
    0xA1, 0xA2, 0xA2, 0xA3, 0xA4, 0xA6, 0xA7, 0xAA, 0xAB, 0xAB, 0xAC, 0xAD,
    0xAD, 0xAF, 0xE0, 0xE0, 0xE1, 0xE1, 0xE2, 0xE2, 0xE4, 0xE5, 0xE7, 0xE8};

char upper_cp866(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 0xA0 && u <= 0xAF) return static_cast<char>(u - 0x20);
  if (u >= 0xE0 && u <= 0xEF) return static_cast<char>(u - 0x50);
  return c;
}

void decimal(std::uint64_t value, std::string& out) {
  out += std::to_string(value);
}

void address(Random& rng, std::string& out) {
  out += "2:";
  decimal(rng.between(450, 6090), out);
  out += '/';
  decimal(rng.between(1, 9999), out);
}

// A pronounceable Russian-looking word.
void russian_word(Random& rng, std::string& out) {
  const std::size_t start = out.size();
  const std::uint32_t syllables = rng.between(1, 4);
  for (std::uint32_t i = 0; i < syllables; ++i) {
    if (i > 0 || rng.percent(80)) out += static_cast<char>(pick(rng, kConsonants));
    out += static_cast<char>(pick(rng, kVowels));
    if (rng.percent(25)) out += static_cast<char>(pick(rng, kConsonants));
  }
  if (rng.percent(15)) out[start] = upper_cp866(out[start]);
}

// A word of exactly `length` bytes, vowels and consonants by turns; now and
// then capitalised or ending in a comma or a full stop.
void word_of_length(Random& rng, std::uint32_t length, bool cyrillic, std::string& out) {
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
  if (rng.percent(15)) out[start] = cyrillic ? upper_cp866(out[start]) : out[start] - ('a' - 'A');
  if (length > 2 && rng.percent(6)) out.back() = rng.percent(60) ? ',' : '.';
}

// The texts of an area depend only on the seed and the area's number, so
// every record of an area carries the same description and link.
Random area_random(std::uint64_t seed, std::uint64_t salt, std::uint32_t area) {
  return Random(Random((seed ^ salt) ^ (area * 0xD1B54A32D192ED03ULL)).next());
}

// "FIDO.SOFT.123": unique per area number.
void area_name(std::uint64_t seed, std::uint32_t area, std::string& out) {
  Random rng = area_random(seed, 0xA4EA, area);
  out += pick(rng, kAreaPrefixes);
  out += '.';
  out += pick(rng, kAreaTopics);
  out += '.';
  decimal(area, out);
}

// 20 to 60 bytes of English or Russian words.
void area_description(std::uint64_t seed, std::uint32_t area, std::string& out) {
  Random rng = area_random(seed, 0xDE5C, area);
  const bool russian = rng.percent(50);
  const std::size_t start = out.size();
  const std::uint32_t target = rng.between(20, 60);
  while (out.size() - start < target) {
    if (out.size() > start) out += ' ';
    if (russian) {
      russian_word(rng, out);
    } else {
      out += pick(rng, kEnglishWords);
    }
  }
  if (out.size() - start > 60) out.resize(start + 60);
}

// Mostly 8.3 names, some without extension, one in ten a long one.
void file_name(Random& rng, std::string& out) {
  static constexpr std::string_view kNameBytes = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
  const std::uint32_t kind = rng.below(100);
  if (kind < 10) {
    const std::uint32_t words = rng.between(1, 3);
    for (std::uint32_t i = 0; i < words; ++i) {
      if (i > 0) out += rng.percent(50) ? '-' : '_';
      out += pick(rng, kEnglishWords);
    }
    out += '-';
    decimal(rng.between(0, 9), out);
    out += '.';
    decimal(rng.between(0, 99), out);
    out += pick(rng, kLongSuffixes);
    return;
  }
  const std::uint32_t length = rng.percent(80) ? rng.between(6, 8) : rng.between(1, 5);
  for (std::uint32_t i = 0; i < length; ++i) {
    // Digits and punctuation are rarer than letters.
    out += kNameBytes[rng.below(rng.percent(75) ? 26 : kNameBytes.size())];
  }
  if (kind < 15) return;
  out += '.';
  out += pick(rng, kExtensions);
}

// 1 to 10^6 bytes, every number of digits alike.
void file_size(Random& rng, std::string& out) {
  const std::uint32_t digits = rng.between(1, 6);
  std::uint32_t low = 1;
  for (std::uint32_t i = 1; i < digits; ++i)
    low *= 10;
  decimal(rng.percent(1) ? 1000000 : rng.between(low, low * 10 - 1), out);
}

// `words` words, one in five Cyrillic, of lengths spread evenly around the
// mean that brings the text near `budget` bytes (kept to 1 to 10 bytes).
void description(Random& rng, std::uint32_t words, std::size_t budget, std::string& out) {
  const std::size_t spaces = words - 1;
  std::size_t mean = budget > spaces + words ? (budget - spaces) / words : 1;
  if (mean > 10) mean = 10;
  const std::uint32_t low = static_cast<std::uint32_t>(mean > 3 ? mean - 3 : 1);
  const std::uint32_t high = static_cast<std::uint32_t>(2 * mean) - low;
  for (std::uint32_t i = 0; i < words; ++i) {
    if (i > 0) {
      out += ' ';
      if (rng.percent(1)) out += ' ';
    }
    word_of_length(rng, rng.between(low, high), rng.percent(20), out);
  }
}

// A sysop's or station's name with a FidoNet address, or the address alone.
void origin(Random& rng, std::string& out) {
  const std::uint32_t kind = rng.below(10);
  if (kind < 5) {
    address(rng, out);
    if (rng.percent(30)) {
      out += '.';
      decimal(rng.between(1, 99), out);
    }
    return;
  }
  if (kind < 8) {
    out += pick(rng, kFirstNames);
    out += ' ';
    out += pick(rng, kLastNames);
  } else {
    out += pick(rng, kStations);
    out += " BBS";
  }
  out += ", ";
  address(rng, out);
}

// Lengthens an origin to `length` bytes with the station's particulars.
void pad_origin(Random& rng, std::size_t length, std::string& origin) {
  origin += " (";
  while (origin.size() < length) {
    origin += pick(rng, kParticulars);
    origin += rng.percent(30) ? ", " : " ";
  }
  origin.resize(length);
  if (origin.back() == ' ' || origin.back() == ',') origin.back() = ')';
}

std::size_t count_words(std::string_view text) {
  std::size_t words = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    words += text[i] != ' ' && (i == 0 || text[i - 1] == ' ');
  return words;
}

enum class Shape { kStandard, kOneArea, kManyAreas, kManyGroups, kNul, kControls };

constexpr std::uint32_t kStandardAreas = 200;
constexpr std::uint32_t kManyAreas = 100000;
constexpr std::uint32_t kGroups = 1000;
constexpr std::uint32_t kAreasPerGroup = 10;
constexpr std::uint32_t kConfiguredAreas = kGroups * kAreasPerGroup;
constexpr std::uint32_t kUnconfiguredAreas = 2000;
// Records are 300 to 350 bytes with their line ends: the description gets
// what the other fields leave of a length chosen for the record, and a short
// description leaves the rest to the origin.
constexpr std::size_t kShortestRecord = 300;
constexpr std::size_t kLongestRecord = 350;

// The area of every record in turn.
std::vector<std::uint32_t> areas(Shape shape, std::uint32_t records, std::uint64_t seed) {
  Random rng(seed * 0x2545F4914F6CDD1DULL + 1);
  std::vector<std::uint32_t> area(records);
  std::uint32_t current = 0, run_left = 0;
  for (std::uint32_t i = 0; i < records; ++i) {
    if (shape == Shape::kStandard) {
      // Files arrive in batches per area, as a file processor writes them.
      if (run_left == 0) {
        current = rng.below(kStandardAreas);
        run_left = rng.between(1, 30);
      }
      --run_left;
      area[i] = current;
    } else if (shape == Shape::kManyAreas) {
      area[i] = i % kManyAreas;
    } else if (shape == Shape::kManyGroups) {
      area[i] = rng.percent(75) ? rng.below(kConfiguredAreas)
                                : kConfiguredAreas + rng.below(kUnconfiguredAreas);
    }
  }
  if (shape == Shape::kManyAreas) {
    for (std::uint32_t i = records; i > 1; --i)
      std::swap(area[i - 1], area[rng.next() % i]);
  }
  return area;
}

// Writes `text` to `file`, false when it could not.
bool put(std::FILE* file, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

bool write_list(std::FILE* file, Shape shape, std::uint32_t records, std::uint64_t seed) {
  Random rng(seed ^ 0x5DEECE66DULL);
  std::string b;
  if (shape == Shape::kNul || shape == Shape::kControls) {
    static constexpr std::string_view kControls =
        "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0B\x0C\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17"
        "\x18\x19\x1B\x1C\x1D\x1E\x1F";
    for (std::uint64_t left = std::uint64_t{records} * 325; left > 0; left -= b.size()) {
      b.assign(left < 65536 ? left : 65536, '\0');
      if (shape == Shape::kControls) {
        for (char& c : b)
          c = kControls[rng.below(kControls.size())];
      }
      if (!put(file, b)) return false;
    }
    return true;
  }
  const std::vector<std::uint32_t> area = areas(shape, records, seed);
  std::string previous_name, text, tail;
  for (std::uint32_t i = 0; i < records; ++i) {
    b.clear();
    area_name(seed, area[i], b);
    b += "\r\n";
    area_description(seed, area[i], b);
    b += "\r\n";
    Random link = area_random(seed, 0x11CC, area[i]);
    address(link, b);
    b += "\r\n";
    // Now and then a file is announced again in the same area.
    if (i > 0 && area[i] == area[i - 1] && rng.percent(2)) {
      b += previous_name;
    } else {
      previous_name.clear();
      file_name(rng, previous_name);
      b += previous_name;
    }
    b += "\r\n";
    file_size(rng, b);
    b += "\r\n";
    // The record so far, with the line ends of the two fields to come.
    const std::size_t used = b.size() + 4;
    const std::size_t length = rng.between(kShortestRecord, kLongestRecord);
    tail.clear();
    origin(rng, tail);
    const std::size_t room = length > used + tail.size() ? length - used - tail.size() : 0;
    text.clear();
    description(rng, rng.percent(80) ? rng.between(3, 36) : rng.between(3, 40), room, text);
    // Too long after all: drop words from the end, down to three.
    for (std::size_t words = count_words(text);
         used + tail.size() + text.size() > kLongestRecord && words > 3; --words) {
      text.resize(text.find_last_not_of(' ', text.rfind(' ')) + 1);
    }
    if (used + text.size() < length && tail.size() < length - used - text.size())
      pad_origin(rng, length - used - text.size(), tail);
    b += text + "\r\n" + tail + "\r\n";
    if (!put(file, b)) return false;
  }
  return true;
}

bool write_config(std::FILE* file, std::uint64_t seed) {
  std::string b = "; benchmark configuration: one report per group of ten areas\r\n";
  for (std::uint32_t g = 0; g < kGroups; ++g) {
    b += "GROUP";
    for (std::uint32_t k = 0; k < kAreasPerGroup; ++k) {
      b += ' ';
      area_name(seed, g * kAreasPerGroup + k, b);
    }
    const std::string number = std::to_string(10000 + g).substr(1);
    b += "\r\nREPORT g" + number + ".txt\r\nENDGROUP\r\n";
  }
  return put(file, b);
}

// Writes `path` through `write`; false, with a message, when it could not.
template <typename Write>
bool write_file(const std::filesystem::path& path, Write write) {
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  bool ok = file != nullptr && write(file);
  if (file != nullptr && std::fclose(file) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "gen_list: cannot write %s\n", path.string().c_str());
  return ok;
}

int usage() {
  std::fprintf(stderr,
               "usage: gen_list --shape standard|one-area|many-areas|many-groups|nul|controls "
               "--records N [--seed S] --out DIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  static constexpr std::array<std::string_view, 6> kShapes = {
      "standard", "one-area", "many-areas", "many-groups", "nul", "controls"};
  std::size_t shape = kShapes.size();
  std::uint64_t records = UINT64_MAX, seed = 1;
  std::filesystem::path out;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view arg = argv[i], value = argv[i + 1];
    std::uint64_t number = 0;
    const bool numeric = !value.empty() && value.size() < 20 &&
                         value.find_first_not_of("0123456789") == std::string_view::npos;
    if (numeric) number = std::stoull(std::string(value));
    if (arg == "--shape") {
      for (shape = 0; shape < kShapes.size() && kShapes[shape] != value;)
        ++shape;
    } else if (arg == "--records" && numeric && number <= UINT32_MAX) {
      records = number;
    } else if (arg == "--seed" && numeric) {
      seed = number;
    } else if (arg == "--out") {
      out = value;
    } else {
      return usage();
    }
  }
  if (argc % 2 == 0 || shape == kShapes.size() || records == UINT64_MAX || out.empty())
    return usage();

  std::error_code error;
  std::filesystem::create_directories(out, error);
  const auto list_shape = static_cast<Shape>(shape);
  const auto n = static_cast<std::uint32_t>(records);
  if (!write_file(out / "list.lst",
                  [&](std::FILE* f) { return write_list(f, list_shape, n, seed); }))
    return 1;
  if (list_shape == Shape::kManyGroups &&
      !write_file(out / "movrek.cfg", [&](std::FILE* f) { return write_config(f, seed); }))
    return 1;
  return 0;
}
