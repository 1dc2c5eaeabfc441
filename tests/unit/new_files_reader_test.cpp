#include "input/new_files_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "text/byte_io.h"

namespace movrek {
namespace {

using namespace std::string_literals;

const TemplateList kAelfsdo = {'A', 'E', 'L', 'F', 'S', 'D', 'O'};

TemplateList tags_of(std::string_view letters) {
  return TemplateList(letters.begin(), letters.end());
}

std::string show(Text t) {
  return t ? "'" + std::string(*t) + "'" : "none";
}

// One row per file in the catalog, in chain, area and file order:
// group index, area name, description and link, then the file's four texts.
std::vector<std::string> rows_of(const Catalog& catalog) {
  std::vector<std::string> rows;
  const auto& chain = catalog.groups();
  for (std::size_t g = 0; g < chain.size(); ++g) {
    chain[g]->for_each_area([&](const Area& a) {
      for (const FileEntry& f : a.files()) {
        rows.push_back(std::to_string(g) + " " + std::string(a.name()) + " " + show(a.description()) + " " +
                       show(a.link()) + " | " + std::string(f.name()) + " " + show(f.size()) + " " +
                       show(f.description()) + " " + show(f.origin()));
      }
    });
  }
  return rows;
}

struct Outcome {
  bool ok;
  std::vector<std::string> rows;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << (o.ok ? "true" : "false");
  for (const auto& r : o.rows)
    *os << "\n  " << (r.size() > 200 ? r.substr(0, 200) + "..." : r);
}

Outcome read(std::string_view list, const TemplateList& tags,
             const std::vector<std::string>& excluded = {}, std::size_t chunk = SIZE_MAX,
             std::size_t fail_at = SIZE_MAX) {
  ExcludedAreas areas;
  for (const auto& name : excluded)
    areas.add(name);
  Catalog catalog;
  MemorySource source(list, chunk, fail_at);
  const bool ok = read_new_files(source, tags, areas, catalog);
  return {ok, rows_of(catalog)};
}

// A record of seven lines in the order A E L F S D O.
std::string record(std::string_view area, std::string_view file, std::string_view desc = "Desc",
                   std::string_view eol = "\n") {
  std::string r;
  for (const std::string_view line :
       {area, std::string_view("Area desc"), std::string_view("Link"), file,
        std::string_view("123"), desc, std::string_view("Orig")}) {
    r.append(line);
    r.append(eol);
  }
  return r;
}

// The row that record() gives in the default group.
std::string row(std::string_view area, std::string_view file, std::string_view desc = "Desc") {
  return "0 " + std::string(area) + " 'Area desc' 'Link' | " + std::string(file) + " '123' '" +
         std::string(desc) + "' 'Orig'";
}

struct Case {
  const char* name;
  TemplateList tags;
  std::string list;
  Outcome want;
  std::vector<std::string> excluded = {};
};

const std::string k1022(1022, 'x');
const std::string k1023(1023, 'y');
const std::string k5000(5000, 'z');
// Longer than the reader's block.
const std::string kHuge(300 * 1024, 'w');

const Case kCases[] = {
    {"OneRecord", kAelfsdo, record("AREA", "FILE.ZIP"), {true, {row("AREA", "FILE.ZIP")}}},
    {"OneRecordCrLf",
     kAelfsdo,
     record("AREA", "FILE.ZIP", "Desc", "\r\n"),
     {true, {row("AREA", "FILE.ZIP")}}},
    {"TwoRecords",
     kAelfsdo,
     record("B", "two.zip") + record("A", "one.zip"),
     {true, {row("A", "one.zip"), row("B", "two.zip")}}},
    {"ExtraLineDropped", kAelfsdo, record("A", "f") + "stray\n", {true, {row("A", "f")}}},
    {"EndOfFileByteAfterLastLine", kAelfsdo, record("A", "f") + "\x1A", {true, {row("A", "f")}}},
    {"LinesAfterEndOfFileByteUnread",
     kAelfsdo,
     record("A", "f") + "\x1A" + record("B", "g"),
     {true, {row("A", "f")}}},
    {"EmptyList", kAelfsdo, "", {true, {}}},
    {"EmptyTemplateEmptyList", {}, "", {false, {}}},
    {"EmptyTemplate", {}, record("A", "f"), {false, {}}},
    {"RecordCutShortStillPlaced",
     kAelfsdo,
     "A\nE\nL\nf\n",
     {true, {"0 A 'E' 'L' | f none none none"}}},
    {"RecordCutShortBeforeFileDropped", kAelfsdo, "A\nE\nL\n", {true, {}}},
    {"EmptyLinesArePresentTexts", kAelfsdo, "\n\n\n\n\n\n\n", {true, {"0  '' '' |  '' '' ''"}}},

    // Templates without A or F.
    {"NoFileTagSixLines", tags_of("AELSDO"), "a\ne\nl\ns\nd\no\n", {false, {}}},
    {"NoFileTagSixLinesLastWithoutLineFeed", tags_of("AELSDO"), "a\ne\nl\ns\nd\no", {true, {}}},
    {"NoFileTagShortList", tags_of("AELSDO"), "a\ne\nl\ns\nd\n", {true, {}}},
    {"NoAreaTag", tags_of("F"), "f\n", {false, {}}},

    // Tags that carry no field, and repeated tags.
    {"UnknownTagDropsItsLine",
     tags_of("AXF"),
     "a\nskipped\nf\nb\nskipped\ng\n",
     {true, {"0 a none none | f none none none", "0 b none none | g none none none"}}},
    {"LowerCaseAndNulTagsDropLines",
     TemplateList{'A', 'f', '\0', 'F'},
     "a\nno\nno\nf\n",
     {true, {"0 a none none | f none none none"}}},
    {"SecondAreaTagWins",
     tags_of("AAF"),
     "first\nsecond\nf\n",
     {true, {"0 second none none | f none none none"}}},

    // Exclusion.
    {"ExcludedIgnoringAsciiCase",
     kAelfsdo,
     record("Private", "a") + record("PUBLIC", "b"),
     {true, {row("PUBLIC", "b")}},
     {"pRIVATE"}},
    {"CyrillicCaseNotFolded",
     kAelfsdo,
     // CP866 upper-case and lower-case Cyrillic A and B.
     record("\x80\x81", "a") + record("\xA0\xA1", "b"),
     {true, {row("\xA0\xA1", "b")}},
     {"\x80\x81"}},
    {"ExcludedAmongSeveral",
     kAelfsdo,
     record("A", "a") + record("B", "b") + record("C", "c"),
     {true, {row("B", "b")}},
     {"X", "a", "c"}},

    // Line lengths: every line is one field, whatever its length.
    {"Line1022",
     kAelfsdo,
     record("A", "f", k1022) + record("B", "g"),
     {true, {row("A", "f", k1022), row("B", "g")}}},
    {"Line1023",
     kAelfsdo,
     record("A", "f", k1023) + record("B", "g"),
     {true, {row("A", "f", k1023), row("B", "g")}}},
    {"Line1024",
     kAelfsdo,
     record("A", "f", k1023 + "y") + record("B", "g"),
     {true, {row("A", "f", k1023 + "y"), row("B", "g")}}},
    {"Line5000",
     kAelfsdo,
     record("A", "f", k5000) + record("B", "g"),
     {true, {row("A", "f", k5000), row("B", "g")}}},
    {"Line5000CrLf",
     kAelfsdo,
     record("A", "f", k5000, "\r\n") + record("B", "g", "Desc", "\r\n"),
     {true, {row("A", "f", k5000), row("B", "g")}}},
    {"LineLongerThanBlock",
     kAelfsdo,
     record("A", "f", kHuge) + record("B", "g"),
     {true, {row("A", "f", kHuge), row("B", "g")}}},

    // The last line keeps every byte however it ends.
    {"LastLineWithoutLineFeed",
     kAelfsdo,
     "A\nE\nL\nf\n9\nD\nOrigin",
     {true, {"0 A 'E' 'L' | f '9' 'D' 'Origin'"}}},
    {"LineCutByEndOfFileByte",
     kAelfsdo,
     "A\nE\nL\nf\n9\nD\nOrig\x1Ain\nB\n",
     {true, {"0 A 'E' 'L' | f '9' 'D' 'Orig'"}}},
    {"FileNameCutByEndOfFileByte",
     kAelfsdo,
     "A\nE\nL\nfi\x1Ale\n",
     {true, {"0 A 'E' 'L' | fi none none none"}}},

    // Odd bytes inside lines.
    {"NulCutsLineStaysInStep",
     kAelfsdo,
     "A\nE\nL\nf\n9\nab\0cd\nOrig\n"s + record("B", "g"),
     {true, {"0 A 'E' 'L' | f '9' 'ab' 'Orig'", row("B", "g")}}},
    {"LoneCrDropped",
     tags_of("AF"),
     "a\rb\nf\r\r\n",
     {true, {"0 ab none none | f\r none none none"}}},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class NewFilesTest : public testing::TestWithParam<Case> {};

TEST_P(NewFilesTest, GivesRecords) {
  const Case& c = GetParam();
  // Reads returning 1 and 7 bytes put the block ends everywhere.
  for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}, std::size_t{7}}) {
    SCOPED_TRACE("chunk " + std::to_string(chunk));
    EXPECT_EQ(read(c.list, c.tags, c.excluded, chunk), c.want);
  }
}

