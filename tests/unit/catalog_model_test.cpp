// Random runs of the catalog compared with a plain model of it: linked lists
// kept by walking them with compare_names and inserting before the first
// element that is not less, areas discarded on an equal name, lookups walking
// the groups in chain order.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <list>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "text/names.h"

namespace movrek {
namespace {

using OptText = std::optional<std::string>;

struct ModelFile {
  std::string name;
  OptText size, description, origin;
};

struct ModelArea {
  std::string name;
  OptText description, link;
  std::list<ModelFile> files;
};

struct ModelGroup {
  std::list<ModelArea> areas;
  std::uint32_t file_count = 0;
};

// The model and the catalog side by side. Group i of the model is groups[i]
// of the catalog side; chain holds the model's group numbers in chain order.
struct CatalogRun {
  Catalog catalog;
  std::vector<Group*> groups;                   // every group made so far
  std::vector<std::unique_ptr<Group>> pending;  // made but not appended yet
  std::vector<ModelGroup> model;
  std::vector<std::size_t> chain;

  CatalogRun() {
    groups.push_back(&catalog.default_group());
    model.emplace_back();
    chain.push_back(0);
  }
};

ModelArea* model_find_area(ModelGroup& group, const std::string& name) {
  for (ModelArea& area : group.areas) {
    if (compare_names(area.name, name) == 0) return &area;
  }
  return nullptr;
}

void model_insert_area(ModelGroup& group, ModelArea area) {
  auto it = group.areas.begin();
  while (it != group.areas.end() && compare_names(it->name, area.name) < 0)
    ++it;
  if (it != group.areas.end() && compare_names(it->name, area.name) == 0) return;
  group.areas.insert(it, std::move(area));
}

void model_insert_file(ModelArea& area, ModelFile file) {
  auto it = area.files.begin();
  while (it != area.files.end() && compare_names(it->name, file.name) < 0)
    ++it;
  area.files.insert(it, std::move(file));
}

void model_add_record(CatalogRun& run, const std::string& area_name,
                      const OptText& area_description, const OptText& link, const ModelFile& file) {
  ModelGroup* target_group = nullptr;
  ModelArea* target_area = nullptr;
  for (std::size_t g : run.chain) {
    if (ModelArea* a = model_find_area(run.model[g], area_name)) {
      target_group = &run.model[g];
      target_area = a;
      break;
    }
  }
  if (target_area == nullptr) {
    target_group = &run.model[0];
    model_insert_area(*target_group, ModelArea{area_name, area_description, link, {}});
    target_area = model_find_area(*target_group, area_name);
  } else {
    if (!target_area->description && area_description) {
      target_area->description = area_description;
    }
    if (!target_area->link && link) target_area->link = link;
  }
  model_insert_file(*target_area, file);
  ++target_group->file_count;
}

Text view(const OptText& t) {
  if (!t) return std::nullopt;
  return std::string_view(*t);
}

OptText own(Text t) {
  if (!t) return std::nullopt;
  return std::string(*t);
}

// Compares every observable part of one group with its model.
void expect_same_group(const Group& group, const ModelGroup& model, std::size_t number) {
  SCOPED_TRACE("group " + std::to_string(number));
  EXPECT_EQ(group.file_count(), model.file_count);
  ASSERT_EQ(group.area_total(), model.areas.size());
  auto m = model.areas.begin();
  group.for_each_area([&](const Area& area) {
    const ModelArea& ma = *m++;
    ASSERT_EQ(area.name(), ma.name);
    EXPECT_EQ(own(area.description()), ma.description) << ma.name;
    EXPECT_EQ(own(area.link()), ma.link) << ma.name;
    const std::vector<FileEntry>& files = area.files();
    ASSERT_EQ(files.size(), ma.files.size()) << ma.name;
    EXPECT_EQ(area.file_total(), ma.files.size());
    auto mf = ma.files.begin();
    for (const FileEntry& f : files) {
      const ModelFile& expected = *mf++;
      ASSERT_EQ(f.name(), expected.name) << "in area " << testing::PrintToString(ma.name);
      EXPECT_EQ(own(f.size()), expected.size) << expected.name;
      EXPECT_EQ(own(f.description()), expected.description) << expected.name;
      EXPECT_EQ(own(f.origin()), expected.origin) << expected.name;
    }
  });
}

void expect_same(const CatalogRun& run) {
  for (std::size_t i = 0; i < run.groups.size(); ++i) {
    expect_same_group(*run.groups[i], run.model[i], i);
  }
  ASSERT_EQ(run.catalog.groups().size(), run.chain.size());
  for (std::size_t i = 0; i < run.chain.size(); ++i) {
    EXPECT_EQ(run.catalog.groups()[i].get(), run.groups[run.chain[i]]);
  }
}

class Random {
 public:
  explicit Random(std::uint32_t seed) : rng_(seed) {}
  std::size_t below(std::size_t n) { return rng_() % n; }
  bool chance(std::size_t one_in) { return below(one_in) == 0; }

