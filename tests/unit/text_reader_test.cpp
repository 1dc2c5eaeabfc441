#include "text/text_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_io.h"

namespace movrek {
namespace {

using namespace std::string_literals;

// Block sizes of the reader; small ones put block ends everywhere.
constexpr std::size_t kBlockSizes[] = {1, 2, 3, 5, 8, 4096};

struct Outcome {
  std::vector<std::string> items;
  bool eof = false;
  bool failed = false;
};

Outcome read_pieces(TextReader& reader, std::size_t limit) {
  Outcome out;
  std::string piece;
  while (reader.read_piece(limit, piece)) {
    out.items.push_back(piece);
    if (out.items.size() > 10000) break;  // a reader that never stops
  }
  EXPECT_TRUE(piece.empty());
  out.eof = reader.eof();
  out.failed = reader.failed();
  return out;
}

Outcome read_lines(TextReader& reader) {
  Outcome out;
  std::string_view text;
  std::string scratch;
  while (reader.read_line(text, scratch)) {
    out.items.emplace_back(text);
    if (out.items.size() > 10000) break;
  }
  out.eof = reader.eof();
  out.failed = reader.failed();
  return out;
}

// The DOS text convention applied to a whole file at once: a CR is dropped and
// the byte after it is taken without the CR test; 0x1A ends the file.
std::string decode(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && ++i == raw.size()) break;
    if (raw[i] == '\x1A') break;
    out.push_back(raw[i]);
  }
  return out;
}

// What a fixed-buffer line read of `limit` bytes gives for decoded text.
std::vector<std::string> split_pieces(std::string_view text, std::size_t limit) {
  std::vector<std::string> pieces;
  std::string cur;
  for (char c : text) {
    cur.push_back(c);
    if (c == '\n' || cur.size() == limit) {
      pieces.push_back(cur);
      cur.clear();
    }
  }
  if (!cur.empty()) pieces.push_back(cur);
  return pieces;
}

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::string cur;
  bool open = false;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(cur);
      cur.clear();
      open = false;
    } else {
      cur.push_back(c);
      open = true;
    }
  }
  if (open) lines.push_back(cur);
  return lines;
}

struct ConventionCase {
  const char* what;
  std::string raw;
  std::vector<std::string> lines;  // without their line feeds
};

const ConventionCase kConventionCases[] = {
    {"CR LF", "ab\r\ncd\r\n"s, {"ab", "cd"}},
    {"CR CR LF keeps the second CR", "ab\r\r\ncd\n"s, {"ab\r", "cd"}},
    {"three CRs before LF", "a\r\r\r\nb\n"s, {"a\r", "b"}},
    {"lone CR is dropped", "a\rb\n"s, {"ab"}},
    {"CR at the end of the file", "ab\r"s, {"ab"}},
    {"CR after the last line feed", "ab\n\r"s, {"ab"}},
    {"CR LF CR LF", "\r\n\r\n"s, {"", ""}},
    {"0x1A in mid-file",
     "ab\ncd\x1A"
     "ef\ngh\n"s,
     {"ab", "cd"}},
    {"0x1A at the end", "ab\n\x1A"s, {"ab"}},
    {"0x1A before a line feed", "ab\x1A\n"s, {"ab"}},
    {"0x1A only", "\x1A"s, {}},
    {"0x1A after CR still ends the file",
     "ab\r\x1A"
     "cd\n"s,
     {"ab"}},
    {"last line without line feed", "ab\ncd"s, {"ab", "cd"}},
    {"NUL bytes inside a line", "a\0b\n\0\n\0"s, {"a\0b"s, "\0"s, "\0"s}},
    {"empty lines", "\n\n"s, {"", ""}},
    {"empty file", ""s, {}},
    {"high bytes", "\x80\xC4\xFF\n"s, {"\x80\xC4\xFF"}},
};

void PrintTo(const ConventionCase& c, std::ostream* os) {
  *os << c.what << ": " << testing::PrintToString(c.raw);
}

