#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/text_writer.h"

// How a report lays out a file entry and adds up an area: the columns of the
// name and the size, the room a description gets, how it is wrapped, and how
// sizes make the area's byte total. The report writer writes by these rules
// and the checker predicts by them.
namespace movrek::layout {

// A file name is written in 12 columns and a space, a size right-aligned in
// 8 columns and a space. A longer name or size is written whole, then a
// space, and the description's first line starts that much further right.
inline constexpr std::size_t kNameField = 12;
inline constexpr std::size_t kNameColumns = kNameField + 1;
inline constexpr std::size_t kSizeField = 8;
inline constexpr std::size_t kSizeColumns = kSizeField + 1;

// The byte of the rules above and below an area's files (CP866 box drawing).
inline constexpr char kRuleByte = static_cast<char>(0xC4);

// The columns left for a description beside the name column and, for an
// entry with a size, the size column. A description gets none at 0 or less.
constexpr long description_width(long report_width, bool with_size) {
  return report_width - static_cast<long>(kNameColumns) -
         (with_size ? static_cast<long>(kSizeColumns) : 0);
}

// The narrowest report at which a description gets a column: 14, or 23 for
// an entry with a size.
constexpr long min_width_for_description(bool with_size) {
  return static_cast<long>(kNameColumns) + (with_size ? static_cast<long>(kSizeColumns) : 0) + 1;
}

// How far an entry reaches past its columns: the bytes of its name beyond 12
// and of its size text beyond 8. Its description's first line starts this
// many columns into the description's room.
constexpr std::size_t entry_excess(std::size_t name_bytes, std::size_t size_bytes) {
  return (name_bytes > kNameField ? name_bytes - kNameField : 0) +
         (size_bytes > kSizeField ? size_bytes - kSizeField : 0);
}

// An area's byte total: the sum of its entries' size values, modulo 2^64.
using ByteTotal = std::uint64_t;

// What a size text adds to the byte total: the number at its start (see
// decimal_value), whatever follows it.
ByteTotal size_value(std::string_view size);

// Writes the words of `text` up to its end or a NUL byte, each after one
// space, breaking the line (a line end and `indent` spaces) before a word
// that does not fit, with its space, into what is left of `available`
// columns; the first line starts at `first_column` of them, possibly beyond
// the last. A word longer than `available` is taken in pieces of that
// length. Writes nothing when `available` is 0 or less.
void wrap_words(std::string_view text, long available, long indent, std::size_t first_column,
                TextWriter& out);

}  // namespace movrek::layout
