#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "text/byte_io.h"

namespace movrek {

// Reads a byte source in the DOS text convention, whatever the host:
// - a CR byte is dropped and the byte after it is taken in its place without
//   being tested for CR (so CR LF reads as LF, and CR CR LF as CR LF);
// - a 0x1A byte ends the file; nothing after it is ever read;
// - the end of the file counts as reached only once a read found no more data
//   or met 0x1A: reading a last line that ends in a line feed does not reach it.
// The source is read in large blocks.
class TextReader {
 public:
  static constexpr std::size_t kBlockSize = 256 * 1024;

  explicit TextReader(ByteSource& source, std::size_t block_size = kBlockSize);

  // Reads one piece: bytes up to and including a line feed, or `limit` bytes,
  // or up to the end of the file, whichever comes first (a fixed-buffer line
  // read with a buffer of limit + 1 bytes). Returns false, with `piece` empty,
  // when not a single byte could be taken.
  bool read_piece(std::size_t limit, std::string& piece);

  // Reads one whole line of any length. `text` is the line without its line
  // feed; it stays valid until the next read. `scratch` holds the line when it
  // cannot be shown in place. Returns false when not a single byte could be taken.
  bool read_line(std::string_view& text, std::string& scratch);

  // True once a read found no more data or met 0x1A.
  bool eof() const { return eof_; }
  // True once the source reported a read error. Nothing more is read then,
  // and eof() stays false.
  bool failed() const { return failed_; }

 private:
  // The next byte of the file before the CR and 0x1A rules, or -1.
  int raw_byte();
  // The next byte after the CR and 0x1A rules, or -1.
  int next_byte();
  bool refill();

  ByteSource& source_;
  std::unique_ptr<char[]> buffer_;  // block_size_ bytes, never zero-filled
  std::size_t block_size_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
};

}  // namespace movrek
