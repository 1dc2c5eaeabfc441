#include "report/area_block.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cases.h"
#include "memory_files.h"

namespace movrek {
namespace {

// Field `i` of an "area" or "file" line: "~" is a missing one, and so is one
// left off the end.
Text field(const std::vector<std::string>& fields, std::size_t i) {
  return i >= fields.size() ? Text("") : fields[i] == "~" ? Text() : Text(fields[i]);
}

// Builds the area of "block" (see area_block.cases) as a run does, from
// records whose texts lie in the catalog's bytes, and compares every byte of
// its block.
MOVREK_CASE_TEST(AreaBlockTest, area_block, Writes) {
  const testing::FixtureCase& c = GetParam();
  Catalog catalog;
  Settings settings;
  std::string area_name;
  const auto kept = [&](Text text) { return text ? Text(catalog.kept_bytes().copy(*text)) : text; };
  for (const std::string& line : testing::split(c.bytes("block"), '\n')) {
    const std::string key = line.substr(0, line.find(' '));
    const std::string rest = line.substr(std::min(key.size() + 1, line.size()));
    const std::vector<std::string> f = testing::split(rest, '|');
    if (key == "width") settings.report_width = std::stoi(rest);
    if (key == "nodesc") settings.no_description = rest;
    if (key == "area") {
      area_name = f[0];
      catalog.insert_area(catalog.default_group(), f[0], field(f, 1), field(f, 2));
    }
    if (key == "file") {
      catalog.add_input_record({kept(area_name), std::nullopt, std::nullopt, kept(field(f, 0)),
                                kept(field(f, 1)), kept(field(f, 2)), kept(field(f, 3))});
    }
  }
  catalog.arrange();
  const Area* area = catalog.find_area(catalog.default_group(), area_name);
  ASSERT_NE(area, nullptr) << c.where();
  testing::StringSink sink;
  TextWriter out(sink);
  write_area_block(*area, settings, out);
  EXPECT_TRUE(out.close()) << c.where();
  EXPECT_EQ(sink.bytes(), testing::expand_runs(c.bytes("expect"))) << c.where();
}
}  // namespace
}  // namespace movrek
