#include "config/config_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cases.h"
#include "memory_files.h"

namespace movrek {
namespace {

// Each case starts from the program directory as template directory and the
// default group reporting to "out.txt"; reads of 1 and 7 bytes put the block
// ends everywhere, and a `fail_at` section makes the read past that offset fail.
// "read", "cannot-open", or "line N WHY".
std::string result_text(const ConfigResult& result) {
  static constexpr const char* kWhy[] = {
      "unknown-keyword",    "group-in-group", "end-group-outside", "no-directory",
      "directory-too-long", "negative-width", "read-failed"};
  switch (result.status) {
    case ConfigResult::Status::kRead:
      return "read";
    case ConfigResult::Status::kCannotOpen:
      return "cannot-open";
    case ConfigResult::Status::kLineInError:
      break;
  }
  return "line " + std::to_string(result.line) + " " + kWhy[static_cast<int>(result.error)];
}

MOVREK_CASE_TEST(ConfigReaderTest, config_reader, Cases) {
  const testing::FixtureCase& c = GetParam();
  const std::string input = testing::expand_runs(c.bytes("config"));
  const char separator = c.has("separator") ? c.bytes("separator")[0] : '\\';
  const std::size_t fail_at = c.has("fail_at") ? std::stoul(c.text("fail_at")) : SIZE_MAX;
  for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}, std::size_t{7}}) {
    Settings settings;
    settings.template_dir = "/opt/movrek/";
    Catalog catalog;
    catalog.default_group().report = "out.txt";
    testing::MemorySource source(input, chunk, fail_at);
    const ConfigResult result = read_config(source, separator, settings, catalog);
    catalog.arrange();
    EXPECT_EQ("result " + result_text(result) + "\n" + testing::dump_settings(settings) +
                  testing::dump_catalog(catalog),
              testing::expand_runs(c.text("expect")))
        << c.where() << ", chunk " << chunk;
  }
}
}  // namespace
}  // namespace movrek
