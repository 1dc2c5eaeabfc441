#include "text/text_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <new>
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
// how the reading ended. Both texts may hold {N*c} runs. Every line read must
// also tell whether it held a NUL byte.
static void expect_reads(const std::string& input, std::size_t limit, std::size_t fail_at,
                         const std::array<std::string, 2>& expected, const std::string& where) {
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
      if (reader.read_lines(1, &line) == 0) return item.clear(), false;
      EXPECT_EQ(reader.lines_held_nul(), line.find('\0') != line.npos) << where << show(line);
      return item = line, true;
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

MOVREK_CASE_TEST(TextReaderTest, text_reader, Cases) {
  const testing::FixtureCase& c = GetParam();
  const std::size_t fail_at = c.has("fail at") ? std::stoul(c.text("fail at")) : SIZE_MAX;
  expect_reads(c.bytes("input"), std::stoul(c.text("limit")), fail_at,
               {c.text("pieces"), c.text("lines")}, c.where());
}

// The rules applied to a whole file at once: its pieces of at most `limit`
// bytes and its lines, as expect_reads shows them.
static std::array<std::string, 2> apply_rules(const std::string& raw, std::size_t limit) {
  std::string piece, line, pieces, lines;
  for (std::size_t i = 0; i < raw.size() && raw[i] != '\x1A'; ++i) {
    if (raw[i] == '\r' && (++i == raw.size() || raw[i] == '\x1A')) break;
    piece.push_back(raw[i]);
    if (raw[i] == '\n' || piece.size() == limit) pieces += show(piece) + "\n", piece.clear();
    raw[i] == '\n' ? (lines += show(line) + "\n", line.clear()) : line.push_back(raw[i]);
  }
  // A last piece or line that the end of the file cut short has seen the end.
  pieces += (piece.empty() ? "" : show(piece) + " eof\n") + "end\n";
  lines += (line.empty() ? "" : show(line) + " eof\n") + "end\n";
  return {pieces, lines};
}

// Random files over the bytes that matter against the rules.
TEST(TextReader, RandomFilesFollowTheRules) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 600; ++round) {
    std::string raw;
    for (std::size_t n = rng() % 40; n > 0; --n)
      raw.push_back("aaaaaabbb\r\r\r\n\n\n\x1A\0\xC4"[rng() % 18]);
    const std::size_t limit = 1 + rng() % 6;
    expect_reads(raw, limit, SIZE_MAX, apply_rules(raw, limit), show(raw) + std::to_string(limit));
  }
}

// A line's control bytes other than LF, CR and 0x1A are taken sixteen at a
// step from the first one on: a byte with a rule or a NUL at every offset of
// such a run, the run begun by a byte taken after a CR too, and every block
// end (expect_reads), against the rules.
TEST(TextReader, ControlRunsFollowTheRules) {
  std::string run;
  for (int i = 0; i < 34; ++i)
    run.push_back(i % 7 == 6 ? 'x' : "\x01\x02\t\x0B\x1B\x1F"[i % 6]);
  for (const std::string before : {"\x01", "a\r\r"}) {
    for (std::size_t at = 0; at <= run.size(); ++at) {
      for (const char c : {'\n', '\r', '\x1A', '\0'}) {
        std::string raw = before + run + "\nz";
        raw.insert(before.size() + at, 1, c);
        expect_reads(raw, 7, SIZE_MAX, apply_rules(raw, 7), show(raw));
      }
    }
  }
}

// A source that tells a size of its own choosing, and can run out of memory
// at its n-th read.
class TellingSource final : public ByteSource {
 public:
  TellingSource(std::string_view data, std::size_t chunk, std::size_t fail_at, std::uint64_t told,
                int throw_at)
      : inner_(data, chunk, fail_at), told_(told), throw_at_(throw_at) {}
  long read(char* buf, std::size_t n) override {
    if (++reads_ == throw_at_) throw std::bad_alloc();
    return inner_.read(buf, n);
  }
  std::optional<std::uint64_t> size() const override { return told_; }

 private:
  testing::MemorySource inner_;
  std::uint64_t told_;
  int throw_at_;
  int reads_ = 0;
};

// A kept file of several megabytes, large enough for its first block to be
// filled on a second thread: every line comes back, in place, whether the
// file holds what it told or grew or shrank since; a read that fails part
// way drops only the line it cut short; one that runs out of memory throws
// where the reader needs its bytes; a reader left part way stops cleanly.
TEST(TextReader, KeptLargeFileFilledAhead) {
  std::string raw;
  std::vector<std::string> expected;
  for (int i = 0; raw.size() < 3 * 1024 * 1024; ++i) {
    expected.push_back("line " + std::to_string(i) + std::string(i % 97, 'x'));
    raw += expected.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  const std::uint64_t sizes[] = {raw.size(), raw.size() / 2, raw.size() + 12345};
  const std::size_t fails[] = {SIZE_MAX, 5, raw.size() / 2 + 3, raw.size() - 1};
  for (const std::uint64_t told : sizes) {
    for (const std::size_t fail_at : fails) {
      for (const std::size_t chunk : {std::size_t{4096}, std::size_t{1} << 20}) {
        TellingSource source(raw, chunk, fail_at, told, 0);
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
        const std::string where = "told " + std::to_string(told) + " fail at " +
                                  std::to_string(fail_at) + " chunk " + std::to_string(chunk);
        ASSERT_EQ(lines.size(), whole) << where;
        for (std::size_t i = 0; i < whole; ++i)
          ASSERT_EQ(lines[i], expected[i]) << "line " << i << " " << where;
        EXPECT_EQ(reader.failed(), fail_at != SIZE_MAX) << where;
        EXPECT_EQ(reader.eof(), fail_at == SIZE_MAX) << where;
      }
    }
  }
  for (const int throw_at : {1, 2, 20}) {
    TellingSource source(raw, SIZE_MAX, SIZE_MAX, raw.size(), throw_at);
    Arena arena;
    TextReader reader(source, arena);
    std::string_view line;
    std::size_t taken = 0;
    EXPECT_THROW(while (reader.read_lines(1, &line) == 1)++ taken, std::bad_alloc);
    // Every line before the block that could not be read came back.
    const std::size_t before = static_cast<std::size_t>(throw_at - 1) * TextReader::kBlockSize;
    EXPECT_EQ(taken, static_cast<std::size_t>(
                         std::count(raw.begin(), raw.begin() + std::min(before, raw.size()), '\n')))
        << "throw at " << throw_at;
  }
  {
    testing::MemorySource source(raw);
    source.tells_size = true;
    Arena arena;
    TextReader reader(source, arena);
    std::string_view line;
    ASSERT_EQ(reader.read_lines(1, &line), 1u);
    EXPECT_EQ(line, expected[0]);
  }  // left part way: the loader stops and is joined
}

// A file that tells far more than it holds, or than memory holds: read as
// one that tells nothing, instead of running out of memory.
TEST(TextReader, KeptFileTellingAnImpossibleSize) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers stop the program at an allocation this large";
#endif
  const std::string raw = "one\ntwo\r\nthree";
  TellingSource source(raw, SIZE_MAX, SIZE_MAX, std::uint64_t{1} << 44, 0);
  Arena arena;
  TextReader reader(source, arena);
  std::string_view lines[4];
  ASSERT_EQ(reader.read_lines(4, lines), 3u);
  EXPECT_EQ(lines[0], "one");
  EXPECT_EQ(lines[1], "two");
  EXPECT_EQ(lines[2], "three");
  EXPECT_TRUE(reader.eof());
}

}  // namespace movrek
