#include "catalog/catalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "cases.h"

namespace movrek {

using testing::show;

MOVREK_CASE_TEST(CatalogTest, catalog, Cases) {
  const testing::FixtureCase& c = GetParam();
  EXPECT_EQ(testing::run_catalog_steps(c.text("groups"), c.text("records")), c.text("expect"))
      << c.where();
}

// Texts of any length, and texts far apart, keep their lengths and places, and
// so does every text beside them. Nothing that long is made: an entry only
// tells where its texts lie.
TEST(FileEntry, KeepsTextsOfAnyLengthAndPlace) {
  if constexpr (sizeof(std::size_t) > 4) {
    constexpr std::size_t kMissing = FileEntry::kMissing;
    Arena arena;
    const char base[1] = {};
    // Each text as "offset+length", or "-" when missing.
    const auto placed = [&](const std::size_t(&offsets)[4], const std::size_t(&lengths)[4]) {
      const char* const data[4] = {base + offsets[0], base + offsets[1], base + offsets[2],
                                   base + offsets[3]};
      const FileEntry e = FileEntry::over(arena, data, lengths);
      std::string out;
      for (const Text t : {Text(e.name()), e.size(), e.description(), e.origin()})
        out += t ? std::to_string(t->data() - base) + "+" + std::to_string(t->size()) + " " : "- ";
      return out;
    };
    EXPECT_EQ(placed({9, 10, 0, 0}, {1, 65533, 9, kMissing}), "9+1 10+65533 0+9 - ");
    EXPECT_EQ(placed({0, 1, 0, 65535}, {1, 65534, kMissing, 0}), "0+1 1+65534 - 65535+0 ");
    EXPECT_EQ(placed({70000, 0, 0, 0}, {3, kMissing, kMissing, 2}), "70000+3 - - 0+2 ");
    EXPECT_EQ(placed({0, 5, 4294967300, 0}, {5, UINT32_MAX, (std::size_t{1} << 32) + 2, kMissing}),
              "0+5 5+4294967295 4294967300+4294967298 - ");
  }
}

// Random records against a plain model of the catalog: lists kept by walking
// them with compare_names and inserting before the first element that is not
// less; an area is not inserted twice.
template <typename V>
static auto& place(V& v, const typename V::value_type& x, bool unique) {
  auto it = std::ranges::find_if(v, [&](auto& e) { return compare_names(e.first, x.first) >= 0; });
  return unique && it != v.end() && names_equal(it->first, x.first) ? *it : *v.insert(it, x);
}

// Names over bytes that collide often (both cases of two letters, '_' between
// the cases, a Cyrillic pair, NUL), as the steps write them, each byte maybe
// left out; file names may differ only after eight bytes. One run in ten puts
// long lists into a few areas.
TEST(CatalogModel, RandomRecordsMatchAPlainModel) {
  static const char* const kBytes[] = {"a", "A", "b", "B", "_", "\\x80", "\\xA0", "\\0", ""};
  std::mt19937 rng(4711);
  for (int run = 0; run < 2000 && !HasFailure(); ++run) {
    const std::size_t longer = run % 10 == 0, steps_total = longer ? 600 : 10 + rng() % 50;
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> areas;
    std::string steps, expected, dump;
    for (std::size_t step = 1; step <= steps_total; ++step) {
      std::string area, file = rng() % 3 ? "" : rng() % 2 ? "FILENAME" : "filename";
      for (std::size_t n = 0; n < 6; ++n)
        (n < 2 - longer ? area : file) += kBytes[rng() % 9];
      steps += area + "|" + file + "|" + std::to_string(step) + "\n";
      const auto row = testing::rows(area + "|" + file)[0];  // decoded
      place(place(areas, {row[0], {}}, true).second, {row[1], std::to_string(step)}, false);
      if (rng() % 20 != 0 && step < steps_total) continue;  // else the lists are read here
      dump = "group 0 report=none header=\"header.txt\" footer=\"footer.txt\" files=";
      dump += std::to_string(step) + "\n";
      for (const auto& [name, files] : areas) {
        dump += "  area " + show(name) + " desc=none link=none\n";
        for (const auto& [f, size] : files)
          dump += "    file " + show(f) + " size=\"" + size + "\" desc=none origin=none\n";
      }
      if (step < steps_total) steps += "=\n", expected += dump;
    }
    EXPECT_EQ(testing::run_catalog_steps("", steps), expected + dump) << "run " << run;
  }
}

}  // namespace movrek
