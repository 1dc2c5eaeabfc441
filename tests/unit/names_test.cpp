#include "text/names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cases.h"

namespace movrek {
namespace {

MOVREK_CASE_TEST(NamesTest, names, CompareBothWays) {
  const testing::FixtureCase& c = GetParam();
  for (const auto& r : testing::rows(c.text("compare"))) {
    const int s = std::stoi(r[2]);
    EXPECT_TRUE(std::clamp(compare_names(r[0], r[1]), -1, 1) == s &&
                std::clamp(compare_names(r[1], r[0]), -1, 1) == -s &&
                names_equal(r[0], r[1]) == (s == 0))
        << testing::show(r[0]) << " " << testing::show(r[1]);
    // Names that compare equal hash alike, as a table keyed by names needs.
    if (s == 0) {
      EXPECT_EQ(NameHash{}(r[0]), NameHash{}(r[1])) << testing::show(r[0]);
    }
  }
}
}  // namespace
}  // namespace movrek