  // Short names over a few bytes that collide often: both cases of two
  // letters, '_' (between the cases), a Cyrillic pair and NUL.
  std::string name(std::size_t max_len, bool long_prefix) {
    static constexpr char kBytes[] = {'a', 'A', 'b', 'B', '_', '\x80', '\xA0', '\0'};
    std::string s;
    // A shared prefix of eight bytes, in either case, so that names differ
    // only further on.
    if (long_prefix && chance(3)) s = chance(2) ? "FILENAME" : "filename";
    const std::size_t len = below(max_len + 1);
    for (std::size_t i = 0; i < len; ++i)
      s.push_back(kBytes[below(std::size(kBytes))]);
    return s;
  }

  OptText text() {
    switch (below(4)) {
      case 0:
        return std::nullopt;
      case 1:
        return std::string();
      default: {
        std::string t = std::to_string(below(1000));
        t.push_back('t');
        return t;
      }
    }
  }

 private:
  std::mt19937 rng_;
};

void run_case(std::uint32_t seed) {
  SCOPED_TRACE("seed " + std::to_string(seed));
  Random rnd(seed);
  CatalogRun run;
  const std::size_t steps = 10 + rnd.below(50);
  for (std::size_t step = 0; step < steps; ++step) {
    switch (rnd.below(10)) {
      case 0: {  // a new configured group, not in the chain yet
        if (run.groups.size() >= 5) break;
        run.pending.push_back(make_configured_group());
        run.groups.push_back(run.pending.back().get());
        run.model.emplace_back();
        break;
      }
      case 1: {  // append a pending group
        if (run.pending.empty()) break;
        const std::size_t k = rnd.below(run.pending.size());
        Group* g = run.pending[k].get();
        std::size_t number = 0;
        while (run.groups[number] != g)
          ++number;
        Group& appended = run.catalog.append_group(std::move(run.pending[k]));
        EXPECT_EQ(&appended, g);
        run.pending.erase(run.pending.begin() + static_cast<long>(k));
        run.chain.push_back(number);
        break;
      }
      case 2:
      case 3: {  // insert_area into any group
        const std::size_t g = rnd.below(run.groups.size());
        const std::string name = rnd.name(2, false);
        const OptText description = rnd.text(), link = rnd.text();
        run.catalog.insert_area(*run.groups[g], name, view(description), view(link));
        model_insert_area(run.model[g], ModelArea{name, description, link, {}});
        break;
      }
      case 4: {  // insert_file into an area of any group
        const std::size_t g = rnd.below(run.groups.size());
        const std::string area_name = rnd.name(2, false);
        Area* area = run.groups[g]->find_area(area_name);
        ModelArea* model_area = model_find_area(run.model[g], area_name);
        ASSERT_EQ(area == nullptr, model_area == nullptr) << testing::PrintToString(area_name);
        if (area == nullptr) break;
        EXPECT_TRUE(names_equal(area->name(), model_area->name));
        const ModelFile file{rnd.name(3, true), rnd.text(), rnd.text(), rnd.text()};
        run.catalog.insert_file(*area, file.name, view(file.size), view(file.description),
                                view(file.origin));
        model_insert_file(*model_area, file);
        break;
      }
      case 5: {  // look at one area's files, so later files arrive after a read
        const std::size_t g = rnd.below(run.groups.size());
        if (const Area* area = run.groups[g]->find_area(rnd.name(2, false))) {
          (void)area->files();
        }
        break;
      }
      default: {  // a record of the new-files list
        const std::string area_name = rnd.name(2, false);
        const OptText area_description = rnd.text(), link = rnd.text();
        const ModelFile file{rnd.name(3, true), rnd.text(), rnd.text(), rnd.text()};
        InputRecord r;
        r.area_name = area_name;
        r.area_description = view(area_description);
        r.link = view(link);
        r.file_name = file.name;
        r.size = view(file.size);
        r.file_description = view(file.description);
        r.origin = view(file.origin);
        run.catalog.add_input_record(r);
        model_add_record(run, area_name, area_description, link, file);
        break;
      }
    }
    if (rnd.chance(8)) {
      expect_same(run);
      if (testing::Test::HasFailure()) return;
    }
  }
  expect_same(run);
}

TEST(CatalogModelTest, RandomRunsMatchTheModel) {
  for (std::uint32_t seed = 1; seed <= 4000; ++seed) {
    run_case(seed);
    if (testing::Test::HasFailure()) break;  // one reported seed is enough
  }
}

// Long runs into a handful of areas, so that file lists grow past a few
// entries and are read in between.
TEST(CatalogModelTest, LongFileListsMatchTheModel) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Random rnd(seed * 7919u);
    CatalogRun run;
    for (int i = 0; i < 600; ++i) {
      const std::string area_name = rnd.name(1, false);
      const ModelFile file{rnd.name(4, true), rnd.text(), std::nullopt, std::nullopt};
      InputRecord r;
      r.area_name = area_name;
      r.file_name = file.name;
      r.size = view(file.size);
      run.catalog.add_input_record(r);
      model_add_record(run, area_name, std::nullopt, std::nullopt, file);
      if (rnd.chance(50)) {
        expect_same(run);
        if (testing::Test::HasFailure()) return;
      }
    }
    expect_same(run);
  }
}

}  // namespace
}  // namespace movrek
