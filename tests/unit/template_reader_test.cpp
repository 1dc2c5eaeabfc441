#include "input/template_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <string_view>

#include "text/byte_io.h"

namespace movrek {
namespace {

using namespace std::string_literals;

struct Outcome {
  int result;
  std::string tags;  // one byte per entry, in list order
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << "result " << o.result << ", tags";
  for (const char c : o.tags)
    *os << ' ' << static_cast<int>(static_cast<unsigned char>(c));
}

Outcome read(std::string_view data, std::size_t chunk = SIZE_MAX, std::size_t fail_at = SIZE_MAX) {
  MemorySource source(data, chunk, fail_at);
  TemplateList tags;
  const int result = read_template(source, tags);
  return {result, std::string(tags.begin(), tags.end())};
}

struct Case {
  const char* name;
  std::string data;
  Outcome want;
};

const Case kCases[] = {
    {"SevenFields", "@A\n@E\n@L\n@F\n@S\n@D\n@O\n", {0, "AELFSDO"}},
    {"SevenFieldsCrLf", "@A\r\n@E\r\n@L\r\n@F\r\n@S\r\n@D\r\n@O\r\n", {0, "AELFSDO"}},
    {"AnyFirstByte", "#A\nxF\n\x80S\n", {0, "AFS"}},
    {"LowerCaseTagKept", "@a\n@F\n", {0, "aF"}},
    // "@A comm" "ent her" "e\n": every 7-byte piece is an entry of its own.
    {"CommentAfterTag", "@A comment here\n@F\n", {0, "An\nF"}},
    {"CommentAfterTagCrLf", "@A comment here\r\n@F\r\n", {0, "An\nF"}},
    {"SixBytesAndLineFeedIsOnePiece", "@Axxxx\n@F\n", {0, "AF"}},
    {"SevenBytesGiveTwoEntries", "@Axxxxx\n@F\n", {0, "A\0F"s}},
    {"OneByteLineGivesLineFeed", "@A\nX\n@F\n", {0, "A\nF"}},
    {"EmptyLineGivesNul", "@A\n\n@F\n", {0, "A\0F"s}},
    {"LastLineWithoutLineFeed", "@A\n@F", {0, "AF"}},
    {"LastLineOneByte", "@A\n@", {0, "A\0"s}},
    {"NulStartsThirdLine", "@A\n@E\n\0L\n@F\n"s, {3, "AE"}},
    {"NulStartsFirstLine", "\0A\n"s, {1, ""}},
    {"NulStartsLaterPiece", "@Axxxxx\0E\n@F\n"s, {2, "A"}},
    {"NulAsTagIsAnEntry", "@\0\n@F\n"s, {0, "\0F"s}},
    {"PieceCountNotLineCount", "@A comment here\n\0F\n"s, {4, "An\n"}},
    {"EndOfFileByteEndsTemplate", "@A\n@F\n\x1A@S\n\0\n"s, {0, "AF"}},
    {"EndOfFileByteInsideLine",
     "@A\n@\x1A"
     "F\n",
     {0, "A\0"s}},
    {"EmptyTemplate", "", {0, ""}},
    {"OnlyEndOfFileByte", "\x1A", {0, ""}},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class TemplateTest : public testing::TestWithParam<Case> {};

TEST_P(TemplateTest, GivesTags) {
  const Case& c = GetParam();
  for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}, std::size_t{7}}) {
    SCOPED_TRACE("chunk " + std::to_string(chunk));
    EXPECT_EQ(read(c.data, chunk), c.want);
  }
}

INSTANTIATE_TEST_SUITE_P(Templates, TemplateTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(TemplateTest, AppendsToTheList) {
  MemorySource source("@F\n");
  TemplateList tags = {'A'};
  EXPECT_EQ(read_template(source, tags), 0);
  EXPECT_EQ(std::string(tags.begin(), tags.end()), "AF");
}

// A read that fails before the end of the file reports the piece being read;
// a piece cut short by the failure adds no entry.
TEST(TemplateTest, ReadErrorGivesCurrentPiece) {
  const std::string data = "@A\n@E\n@F\n";
  struct FailCase {
    std::size_t fail_at;
    Outcome want;
  };
  const FailCase cases[] = {
      {0, {1, ""}},
      {3, {2, "A"}},      // just after the first line
      {4, {2, "A"}},      // inside the second line
      {5, {2, "A"}},      // the second line's tag read, not its line feed
      {9 - 1, {3, "AE"}}  // the last line feed missing
  };
  for (const FailCase& f : cases) {
    for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}}) {
      SCOPED_TRACE("fail_at " + std::to_string(f.fail_at) + " chunk " + std::to_string(chunk));
      EXPECT_EQ(read(data, chunk, f.fail_at), f.want);
    }
  }
}

class TemplateFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(testing::TempDir()) /
           ("template_reader_test_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
};

TEST_F(TemplateFileTest, ReadsFileInTextMode) {
  const auto path = dir_ / "newfile.rpt";
  std::ofstream(path, std::ios::binary) << "@A\r\n@F\r\n\x1A@S\r\n";
  TemplateList tags;
  EXPECT_EQ(read_template(path.string(), tags), 0);
  EXPECT_EQ(std::string(tags.begin(), tags.end()), "AF");
}

TEST_F(TemplateFileTest, MissingPathOrDirectoryLeavesListUnchanged) {
  for (const auto& path : {dir_ / "newfile.rpt", dir_}) {
    SCOPED_TRACE(path.string());
    TemplateList tags = {'A'};
    EXPECT_EQ(read_template(path.string(), tags), -1);
    EXPECT_EQ(tags, TemplateList{'A'});
  }
}

}  // namespace
}  // namespace movrek
