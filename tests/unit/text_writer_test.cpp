#include "text/text_writer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "text/byte_io.h"

namespace movrek {
namespace {

using namespace std::string_literals;

TEST(TextWriterTest, LineFeedBecomesCrLfOtherBytesUnchanged) {
  StringSink sink;
  TextWriter writer(sink);
  writer.write("a\nb");
  writer.put('\n');
  writer.put('c');
  writer.write("\r\n");  // a CR already there stays, and gets another before the LF
  writer.write("\0\x1A\x80\xC4\xFF\t"s);
  writer.write("");
  writer.fill('\n', 2);
  ASSERT_TRUE(writer.close());
  EXPECT_EQ(sink.bytes(), "a\r\nb\r\nc\r\r\n\0\x1A\x80\xC4\xFF\t\r\n\r\n"s);
}

TEST(TextWriterTest, FillCounts) {
  for (long count : {-100L, -1L, 0L, 1L, 5L}) {
    StringSink sink;
    TextWriter writer(sink);
    writer.put('[');
    writer.fill('\xC4', count);
    writer.put(']');
    ASSERT_TRUE(writer.close());
    std::string expected(count > 0 ? count + 2 : 2, '\xC4');
    expected.front() = '[';
    expected.back() = ']';
    EXPECT_EQ(sink.bytes(), expected) << count;
  }
}

TEST(TextWriterTest, OutputLargerThanTheBuffer) {
  const long big = static_cast<long>(TextWriter::kBufferSize) * 2 + 17;
  StringSink sink;
  TextWriter writer(sink);
  writer.put('x');
  writer.fill(' ', big);
  // Line feeds that land on every buffer position, so one CR LF is split.
  std::string lines;
  std::string expected_lines;
  for (std::size_t i = 0; i < TextWriter::kBufferSize / 3 + 5; ++i) {
    lines += "ab\n";
    expected_lines += "ab\r\n";
  }
  writer.write(lines);
  writer.fill('\n', 3);
  ASSERT_TRUE(writer.close());
  EXPECT_EQ(sink.bytes(), "x" + std::string(big, ' ') + expected_lines + "\r\n\r\n\r\n");
}

TEST(TextWriterTest, FailingSinkMakesCloseFail) {
  const std::string text = "line one\nline two\n";
  const std::size_t out_size = text.size() + 2;
  {
    StringSink sink(out_size);  // exactly room enough
    TextWriter writer(sink);
    writer.write(text);
    EXPECT_TRUE(writer.close());
  }
  {
    StringSink sink(out_size - 1);
    TextWriter writer(sink);
    writer.write(text);
    EXPECT_FALSE(writer.close());
    EXPECT_FALSE(writer.ok());
    EXPECT_FALSE(writer.close());  // stays failed
  }
  {
    // The failure happens while writing, long before the close; nothing is
    // written after it.
    StringSink sink(10);
    TextWriter writer(sink);
    writer.fill('z', static_cast<long>(TextWriter::kBufferSize) * 3);
    EXPECT_FALSE(writer.ok());
    writer.write("more\n");
    EXPECT_FALSE(writer.close());
    EXPECT_EQ(sink.bytes(), std::string(10, 'z'));
  }
  {
    // An empty report on a full disk is fine.
    StringSink sink(0);
    TextWriter writer(sink);
    EXPECT_TRUE(writer.close());
  }
}

// A sink whose first write fails; it counts the writes it is asked for.
class BrokenSink final : public ByteSink {
 public:
  bool write(const char*, std::size_t) override {
    ++writes;
    return false;
  }
  bool close() override { return true; }
  int writes = 0;
};

TEST(TextWriterTest, NothingIsWrittenAfterAFailedWrite) {
  BrokenSink sink;
  TextWriter writer(sink);
  for (int i = 0; i < 4; ++i)
    writer.fill('x', static_cast<long>(TextWriter::kBufferSize));
  EXPECT_FALSE(writer.close());
  EXPECT_EQ(sink.writes, 1);
}

TEST(FileSinkTest, WritesBytesToFile) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("movrek_writer_test_" + std::to_string(::getpid()));
  {
    auto sink = FileSink::create(path.string());
    ASSERT_NE(sink, nullptr);
    TextWriter writer(*sink);
    writer.write("a\nb\xC4");
    EXPECT_TRUE(writer.close());
  }
  std::ifstream in(path, std::ios::binary);
  const std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(got, "a\r\nb\xC4");
  in.close();
  std::filesystem::remove(path);
  EXPECT_EQ(FileSink::create("/nonexistent/movrek/out.rpt"), nullptr);
}

TEST(FileSinkTest, FullDeviceMakesCloseFail) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto sink = FileSink::create("/dev/full");
  ASSERT_NE(sink, nullptr);
  TextWriter writer(*sink);
  writer.write("some text\n");
  EXPECT_FALSE(writer.close());
}

}  // namespace
}  // namespace movrek
