// Reads a record template from memory. Besides crashes it checks that the way
// the bytes arrive never changes the tags or the result, and that a read
// failing half-way ends the reading with a piece number.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "input/template_reader.h"
#include "text/byte_io.h"

namespace {

struct Outcome {
  int result = 0;
  movrek::TemplateList tags;
  bool operator==(const Outcome&) const = default;
};

Outcome read_with(std::string_view text, std::size_t chunk, std::size_t fail_at) {
  movrek::MemorySource source(text, chunk, fail_at);
  Outcome out;
  out.result = movrek::read_template(source, out.tags);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = movrek::fuzz::as_text(data, size);
  const Outcome whole = read_with(text, SIZE_MAX, SIZE_MAX);
  if (whole.result < 0) movrek::fuzz::fail("a memory source cannot be missing");
  // At most one tag per piece, and a piece holds at least one byte.
  if (whole.tags.size() > size) movrek::fuzz::fail("more tags than bytes");
  for (const std::size_t chunk : movrek::fuzz::kChunks) {
    if (!(read_with(text, chunk, SIZE_MAX) == whole))
      movrek::fuzz::fail("the read size changed the template");
  }
  if (size > 0) {
    const Outcome failed = read_with(text, 3, size / 2);
    if (failed.result < 0) movrek::fuzz::fail("a failed read gave -1");
    if (failed.tags.size() > whole.tags.size()) movrek::fuzz::fail("a failed read added tags");
  }
  return 0;
}
