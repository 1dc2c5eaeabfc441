#include "report/layout.h"

#include <array>
#include <cstddef>

#include "text/byte_scan.h"
#include "text/char_class.h"
#include "text/decimal.h"

namespace movrek::layout {

namespace {

// What a byte is to the wrap: part of a word, whitespace, or the NUL that
// ends the text.
enum ByteClass : unsigned char { kWordByte, kSpaceByte, kEndByte };
constexpr std::array<ByteClass, 256> kByteClasses = [] {
  std::array<ByteClass, 256> classes{};
  for (int c = 0; c < 256; ++c)
    classes[c] = c == 0                                    ? kEndByte
                 : is_space(static_cast<unsigned char>(c)) ? kSpaceByte
                                                           : kWordByte;
  return classes;
}();

ByteClass byte_class(char c) {
  return kByteClasses[static_cast<unsigned char>(c)];
}

// The end of the word that starts at `p`: its first whitespace or NUL byte,
// or `end`. Sixteen bytes are looked at a time for a byte up to 0x20, which
// every byte that ends a word is.
const char* word_end(const char* p, const char* end) {
  while (end - p >= static_cast<std::ptrdiff_t>(Bytes16::kSize)) {
    const ByteMarks low = Bytes16(p).below(0x21);
    if (!low.any()) {
      p += Bytes16::kSize;
      continue;
    }
    // A control byte other than whitespace belongs to the word.
    p += low.first();
    if (byte_class(*p) != kWordByte) return p;
    ++p;
  }
  while (p != end && byte_class(*p) == kWordByte)
    ++p;
  return p;
}

// True when the text holds no byte below 0x20 (so no whitespace but the
// space and no NUL) and no two spaces in a row: then its words stand as
// they are written, each after one space.
bool plain_text(const char* p, const char* end) {
  for (; end - p > static_cast<std::ptrdiff_t>(Bytes16::kSize); p += Bytes16::kSize) {
    // Two spaces in a row: one here, and one at the next offset.
    const Bytes16 here(p);
    const Bytes16 next(p + 1);
    if ((here.below(0x20) | (here.equal(' ') & next.equal(' '))).any()) return false;
  }
  for (; p != end; ++p) {
    if (static_cast<unsigned char>(*p) < 0x20 || (*p == ' ' && p + 1 != end && p[1] == ' ')) {
      return false;
    }
  }
  return true;
}

}  // namespace

ByteTotal size_value(std::string_view size) {
  return decimal_value(size);
}

void wrap_words(std::string_view text, long available, long indent, std::size_t first_column,
                TextWriter& out) {
  if (available <= 0) return;
  const std::size_t width = static_cast<std::size_t>(available);
  const char* p = text.data();
  const char* const end = p + text.size();
  std::size_t column = first_column;
  // The words taken but not yet written: one space, then the bytes from
  // `run` to `run_end`, where single spaces separate them as in the output.
  const char* run = nullptr;
  const char* run_end = nullptr;
  const auto write_run = [&] {
    if (run == nullptr) return;
    if (run != text.data() && run[-1] == ' ') {
      out.write_plain(std::string_view(run - 1, static_cast<std::size_t>(run_end - run) + 1));
    } else {
      out.put(' ');
      out.write_plain(std::string_view(run, static_cast<std::size_t>(run_end - run)));
    }
    run = nullptr;
  };
  const auto skip_space = [&] {
    while (p != end && byte_class(*p) == kSpaceByte)
      ++p;
    return p != end && byte_class(*p) != kEndByte;
  };
  if (plain_text(p, end)) {
    // Lines of words between single spaces are written as they stand: each
    // takes the words up to the last space that leaves its words room in
    // what is left of the line, and the word after it does not fit. A word
    // as long as the width, or longer, is left to the word by word loop below.
    const char* words_end = end;
    if (p != end && *p == ' ') ++p;
    if (words_end != p && words_end[-1] == ' ') --words_end;
    while (p != words_end) {
      const std::size_t room = column < width ? width - column : 0;
      const char* line_end = words_end;
      if (static_cast<std::size_t>(words_end - p) >= room) {
        line_end = room > 0 ? p + room - 1 : p;
        while (line_end != p && *line_end != ' ')
          --line_end;
        if (line_end == p) {
          // The next word does not fit what is left of the line: it starts
          // the next one, unless it would not fit there either.
          const char* word_end = p;
          while (word_end != words_end && *word_end != ' ')
            ++word_end;
          if (column == 0 || static_cast<std::size_t>(word_end - p) >= width) break;
          out.new_line(indent);
          column = 0;
          continue;
        }
      }
      run = p;
      run_end = line_end;
      write_run();
      column += static_cast<std::size_t>(line_end - p) + 1;
      p = line_end == words_end ? words_end : line_end + 1;
    }
  }
  while (skip_space()) {
    const char* word = p;
    p = word_end(p, end);
    std::size_t n = static_cast<std::size_t>(p - word);
    if (column > width || n + 1 > width - column) {
      write_run();
      out.new_line(indent);
      column = 0;
      // A word as long as the width or longer comes in pieces of the width; a
      // piece needs one column more than its length, so one of the full width
      // never fits and stands on a line of its own.
      while (n > width) {
        out.put(' ');
        out.write_plain(std::string_view(word, width));
        out.new_line(indent);
        word += width;
        n -= width;
      }
      if (n == width) {
        // Its last piece too: the next word starts a line.
        out.put(' ');
        out.write_plain(std::string_view(word, width));
        column = width + 1;
        continue;
      }
    }
    if (run != nullptr && word == run_end + 1 && *run_end == ' ') {
      run_end = p;
    } else {
      write_run();
      run = word;
      run_end = p;
    }
    column += n + 1;
  }
  write_run();
}

}  // namespace movrek::layout
