#include "text/names.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>

#include "cases.h"
#include "driver/console.h"
#include "text/cp866.h"
#include "text/decimal.h"

namespace movrek {

static_assert(cp866(u8"Ёё─\u00A0").view() == "\xF0\xF1\xC4\xFF" && cp866(u8"").size == 0);

class NamesTest : public testing::CaseTest {};

TEST_P(NamesTest, Tables) {
  const testing::FixtureCase& c = GetParam();
  for (const auto& r : testing::rows(c.text("compare"))) {
    const int s = std::stoi(r[2]);
    EXPECT_TRUE(std::clamp(compare_names(r[0], r[1]), -1, 1) == s &&
                std::clamp(compare_names(r[1], r[0]), -1, 1) == -s &&
                names_equal(r[0], r[1]) == (s == 0))
        << testing::show(r[0]) << " " << testing::show(r[1]);
  }
  for (const auto& r : testing::rows(c.text("decimal"))) {
    EXPECT_EQ(decimal_value(r[0]), std::stoul(r[1])) << testing::show(r[0]);
    EXPECT_EQ(decimal_int32(r[0]), static_cast<std::int32_t>(std::stoul(r[1])));
  }
  for (const auto& r : testing::rows(c.text("console"))) {
    const ConsoleText text =
        choose_console_text(r[0] == "~" ? nullptr : r[0].c_str(), r[1] == "yes", r[2] == "yes");
    EXPECT_EQ(text == ConsoleText::kUnicode ? "unicode" : "cp866", r[3]) << r[0] << r[1] << r[2];
  }
  for (const auto& r : testing::rows(c.text("cp866"))) {
    char out[64];
    const long n = utf8_to_cp866(reinterpret_cast<const char8_t*>(r[0].data()), r[0].size(), out);
    EXPECT_EQ(n < 0 ? "~" : std::string(out, n), r[1]) << r[0];
  }
}

// Every CP866 byte has a character, and the character its byte back.
TEST(Cp866, EveryByteRoundTrips) {
  std::string all, back(256, '?');
  for (int b = 0; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  char utf8[3 * 256];
  const std::size_t n = cp866_to_utf8(all, utf8);
  EXPECT_EQ(n, 128 + 2 * 76 + 3 * 52);  // letters and Latin-1 signs take two bytes, the rest three
  EXPECT_EQ(utf8_to_cp866(reinterpret_cast<const char8_t*>(utf8), n, back.data()), 256);
  EXPECT_EQ(back, all);
}

MOVREK_CASES(Table, NamesTest, "names.cases");

}  // namespace movrek
