#include "text/decimal.h"

#include <gtest/gtest.h>

#include <string>

#include "cases.h"

namespace movrek {
namespace {

class DecimalTest : public testing::CaseTest {};

TEST_P(DecimalTest, Values) {
  const testing::FixtureCase& c = GetParam();
  for (const auto& r : testing::rows(c.text("decimal"))) {
    EXPECT_EQ(decimal_value(r[0]), std::stoull(r[1])) << testing::show(r[0]);
    EXPECT_EQ(decimal_int32(r[0]), std::stol(r[2])) << testing::show(r[0]);
  }
}

MOVREK_CASES(DecimalTest, decimal);

}  // namespace
}  // namespace movrek
