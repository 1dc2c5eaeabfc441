#include "text/text_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cases.h"
#include "memory_files.h"

namespace movrek {

using testing::show;

// Reads `input` at many block and chunk sizes, as pieces of at most `limit`
// bytes, as lines, and as lines kept (from a source that tells its size or
// not), which are shown only once all are read: each one shown on a line of its
// own, marked when the reader had reached the end of the file by then; last,
// how the reading ended. Both texts may hold {N*c} runs.
static void expect_reads(const std::string& input, std::size_t limit, std::size_t fail_at,
                         const std::string (&expected)[2], const std::string& where) {
  const std::string raw = testing::expand_runs(input);
  static constexpr std::size_t kBlocks[] = {1, 2, 3, 5, 8, 4096};
  for (std::size_t k = 0; k < 18 * (raw.size() + 1); ++k) {
    const std::size_t mode = k % 3, block = kBlocks[k / 3 % 6], chunk = 1 + k / 18;
    const bool as_lines = mode > 0, kept = mode == 2;
    testing::MemorySource source(raw, chunk, fail_at);
    source.tells_size = chunk % 2 == 0;
    Arena arena;
    TextReader reader = kept ? TextReader(source, arena, block) : TextReader(source, block);
    std::string out, item;
    std::string_view line;
    std::vector<std::pair<std::string_view, bool>> lines;
    const auto read = [&] {
      if (!as_lines) return reader.read_piece(limit, item);
      return reader.read_lines(1, &line) == 1 ? (item = line, true) : (item.clear(), false);
    };
    while (read() && out.size() + lines.size() < 100000) {
      if (kept) lines.emplace_back(line, reader.eof());
      if (!kept) out += show(item) + (reader.eof() ? " eof\n" : "\n");
    }
    for (const auto& [text, eof] : lines)
      out += show(text) + (eof ? " eof\n" : "\n");
    const bool more = read() || !item.empty();  // a finished reader stays finished
    out += std::string(reader.eof() ? "end" : "no end") + (reader.failed() ? " failed" : "");
    EXPECT_EQ(out + (more ? " but more\n" : "\n"), testing::expand_runs(expected[as_lines]))
        << where << " block " << block << " chunk " << chunk << " mode " << mode;
  }
}

class TextReaderTest : public testing::CaseTest {};

TEST_P(TextReaderTest, Cases) {
  const testing::FixtureCase& c = GetParam();
  const std::size_t fail_at = c.has("fail at") ? std::stoul(c.text("fail at")) : SIZE_MAX;
  expect_reads(c.bytes("input"), std::stoul(c.text("limit")), fail_at,
               {c.text("pieces"), c.text("lines")}, c.where());
}

MOVREK_CASES(Table, TextReaderTest, "text_reader.cases");

// Random files over the bytes that matter against the rules applied to the
// whole file at once.
TEST(TextReader, RandomFilesFollowTheRules) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 600; ++round) {
    std::string raw, piece, line, pieces, lines;
    for (std::size_t n = rng() % 40; n > 0; --n)
      raw.push_back("aaaaaabbb\r\r\r\n\n\n\x1A\0\xC4"[rng() % 18]);
    const std::size_t limit = 1 + rng() % 6;
    for (std::size_t i = 0; i < raw.size() && raw[i] != '\x1A'; ++i) {
      if (raw[i] == '\r' && (++i == raw.size() || raw[i] == '\x1A')) break;
      piece.push_back(raw[i]);
      if (raw[i] == '\n' || piece.size() == limit) pieces += show(piece) + "\n", piece.clear();
      raw[i] == '\n' ? (lines += show(line) + "\n", line.clear()) : line.push_back(raw[i]);
    }
    // A last piece or line that the end of the file cut short has seen the end.
    pieces += (piece.empty() ? "" : show(piece) + " eof\n") + "end\n";
    lines += (line.empty() ? "" : show(line) + " eof\n") + "end\n";
    expect_reads(raw, limit, SIZE_MAX, {pieces, lines}, show(raw) + std::to_string(limit));
  }
}

// A kept file of several megabytes, large enough for the reader to take its
// block's page faults on a second thread: every line comes back, in place,
// and a read that fails part way drops only the line it cut short.
TEST(TextReader, KeptLargeFileWithItsPagesTakenAhead) {
  std::string raw;
  std::vector<std::string> expected;
  for (int i = 0; raw.size() < 3 * 1024 * 1024; ++i) {
    expected.push_back("line " + std::to_string(i) + std::string(i % 97, 'x'));
    raw += expected.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  for (const std::size_t fail_at : {SIZE_MAX, std::size_t{5}, raw.size() / 2 + 3, raw.size() - 1}) {
    for (const std::size_t chunk : {std::size_t{4096}, std::size_t{1} << 20}) {
      testing::MemorySource source(raw, chunk, fail_at);
      source.tells_size = true;
      Arena arena;
      TextReader reader(source, arena);
      std::vector<std::string_view> lines;
      std::string_view line;
      while (reader.read_lines(1, &line) == 1)
        lines.push_back(line);
      // Lines ending before the failed read, whole.
      std::size_t whole = expected.size();
      if (fail_at != SIZE_MAX) {
        const std::size_t last_feed = raw.rfind('\n', fail_at - 1);
        whole = last_feed == std::string::npos
                    ? 0
                    : static_cast<std::size_t>(
                          std::count(raw.begin(), raw.begin() + last_feed + 1, '\n'));
      }
      ASSERT_EQ(lines.size(), whole) << "fail at " << fail_at << " chunk " << chunk;
      for (std::size_t i = 0; i < whole; ++i)
        ASSERT_EQ(lines[i], expected[i]) << "line " << i;
      EXPECT_EQ(reader.failed(), fail_at != SIZE_MAX);
    }
  }
}

}  // namespace movrek
