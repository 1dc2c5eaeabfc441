#include "text/arena.h"

#include <algorithm>
#include <cstring>

namespace movrek {

char* Arena::allocate(std::size_t n) {
  if (n > left_) {
    // Large texts get a block of their own, so the current block is not wasted.
    if (n > kBlockSize / 4) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(n));
      return blocks_.back().get();
    }
    const std::size_t size = std::max(n, next_block_size_);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    next_ = blocks_.back().get();
    left_ = size;
    next_block_size_ = std::min(2 * next_block_size_, kBlockSize);
  }
  char* p = next_;
  next_ += n;
  left_ -= n;
  return p;
}

std::string_view Arena::copy(std::string_view text) {
  if (text.empty()) return std::string_view("", 0);
  char* p = allocate(text.size());
  std::memcpy(p, text.data(), text.size());
  return std::string_view(p, text.size());
}

}  // namespace movrek
