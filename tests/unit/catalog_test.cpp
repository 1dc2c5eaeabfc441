#include "catalog/catalog.h"

#include <gtest/gtest.h>

#include "cases.h"

namespace movrek {

class CatalogTest : public testing::CaseTest {};

TEST_P(CatalogTest, Cases) {
  const testing::FixtureCase& c = GetParam();
  EXPECT_EQ(testing::run_catalog_steps(c.text("groups"), c.text("records")), c.text("expect"))
      << c.where();
}

MOVREK_CASES(Table, CatalogTest, "catalog.cases");

}  // namespace movrek
