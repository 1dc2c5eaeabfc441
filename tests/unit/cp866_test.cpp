#include "text/cp866.h"

#include <gtest/gtest.h>

#include <string>

#include "cases.h"

namespace movrek {
namespace {

static_assert(cp866(u8"Ёё─\u00A0").view() == "\xF0\xF1\xC4\xFF" && cp866(u8"").size == 0);

MOVREK_CASE_TEST(Cp866Test, cp866, FromUtf8) {
  const testing::FixtureCase& c = GetParam();
  for (const auto& r : testing::rows(c.text("cp866"))) {
    char out[64];
    const long n = utf8_to_cp866(reinterpret_cast<const char8_t*>(r[0].data()), r[0].size(), out);
    EXPECT_EQ(n < 0 ? "~" : std::string(out, n), r[1]) << r[0];
  }
}

// Every CP866 byte has a character, and the character its byte back.
TEST(Cp866, EveryByteRoundTrips) {
  std::string all, back(256, '?');
  for (int b = 0; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  char utf8[3 * 256];
  const std::size_t n = cp866_to_utf8(all, utf8);
  EXPECT_EQ(n, 128 + 2 * 76 + 3 * 52);  // letters and Latin-1 signs take two bytes, the rest three
  EXPECT_EQ(utf8_to_cp866(reinterpret_cast<const char8_t*>(utf8), n, back.data()), 256);
  EXPECT_EQ(back, all);
}
}  // namespace
}  // namespace movrek
