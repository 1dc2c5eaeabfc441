// Reads a configuration from memory. Besides crashes it checks that the way
// the bytes arrive (one read, single bytes, odd pieces) never changes what is
// read, and that a read that fails half-way ends the reading.
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalog/catalog.h"
#include "config/config_reader.h"
#include "config/settings.h"
#include "fixture.h"
#include "fuzz_support.h"
#include "text/byte_io.h"

namespace {

// The result and everything the configuration can change, as text.
std::string read_with(std::string_view text, std::size_t chunk, std::size_t fail_at) {
  movrek::Settings settings;
  movrek::Catalog catalog;
  movrek::MemorySource source(text, chunk, fail_at);
  const int result = movrek::read_config(source, '/', settings, catalog);
  return std::to_string(result) + "\n" + movrek::testing::dump_settings(settings) +
         movrek::testing::dump_catalog(catalog);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = movrek::fuzz::as_text(data, size);
  const std::string whole = read_with(text, SIZE_MAX, SIZE_MAX);
  if (whole[0] == '-') movrek::fuzz::fail("a memory source cannot be missing");
  for (const std::size_t chunk : movrek::fuzz::kChunks) {
    if (read_with(text, chunk, SIZE_MAX) != whole) {
      movrek::fuzz::fail("the read size changed the configuration");
    }
  }
  // A read that fails in the middle must still end the reading.
  if (size > 0 && read_with(text, 5, size / 2)[0] == '-')
    movrek::fuzz::fail("a failed read gave -1");
  return 0;
}
