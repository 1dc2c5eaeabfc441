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

}  // namespace movrek
