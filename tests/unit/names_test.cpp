#include "text/names.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>

#include "cases.h"
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
  for (const auto& r : testing::rows(c.text("cp866"))) {
    char out[64];
    const long n = utf8_to_cp866(reinterpret_cast<const char8_t*>(r[0].data()), r[0].size(), out);
    EXPECT_EQ(n < 0 ? "~" : std::string(out, n), r[1]) << r[0];
  }
}

MOVREK_CASES(Table, NamesTest, "names.cases");

}  // namespace movrek