INSTANTIATE_TEST_SUITE_P(Lists, NewFilesTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(NewFilesTest, ExcludedAreaOfConfiguredGroupStaysEmpty) {
  Catalog catalog;
  auto group = make_configured_group();
  group->report = "g.txt";
  catalog.insert_area(*group, "PRIV", std::nullopt, std::nullopt);
  catalog.insert_area(*group, "OPEN", std::nullopt, std::nullopt);
  catalog.append_group(std::move(group));
  ExcludedAreas excluded;
  excluded.add("priv");
  const std::string list = record("PRIV", "a") + record("OPEN", "b");
  MemorySource source(list);
  EXPECT_TRUE(read_new_files(source, kAelfsdo, excluded, catalog));

  EXPECT_EQ(rows_of(catalog),
            std::vector<std::string>{"1 OPEN 'Area desc' 'Link' | b '123' 'Desc' 'Orig'"});
  const Group& configured = *catalog.groups().at(1);
  EXPECT_EQ(configured.file_count(), 1u);
  const Area* priv = configured.find_area("PRIV");
  ASSERT_NE(priv, nullptr);
  EXPECT_TRUE(priv->files().empty());
  EXPECT_FALSE(priv->description().has_value());
  EXPECT_EQ(catalog.default_group().area_total(), 0u);
}

// A read that fails before the end of the file stores nothing for the line
// being read, and the record left incomplete gives failure.
TEST(NewFilesTest, ReadErrorGivesFailure) {
  const std::string list = record("A", "one.zip") + record("B", "two.zip");
  const std::size_t first = record("A", "one.zip").size();
  struct FailCase {
    const char* what;
    std::size_t fail_at;
    Outcome want;
  };
  // Offsets in the first record: A 0, Area desc 2, Link 12, one.zip 17, 123 25.
  const FailCase cases[] = {
      {"first read", 0, {false, {}}},
      {"inside the first file name", 20, {false, {}}},
      {"after the first file name",
       25,
       {false, {"0 A 'Area desc' 'Link' | one.zip none none none"}}},
      {"inside the first record's last line",
       first - 2,
       {false, {"0 A 'Area desc' 'Link' | one.zip '123' 'Desc' none"}}},
      {"between records", first, {false, {row("A", "one.zip")}}},
      {"inside the second area name", first + 1, {false, {row("A", "one.zip")}}},
      {"the last line feed",
       list.size() - 1,
       {false, {row("A", "one.zip"), "0 B 'Area desc' 'Link' | two.zip '123' 'Desc' none"}}},
  };
  for (const FailCase& f : cases) {
    for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}}) {
      SCOPED_TRACE(std::string(f.what) + ", chunk " + std::to_string(chunk));
      EXPECT_EQ(read(list, kAelfsdo, {}, chunk, f.fail_at), f.want);
    }
  }
}

}  // namespace
}  // namespace movrek
