#include "input/template_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cases.h"
#include "memory_files.h"

namespace movrek {
namespace {

// Reads of 1 and 7 bytes put the block ends everywhere; a `fail_at` section
// makes the read past that offset fail.
MOVREK_CASE_TEST(TemplateReaderTest, template_reader, Cases) {
  const testing::FixtureCase& c = GetParam();
  const std::string input = c.bytes("template");
  const std::size_t fail_at = c.has("fail_at") ? std::stoul(c.text("fail_at")) : SIZE_MAX;
  for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}, std::size_t{7}}) {
    testing::MemorySource source(input, chunk, fail_at);
    TemplateList tags;
    const TemplateResult result = read_template(source, tags);
    const std::string how = result.status == TemplateResult::Status::kRead ? "read"
                            : result.status == TemplateResult::Status::kNulPiece
                                ? "nul-piece " + std::to_string(result.piece)
                                : "read-failed " + std::to_string(result.piece);
    EXPECT_EQ("result " + how + "\ntags " +
                  testing::show(std::string_view(tags.data(), tags.size())) + "\n",
              c.text("expect"))
        << c.where() << ", chunk " << chunk;
  }
}
}  // namespace
}  // namespace movrek
