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

// Texts of any length, and texts far apart, keep their lengths and places, and
// so does every text beside them. Nothing that long is made: an entry only
// tells where its texts lie.
TEST(FileEntry, KeepsTextsOfAnyLengthAndPlace) {
  if constexpr (sizeof(std::size_t) > 4) {
    constexpr std::size_t kMissing = FileEntry::kMissing;
    Arena arena;
    const char base[1] = {};
    // Each text as "offset+length", or "-" when missing.
    const auto show = [&](const std::size_t(&offsets)[4], const std::size_t(&lengths)[4]) {
      const char* const data[4] = {base + offsets[0], base + offsets[1], base + offsets[2],
                                   base + offsets[3]};
      const FileEntry e = FileEntry::over(arena, data, lengths);
      std::string out;
      for (const Text t : {Text(e.name()), e.size(), e.description(), e.origin()})
        out += t ? std::to_string(t->data() - base) + "+" + std::to_string(t->size()) + " " : "- ";
      return out;
    };
    EXPECT_EQ(show({9, 10, 0, 0}, {1, 65533, 9, kMissing}), "9+1 10+65533 0+9 - ");
    EXPECT_EQ(show({0, 1, 0, 65535}, {1, 65534, kMissing, 0}), "0+1 1+65534 - 65535+0 ");
    EXPECT_EQ(show({70000, 0, 0, 0}, {3, kMissing, kMissing, 2}), "70000+3 - - 0+2 ");
    EXPECT_EQ(show({0, 5, 4294967300, 0}, {5, UINT32_MAX, (std::size_t{1} << 32) + 2, kMissing}),
              "0+5 5+4294967295 4294967300+4294967298 - ");
  }
}

}  // namespace movrek
