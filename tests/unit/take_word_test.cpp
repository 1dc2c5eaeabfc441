#include "text/take_word.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace movrek {
namespace {

using namespace std::string_literals;

struct WordCase {
  const char* what;
  std::string text;
  long limit;
  std::vector<std::string> words;  // every word taken until nothing is
  std::string rest;                // what the cursor is left on
};

const WordCase kWordCases[] = {
    {"words and spaces", "  hello world ", 32, {"hello", "world"}, ""},
    {"forty bytes with limit 32",
     std::string(32, 'a') + std::string(8, 'b') + " c",
     32,
     {std::string(32, 'a'), std::string(8, 'b'), "c"},
     ""},
    {"limit equal to the word", "abc", 3, {"abc"}, ""},
    {"limit one", "ab c", 1, {"a", "b", "c"}, ""},
    {"pieces continue the word", "abcdef ghi", 4, {"abcd", "ef", "ghi"}, ""},
    {"limit 0 takes nothing but skips space", "  abc", 0, {}, "abc"},
    {"negative limit", "\t abc", -5, {}, "abc"},
    {"all whitespace classes", "a\tb\nc\vd\fe\rf g", 32, {"a", "b", "c", "d", "e", "f", "g"}, ""},
    {"bytes that are not whitespace",
     "a\x08z\x0E\x1F\x7F\x85\xA0\xFF b",
     32,
     {"a\x08z\x0E\x1F\x7F\x85\xA0\xFF", "b"},
     ""},
    {"NUL ends the word", "ab\0cd"s, 32, {"ab"}, "\0cd"s},
    {"NUL after whitespace", "ab  \0 cd"s, 32, {"ab"}, "\0 cd"s},
    {"NUL first", "\0ab"s, 32, {}, "\0ab"s},
    {"only whitespace", " \t\r\n ", 32, {}, ""},
    {"empty text", "", 32, {}, ""},
};

void PrintTo(const WordCase& c, std::ostream* os) {
  *os << c.what << ": " << testing::PrintToString(c.text) << " limit " << c.limit;
}

class TakeWordTest : public testing::TestWithParam<WordCase> {};

TEST_P(TakeWordTest, TakesWordsThenLeavesCursor) {
  const WordCase& c = GetParam();
  std::string_view cursor = c.text;
  std::vector<std::string> words;
  while (auto word = take_word(cursor, c.limit)) {
    words.emplace_back(*word);
    if (words.size() > 100) break;
  }
  EXPECT_EQ(words, c.words);
  EXPECT_EQ(cursor, c.rest);
  // Once nothing is taken, asking again takes nothing and leaves the cursor.
  EXPECT_FALSE(take_word(cursor, c.limit).has_value());
  EXPECT_EQ(cursor, c.rest);
}

INSTANTIATE_TEST_SUITE_P(Cases, TakeWordTest, testing::ValuesIn(kWordCases),
                         [](const testing::TestParamInfo<WordCase>& info) {
                           return "case" + std::to_string(info.index);
                         });

TEST(TakeWordTest, CursorStopsAfterTheWordTaken) {
  std::string_view cursor = "  one  two";
  ASSERT_EQ(take_word(cursor, 10), "one");
  EXPECT_EQ(cursor, "  two");
  ASSERT_EQ(take_word(cursor, 2), "tw");
  EXPECT_EQ(cursor, "o");
}

TEST(SkipSpaceTest, StopsAtNulAndText) {
  std::string_view a = " \t\x0B x ";
  skip_space(a);
  EXPECT_EQ(a, "x ");
  const std::string keep = "  \0 x"s;
  std::string_view b = keep;
  skip_space(b);
  EXPECT_EQ(b, "\0 x"s);
}

}  // namespace
}  // namespace movrek
