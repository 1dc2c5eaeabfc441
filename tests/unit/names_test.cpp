#include "text/names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "text/cp866.h"
#include "text/decimal.h"

namespace movrek {
namespace {

using namespace std::string_literals;

int sign(int v) {
  return (v > 0) - (v < 0);
}

std::string bytes(std::initializer_list<unsigned char> list) {
  return std::string(list.begin(), list.end());
}

// ---- compare_names ----

struct CompareCase {
  std::string a;
  std::string b;
  int expected;  // sign of compare_names(a, b)
};

void PrintTo(const CompareCase& c, std::ostream* os) {
  *os << testing::PrintToString(c.a) << " vs " << testing::PrintToString(c.b);
}

class CompareNamesTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareNamesTest, SignAndSymmetry) {
  const CompareCase& c = GetParam();
  EXPECT_EQ(sign(compare_names(c.a, c.b)), c.expected);
  EXPECT_EQ(sign(compare_names(c.b, c.a)), -c.expected);
  EXPECT_EQ(names_equal(c.a, c.b), c.expected == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompareNamesTest,
    testing::Values(CompareCase{"", "", 0}, CompareCase{"files", "FILES", 0},
                    CompareCase{"Mixed.Zip", "mIXED.zIP", 0},
                    // A..Z fold to lower case, so '_' (0x5F) sorts before letters.
                    CompareCase{"FILE_1", "FILEA", -1}, CompareCase{"FILE_1", "filea", -1},
                    CompareCase{"A", "[", 1}, CompareCase{"Z", "`", 1}, CompareCase{"a", "{", -1},
                    // Only letters fold: bytes 0x20 apart that are not letters differ.
                    CompareCase{"@", "`", -1}, CompareCase{"[", "{", -1}, CompareCase{"1", "Q", -1},
                    // Bytes are unsigned: 0x80 and up after all ASCII.
                    CompareCase{"\x7F", "\x80", -1}, CompareCase{"zzz", "\x80", -1},
                    CompareCase{"\xFF", "~", 1}, CompareCase{"a\x80", "A\xFF", -1},
                    // Cyrillic letters are not folded: А (0x80) and а (0xA0) differ.
                    CompareCase{"\x80", "\xA0", -1}, CompareCase{"\x9F\xE0", "\xEF\xE0", -1},
                    CompareCase{"\xF0", "\xF1", -1},
                    // A prefix sorts first.
                    CompareCase{"", "a", -1}, CompareCase{"ab", "ABC", -1},
                    CompareCase{"abc", "abc\0"s, -1}, CompareCase{"a\0b"s, "A\0B"s, 0},
                    CompareCase{"a\0"s, "a\x01", -1}));

TEST(NameHashTest, AgreesWithEquality) {
  // Every name of up to three bytes from a mixed alphabet.
  const std::string alphabet = "aAzZ_@`\x80\xA0"s + '\0';
  std::vector<std::string> names = {""};
  for (std::size_t len = 1, from = 0; len <= 3; ++len) {
    const std::size_t to = names.size();
    for (std::size_t i = from; i < to; ++i) {
      for (char c : alphabet)
        names.push_back(names[i] + c);
    }
    from = to;
  }
  const NameHash hash;
  const NameEqual equal;
  for (const std::string& a : names) {
    for (const std::string& b : names) {
      if (equal(a, b)) {
        ASSERT_EQ(hash(a), hash(b))
            << testing::PrintToString(a) << " " << testing::PrintToString(b);
      }
    }
  }
  std::unordered_set<std::string, NameHash, NameEqual> set = {"Files", "\x80rea"};
  EXPECT_TRUE(set.contains(std::string_view("FILES")));
  EXPECT_TRUE(set.contains(std::string_view("\x80REA")));
  EXPECT_FALSE(set.contains(std::string_view("\xA0rea")));
}

// ---- decimal numbers ----

struct DecimalCase {
  std::string text;
  std::uint32_t value;
};

void PrintTo(const DecimalCase& c, std::ostream* os) {
  *os << testing::PrintToString(c.text);
}

class DecimalTest : public testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalTest, ValueAndSigned) {
  const DecimalCase& c = GetParam();
  EXPECT_EQ(decimal_value(c.text), c.value);
  EXPECT_EQ(decimal_int32(c.text), static_cast<std::int32_t>(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecimalTest,
    testing::Values(DecimalCase{"0", 0}, DecimalCase{"42", 42}, DecimalCase{"007", 7},
                    DecimalCase{" \t\n\v\f\r17", 17}, DecimalCase{"+5", 5},
                    DecimalCase{"-20", static_cast<std::uint32_t>(-20)}, DecimalCase{"  -0", 0},
                    DecimalCase{"+-5", 0}, DecimalCase{"--5", 0}, DecimalCase{"- 5", 0},
                    DecimalCase{"", 0}, DecimalCase{"abc", 0}, DecimalCase{"1.5M", 1},
                    DecimalCase{"12,345", 12}, DecimalCase{"5 6", 5},
                    DecimalCase{"12\0"
                                "34"s,
                                12},
                    DecimalCase{"\0"
                                "5"s,
                                0},
                    DecimalCase{"\xA0"
                                "5",
                                0},  // CP866 no-break space is no whitespace
                    DecimalCase{"2147483647", 2147483647u}, DecimalCase{"2147483648", 2147483648u},
                    DecimalCase{"-2147483648", 2147483648u}, DecimalCase{"4294967295", 4294967295u},
                    DecimalCase{"4294967296", 0}, DecimalCase{"4294967297", 1},
                    DecimalCase{"-4294967295", 1}, DecimalCase{"99999999999", 1215752191u}));

TEST(DecimalTest, SignedWrap) {
  EXPECT_EQ(decimal_int32("-20"), -20);
  EXPECT_EQ(decimal_int32("2147483648"), INT32_MIN);
  EXPECT_EQ(decimal_int32("4294967295"), -1);
}

// ---- CP866 texts ----

TEST(Cp866Test, ConvertsAtCompileTime) {
  static constexpr auto kWord = cp866(u8"Использование");
  static_assert(kWord.size == 13);
  EXPECT_EQ(kWord.view(),
            bytes({0x88, 0xE1, 0xAF, 0xAE, 0xAB, 0xEC, 0xA7, 0xAE, 0xA2, 0xA0, 0xAD, 0xA8, 0xA5}));
  // The ends of the three runs of the alphabet, and the letters outside them.
  EXPECT_EQ(std::string_view(cp866(u8"АЯапря")), bytes({0x80, 0x9F, 0xA0, 0xAF, 0xE0, 0xEF}));
  EXPECT_EQ(std::string_view(cp866(u8"Ёё")), bytes({0xF0, 0xF1}));
  EXPECT_EQ(std::string_view(cp866(u8"─│")), bytes({0xC4, 0xB3}));
  EXPECT_EQ(std::string_view(cp866(u8"\u00A0")), bytes({0xFF}));
  EXPECT_EQ(std::string_view(cp866(u8"Ok: %s\r\n")), "Ok: %s\r\n");
  EXPECT_EQ(std::string_view(cp866(u8"")), "");
}

long convert(std::u8string_view in, std::string& out) {
  out.assign(in.size(), '?');
  const long n = utf8_to_cp866(in.data(), in.size(), out.data());
  if (n >= 0) out.resize(static_cast<std::size_t>(n));
  return n;
}

TEST(Cp866Test, RejectsWhatCp866CannotHold) {
  std::string out;
  EXPECT_EQ(convert(u8"Файл", out), 4);
  EXPECT_EQ(out, bytes({0x94, 0xA0, 0xA9, 0xAB}));
  // Unmappable characters: euro sign, Latin-1 letter, Ukrainian Ґ, an emoji.
  for (std::u8string_view bad : {u8"€", u8"abcé", u8"Ґ", u8"x😀"}) {
    EXPECT_EQ(convert(bad, out), -1);
  }
  // Malformed UTF-8: a lead byte without its continuation, a stray continuation.
  const char8_t truncated[] = {u8'a', static_cast<char8_t>(0xD0)};
  EXPECT_EQ(convert(std::u8string_view(truncated, 2), out), -1);
  const char8_t stray[] = {static_cast<char8_t>(0x90), u8'a'};
  EXPECT_EQ(convert(std::u8string_view(stray, 2), out), -1);
  const char8_t broken[] = {static_cast<char8_t>(0xD0), u8'a'};
  EXPECT_EQ(convert(std::u8string_view(broken, 2), out), -1);
}

}  // namespace
}  // namespace movrek
