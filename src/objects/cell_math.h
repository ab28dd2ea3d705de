#pragma once
// Arithmetic on cell sizes and counts that come from game data: a division (or remainder) by a count
// that data can make 0 leaves the value unchanged instead of stopping the game, and products that
// may leave the int range are worked in 64 bits and held at its ends.
#include <algorithm>
#include <cstdint>

inline int64_t DivOrKeep(int64_t value, int64_t divisor) { return divisor == 0 ? value : value / divisor; }
inline int64_t ModOrKeep(int64_t value, int64_t divisor) { return divisor == 0 ? value : value % divisor; }
// Rounded up, for positive divisors; a 0 divisor leaves the value unchanged.
inline int64_t CeilDivOrKeep(int64_t value, int64_t divisor) {
  if (divisor == 0) return value;
  const int64_t q = value / divisor;
  return q * divisor != value && (value < 0) == (divisor < 0) ? q + 1 : q;
}
inline int32_t SaturateToInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The offsets of a width x height hit box in the 32-dot cell of its graphic: centred across, and on
// the cell's bottom edge or centred down. The sizes come from the stage's header, which a damaged file
// can fill with anything.
inline void HitBoxOffsetsInCell(int32_t width, int32_t height, bool onBottom, int32_t& x, int32_t& y) {
  x = SaturateToInt((32 - int64_t{width}) >> 1);
  y = SaturateToInt(onBottom ? 32 - int64_t{height} : (32 - int64_t{height}) >> 1);
}
