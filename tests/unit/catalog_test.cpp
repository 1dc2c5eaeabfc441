#include "catalog/catalog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cases.h"

namespace movrek {

class CatalogTest : public testing::CaseTest {};

TEST_P(CatalogTest, Cases) {
  const testing::FixtureCase& c = GetParam();
  EXPECT_EQ(testing::run_catalog_steps(c.text("groups"), c.text("records")), c.text("expect"))
      << c.where();
}

MOVREK_CASES(Table, CatalogTest, "catalog.cases");

// Texts of 2^32 - 2 bytes and more keep their lengths, and so does every text
// beside them. Nothing that long is made: an entry only tells where its texts lie.
TEST(FileEntry, KeepsTextsOfAnyLength) {
  if constexpr (sizeof(std::size_t) > 4) {
    constexpr std::size_t kMissing = FileEntry::kMissing, kMost = UINT32_MAX - 2;
    Arena arena;
    const char base[1] = {};
    const auto show = [&](const FileEntry& e) {
      std::string out;
      for (const Text t : {Text(e.name()), e.size(), e.description(), e.origin()})
        out += t ? std::to_string(t->data() - base) + "+" + std::to_string(t->size()) + " " : "- ";
      return out;
    };
    EXPECT_EQ(show(FileEntry::over(arena, base, {1, kMost, kMissing, 0})),
              "0+1 1+4294967293 - 4294967294+0 ");
    EXPECT_EQ(
        show(FileEntry::over(arena, base, {5, UINT32_MAX, (std::size_t{1} << 32) + 2, kMissing})),
        "0+5 5+4294967295 4294967300+4294967298 - ");
    EXPECT_EQ(show(FileEntry::over(arena, base, {kMost + 1, kMissing, kMissing, 2})),
              "0+4294967294 - - 4294967294+2 ");
  }
}

}  // namespace movrek
