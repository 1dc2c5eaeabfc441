#include "report/report_writer.h"

#include <gtest/gtest.h>

#include "cases.h"
#include "memory_files.h"

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
    if (key == "area") area = catalog.default_group().find_area(f[0]);
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

}  // namespace
}  // namespace movrek
