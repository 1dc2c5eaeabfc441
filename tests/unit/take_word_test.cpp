#include "text/take_word.h"

#include <gtest/gtest.h>

#include <string>

#include "cases.h"

namespace movrek {

using testing::show;

MOVREK_CASE_TEST(TakeWordTest, take_word, Cases) {
  const testing::FixtureCase& c = GetParam();
  std::string text = c.bytes("text"), out;
  const long limit = std::stol(c.text("limit"));
  std::string_view cursor = text;
  while (const auto word = take_word(cursor, limit))
    out += show(*word) + " " + show(cursor) + "\n";
  EXPECT_EQ(out + "rest " + show(cursor) + "\n", c.text("expect")) << c.where();
}

}  // namespace movrek
