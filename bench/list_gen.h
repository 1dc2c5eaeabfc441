#pragma once

#include <cstdint>
#include <string>

// Synthetic new-files list content for the benchmarks. Everything is derived
// from 64-bit seeds through an own generator, so the same seed gives the same
// bytes on every system and with every standard library.
namespace movrek::bench {

// splitmix64: tiny, fast and good enough for test data.
class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A number in [0, n); n > 0. The modulo bias is irrelevant here.
  std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
  // A number in [lo, hi].
  std::uint32_t between(std::uint32_t lo, std::uint32_t hi) { return lo + below(hi - lo + 1); }
  // True with probability percent / 100.
  bool percent(std::uint32_t percent) { return below(100) < percent; }

 private:
  std::uint64_t state_;
};

// Makes the texts of list records. Area texts depend only on the seed and the
// area number, so every record of an area carries the same description and
// link; file texts come from the maker's own stream. Every function appends
// to `out`.
class TextMaker {
 public:
  explicit TextMaker(std::uint64_t seed) : seed_(seed), rng_(seed ^ 0x5DEECE66DULL) {}

  // "FIDO.SOFT.123" style: unique per area number, at most 24 bytes.
  void area_name(std::uint32_t area, std::string& out) const;
  // 20 to 60 bytes, English or Russian words.
  void area_description(std::uint32_t area, std::string& out) const;
  // "2:5020/123" style.
  void link(std::uint32_t area, std::string& out) const;

  // Mostly 8.3 names, some without extension, some long ones.
  void file_name(std::string& out);
  // A size in bytes as decimal text, from 1 to 10^6.
  void size(std::string& out);
  // How many words a description holds: 3 to 40, about 20 on average.
  std::uint32_t word_count();
  // `words` words, one in five Cyrillic (CP866), the rest Latin, with word
  // lengths chosen so that the text comes near `budget` bytes where it can.
  void description(std::uint32_t words, std::size_t budget, std::string& out);
  // A description of word_count() words of about eight bytes each.
  void description(std::string& out);
  // A sysop's or station's name with a FidoNet address.
  void origin(std::string& out);
  // Lengthens an origin to `length` bytes with the station's particulars.
  void pad_origin(std::size_t length, std::string& origin);

  SplitMix64& rng() { return rng_; }

 private:
  SplitMix64 area_rng(std::uint32_t area, std::uint64_t salt) const;

  std::uint64_t seed_;
  SplitMix64 rng_;
};

// Word makers shared by the text makers.
void english_word(SplitMix64& rng, std::string& out);
// A pronounceable Russian-looking word in CP866 (letters 0x80-0xAF, 0xE0-0xEF).
void russian_word(SplitMix64& rng, std::string& out);
// A word of exactly `length` bytes, vowels and consonants by turns, in Latin
// or in CP866 Cyrillic letters; now and then capitalised or ending in a comma
// or a full stop.
void word_of_length(SplitMix64& rng, std::uint32_t length, bool cyrillic, std::string& out);
void decimal(std::uint64_t value, std::string& out);

}  // namespace movrek::bench
