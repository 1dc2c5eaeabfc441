#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace movrek {

// Keeps copies of texts for the rest of the run in large blocks, so that a
// million small texts cost a few hundred allocations. Nothing is freed before
// the arena is. Blocks start small and double up to kBlockSize, so that an
// arena that keeps little costs little.
class Arena {
 public:
  static constexpr std::size_t kBlockSize = 1 << 20;
  static constexpr std::size_t kFirstBlockSize = 4096;

  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  // Returns a stable copy of `text`.
  std::string_view copy(std::string_view text);
  // Returns room for n bytes, aligned for any character data.
  char* allocate(std::size_t n);

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;
  std::size_t left_ = 0;
  std::size_t next_block_size_ = kFirstBlockSize;
};

}  // namespace movrek
