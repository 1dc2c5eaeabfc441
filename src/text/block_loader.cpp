#include "text/block_loader.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace movrek {

namespace {

// The smallest page of the systems the program runs on; where pages are
// larger, some are touched more than once.
constexpr std::size_t kPage = 4096;
// Pages are touched a stretch at a time, ahead of the reads.
constexpr std::size_t kStretch = 64 * kPage;

}  // namespace

BlockLoader::BlockLoader(ByteSource& source, char* block, std::size_t size, std::size_t read_size)
    : source_(source),
      block_(block),
      size_(size),
      read_size_(read_size),
      bounce_(std::make_unique_for_overwrite<char[]>(read_size)) {
  try {
    helper_ = std::thread([this] { load(); });
    threaded_ = true;
  } catch (const std::system_error&) {
    // The caller makes the reads.
  }
}

BlockLoader::~BlockLoader() {
  stop_.store(true, std::memory_order_relaxed);
  if (helper_.joinable()) helper_.join();
}

bool BlockLoader::load_one() {
  const std::size_t filled = filled_.load(std::memory_order_relaxed);
  if (filled == size_) {
    signal_.publish([&] { state_.store(State::kFull, std::memory_order_release); });
    return false;
  }
  const std::size_t want = std::min(read_size_, size_ - filled);
  while (touched_ < filled + want) {
    const std::size_t end = std::min(size_, touched_ + kStretch);
    // One byte of each page; volatile, so that the writes are made.
    for (std::size_t page = touched_; page < end; page += kPage)
      static_cast<volatile char*>(block_)[page] = 0;
    touched_ = end;
  }
  long n = -1;
  try {
    n = source_.read(bounce_.get(), want);
  } catch (...) {
    failure_ = std::current_exception();
  }
  if (n <= 0) {
    const State end = n == 0 ? State::kEnd : State::kFailed;
    signal_.publish([&] { state_.store(end, std::memory_order_release); });
    return false;
  }
  std::memcpy(block_ + filled, bounce_.get(), static_cast<std::size_t>(n));
  signal_.publish(
      [&] { filled_.store(filled + static_cast<std::size_t>(n), std::memory_order_release); });
  return true;
}

void BlockLoader::load() {
  while (!stop_.load(std::memory_order_relaxed) && load_one()) {
  }
}

std::size_t BlockLoader::wait_beyond(std::size_t have, State& state) {
  const auto ready = [&] {
    return filled_.load(std::memory_order_acquire) > have ||
           state_.load(std::memory_order_acquire) != State::kLoading;
  };
  if (!threaded_) {
    if (!ready()) load_one();
  } else {
    signal_.wait(ready);
  }
  const std::size_t filled = filled_.load(std::memory_order_acquire);
  state = state_.load(std::memory_order_acquire);
  if (filled <= have && state == State::kFailed && failure_) std::rethrow_exception(failure_);
  return filled;
}

}  // namespace movrek
