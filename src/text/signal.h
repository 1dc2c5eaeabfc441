#pragma once

#include <condition_variable>
#include <mutex>

namespace movrek {

// Lets a thread wait for what another thread changes in the state they
// share. That state is held in atomics, so that a thread can test it without
// the lock and wait only when it must; every change that a thread may be
// waiting for is made through publish(), under the lock, so that no waiter
// can test the old state, miss the change and sleep on.
//
// Not C++20 atomic waits: some of the C++ libraries the program is built
// with can miss their wake-up where the system has no futex.
class Signal {
 public:
  // Makes `change` under the lock, then wakes every waiter.
  template <typename Change>
  void publish(Change&& change) {
    {
      const std::lock_guard lock(mutex_);
      change();
    }
    changed_.notify_all();
  }

  // Returns once `ready()` holds; tests it first without the lock.
  template <typename Ready>
  void wait(Ready&& ready) {
    if (ready()) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, ready);
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
};

}  // namespace movrek
