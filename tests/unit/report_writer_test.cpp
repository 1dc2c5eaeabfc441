#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "fixture.h"
#include "text/byte_io.h"

namespace movrek {
namespace {

// Field `i` of an "area" or "file" line: "~" is a missing one, and so is one
// left off the end.
Text field(const std::vector<std::string>& fields, std::size_t i) {
  return i >= fields.size() ? Text("") : fields[i] == "~" ? Text() : Text(fields[i]);
}

// An area block case builds its area from "block" (see area_block.cases); a
// header copy case copies "file". Both compare every byte written.
TEST(ReportWriter, AreaBlocksAndHeaderCopies) {
  for (const char* fixture : {"area_block.cases", "copy_text_file.cases"}) {
    for (const auto& c : testing::load_fixture(fixture)) {
      Catalog catalog;
      Settings settings;
      Area* area = nullptr;
      for (const std::string& line : testing::split(c.bytes("block"), '\n')) {
        const std::string key = line.substr(0, line.find(' '));
        const std::string rest = line.substr(std::min(key.size() + 1, line.size()));
        const std::vector<std::string> f = testing::split(rest, '|');
        if (key == "width") settings.report_width = std::stoi(rest);
        if (key == "nodesc") settings.no_description = rest;
        if (key == "area")
          catalog.insert_area(catalog.default_group(), f[0], field(f, 1), field(f, 2));
        if (key == "area") area = catalog.default_group().find_area(f[0]);
        if (key == "file")
          catalog.insert_file(*area, field(f, 0).value(), field(f, 1), field(f, 2), field(f, 3));
      }
      const std::string header = ::testing::TempDir() + "movrek-copy-test.txt";
      std::ofstream(header, std::ios::binary) << testing::expand_runs(c.bytes("file"));
      StringSink sink;
      TextWriter out(sink);
      if (area != nullptr) write_area_block(*area, settings, out);
      EXPECT_TRUE(area != nullptr || copy_text_file(header, out));
      std::remove(header.c_str());
      EXPECT_TRUE(out.close()) << c.where();
      EXPECT_EQ(sink.bytes(), testing::expand_runs(c.bytes("expect"))) << c.where();
    }
  }
}

// A report in memory that holds at most `room` bytes and may fail to close.
struct MemoryReport final : ByteSink {
  MemoryReport(std::size_t room, bool close_ok) : sink(room), close_ok(close_ok) {}
  bool write(const char* data, std::size_t n) override { return sink.write(data, n); }
  bool close() override { return close_ok; }
  StringSink sink;
  bool close_ok;
};

// Writes reports out.txt, g1.txt and g2.txt of one file each, where report `refused`
// cannot be created, `full` takes 20 bytes only and `bad_close` fails to close. Gives
// the status, the report named in the result and the reports opened.
std::string walk(const std::string& refused, const std::string& full,
                 const std::string& bad_close) {
  Catalog catalog;
  catalog.default_group().report = "out.txt";
  catalog.default_group().header = catalog.default_group().footer = std::nullopt;
  for (const std::string g : {"g1", "g2"})
    catalog.insert_area(catalog.append_group(std::make_unique<Group>(g + ".txt", "", "")), g, {},
                        {});
  for (const char* area : {"g1", "g2", "other"})
    catalog.add_input_record({area, {}, {}, "F.ZIP", "5", {}, {}});
  std::string opened;
  const ReportResult r = write_reports(
      catalog, Settings{}, [](std::string_view) {},
      [&](const std::string& path) -> std::unique_ptr<ByteSink> {
        opened += " " + path;
        if (path == refused) return nullptr;
        return std::make_unique<MemoryReport>(path == full ? 20 : SIZE_MAX, path != bad_close);
      });
  return std::to_string(static_cast<int>(r.status)) + " " + r.report + " |" + opened;
}

TEST(WriteReports, StopsAtTheFirstReportThatFails) {
  EXPECT_EQ(walk("", "", ""), "0  | out.txt g1.txt g2.txt");       // kOk
  EXPECT_EQ(walk("g1.txt", "", ""), "1 g1.txt | out.txt g1.txt");  // kCannotCreate
  EXPECT_EQ(walk("", "g1.txt", ""), "2 g1.txt | out.txt g1.txt");  // kWriteFailed
  EXPECT_EQ(walk("", "", "out.txt"), "2 out.txt | out.txt");
}

}  // namespace
}  // namespace movrek
