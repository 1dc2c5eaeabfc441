#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cases.h"
#include "memory_files.h"
#include "report/area_block.h"

namespace movrek {
namespace {

// Copies "file" into a report and compares every byte written.
MOVREK_CASE_TEST(CopyTextFileTest, copy_text_file, Copies) {
  const testing::FixtureCase& c = GetParam();
  testing::MemoryFiles files;
  files.files["copied.txt"] = testing::expand_runs(c.bytes("file"));
  testing::StringSink sink;
  TextWriter out(sink);
  EXPECT_EQ(copy_text_file(files, "copied.txt", out), CopyResult::kCopied) << c.where();
  EXPECT_TRUE(out.close()) << c.where();
  EXPECT_EQ(sink.bytes(), testing::expand_runs(c.bytes("expect"))) << c.where();
}

// Reports of many areas, small and large, in several groups: made on two
// threads, unit by unit, they hold the bytes of each area block written in
// turn on one.
TEST(WriteReports, MakesTheBytesOfWritingEachBlockInTurn) {
  std::mt19937 rng(2718);
  Catalog catalog;
  // A group whose area gets no file: it has nothing to write.
  auto quiet = make_configured_group();
  quiet->report = "quiet";
  Group& quiet_group = catalog.append_group(std::move(quiet));
  catalog.insert_area(quiet_group, "Q", std::nullopt, std::nullopt);
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
    const auto kept = [&](std::string_view text) { return Text(catalog.kept_bytes().copy(text)); };
    catalog.add_input_record(InputRecord{kept(name), kept("d"), kept("l"), kept(file), kept(size),
                                         kept("some words here"), kept("o")});
  }
  catalog.arrange();
  for (const long width : {79, 23}) {
    Settings settings;
    settings.report_width = width;
    testing::MemoryFiles files;
    ASSERT_EQ(
        write_reports(catalog, settings, files, {}, [](ReportStep, const std::string&) {}).status,
        ReportResult::Status::kOk);
    EXPECT_EQ(files.files.count("quiet"), 0u);
    for (const auto& group : catalog.groups()) {
      if (group->file_count() == 0) continue;
      testing::StringSink sink;
      TextWriter out(sink);
      for (const Area* area : group->areas()) {
        if (area->file_count() > 0) write_area_block(*area, settings, out);
      }
      out.close();
      EXPECT_TRUE(files.files[*group->report] == sink.bytes()) << *group->report << " " << width;
    }
  }
}
}  // namespace
}  // namespace movrek