class ConventionTest : public testing::TestWithParam<ConventionCase> {};

TEST_P(ConventionTest, LinesAtEveryBlockBoundary) {
  const ConventionCase& c = GetParam();
  for (std::size_t block : kBlockSizes) {
    for (std::size_t chunk = 1; chunk <= c.raw.size() + 1; ++chunk) {
      SCOPED_TRACE(testing::Message() << "block " << block << " chunk " << chunk);
      MemorySource source(c.raw, chunk);
      TextReader reader(source, block);
      const Outcome out = read_lines(reader);
      EXPECT_EQ(out.items, c.lines);
      EXPECT_TRUE(out.eof);
      EXPECT_FALSE(out.failed);
    }
  }
}

TEST_P(ConventionTest, PiecesAtEveryBlockBoundary) {
  const ConventionCase& c = GetParam();
  // The pieces are the lines with their line feeds, except a last line that
  // has none in the file.
  std::vector<std::string> expected = split_pieces(decode(c.raw), 1024);
  ASSERT_EQ(expected.size(), c.lines.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    std::string line = expected[i];
    if (!line.empty() && line.back() == '\n') line.pop_back();
    EXPECT_EQ(line, c.lines[i]);
  }
  for (std::size_t block : kBlockSizes) {
    for (std::size_t chunk = 1; chunk <= c.raw.size() + 1; ++chunk) {
      SCOPED_TRACE(testing::Message() << "block " << block << " chunk " << chunk);
      MemorySource source(c.raw, chunk);
      TextReader reader(source, block);
      const Outcome out = read_pieces(reader, 1024);
      EXPECT_EQ(out.items, expected);
      EXPECT_TRUE(out.eof);
      EXPECT_FALSE(out.failed);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Dos, ConventionTest, testing::ValuesIn(kConventionCases),
                         [](const testing::TestParamInfo<ConventionCase>& info) {
                           return "case" + std::to_string(info.index);
                         });

TEST(TextReaderTest, NothingAfterEndOfFileByteIsRead) {
  // The source would fail past the 0x1A; the reader must not get that far.
  const std::string raw =
      "ab\n\x1A"
      "cd\n";
  for (std::size_t chunk = 1; chunk <= raw.size(); ++chunk) {
    MemorySource source(raw, chunk, 4);
    TextReader reader(source, 4);
    std::string piece;
    ASSERT_TRUE(reader.read_piece(100, piece));
    EXPECT_EQ(piece, "ab\n");
    EXPECT_FALSE(reader.read_piece(100, piece));
    EXPECT_TRUE(reader.eof());
    EXPECT_FALSE(reader.failed());
    EXPECT_FALSE(reader.read_piece(100, piece));
    EXPECT_TRUE(piece.empty());
  }
}

struct PieceCase {
  std::string raw;
  std::size_t limit;
  std::vector<std::string> pieces;
};

void PrintTo(const PieceCase& c, std::ostream* os) {
  *os << testing::PrintToString(c.raw) << " limit " << c.limit;
}

class PieceLimitTest : public testing::TestWithParam<PieceCase> {};

TEST_P(PieceLimitTest, SplitsAtLimit) {
  const PieceCase& c = GetParam();
  for (std::size_t block : kBlockSizes) {
    for (std::size_t chunk = 1; chunk <= c.raw.size() + 1; ++chunk) {
      SCOPED_TRACE(testing::Message() << "block " << block << " chunk " << chunk);
      MemorySource source(c.raw, chunk);
      TextReader reader(source, block);
      const Outcome out = read_pieces(reader, c.limit);
      EXPECT_EQ(out.items, c.pieces);
      EXPECT_TRUE(out.eof);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Limits, PieceLimitTest,
                         testing::Values(
                             // A line that fills the buffer exactly, line feed included: one piece.
                             PieceCase{"abcd\nef\n", 5, {"abcd\n", "ef\n"}},
                             // One byte longer: the line feed comes as a piece of its own.
                             PieceCase{"abcde\nf\n", 5, {"abcde", "\n", "f\n"}},
                             PieceCase{"abcde\r\nf\n", 5, {"abcde", "\n", "f\n"}},
                             // Two bytes longer.
                             PieceCase{"abcdef\n", 5, {"abcde", "f\n"}},
                             // A long line comes in several pieces; the CR is not counted.
                             PieceCase{"abcdefghijk\r\n", 4, {"abcd", "efgh", "ijk\n"}},
                             // Last line without a line feed, exactly the limit and one longer.
                             PieceCase{"x\nabcde", 5, {"x\n", "abcde"}},
                             PieceCase{"x\nabcdef", 5, {"x\n", "abcde", "f"}},
                             PieceCase{"ab\n", 1, {"a", "b", "\n"}}));

TEST(TextReaderTest, EndOfFileOnlyAfterAReadFoundNothing) {
  for (std::size_t block : kBlockSizes) {
    for (std::size_t chunk = 1; chunk <= 8; ++chunk) {
      SCOPED_TRACE(testing::Message() << "block " << block << " chunk " << chunk);
      {
        MemorySource source("ab\ncd\n", chunk);
        TextReader reader(source, block);
        std::string piece;
        ASSERT_TRUE(reader.read_piece(100, piece));
        EXPECT_FALSE(reader.eof());
        ASSERT_TRUE(reader.read_piece(100, piece));
        EXPECT_EQ(piece, "cd\n");
        EXPECT_FALSE(reader.eof());
        EXPECT_FALSE(reader.read_piece(100, piece));
        EXPECT_TRUE(reader.eof());
      }
      {
        MemorySource source("ab\ncd\n", chunk);
        TextReader reader(source, block);
        std::string_view text;
        std::string scratch;
        ASSERT_TRUE(reader.read_line(text, scratch));
        ASSERT_TRUE(reader.read_line(text, scratch));
        EXPECT_EQ(text, "cd");
        EXPECT_FALSE(reader.eof());
        EXPECT_FALSE(reader.read_line(text, scratch));
        EXPECT_TRUE(reader.eof());
      }
      {
        // A last line without a line feed reaches the end while it is read.
        MemorySource source("ab\ncd", chunk);
        TextReader reader(source, block);
        std::string_view text;
        std::string scratch;
        ASSERT_TRUE(reader.read_line(text, scratch));
        EXPECT_FALSE(reader.eof());
        ASSERT_TRUE(reader.read_line(text, scratch));
        EXPECT_EQ(text, "cd");
        EXPECT_TRUE(reader.eof());
      }
      {
        // A piece cut at the limit has not looked past its last byte.
        MemorySource source("abcd", chunk);
        TextReader reader(source, block);
        std::string piece;
        ASSERT_TRUE(reader.read_piece(4, piece));
        EXPECT_FALSE(reader.eof());
        EXPECT_FALSE(reader.read_piece(4, piece));
        EXPECT_TRUE(reader.eof());
      }
    }
  }
}

TEST(TextReaderTest, ReadErrorIsNotEndOfFile) {
  const std::string raw = "ab\ncd\nef\n";
  for (std::size_t chunk = 1; chunk <= raw.size(); ++chunk) {
    for (std::size_t block : kBlockSizes) {
      SCOPED_TRACE(testing::Message() << "block " << block << " chunk " << chunk);
      {
        MemorySource source(raw, chunk, 5);
        TextReader reader(source, block);
        const Outcome out = read_pieces(reader, 100);
        ASSERT_FALSE(out.items.empty());
        EXPECT_EQ(out.items[0], "ab\n");
        EXPECT_LE(out.items.size(), 2u);
        EXPECT_TRUE(out.failed);
        EXPECT_FALSE(out.eof);
        std::string piece;
        EXPECT_FALSE(reader.read_piece(100, piece));
        EXPECT_TRUE(reader.failed());
        EXPECT_FALSE(reader.eof());
      }
      {
        MemorySource source(raw, chunk, 5);
        TextReader reader(source, block);
        const Outcome out = read_lines(reader);
        ASSERT_FALSE(out.items.empty());
        EXPECT_EQ(out.items[0], "ab");
        EXPECT_LE(out.items.size(), 2u);
        EXPECT_TRUE(out.failed);
        EXPECT_FALSE(out.eof);
      }
    }
  }
  MemorySource source(raw, SIZE_MAX, 0);
  TextReader reader(source);
  std::string_view text;
  std::string scratch;
  EXPECT_FALSE(reader.read_line(text, scratch));
  EXPECT_TRUE(reader.failed());
  EXPECT_FALSE(reader.eof());
}

TEST(TextReaderTest, LinesLongerThanTheBlock) {
  std::string raw;
  std::vector<std::string> lines;
  for (std::size_t n : {0, 1, 63, 64, 65, 200, 1000}) {
    std::string line;
    for (std::size_t i = 0; i < n; ++i)
      line.push_back(static_cast<char>('a' + i % 26));
    lines.push_back(line);
    raw += line + (n % 2 == 0 ? "\r\n" : "\n");
  }
  // A CR in the middle of a long line is dropped with the rest as usual.
  raw += std::string(150, 'x') + "\r" + std::string(150, 'y') + "\r\n";
  lines.push_back(std::string(150, 'x') + std::string(150, 'y'));
  for (std::size_t block : {7, 64, 100}) {
    for (std::size_t chunk : {1, 13, 64, 1000}) {
      SCOPED_TRACE(testing::Message() << "block " << block << " chunk " << chunk);
      MemorySource source(raw, chunk);
      TextReader reader(source, block);
      EXPECT_EQ(read_lines(reader).items, lines);
    }
  }
}

// Random files over the bytes that matter, read both ways, against the
// convention applied to the whole file at once.
TEST(TextReaderTest, RandomFilesMatchTheConvention) {
  static constexpr char kBytes[] = {'a', 'b', '\r', '\n', '\x1A', '\0', '\xC4'};
  static constexpr int kWeights[] = {6, 3, 3, 3, 1, 1, 1};
  std::mt19937 rng(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::string raw;
    const std::size_t len = rng() % 40;
    for (std::size_t i = 0; i < len; ++i) {
      int pick = static_cast<int>(rng() % 18);
      std::size_t k = 0;
      while (pick >= kWeights[k])
        pick -= kWeights[k++];
      raw.push_back(kBytes[k]);
    }
    const std::size_t block = 1 + rng() % 9;
    const std::size_t chunk = 1 + rng() % 9;
    const std::size_t limit = 1 + rng() % 6;
    SCOPED_TRACE(testing::PrintToString(raw) + " block " + std::to_string(block) + " chunk " +
                 std::to_string(chunk) + " limit " + std::to_string(limit));
    const std::string text = decode(raw);
    {
      MemorySource source(raw, chunk);
      TextReader reader(source, block);
      const Outcome out = read_lines(reader);
      EXPECT_EQ(out.items, split_lines(text));
      EXPECT_TRUE(out.eof);
    }
    {
      MemorySource source(raw, chunk);
      TextReader reader(source, block);
      const Outcome out = read_pieces(reader, limit);
      EXPECT_EQ(out.items, split_pieces(text, limit));
      EXPECT_TRUE(out.eof);
    }
  }
}

TEST(FileSourceTest, MissingFileOrDirectoryDoesNotOpen) {
  EXPECT_EQ(FileSource::open("/nonexistent/movrek/file.txt"), nullptr);
  EXPECT_EQ(FileSource::open("/"), nullptr);
  EXPECT_EQ(FileSource::open(""), nullptr);
}

}  // namespace
}  // namespace movrek
