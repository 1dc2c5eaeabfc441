#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "text/byte_io.h"

namespace movrek {

// Fills a fresh block of memory from a source on a second thread, ahead of
// the thread that reads what it holds. The first write to each page of
// fresh memory traps into the system, which then finds and clears a page
// for it; on the machines measured that costs more than reading the bytes
// into it. The loader takes those faults and makes the reads, one block of
// `read_size` at a time, in the order and of the sizes a reader of its own
// would make them, while the caller works on what is there.
class BlockLoader {
 public:
  enum class State { kLoading, kEnd, kFailed, kFull };

  // Starts filling block[0, size) from `source`; when no thread can be
  // started, the caller's first wait makes every read itself.
  BlockLoader(ByteSource& source, char* block, std::size_t size, std::size_t read_size);
  // Stops the thread, through or not, after the read it is making.
  ~BlockLoader();
  BlockLoader(const BlockLoader&) = delete;
  BlockLoader& operator=(const BlockLoader&) = delete;

  // Waits until more than `have` bytes are filled or the loader has ended;
  // returns the bytes filled and sets `state`. A read that threw throws here.
  std::size_t wait_beyond(std::size_t have, State& state);

 private:
  void load();
  // One read into the block, or false when the loader ends.
  bool load_one(char* bounce);

  ByteSource& source_;
  char* block_;
  std::size_t size_;
  std::size_t read_size_;
  std::unique_ptr<char[]> bounce_;
  std::size_t touched_ = 0;  // pages of block[0, touched_) are there; loader only
  // What the caller waits for, changed under the lock. Not atomic waits:
  // some of the C++ libraries the program is built with can miss their
  // wake-up where the system has no futex.
  std::atomic<std::size_t> filled_{0};
  std::atomic<State> state_{State::kLoading};
  std::exception_ptr failure_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable advanced_;
  std::thread helper_;
  bool threaded_ = false;
};

}  // namespace movrek
