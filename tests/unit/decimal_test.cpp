#include "text/decimal.h"

#include <gtest/gtest.h>

#include <string>

#include "cases.h"

namespace movrek {
namespace {

MOVREK_CASE_TEST(DecimalTest, decimal, Values) {
  const testing::FixtureCase& c = GetParam();
  for (const auto& r : testing::rows(c.text("decimal"))) {
    EXPECT_EQ(decimal_value(r[0]), std::stoull(r[1])) << testing::show(r[0]);
    EXPECT_EQ(decimal_int32(r[0]), std::stol(r[2])) << testing::show(r[0]);
  }
}
}  // namespace
}  // namespace movrek
