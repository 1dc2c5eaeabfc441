#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Looks at sixteen bytes of a text at a time through the compiler's vector
// types (one or two instructions a step on the common processors, plain code
// elsewhere): which of them are below a bound or equal to a byte.
namespace movrek {

// One mark per byte, exact, in the order of the bytes.
class ByteMarks {
 public:
  bool any() const { return (half_[0] | half_[1]) != 0; }
  // The offset of the first marked byte. REQUIRES: any().
  std::size_t first() const {
    const int half = half_[0] != 0 ? 0 : 1;
    const int bits = std::endian::native == std::endian::little ? std::countr_zero(half_[half])
                                                                : std::countl_zero(half_[half]);
    return static_cast<std::size_t>(8 * half + bits / 8);
  }
  ByteMarks operator|(const ByteMarks& o) const {
    return ByteMarks(half_[0] | o.half_[0], half_[1] | o.half_[1]);
  }
  ByteMarks operator&(const ByteMarks& o) const {
    return ByteMarks(half_[0] & o.half_[0], half_[1] & o.half_[1]);
  }

 private:
  friend class Bytes16;
  ByteMarks(std::uint64_t low, std::uint64_t high) : half_{low, high} {}
  std::uint64_t half_[2];
};

class Bytes16 {
 public:
  static constexpr std::size_t kSize = 16;

  // The sixteen bytes from `p` on, which must all be readable.
  explicit Bytes16(const char* p) { std::memcpy(&bytes_, p, kSize); }

  ByteMarks below(unsigned char bound) const { return marks(bytes_ < bound); }
  ByteMarks equal(unsigned char c) const { return marks(bytes_ == c); }

 private:
  using Vector = unsigned char __attribute__((vector_size(16)));
  template <typename Lanes>
  static ByteMarks marks(Lanes lanes) {
    std::uint64_t half[2];
    std::memcpy(half, &lanes, sizeof half);
    return ByteMarks(half[0], half[1]);
  }
  Vector bytes_;
};

}  // namespace movrek
