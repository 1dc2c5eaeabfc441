#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace movrek {

// Takes the page faults of a fresh block of memory on a second thread, ahead
// of the thread that fills it. The first write to each page of fresh memory
// traps into the system, which then finds and clears a page for it; on the
// machines measured that costs more than reading the bytes into it. A helper
// that writes to every page in turn takes that cost off the reading thread.
class FaultAhead {
 public:
  // Starts touching block[0, size) on a second thread; when no thread can be
  // started, the block is left as it is.
  FaultAhead(char* block, std::size_t size);
  // Stops the thread, through or not.
  ~FaultAhead();
  FaultAhead(const FaultAhead&) = delete;
  FaultAhead& operator=(const FaultAhead&) = delete;

  // Returns once block[0, end) has been touched: from then on the caller may
  // write it, and the helper never does again.
  void wait_until(std::size_t end);

 private:
  void touch();

  char* block_;
  std::size_t size_;
  // block[0, touched_) is done. Read without the lock to skip waiting;
  // changed under it, so that a waiter never misses the change.
  std::atomic<std::size_t> touched_{0};
  std::atomic<bool> stop_{false};
  // Not atomic waits: some of the C++ libraries the program is built with
  // can miss their wake-up where the system has no futex.
  std::mutex mutex_;
  std::condition_variable advanced_;
  std::thread helper_;
};

}  // namespace movrek
