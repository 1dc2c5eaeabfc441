#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <memory>
#include <thread>

#include "text/byte_io.h"
#include "text/signal.h"

namespace movrek {

// Fills a fresh block of memory from a source on a second thread, ahead of
// the thread that reads what it holds. The first write to each page of
// fresh memory traps into the system, which then finds and clears a page
// for it; on the machines measured that costs more than reading the bytes
// into it. The loader takes those faults and makes the reads, one of
// `read_size` bytes at a time, in the order and of the sizes a reader of its
// own would make them, while the caller works on what is there.
//
// From the constructor on, the source is read by the loader's thread only,
// until the destructor returns.
class BlockLoader {
 public:
  enum class State { kLoading, kEnd, kFailed, kFull };

  // Starts filling block[0, size) from `source`. When no thread can be
  // started, each wait of the caller makes one read itself.
  BlockLoader(ByteSource& source, char* block, std::size_t size, std::size_t read_size);
  // Stops the thread, through or not, after the read it is making.
  ~BlockLoader();
  BlockLoader(const BlockLoader&) = delete;
  BlockLoader& operator=(const BlockLoader&) = delete;

  // Waits until more than `have` bytes are filled or the loader has ended;
  // returns the bytes filled and sets `state`. A read that threw throws here.
  // The bytes filled are the caller's to read from then on.
  std::size_t wait_beyond(std::size_t have, State& state);

 private:
  void load();
  // Makes one read into the block and publishes what it gave; false when
  // the loader has ended.
  bool load_one();

  // Set before the thread starts; read only.
  ByteSource& source_;
  char* const block_;
  const std::size_t size_;
  const std::size_t read_size_;
  bool threaded_ = false;

  // The loader's own (the caller's when there is no thread).
  std::unique_ptr<char[]> bounce_;  // where each read goes first
  std::size_t touched_ = 0;         // pages of block[0, touched_) are there

  // Shared. `filled_` and `state_` change through signal_, which the caller
  // waits on; `failure_` is set before state_ becomes kFailed and read only
  // after; `stop_` is the caller's word to the loader.
  std::atomic<std::size_t> filled_{0};
  std::atomic<State> state_{State::kLoading};
  std::exception_ptr failure_;
  std::atomic<bool> stop_{false};
  Signal signal_;

  std::thread helper_;
};

}  // namespace movrek
