#include "catalog/catalog.h"

#include <gtest/gtest.h>

#include "fixture.h"

namespace movrek {

TEST(Catalog, Cases) {
  for (const auto& c : testing::load_fixture("catalog.cases")) {
    EXPECT_EQ(testing::run_catalog_steps(c.text("groups"), c.text("records")), c.text("expect"))
        << c.where();
  }
}

}  // namespace movrek
