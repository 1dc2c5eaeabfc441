#include "report/report_writer.h"

#include <gtest/gtest.h>

#include "test_support.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "text/byte_io.h"
#include "text/cp866.h"
#include "text/text_writer.h"

namespace movrek {
namespace {

using namespace std::string_literals;

template <std::size_t N>
std::string bytes_of(const Cp866Text<N>& text) {
  return std::string(text.view());
}

// Every line feed as the CR LF that reaches the report.
std::string dos(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string rule(long width) {
  return std::string(static_cast<std::size_t>(width > 0 ? width : 0), '\xC4');
}

std::string spaces(std::size_t n) {
  return std::string(n, ' ');
}

// A word of distinct-looking bytes, so that a misplaced piece shows.
std::string word(std::size_t n) {
  std::string w;
  for (std::size_t i = 0; i < n; ++i)
    w += static_cast<char>('a' + i % 26);
  return w;
}

// A whole area block: empty line, title, rule, entries, rule, total line.
std::string block(std::string_view title, std::string_view entries, std::string_view total,
                  long width = 79) {
  return dos("\n"s + std::string(title) + "\n" + rule(width) + "\n" + std::string(entries) +
             rule(width) + "\n Total " + std::string(total) + "\n");
}

// A file entry's texts; a missing text is nullopt.
using Owned = std::optional<std::string>;
struct FileFields {
  std::string name;
  Owned size;
  Owned description;
  Owned origin;
};

Text view(const Owned& text) {
  if (!text) return std::nullopt;
  return std::string_view(*text);
}

std::string area_block(const Area& area, const Settings& settings) {
  StringSink sink;
  TextWriter out(sink);
  write_area_block(area, settings, out);
  EXPECT_TRUE(out.close());
  return sink.bytes();
}

std::string area_block(Catalog& catalog, const std::vector<FileFields>& files,
                       const Settings& settings, Text description = std::nullopt,
                       Text link = std::nullopt) {
  Area area("A", description, link);
  for (const auto& f : files)
    catalog.insert_file(area, f.name, view(f.size), view(f.description), view(f.origin));
  return area_block(area, settings);
}

// ---------------------------------------------------------------------------
// Area blocks

TEST(AreaBlock, WorkedExampleByteForByte) {
  Catalog catalog;
  Area area("UTILS", "Utilities for DOS", "HUB");
  catalog.insert_file(area, "TOOLS310.ZIP", "512",
                      "Archiver for DOS, version 3.10, with full documentation and several "
                      "examples",
                      "HUB");
  catalog.insert_file(area, "README.1ST", "100", "", std::nullopt);
  const std::string rule79 = rule(79);
  // README.1ST sorts before TOOLS310.ZIP in the catalog.
  const std::string expected =
      "\r\n"
      " Area UTILS (Utilities for DOS) from HUB\r\n" +
      rule79 +
      "\r\n"
      "README.1ST        100  No description found\r\n"
      "TOOLS310.ZIP      512  Archiver for DOS, version 3.10, with full documentation\r\n"
      "                       and several examples\r\n"
      "                       Origin: HUB\r\n" +
      rule79 +
      "\r\n"
      " Total of 612 bytes in 2 files\r\n";
  EXPECT_EQ(area_block(area, Settings{}), expected);
  EXPECT_EQ(std::string_view(" Area UTILS (Utilities for DOS) from HUB").size(), 40u);
  EXPECT_EQ(std::string_view(
                "TOOLS310.ZIP      512  Archiver for DOS, version 3.10, with full documentation")
                .size(),
            78u);
}

struct TitleCase {
  Text description;
  Text link;
  std::string title;
};

TEST(AreaBlock, TitleLeavesOutEmptyAndMissingDescriptionAndLink) {
  const std::vector<TitleCase> cases = {
      {std::nullopt, std::nullopt, " Area A"},
      {"", "", " Area A"},
      {"", std::nullopt, " Area A"},
      {std::nullopt, "", " Area A"},
      {"Desc", std::nullopt, " Area A (Desc)"},
      {"Desc", "", " Area A (Desc)"},
      {std::nullopt, "Up Link", " Area A from Up Link"},
      {"", "Up Link", " Area A from Up Link"},
      {" two  words ", "L", " Area A ( two  words ) from L"},
  };
  for (const auto& c : cases) {
    Catalog catalog;
    EXPECT_EQ(area_block(catalog, {{"F.ZIP", std::nullopt, "d", std::nullopt}}, Settings{},
                         c.description, c.link),
              block(c.title, "F.ZIP" + spaces(9) + "d\n", "1 file"))
        << c.title;
  }
}

struct EntryCase {
  const char* what;
  FileFields file;
  std::string no_description;
  std::string entry;  // with bare line feeds
  std::string total;
};

const std::string kName = "A.ZIP" + spaces(8);  // the 13 name columns
const std::string kSize5 = "       5 ";         // the 9 size columns
const std::string kIndent13 = spaces(13);
const std::string kIndent22 = spaces(22);
const std::string kNoDesc = "No description found";

TEST(AreaBlock, FileEntriesAtWidth79) {
  const std::string w27 = word(27), w28 = word(28), w56 = word(56), w57 = word(57), w66 = word(66),
                    w70 = word(70);
  const std::string long_origin = "Origin text " + word(90) + " with spaces";
  const std::vector<EntryCase> cases = {
      {"name over 12 bytes is cut",
       {"ABCDEFGHIJKLMNOP.ZIP", std::nullopt, "x", std::nullopt},
       kNoDesc,
       "ABCDEFGHIJKL  x\n",
       "1 file"},
      {"empty name", {"", std::nullopt, "x", std::nullopt}, kNoDesc, spaces(13) + " x\n", "1 file"},
      {"size of exactly 8 bytes",
       {"A.ZIP", "12345678", "d", std::nullopt},
       kNoDesc,
       kName + "12345678  d\n",
       "of 12345678 bytes in 1 file"},
      {"size over 8 bytes shows 8, counts whole",
       {"A.ZIP", "123456789", "d", std::nullopt},
       kNoDesc,
       kName + "12345678  d\n",
       "of 123456789 bytes in 1 file"},
      {"empty size: 9 spaces, adds 0",
       {"A.ZIP", "", "d", std::nullopt},
       kNoDesc,
       kName + spaces(9) + " d\n",
       "1 file"},
      {"empty size still narrows the description by 9",
       {"A.ZIP", "", w57, std::nullopt},
       kNoDesc,
       kName + spaces(9) + "\n" + kIndent22 + " " + w57 + "\n",
       "1 file"},
      {"size with leading spaces is shown as it is",
       {"A.ZIP", "  42", "d", std::nullopt},
       kNoDesc,
       kName + "      42  d\n",
       "of 42 bytes in 1 file"},
      {"negative size wraps the total",
       {"A.ZIP", "-20", std::nullopt, std::nullopt},
       kNoDesc,
       kName + "     -20 \n",
       "of 4294967276 bytes in 1 file"},
      {"size of 2^32 adds 0",
       {"A.ZIP", "4294967296", std::nullopt, std::nullopt},
       kNoDesc,
       kName + "42949672 \n",
       "1 file"},
      {"empty description gives the no-description text",
       {"A.ZIP", "5", "", std::nullopt},
       kNoDesc,
       kName + kSize5 + " No description found\n",
       "of 5 bytes in 1 file"},
      {"no-description text is wrapped as words",
       {"A.ZIP", std::nullopt, "", std::nullopt},
       "  (none   here) ",
       kName + " (none here)\n",
       "1 file"},
      {"empty no-description text, origin on its own line",
       {"A.ZIP", "5", "", "HUB"},
       "",
       kName + kSize5 + "\n" + kIndent22 + " Origin: HUB\n",
       "of 5 bytes in 1 file"},
      {"whitespace-only description, origin still indented",
       {"A.ZIP", std::nullopt, " \t\r\v\f ", "HUB"},
       kNoDesc,
       kName + "\n" + kIndent13 + " Origin: HUB\n",
       "1 file"},
      {"whitespace-only description with size",
       {"A.ZIP", "5", "   ", "HUB"},
       kNoDesc,
       kName + kSize5 + "\n" + kIndent22 + " Origin: HUB\n",
       "of 5 bytes in 1 file"},
      {"no description field: origin on the first line",
       {"X.ZIP", std::nullopt, std::nullopt, "HUB"},
       kNoDesc,
       "X.ZIP" + spaces(9) + "Origin: HUB\n",
       "1 file"},
      {"no description field, with size",
       {"A.ZIP", "5", std::nullopt, "HUB"},
       kNoDesc,
       kName + kSize5 + " Origin: HUB\n",
       "of 5 bytes in 1 file"},
      {"nothing but a name",
       {"A.ZIP", std::nullopt, std::nullopt, std::nullopt},
       kNoDesc,
       kName + "\n",
       "1 file"},
      {"empty origin is not written",
       {"A.ZIP", std::nullopt, "d", ""},
       kNoDesc,
       kName + " d\n",
       "1 file"},
      {"origin is never wrapped",
       {"A.ZIP", std::nullopt, "d", long_origin},
       kNoDesc,
       kName + " d\n" + kIndent13 + " Origin: " + long_origin + "\n",
       "1 file"},
      {"whitespace runs collapse to one space",
       {"A.ZIP", std::nullopt, "  a\t\tb \r\v\f c  ", std::nullopt},
       kNoDesc,
       kName + " a b c\n",
       "1 file"},
      {"bytes from 0x80 up belong to words",
       {"A.ZIP", std::nullopt, "\x80\xFF\xA0 x\xC4y", std::nullopt},
       kNoDesc,
       kName + " \x80\xFF\xA0 x\xC4y\n",
       "1 file"},
      {"line filled up to the width exactly",
       {"A.ZIP", "5", w27 + " " + w28 + " x", std::nullopt},
       kNoDesc,
       kName + kSize5 + " " + w27 + " " + w28 + "\n" + kIndent22 + " x\n",
       "of 5 bytes in 1 file"},
      {"first word one short of the width fits",
       {"A.ZIP", "5", w56, std::nullopt},
       kNoDesc,
       kName + kSize5 + " " + w56 + "\n",
       "of 5 bytes in 1 file"},
      {"first word as long as the width, with size",
       {"A.ZIP", "5", w57, std::nullopt},
       kNoDesc,
       kName + kSize5 + "\n" + kIndent22 + " " + w57 + "\n",
       "of 5 bytes in 1 file"},
      {"first word as long as the width, without size",
       {"A.ZIP", std::nullopt, w66, std::nullopt},
       kNoDesc,
       kName + "\n" + kIndent13 + " " + w66 + "\n",
       "1 file"},
      {"later word as long as the width",
       {"A.ZIP", "5", "ab " + w57, std::nullopt},
       kNoDesc,
       kName + kSize5 + " ab\n" + kIndent22 + " " + w57 + "\n",
       "of 5 bytes in 1 file"},
      {"70-byte first word: 57 and 13",
       {"A.ZIP", "5", w70, std::nullopt},
       kNoDesc,
       kName + kSize5 + "\n" + kIndent22 + " " + w70.substr(0, 57) + "\n" + kIndent22 + " " +
           w70.substr(57) + "\n",
       "of 5 bytes in 1 file"},
      {"70-byte later word, then a short one",
       {"A.ZIP", "5", "ab " + w70 + " cd", "HUB"},
       kNoDesc,
       kName + kSize5 + " ab\n" + kIndent22 + " " + w70.substr(0, 57) + "\n" + kIndent22 + " " +
           w70.substr(57) + " cd\n" + kIndent22 + " Origin: HUB\n",
       "of 5 bytes in 1 file"},
  };
  for (const auto& c : cases) {
    Catalog catalog;
    Settings settings;
    settings.no_description = c.no_description;
    EXPECT_EQ(area_block(catalog, {c.file}, settings), block(" Area A", c.entry, c.total))
        << c.what;
  }
}

TEST(AreaBlock, LineLengthsOfAnOverlongWord) {
  // The piece as long as the available width makes a line one byte over the width.
  Catalog catalog;
  const std::string text =
      area_block(catalog, {{"A.ZIP", "5", word(70), std::nullopt}}, Settings{});
  std::vector<std::size_t> lengths;
  std::size_t start = 0;
  for (std::size_t crlf; (crlf = text.find("\r\n", start)) != std::string::npos; start = crlf + 2)
    lengths.push_back(crlf - start);
  // empty, title, rule, name and size, piece, rest, rule, total
  EXPECT_EQ(lengths, (std::vector<std::size_t>{0, 7, 79, 22, 80, 36, 79, 27}));
}

struct WidthCase {
  long width;
  Owned size;
  std::string entry;
  std::string total;
};

TEST(AreaBlock, NarrowWidthsLeaveNoRoomForDescriptions) {
  const std::string origin_line = " Origin: HUB\n";
  const std::vector<WidthCase> cases = {
      // one column beside the name and size: each one-byte piece needs two
      {23, "5",
       kName + kSize5 + "\n" + kIndent22 + " a\n" + kIndent22 + " b\n" + kIndent22 + origin_line,
       "of 5 bytes in 1 file"},
      {22, "5", kName + kSize5 + "\n" + kIndent22 + origin_line, "of 5 bytes in 1 file"},
      {22, std::nullopt, kName + " ab\n" + kIndent13 + origin_line, "1 file"},
      {14, std::nullopt,
       kName + "\n" + kIndent13 + " a\n" + kIndent13 + " b\n" + kIndent13 + origin_line, "1 file"},
      {13, std::nullopt, kName + "\n" + kIndent13 + origin_line, "1 file"},
      {13, "5", kName + kSize5 + "\n" + kIndent22 + origin_line, "of 5 bytes in 1 file"},
      {1, "5", kName + kSize5 + "\n" + kIndent22 + origin_line, "of 5 bytes in 1 file"},
      {0, "5", kName + kSize5 + "\n" + kIndent22 + origin_line, "of 5 bytes in 1 file"},
      {0, std::nullopt, kName + "\n" + kIndent13 + origin_line, "1 file"},
  };
  for (const auto& c : cases) {
    Catalog catalog;
    Settings settings;
    settings.report_width = static_cast<std::int32_t>(c.width);
    EXPECT_EQ(area_block(catalog, {{"A.ZIP", c.size, "ab", "HUB"}}, settings),
              block(" Area A", c.entry, c.total, c.width))
        << "width " << c.width << (c.size ? " with size" : " without size");
  }
}

TEST(AreaBlock, WidthZeroMakesBothRulesEmptyLines) {
  Catalog catalog;
  Settings settings;
  settings.report_width = 0;
  EXPECT_EQ(area_block(catalog, {{"A.ZIP", std::nullopt, std::nullopt, std::nullopt}}, settings),
            "\r\n Area A\r\n\r\nA.ZIP        \r\n\r\n Total 1 file\r\n");
}

struct TotalCase {
  std::vector<std::string> sizes;  // one file per size; "-" for a file without size
  std::string total;
};

TEST(AreaBlock, ByteTotals) {
  const std::vector<TotalCase> cases = {
      {{"512", "1.5M", "12,345", "n/a", "", "-20", "+7", " \t9x"}, "of 521 bytes in 8 files"},
      {{"-", "-"}, "2 files"},
      {{"0", "n/a", ""}, "3 files"},
      {{"10", "-10"}, "2 files"},
      {{"4294967295", "2"}, "of 1 bytes in 2 files"},
      {{"3000000000", "3000000000"}, "of 1705032704 bytes in 2 files"},
      {{"4294967295"}, "of 4294967295 bytes in 1 file"},
      {{"99999999999"}, "of 1215752191 bytes in 1 file"},  // 99999999999 mod 2^32
      {{"-1", "-"}, "of 4294967295 bytes in 2 files"},
  };
  for (const auto& c : cases) {
    Catalog catalog;
    Area area("A", std::nullopt, std::nullopt);
    for (std::size_t i = 0; i < c.sizes.size(); ++i) {
      const Text size = c.sizes[i] == "-" ? Text() : Text(c.sizes[i]);
      const std::string name(1, static_cast<char>('A' + i));
      catalog.insert_file(area, name, size, std::nullopt, std::nullopt);
    }
    const std::string text = area_block(area, Settings{});
    const std::string tail = rule(79) + "\r\n Total " + c.total + "\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << c.total;
  }
}

TEST(AreaBlock, PluralOfTheFileCount) {
  const std::vector<std::pair<int, std::string>> cases = {
      {1, "1 file"},     {2, "2 files"},     {11, "11 files"},  {12, "12 files"},  {21, "21 file"},
      {101, "101 file"}, {111, "111 files"}, {121, "121 file"}, {211, "211 files"}};
  for (const auto& [count, total] : cases) {
    Catalog catalog;
    Area area("A", std::nullopt, std::nullopt);
    std::string entries;
    for (int i = 0; i < count; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "F%04d.ZIP", i);
      catalog.insert_file(area, name, std::nullopt, std::nullopt, std::nullopt);
      entries += std::string(name) + "    \n";
    }
    EXPECT_EQ(area_block(area, Settings{}), block(" Area A", entries, total)) << count;
  }
}

// ---------------------------------------------------------------------------
// Header and footer copy

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<movrek::testing::TempDir>();
    dir_ = temp_->path().string();
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string file(std::string_view name, std::string_view bytes) const {
    const std::string path = dir_ + "/" + std::string(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (f != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return path;
  }
  std::unique_ptr<movrek::testing::TempDir> temp_;
  std::string dir_;
};

using CopyTextFile = TempDir;

struct CopyCase {
  const char* what;
  std::string content;
  std::string copied;
};

TEST_F(CopyTextFile, CopiesInTheDosTextConvention) {
  const std::string x255(255, 'x');
  const std::vector<CopyCase> cases = {
      {"CR LF, final line end", "one\r\ntwo\r\n", "one\r\ntwo\r\n"},
      {"CR LF, no final line end", "one\r\ntwo", "one\r\ntwo"},
      {"bare LF, final line end", "one\ntwo\n", "one\r\ntwo\r\n"},
      {"bare LF, no final line end", "one\ntwo", "one\r\ntwo"},
      {"empty file", "", ""},
      {"empty lines", "\n\r\n\n", "\r\n\r\n\r\n"},
      {"a CR takes the next byte as it is", "a\r\r\nb", "a\r\r\nb"},
      {"a lone CR at the end is dropped", "a\r", "a"},
      {"bytes from 0x80 up unchanged", "\x80\xC4\xFF\xB3\n", "\x80\xC4\xFF\xB3\r\n"},
      {"NUL drops the rest of its line, line feed included", "ab\0cd\nef\n"s, "abef\r\n"},
      {"NUL before the line feed joins the next line", "ab\0\nef\n"s, "abef\r\n"},
      {"NUL at the start of a line", "\0zz\nef\n"s, "ef\r\n"},
      {"0x1A ends the file", "one\ntwo\x1A three\n", "one\r\ntwo"},
      {"0x1A after the last line end", "one\r\n\x1A", "one\r\n"},
      {"long line is copied whole", x255 + "yyyy\n", x255 + "yyyy\r\n"},
      {"NUL in the first 255-byte piece", "0123456789\0"s + std::string(300, 'y') + "\n",
       "0123456789" + std::string(56, 'y') + "\r\n"},
      {"NUL after byte 255 of a long line", x255 + "yy\0zz\nnext\n"s, x255 + "yynext\r\n"},
  };
  for (const auto& c : cases) {
    const std::string path = file("h.txt", c.content);
    StringSink sink;
    TextWriter out(sink);
    EXPECT_TRUE(copy_text_file(path, out)) << c.what;
    ASSERT_TRUE(out.close());
    EXPECT_EQ(sink.bytes(), c.copied) << c.what;
  }
}

TEST_F(CopyTextFile, MissingNameFileOrDirectoryCopiesNothing) {
  const std::vector<std::optional<std::string>> names = {std::nullopt, dir_ + "/absent.txt", dir_,
                                                         dir_ + "/", ""};
  for (const auto& name : names) {
    StringSink sink;
    TextWriter out(sink);
    EXPECT_FALSE(copy_text_file(name, out)) << name.value_or("(none)");
    ASSERT_TRUE(out.close());
    EXPECT_EQ(sink.bytes(), "");
  }
}

// ---------------------------------------------------------------------------
// write_reports

// Hands out memory reports by name. A name can be refused, given a small
// capacity (a full disk), or made to fail on close. Every report opened is
// recorded; opening a name again replaces what was written under it.
class ReportFiles {
 public:
  std::set<std::string> refused;
  std::map<std::string, std::size_t> capacity;
  std::set<std::string> failing_close;

  std::vector<std::string> opened;
  std::map<std::string, std::unique_ptr<StringSink>> files;
  std::map<std::string, bool> closed;

  SinkFactory factory() {
    return [this](const std::string& path) -> std::unique_ptr<ByteSink> {
      opened.push_back(path);
      if (refused.count(path) != 0) return nullptr;
      const auto cap = capacity.find(path);
      files[path] = std::make_unique<StringSink>(cap == capacity.end() ? SIZE_MAX : cap->second);
      closed[path] = false;
      return std::make_unique<Kept>(*files[path], closed[path], failing_close.count(path) != 0);
    };
  }

  std::string bytes(const std::string& name) const {
    const auto it = files.find(name);
    return it == files.end() ? "(not opened)" : it->second->bytes();
  }

 private:
  class Kept final : public ByteSink {
   public:
    Kept(StringSink& target, bool& closed, bool fail_close)
        : target_(target), closed_(closed), fail_close_(fail_close) {}
    bool write(const char* data, std::size_t n) override { return target_.write(data, n); }
    bool close() override {
      closed_ = true;
      return target_.close() && !fail_close_;
    }

   private:
    StringSink& target_;
    bool& closed_;
    bool fail_close_;
  };
};

class WriteReports : public TempDir {
 protected:
  void SetUp() override {
    TempDir::SetUp();
    Group& main = catalog_.default_group();
    main.report = "out.txt";
    main.header = std::nullopt;
    main.footer = std::nullopt;
  }

  Group& add_group(const std::string& report, const std::vector<std::string>& areas) {
    auto group = make_configured_group();
    group->report = report;
    group->header = std::nullopt;
    group->footer = std::nullopt;
    for (const auto& a : areas)
      catalog_.insert_area(*group, a, std::nullopt, std::nullopt);
    return catalog_.append_group(std::move(group));
  }

  void add_file(std::string_view area, std::string_view name) {
    InputRecord r;
    r.area_name = area;
    r.file_name = name;
    r.file_description = "d";
    catalog_.add_input_record(r);
  }

  ReportResult run() {
    return write_reports(
        catalog_, settings_, [this](std::string_view s) { console_ += s; }, files_.factory());
  }

  static std::string simple_block(std::string_view area, std::string_view file) {
    std::string entry(file);
    entry.resize(13, ' ');
    return block(" Area " + std::string(area), entry + " d\n", "1 file");
  }

  static std::string writing(std::string_view name) {
    return bytes_of(cp866(u8"записываем отчет ")) + std::string(name) + " ...\n";
  }
  static std::string nothing(std::string_view name) {
    return bytes_of(cp866(u8"в отчет ")) + std::string(name) +
           bytes_of(cp866(u8" записывать нечего.\n"));
  }

  Catalog catalog_;
  Settings settings_;
  ReportFiles files_;
  std::string console_;
};

TEST_F(WriteReports, HeaderAreaBlocksFooter) {
  Group& main = catalog_.default_group();
  main.header = file("main.hdr", "Header line\r\n");
  main.footer = file("main.ftr", "Footer\nlast");
  add_file("B", "B1.ZIP");
  add_file("A", "A1.ZIP");
  const ReportResult result = run();
  EXPECT_EQ(result.status, ReportResult::Status::kOk);
  EXPECT_EQ(files_.bytes("out.txt"), "Header line\r\n" + simple_block("A", "A1.ZIP") +
                                         simple_block("B", "B1.ZIP") + "Footer\r\nlast");
  EXPECT_TRUE(files_.closed["out.txt"]);
  EXPECT_EQ(console_, writing("out.txt"));
}

TEST_F(WriteReports, HeaderWithoutFinalLineEndIsCompletedByTheBlock) {
  catalog_.default_group().header = file("h", "Header");
  add_file("A", "A1.ZIP");
  EXPECT_EQ(run().status, ReportResult::Status::kOk);
  EXPECT_EQ(files_.bytes("out.txt"), "Header" + simple_block("A", "A1.ZIP"));
}

TEST_F(WriteReports, HeaderAndFooterThatCannotBeReadAreLeftOut) {
  const std::vector<std::optional<std::string>> names = {std::nullopt, dir_ + "/absent", dir_};
  for (const auto& name : names) {
    catalog_.default_group().header = name;
    catalog_.default_group().footer = name;
    if (catalog_.default_group().file_count() == 0) add_file("A", "A1.ZIP");
    console_.clear();
    EXPECT_EQ(run().status, ReportResult::Status::kOk);
    EXPECT_EQ(files_.bytes("out.txt"), simple_block("A", "A1.ZIP")) << name.value_or("(none)");
  }
}

TEST_F(WriteReports, EmptyGroupsAndAreasLeaveNoTrace) {
  add_group("g.txt", {"A", "B", "C"});
  add_file("C", "C1.ZIP");
  add_file("A", "A1.ZIP");
  EXPECT_EQ(run().status, ReportResult::Status::kOk);
  // Area B has no files: A's total line is followed directly by C's block.
  EXPECT_EQ(files_.bytes("g.txt"), simple_block("A", "A1.ZIP") + simple_block("C", "C1.ZIP"));
  EXPECT_EQ(files_.opened, std::vector<std::string>{"g.txt"});
  EXPECT_EQ(console_, nothing("out.txt") + writing("g.txt"));
}

TEST_F(WriteReports, NothingAnywhere) {
  add_group("g1.txt", {"A"});
  add_group("g2.txt", {});
  const ReportResult result = run();
  EXPECT_EQ(result.status, ReportResult::Status::kOk);
  EXPECT_TRUE(files_.opened.empty());
  EXPECT_EQ(console_, nothing("out.txt") + nothing("g1.txt") + nothing("g2.txt"));
}

TEST_F(WriteReports, GroupsInChainOrder) {
  add_group("g1.txt", {"Z"});
  add_group("g2.txt", {"M"});
  add_file("M", "M1.ZIP");
  add_file("Z", "Z1.ZIP");
  add_file("Other", "O1.ZIP");
  EXPECT_EQ(run().status, ReportResult::Status::kOk);
  EXPECT_EQ(files_.opened, (std::vector<std::string>{"out.txt", "g1.txt", "g2.txt"}));
  EXPECT_EQ(console_, writing("out.txt") + writing("g1.txt") + writing("g2.txt"));
  EXPECT_EQ(files_.bytes("out.txt"), simple_block("Other", "O1.ZIP"));
  EXPECT_EQ(files_.bytes("g1.txt"), simple_block("Z", "Z1.ZIP"));
  EXPECT_EQ(files_.bytes("g2.txt"), simple_block("M", "M1.ZIP"));
}

TEST_F(WriteReports, TwoGroupsWithOneReportName) {
  add_group("same.txt", {"A"});
  add_group("same.txt", {"B"});
  add_file("A", "A1.ZIP");
  add_file("B", "B1.ZIP");
  EXPECT_EQ(run().status, ReportResult::Status::kOk);
  EXPECT_EQ(files_.opened, (std::vector<std::string>{"same.txt", "same.txt"}));
  EXPECT_EQ(files_.bytes("same.txt"), simple_block("B", "B1.ZIP"));
  EXPECT_EQ(console_, nothing("out.txt") + writing("same.txt") + writing("same.txt"));
}

TEST_F(WriteReports, ReportThatCannotBeCreatedStopsTheWalk) {
  add_group("g1.txt", {"A"});
  add_group("g2.txt", {"B"});
  add_group("g3.txt", {"C"});
  add_file("Other", "O1.ZIP");
  add_file("A", "A1.ZIP");
  add_file("B", "B1.ZIP");
  files_.refused.insert("g2.txt");
  const ReportResult result = run();
  EXPECT_EQ(result.status, ReportResult::Status::kCannotCreate);
  EXPECT_EQ(result.report, "g2.txt");
  EXPECT_EQ(files_.opened, (std::vector<std::string>{"out.txt", "g1.txt", "g2.txt"}));
  EXPECT_EQ(files_.bytes("out.txt"), simple_block("Other", "O1.ZIP"));
  EXPECT_EQ(files_.bytes("g1.txt"), simple_block("A", "A1.ZIP"));
  EXPECT_TRUE(files_.closed["out.txt"]);
  EXPECT_TRUE(files_.closed["g1.txt"]);
  // No line for the failing report, nothing for the empty group after it.
  EXPECT_EQ(console_, writing("out.txt") + writing("g1.txt"));
}

TEST_F(WriteReports, FailingWriteStopsTheWalk) {
  add_group("g1.txt", {"A"});
  add_group("g2.txt", {"B"});
  add_file("Other", "O1.ZIP");
  add_file("A", "A1.ZIP");
  add_file("B", "B1.ZIP");
  files_.capacity["g1.txt"] = 20;
  const ReportResult result = run();
  EXPECT_EQ(result.status, ReportResult::Status::kWriteFailed);
  EXPECT_EQ(result.report, "g1.txt");
  EXPECT_EQ(files_.opened, (std::vector<std::string>{"out.txt", "g1.txt"}));
  EXPECT_EQ(files_.bytes("out.txt"), simple_block("Other", "O1.ZIP"));
  EXPECT_EQ(files_.bytes("g1.txt"), simple_block("A", "A1.ZIP").substr(0, 20));
  EXPECT_EQ(console_, writing("out.txt") + writing("g1.txt"));
}

TEST_F(WriteReports, FailingWriteOfABigReport) {
  // Many areas: the failure comes while blocks are still being written.
  for (int i = 0; i < 3000; ++i) {
    add_file("AREA" + std::to_string(1000 + i), "F.ZIP");
  }
  files_.capacity["out.txt"] = 70000;
  const ReportResult result = run();
  EXPECT_EQ(result.status, ReportResult::Status::kWriteFailed);
  EXPECT_EQ(result.report, "out.txt");
  EXPECT_EQ(files_.bytes("out.txt").size(), 70000u);
}

TEST_F(WriteReports, FailingCloseIsAWriteFailure) {
  add_group("g1.txt", {"A"});
  add_file("Other", "O1.ZIP");
  add_file("A", "A1.ZIP");
  files_.failing_close.insert("out.txt");
  const ReportResult result = run();
  EXPECT_EQ(result.status, ReportResult::Status::kWriteFailed);
  EXPECT_EQ(result.report, "out.txt");
  EXPECT_EQ(files_.opened, std::vector<std::string>{"out.txt"});
  EXPECT_EQ(console_, writing("out.txt"));
}

}  // namespace
}  // namespace movrek
