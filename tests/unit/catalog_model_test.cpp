// Random records against a plain model of the catalog: lists kept by walking
// them with compare_names and inserting before the first element that is not
// less; an area is not inserted twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "fixture.h"

namespace movrek {

using testing::show;

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
