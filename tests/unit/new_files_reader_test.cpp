#include "input/new_files_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cases.h"
#include "config/config_reader.h"
#include "memory_files.h"

namespace movrek {
namespace {

// Groups and excluded areas come from a `config` section. Reads of 1 and 7
// bytes put the block ends everywhere; a `fail_at` section makes the read past
// that offset fail.
MOVREK_CASE_TEST(NewFilesReaderTest, new_files_reader, Cases) {
  const testing::FixtureCase& c = GetParam();
  const std::string letters = c.bytes("template");
  const std::string settings_text = c.bytes("config");
  const std::string list = testing::expand_runs(c.bytes("list"));
  const std::size_t fail_at = c.has("fail_at") ? std::stoul(c.text("fail_at")) : SIZE_MAX;
  for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}, std::size_t{7}}) {
    Settings settings;
    Catalog catalog;
    testing::MemorySource config(settings_text);
    ASSERT_EQ(read_config(config, '\\', settings, catalog).status, ConfigResult::Status::kRead)
        << c.where();
    testing::MemorySource source(list, chunk, fail_at);
    static constexpr const char* kResults[] = {"read", "empty-template", "record-without-names",
                                               "read-failed"};
    const ListResult result = read_new_files(source, TemplateList(letters.begin(), letters.end()),
                                             settings.excluded_areas, catalog);
    catalog.arrange();
    EXPECT_EQ(std::string("result ") + kResults[static_cast<int>(result)] + "\n" +
                  testing::dump_catalog(catalog),
              testing::expand_runs(c.text("expect")))
        << c.where() << ", chunk " << chunk;
  }
}
}  // namespace
}  // namespace movrek
