#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "text/arena.h"
#include "text/block_loader.h"
#include "text/byte_io.h"

namespace movrek {

// Reads a byte source in the DOS text convention, whatever the host:
// - a CR byte is dropped and the byte after it is taken in its place without
//   being tested for CR (so CR LF reads as LF, and CR CR LF as CR LF);
// - a 0x1A byte ends the file; nothing after it is ever read;
// - the end of the file counts as reached only once a read found no more data
//   or met 0x1A: reading a last line that ends in a line feed does not reach it.
// The source is read in blocks of kBlockSize bytes: large enough to make a
// read cheap beside what is done with its bytes, small enough for the block
// and the system's copy of the file to share the processor's cache while the
// system copies it (the copy takes several times as long when they do not).
class TextReader {
 public:
  static constexpr std::size_t kBlockSize = 64 * 1024;

  explicit TextReader(ByteSource& source, std::size_t block_size = kBlockSize);
  // A reader that keeps what it reads: it puts it into blocks of `keep` and
  // never reuses a byte, so the views read_lines gives stay valid as long as
  // `keep` lives. A source that tells its size goes into one block of that
  // size, which a second thread fills ahead of the lines taken when it is
  // large (the reads are the same, in the same order); others, and a file
  // that grows, go into blocks of `block_size` or more. Each read goes to a
  // small buffer first, and from there into the block: the system copies
  // into a large block several times slower. A read that throws (memory
  // running out) throws from read_lines. REQUIRES: only read_lines reads.
  TextReader(ByteSource& source, Arena& keep, std::size_t block_size = kBlockSize);

  // Reads one piece: bytes up to and including a line feed, or `limit` bytes,
  // or up to the end of the file, whichever comes first (a fixed-buffer line
  // read with a buffer of limit + 1 bytes). Returns false, with `piece` empty,
  // when not a single byte could be taken.
  bool read_piece(std::size_t limit, std::string& piece);

  // Reads up to `count` whole lines of any length into `lines`, each without
  // its line feed, as many single-line reads would one after the other: it
  // stops early at the end of the file, and at a failed read, which drops the
  // line it cut short. Returns the number of lines taken. The views point into
  // the reader's buffer and stay valid until the next read (for a reader that
  // keeps, as long as its arena).
  std::size_t read_lines(std::size_t count, std::string_view* lines);
  // True when the lines of the last read_lines held a NUL byte.
  bool lines_held_nul() const { return held_nul_; }

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
  // Reads up to `want` bytes into `to`: their count, or 0 at the end of the
  // data or on a failed read, which set eof_ or failed_.
  std::size_t read_source(char* to, std::size_t want);
  // Reads more after the bytes from pos_ on, which are first moved to the
  // front of the buffer (doubled when they fill it), or for a reader that
  // keeps, to a new block when the current one is full; the first `count` of
  // `lines` are moved along. False at the end of the data or on a failed read.
  bool read_more(std::string_view* lines, std::size_t count);

  // A first block of this many times the block size is filled on a second
  // thread (see BlockLoader) ...
  static constexpr std::size_t kLoadAheadBlocks = 16;
  // ... when it is of at least this many bytes: starting a thread costs more
  // than the page faults of a small block.
  static constexpr std::size_t kLoadAheadBytes = std::size_t{1} << 20;

  ByteSource& source_;
  Arena* keep_ = nullptr;                // the blocks' owner, for a reader that keeps
  std::unique_ptr<BlockLoader> loader_;  // fills the first block of one that keeps
  std::unique_ptr<char[]> owned_;        // the buffer; for one that keeps, where reads go first
  char* buffer_;                         // capacity_ bytes, never zero-filled
  std::size_t block_size_;
  std::size_t capacity_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  bool held_nul_ = false;
};

}  // namespace movrek
