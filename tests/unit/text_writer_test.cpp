#include "text/text_writer.h"

#include <gtest/gtest.h>

#include "memory_files.h"

#include <string>

namespace movrek {

TEST(TextWriter, CrLfFillCountsAndFailingSink) {
  const std::size_t big = TextWriter::kBufferSize * 2 + 17;
  testing::StringSink sink, tiny(10), full(0);
  TextWriter writer(sink), failing(tiny);
  writer.write("a\nb\x1A\x80\xFF\r");  // a CR already there stays
  writer.put('\n');
  writer.fill('-', -100), writer.fill('-', 0), writer.fill('-', 4);  // nothing for a count below 1
  // Past the buffer; the line feeds start at an odd place, so a CR LF crosses its end.
  writer.fill(' ', static_cast<long>(big));
  writer.write(std::string(TextWriter::kBufferSize, '\n'));
  std::string expected = "a\r\nb\x1A\x80\xFF\r\r\n----" + std::string(big, ' ');
  for (std::size_t i = 0; i < TextWriter::kBufferSize; ++i)
    expected += "\r\n";
  EXPECT_TRUE(writer.close());
  EXPECT_EQ(sink.bytes(), expected);
  failing.fill('z', static_cast<long>(TextWriter::kBufferSize) * 3);
  EXPECT_FALSE(failing.ok());                        // noticed while writing, long before the close
  EXPECT_FALSE(failing.close() || failing.close());  // and the failure stays
  EXPECT_TRUE(TextWriter(full).close());             // an empty report on a full disk is fine
}

// Text gathered by a writer without a sink and then written raw reaches the
// sink in the very writes, and at the very times, that writing the text
// itself would have made.
TEST(TextWriter, GatheredTextIsWrittenAsTheTextItself) {
  struct Log final : ByteSink {
    std::string writes;
    bool write(const char* data, std::size_t n) override {
      writes.append(data, n).push_back('|');
      return true;
    }
    bool close() override { return true; }
  };
  constexpr std::size_t kFull = TextWriter::kBufferSize;
  for (const std::size_t before : {std::size_t{0}, std::size_t{1}, kFull - 1, kFull}) {
    for (const std::size_t size : {std::size_t{0}, kFull - before, kFull - before + 1, 2 * kFull,
                                   3 * kFull - before, 3 * kFull - before + 3}) {
      // `size` bytes once the line feeds are CR LF.
      std::string text;
      for (std::size_t i = 0; i < size / 7; ++i)
        text += "abcde\n";
      text.append(size % 7, 'x');
      Log straight, raw;
      TextWriter gathered, a(straight), b(raw);
      gathered.write(text);
      a.fill('-', static_cast<long>(before)), b.fill('-', static_cast<long>(before));
      a.write(text), b.write_raw(gathered.bytes());
      straight.writes += "#", raw.writes += "#";  // as when another file is opened
      a.put('.'), b.put('.');
      EXPECT_TRUE(a.close() && b.close());
      EXPECT_TRUE(raw.writes == straight.writes) << before << " " << size;
    }
  }
}

}  // namespace movrek
