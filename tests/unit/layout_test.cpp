#include "report/layout.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "fixture.h"
#include "memory_files.h"
#include "text/take_word.h"

namespace movrek::layout {
namespace {

// The wrap against a plain take_word loop, word piece by word piece, over
// random texts of the bytes that matter: every whitespace byte, NUL, control
// and high bytes, and words longer than the width; every other text is plain,
// words of printable bytes between spaces that are rarely two in a row. Widths
// from -2 to 37; the first line starts at column 0 in half the runs, and
// anywhere up to past the width in the others.
TEST(WrapWords, WritesWhatATakeWordLoopWrites) {
  static constexpr std::string_view kWordBytes = "aaaaaaab!\x80\xC4\xFF\x01\x1F";
  static constexpr std::string_view kSpaces = "     \t\n\v\f\r";
  std::mt19937 rng(1313);
  for (int run = 0; run < 100000 && !HasFailure(); ++run) {
    const bool clean = run % 2 == 0;
    const std::string_view word_bytes = kWordBytes.substr(0, kWordBytes.size() - 2 * clean);
    const std::string_view spaces = clean ? " " : kSpaces;
    const std::size_t word_length = 1 + rng() % 16;  // on average, roughly
    std::string text;
    for (std::size_t n = rng() % 90; n > 0; --n) {
      if (rng() % word_length == 0 &&
          (!clean || text.empty() || text.back() != ' ' || rng() % 9 == 0)) {
        text += spaces[rng() % spaces.size()];
      } else {
        text += !clean && rng() % 300 == 0 ? '\0' : word_bytes[rng() % word_bytes.size()];
      }
    }
    const long available = static_cast<long>(rng() % 40) - 2, indent = rng() % 2 ? 13 : 22;
    const std::size_t first_column = rng() % 2 ? 0 : rng() % 45;
    testing::StringSink fast_bytes, plain_bytes;
    TextWriter fast(fast_bytes), plain(plain_bytes);
    wrap_words(text, available, indent, first_column, fast);
    long column = static_cast<long>(first_column);
    std::string_view cursor = text;
    while (const auto word = take_word(cursor, available)) {
      const long n = static_cast<long>(word->size());
      if (n + 1 > available - column) {
        plain.put('\n');
        plain.fill(' ', indent);
        column = 0;
      }
      plain.put(' ');
      plain.write_plain(*word);
      column += n + 1;
    }
    fast.close();
    plain.close();
    ASSERT_EQ(testing::show(fast_bytes.bytes()), testing::show(plain_bytes.bytes()))
        << testing::show(text) << ", available " << available << ", first column " << first_column;
  }
}

}  // namespace
}  // namespace movrek::layout
