#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cases.h"
#include "memory_files.h"
#include "text/take_word.h"

namespace movrek {
namespace {

// Field `i` of an "area" or "file" line: "~" is a missing one, and so is one
// left off the end.
Text field(const std::vector<std::string>& fields, std::size_t i) {
  return i >= fields.size() ? Text("") : fields[i] == "~" ? Text() : Text(fields[i]);
}

// An area block case builds its area from "block" (see area_block.cases); a
// header copy case copies "file". Both compare every byte written.
class ReportWriterTest : public testing::CaseTest {};

TEST_P(ReportWriterTest, Writes) {
  const testing::FixtureCase& c = GetParam();
  Catalog catalog;
  Settings settings;
  Area* area = nullptr;
  for (const std::string& line : testing::split(c.bytes("block"), '\n')) {
    const std::string key = line.substr(0, line.find(' '));
    const std::string rest = line.substr(std::min(key.size() + 1, line.size()));
    const std::vector<std::string> f = testing::split(rest, '|');
    if (key == "width") settings.report_width = std::stoi(rest);
    if (key == "nodesc") settings.no_description = rest;
    if (key == "area") catalog.insert_area(catalog.default_group(), f[0], field(f, 1), field(f, 2));
    if (key == "area") area = catalog.find_area(catalog.default_group(), f[0]);
    if (key == "file")
      catalog.insert_file(*area, field(f, 0).value(), field(f, 1), field(f, 2), field(f, 3));
  }
  testing::MemoryFiles files;
  files.files["copied.txt"] = testing::expand_runs(c.bytes("file"));
  testing::StringSink sink;
  TextWriter out(sink);
  if (area != nullptr) write_area_block(*area, settings, out);
  EXPECT_TRUE(area != nullptr || copy_text_file(files, "copied.txt", out) == CopyResult::kCopied);
  EXPECT_TRUE(out.close()) << c.where();
  EXPECT_EQ(sink.bytes(), testing::expand_runs(c.bytes("expect"))) << c.where();
}

MOVREK_CASES(AreaBlock, ReportWriterTest, "area_block.cases");
MOVREK_CASES(CopyTextFile, ReportWriterTest, "copy_text_file.cases");

// Reports of many areas, small and large, in several groups: made on two
// threads, unit by unit, they hold the bytes of each area block written in
// turn on one.
TEST(WriteReports, MakesTheBytesOfWritingEachBlockInTurn) {
  std::mt19937 rng(2718);
  Catalog catalog;
  // A group whose area has files, none of them placed from a record: it has
  // nothing to write, and its blocks must not end up in the next report.
  auto quiet = make_configured_group();
  quiet->report = "quiet";
  Group& quiet_group = catalog.append_group(std::move(quiet));
  catalog.insert_area(quiet_group, "Q", std::nullopt, std::nullopt);
  for (int i = 0; i < 700; ++i) {
    std::string name = std::to_string(i);
    name += ".Q";
    catalog.insert_file(*catalog.find_area(quiet_group, "Q"), name, "1", "q", std::nullopt);
  }
  for (int g = 0; g < 3; ++g) {
    auto group = make_configured_group();
    const std::string number = std::to_string(g);
    group->report = "g" + number;
    Group& added = catalog.append_group(std::move(group));
    catalog.insert_area(added, "C" + number, std::nullopt, std::nullopt);
  }
  catalog.default_group().report = "main";
  for (int i = 0; i < 6000; ++i) {
    // Area 0 is large, area 1 just over a unit; the rest are small or empty.
    const unsigned area = i < 2000 ? 0 : i < 2200 ? 1 : rng() % 400;
    std::string name(1, area < 3 && i % 3 == 0 ? 'C' : 'A');
    name += std::to_string(area);
    const std::string file = std::to_string(rng() % 1000) + ".ZIP", size = std::to_string(i);
    catalog.add_input_record(InputRecord{name, "d", "l", file, size, "some words here", "o"});
  }
  for (const long width : {79, 23}) {
    Settings settings;
    settings.report_width = width;
    testing::MemoryFiles files;
    ASSERT_EQ(write_reports(catalog, settings, files, [](ReportStep, const std::string&) {}).status,
              ReportResult::Status::kOk);
    EXPECT_EQ(files.files.count("quiet"), 0u);
    for (const auto& group : catalog.groups()) {
      if (group->file_count() == 0) continue;
      testing::StringSink sink;
      TextWriter out(sink);
      group->for_each_area([&](const Area& area) {
        if (area.file_total() > 0) write_area_block(area, settings, out);
      });
      out.close();
      EXPECT_TRUE(files.files[*group->report] == sink.bytes()) << *group->report << " " << width;
    }
  }
}

// The wrap against a plain take_word loop, word piece by word piece, over
// random texts of the bytes that matter: every whitespace byte, NUL, control
// and high bytes, and words longer than the width; every other text is plain,
// words of printable bytes between spaces that are rarely two in a row. Widths
// from -2 to 37.
TEST(WrapWords, WritesWhatATakeWordLoopWrites) {
  static constexpr std::string_view kWordBytes = "aaaaaaab!\x80\xC4\xFF\x01\x1F";
  static constexpr std::string_view kSpaces = "     \t\n\v\f\r";
  std::mt19937 rng(1313);
  for (int run = 0; run < 100000 && !HasFailure(); ++run) {
    const bool clean = run % 2 == 0;
    const std::string_view word_bytes = kWordBytes.substr(0, kWordBytes.size() - 2 * clean);
    const std::string_view spaces = clean ? " " : kSpaces;
    const std::size_t word_length = 1 + rng() % 16;  // on average, roughly
    std::string text;
    for (std::size_t n = rng() % 90; n > 0; --n) {
      if (rng() % word_length == 0 &&
          (!clean || text.empty() || text.back() != ' ' || rng() % 9 == 0)) {
        text += spaces[rng() % spaces.size()];
      } else {
        text += !clean && rng() % 300 == 0 ? '\0' : word_bytes[rng() % word_bytes.size()];
      }
    }
    const long available = static_cast<long>(rng() % 40) - 2, indent = rng() % 2 ? 13 : 22;
    testing::StringSink fast_bytes, plain_bytes;
    TextWriter fast(fast_bytes), plain(plain_bytes);
    wrap_words(text, available, indent, fast);
    long column = 0;
    std::string_view cursor = text;
    while (const auto word = take_word(cursor, available)) {
      const long n = static_cast<long>(word->size());
      if (n + 1 > available - column) {
        plain.put('\n');
        plain.fill(' ', indent);
        column = 0;
      }
      plain.put(' ');
      plain.write_plain(*word);
      column += n + 1;
    }
    fast.close();
    plain.close();
    ASSERT_EQ(testing::show(fast_bytes.bytes()), testing::show(plain_bytes.bytes()))
        << testing::show(text) << ", available " << available;
  }
}

}  // namespace
}  // namespace movrek
