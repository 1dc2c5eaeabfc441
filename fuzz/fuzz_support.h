#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Helpers shared by the fuzz targets.
namespace movrek::fuzz {

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Stops the run with a message: a broken invariant is a finding like a crash.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// The chunk sizes a reader is fed with besides the whole input at once: byte
// by byte and in odd pieces, so that no block boundary changes a result.
inline constexpr std::size_t kChunks[] = {1, 7};

}  // namespace movrek::fuzz
