#include "catalog/catalog.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace movrek {
namespace {

InputRecord record(std::string_view area, std::string_view file, Text size = std::nullopt,
                   Text area_description = std::nullopt, Text link = std::nullopt) {
  InputRecord r;
  r.area_name = area;
  r.file_name = file;
  r.size = size;
  r.area_description = area_description;
  r.link = link;
  return r;
}

std::vector<std::string> area_names(const Group& group) {
  std::vector<std::string> names;
  group.for_each_area([&](const Area& area) { names.emplace_back(area.name()); });
  return names;
}

std::vector<std::string> file_names(const Area& area) {
  std::vector<std::string> names;
  for (const FileEntry& f : area.files())
    names.emplace_back(f.name());
  return names;
}

std::vector<std::string> file_sizes(const Area& area) {
  std::vector<std::string> sizes;
  for (const FileEntry& f : area.files())
    sizes.emplace_back(f.size().value_or("<none>"));
  return sizes;
}

using Names = std::vector<std::string>;

// ---- start state ----

TEST(CatalogTest, DefaultGroupAtStart) {
  Catalog catalog;
  ASSERT_EQ(catalog.groups().size(), 1u);
  const Group& g = catalog.default_group();
  EXPECT_EQ(&g, catalog.groups().front().get());
  EXPECT_FALSE(g.report.has_value());
  EXPECT_EQ(g.header, "header.txt");
  EXPECT_EQ(g.footer, "footer.txt");
  EXPECT_EQ(g.area_total(), 0u);
  EXPECT_EQ(g.file_count(), 0u);

  const auto configured = make_configured_group();
  EXPECT_FALSE(configured->report.has_value());
  EXPECT_EQ(configured->header, "header.txt");
  EXPECT_EQ(configured->footer, "footer.txt");
  EXPECT_EQ(configured->area_total(), 0u);
}

// ---- areas ----

TEST(CatalogAreaTest, NamesFoldAsciiAndKeepTheFirstSpelling) {
  Catalog catalog;
  catalog.add_input_record(record("FILES", "b.zip"));
  catalog.add_input_record(record("files", "a.zip"));
  catalog.add_input_record(record("Files", "c.zip"));
  const Group& g = catalog.default_group();
  ASSERT_EQ(area_names(g), Names{"FILES"});
  EXPECT_EQ(file_names(*g.find_area("fIlEs")), (Names{"a.zip", "b.zip", "c.zip"}));
  EXPECT_EQ(g.file_count(), 3u);
}

TEST(CatalogAreaTest, CyrillicCaseGivesTwoAreas) {
  Catalog catalog;
  // "фАЙЛЫ" and "ФАЙЛЫ" in CP866 differ only in the case of the first letter.
  catalog.add_input_record(record("\xE4\x80\x89\x8B\x9B", "one"));
  catalog.add_input_record(record("\x94\x80\x89\x8B\x9B", "two"));
  const Group& g = catalog.default_group();
  EXPECT_EQ(area_names(g), (Names{"\x94\x80\x89\x8B\x9B", "\xE4\x80\x89\x8B\x9B"}));
  EXPECT_EQ(g.find_area("\x84\x80\x89\x8B\x9B"), nullptr);
}

TEST(CatalogAreaTest, AreasSortedUnderCompareNames) {
  Catalog catalog;
  for (const char* name : {"\x80REA", "zeta", "FILE_1", "", "FileA", "alpha", "Alpha2", "file_1"}) {
    catalog.add_input_record(record(name, "x"));
  }
  // The empty name is an ordinary area that sorts first; '_' comes before the
  // folded letters; bytes from 0x80 up come last.
  EXPECT_EQ(area_names(catalog.default_group()),
            (Names{"", "alpha", "Alpha2", "FILE_1", "FileA", "zeta", "\x80REA"}));
  EXPECT_EQ(catalog.default_group().file_count(), 8u);
  EXPECT_EQ(catalog.default_group().find_area("")->file_total(), 1u);
}

TEST(CatalogAreaTest, InsertingAnExistingNameChangesNothing) {
  Catalog catalog;
  Group& g = catalog.default_group();
  catalog.insert_area(g, "Files", "first description", "first link");
  catalog.insert_area(g, "Other", std::nullopt, std::nullopt);
  Area* area = g.find_area("files");
  ASSERT_NE(area, nullptr);
  catalog.insert_file(*area, "a.zip", "1", std::nullopt, std::nullopt);

  catalog.insert_area(g, "FILES", "second description", "second link");
  catalog.insert_area(g, "files", std::nullopt, std::nullopt);
  EXPECT_EQ(area_names(g), (Names{"Files", "Other"}));
  EXPECT_EQ(g.find_area("FILES"), area);
  EXPECT_EQ(area->name(), "Files");
  EXPECT_EQ(area->description(), "first description");
  EXPECT_EQ(area->link(), "first link");
  EXPECT_EQ(file_names(*area), Names{"a.zip"});
  EXPECT_EQ(g.file_count(), 0u);  // insert_file alone does not count
}

TEST(CatalogAreaTest, NewAreasGoToTheDefaultGroup) {
  Catalog catalog;
  auto group = make_configured_group();
  catalog.insert_area(*group, "LINUX", std::nullopt, std::nullopt);
  Group& configured = catalog.append_group(std::move(group));
  catalog.add_input_record(record("linux", "kernel.tgz"));
  catalog.add_input_record(record("WINDOWS", "setup.exe", "100", "Windows stuff", "from hub"));
  catalog.add_input_record(record("Windows", "other.exe"));

  EXPECT_EQ(area_names(configured), Names{"LINUX"});
  EXPECT_EQ(configured.file_count(), 1u);
  const Group& home = catalog.default_group();
  EXPECT_EQ(area_names(home), Names{"WINDOWS"});
  EXPECT_EQ(home.file_count(), 2u);
  const Area* windows = home.find_area("windows");
  ASSERT_NE(windows, nullptr);
  EXPECT_EQ(windows->description(), "Windows stuff");
  EXPECT_EQ(windows->link(), "from hub");
  EXPECT_EQ(file_names(*windows), (Names{"other.exe", "setup.exe"}));
}

TEST(CatalogAreaTest, FirstConfiguredGroupInChainOrderGetsTheFiles) {
  Catalog catalog;
  auto first = make_configured_group();
  catalog.insert_area(*first, "AREA", std::nullopt, std::nullopt);
  auto second = make_configured_group();
  catalog.insert_area(*second, "area", std::nullopt, std::nullopt);
  catalog.insert_area(*second, "OTHER", std::nullopt, std::nullopt);
  Group& g1 = catalog.append_group(std::move(first));
  Group& g2 = catalog.append_group(std::move(second));

  catalog.add_input_record(record("Area", "a"));
  catalog.add_input_record(record("other", "b"));
  catalog.add_input_record(record("AREA", "c"));

  EXPECT_EQ(file_names(*g1.find_area("area")), (Names{"a", "c"}));
  EXPECT_EQ(g1.file_count(), 2u);
  EXPECT_TRUE(g2.find_area("area")->files().empty());
  EXPECT_EQ(file_names(*g2.find_area("other")), Names{"b"});
  EXPECT_EQ(g2.file_count(), 1u);
  EXPECT_EQ(catalog.default_group().file_count(), 0u);
  EXPECT_EQ(catalog.default_group().area_total(), 0u);
}

TEST(CatalogAreaTest, ChainOrderAlsoCountsForAreasAddedLater) {
  Catalog catalog;
  auto group = make_configured_group();
  catalog.insert_area(*group, "LATE", std::nullopt, std::nullopt);
  Group& configured = catalog.append_group(std::move(group));
  catalog.add_input_record(record("EARLY", "1"));  // new area in the default group
  // An area of that name in a later group does not take its files away.
  catalog.insert_area(configured, "early", std::nullopt, std::nullopt);
  catalog.add_input_record(record("EARLY", "2"));
  EXPECT_EQ(catalog.default_group().find_area("early")->file_total(), 2u);
  EXPECT_EQ(configured.find_area("early")->file_total(), 0u);
  // An area added to the default group comes before the configured group's.
  catalog.add_input_record(record("LATE", "1"));
  catalog.insert_area(catalog.default_group(), "late", std::nullopt, std::nullopt);
  catalog.add_input_record(record("LATE", "2"));
  EXPECT_EQ(file_names(*configured.find_area("late")), Names{"1"});
  EXPECT_EQ(file_names(*catalog.default_group().find_area("late")), Names{"2"});
  EXPECT_EQ(configured.file_count(), 1u);
  EXPECT_EQ(catalog.default_group().file_count(), 3u);
}

TEST(CatalogAreaTest, GroupNeverAppendedReceivesNothing) {
  Catalog catalog;
  auto loose = make_configured_group();
  catalog.insert_area(*loose, "LOST", std::nullopt, std::nullopt);
  catalog.add_input_record(record("LOST", "f"));
  EXPECT_TRUE(loose->find_area("lost")->files().empty());
  EXPECT_EQ(loose->file_count(), 0u);
  EXPECT_EQ(file_names(*catalog.default_group().find_area("lost")), Names{"f"});
  EXPECT_EQ(catalog.groups().size(), 1u);

  // Appended afterwards, it comes after the default group, which already has the area.
  Group& appended = catalog.append_group(std::move(loose));
  catalog.add_input_record(record("LOST", "g"));
  EXPECT_TRUE(appended.find_area("lost")->files().empty());
  EXPECT_EQ(catalog.default_group().find_area("lost")->file_total(), 2u);
  EXPECT_EQ(catalog.groups().size(), 2u);
  EXPECT_EQ(catalog.groups()[1].get(), &appended);
}

TEST(CatalogAreaTest, DescriptionAndLinkAreSetOnce) {
  Catalog catalog;
  auto group = make_configured_group();
  catalog.insert_area(*group, "CONF", std::nullopt, std::nullopt);
  catalog.append_group(std::move(group));
  const Area* conf = catalog.groups()[1]->find_area("CONF");
  ASSERT_NE(conf, nullptr);
  EXPECT_FALSE(conf->description().has_value());
  EXPECT_FALSE(conf->link().has_value());

  catalog.add_input_record(record("conf", "1", std::nullopt, std::nullopt, "link one"));
  EXPECT_FALSE(conf->description().has_value());
  EXPECT_EQ(conf->link(), "link one");
  // An empty description is a description: it is kept.
  catalog.add_input_record(record("conf", "2", std::nullopt, "", "link two"));
  catalog.add_input_record(record("conf", "3", std::nullopt, "later", "link three"));
  ASSERT_TRUE(conf->description().has_value());
  EXPECT_EQ(conf->description(), "");
  EXPECT_EQ(conf->link(), "link one");

  // An area made by a record keeps that record's texts.
  catalog.add_input_record(record("NEW", "1", std::nullopt, "first", std::nullopt));
  catalog.add_input_record(record("new", "2", std::nullopt, "second", ""));
  catalog.add_input_record(record("new", "3", std::nullopt, "third", "third link"));
  const Area* made = catalog.default_group().find_area("NEW");
  EXPECT_EQ(made->description(), "first");
  EXPECT_EQ(made->link(), "");
}

// ---- files ----

TEST(CatalogFileTest, CaseFoldedOrderNewestFirstAmongEquals) {
  Catalog catalog;
  catalog.add_input_record(record("A", "B.ZIP"));
  catalog.add_input_record(record("A", "a.zip"));
  catalog.add_input_record(record("A", "A.ZIP"));
  EXPECT_EQ(file_names(*catalog.default_group().find_area("A")),
            (Names{"A.ZIP", "a.zip", "B.ZIP"}));
}

TEST(CatalogFileTest, SameNameTwiceGivesTwoEntriesAndCountsTwo) {
  Catalog catalog;
  catalog.add_input_record(record("A", "x.zip", "1"));
  catalog.add_input_record(record("A", "X.ZIP", "2"));
  catalog.add_input_record(record("A", "x.zip", "3"));
  catalog.add_input_record(record("A", "w", "4"));
  const Area& area = *catalog.default_group().find_area("A");
  EXPECT_EQ(file_sizes(area), (Names{"4", "3", "2", "1"}));
  EXPECT_EQ(catalog.default_group().file_count(), 4u);
}

TEST(CatalogFileTest, OrderBeyondTheFirstBytes) {
  Catalog catalog;
  for (const char* name : {"LONGPREFIX_2", "longprefix_10", "LONGPREFIX_1", "longprefix_",
                           "LONGPREFIXa", "\x80", "zzzzzzzzzz", "longprefix_1"}) {
    catalog.add_input_record(record("A", name));
  }
  EXPECT_EQ(file_names(*catalog.default_group().find_area("A")),
            (Names{"longprefix_", "longprefix_1", "LONGPREFIX_1", "longprefix_10", "LONGPREFIX_2",
                   "LONGPREFIXa", "zzzzzzzzzz", "\x80"}));
}

TEST(CatalogFileTest, FilesAddedAfterTheListWasReadAreInOrder) {
  Catalog catalog;
  catalog.add_input_record(record("A", "C"));
  catalog.add_input_record(record("A", "A"));
  const Area& area = *catalog.default_group().find_area("A");
  EXPECT_EQ(file_names(area), (Names{"A", "C"}));
  catalog.add_input_record(record("A", "B"));
  catalog.add_input_record(record("A", "D"));
  EXPECT_EQ(file_names(area), (Names{"A", "B", "C", "D"}));
  catalog.add_input_record(record("A", "b"));
  catalog.add_input_record(record("A", "E"));
  EXPECT_EQ(file_names(area), (Names{"A", "b", "B", "C", "D", "E"}));
}

TEST(CatalogFileTest, TextsAreCopiedAndMissingStaysMissing) {
  Catalog catalog;
  std::string area = "AREA", file = "f.zip", size = "123", desc = "a file", origin = "";
  InputRecord r = record(area, file, size);
  r.file_description = desc;
  r.origin = origin;
  catalog.add_input_record(r);
  InputRecord bare = record(area, "g.zip");
  catalog.add_input_record(bare);
  for (std::string* s : {&area, &file, &size, &desc})
    s->assign(s->size(), '#');

  const Area& a = *catalog.default_group().find_area("area");
  EXPECT_EQ(a.name(), "AREA");
  ASSERT_EQ(a.files().size(), 2u);
  const FileEntry& f = a.files()[0];
  EXPECT_EQ(f.name(), "f.zip");
  EXPECT_EQ(f.size(), "123");
  EXPECT_EQ(f.description(), "a file");
  ASSERT_TRUE(f.origin().has_value());
  EXPECT_EQ(f.origin(), "");
  const FileEntry& g = a.files()[1];
  EXPECT_EQ(g.name(), "g.zip");
  EXPECT_FALSE(g.size().has_value());
  EXPECT_FALSE(g.description().has_value());
  EXPECT_FALSE(g.origin().has_value());
  EXPECT_FALSE(a.description().has_value());
  EXPECT_FALSE(a.link().has_value());
}

TEST(CatalogFileTest, EmptyFileNameIsOrdinary) {
  Catalog catalog;
  catalog.add_input_record(record("A", "x"));
  catalog.add_input_record(record("A", "", ""));
  const Area& area = *catalog.default_group().find_area("A");
  EXPECT_EQ(file_names(area), (Names{"", "x"}));
  EXPECT_EQ(area.files()[0].size(), "");
}

}  // namespace
}  // namespace movrek
