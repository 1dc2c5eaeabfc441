#include "text/fault_ahead.h"

#include <algorithm>
#include <system_error>

namespace movrek {

namespace {

// The smallest page of the systems the program runs on; where pages are
// larger, some are touched more than once.
constexpr std::size_t kPage = 4096;
// Pages are touched, and waited for, a stretch at a time.
constexpr std::size_t kStretch = 64 * kPage;

}  // namespace

FaultAhead::FaultAhead(char* block, std::size_t size) : block_(block), size_(size) {
  try {
    helper_ = std::thread([this] { touch(); });
  } catch (const std::system_error&) {
    touched_ = size_;  // nothing to wait for
  }
}

FaultAhead::~FaultAhead() {
  stop_.store(true, std::memory_order_relaxed);
  if (helper_.joinable()) helper_.join();
}

void FaultAhead::touch() {
  for (std::size_t at = 0; at < size_ && !stop_.load(std::memory_order_relaxed);) {
    const std::size_t end = std::min(size_, at + kStretch);
    // One byte of each page; volatile, so that the writes are made.
    for (std::size_t page = at; page < end; page += kPage)
      static_cast<volatile char*>(block_)[page] = 0;
    at = end;
    {
      const std::lock_guard lock(mutex_);
      touched_.store(at, std::memory_order_release);
    }
    advanced_.notify_all();
  }
}

void FaultAhead::wait_until(std::size_t end) {
  end = std::min(end, size_);
  if (touched_.load(std::memory_order_acquire) >= end) return;
  std::unique_lock lock(mutex_);
  advanced_.wait(lock, [&] { return touched_.load(std::memory_order_acquire) >= end; });
}

}  // namespace movrek
