#include "core/numbers.h"

namespace {
thread_local uint32_t t_randState = 1;
}  // namespace

void AssignDblRect(cDblRect& dst, const cDblRect& src) {
  dst.left = src.left;
  dst.top = src.top;
  dst.right = src.right;
  dst.bottom = src.bottom;
}

void AssignIntRect(cIntRect& dst, const cIntRect& src) {
  dst.left = src.left;
  dst.top = src.top;
  dst.right = src.right;
  dst.bottom = src.bottom;
}

bool IsOverlapRect(const cDblRect& a, const cDblRect& b) {
  return a.left <= b.right && a.right >= b.left && a.top <= b.bottom && a.bottom >= b.top;
}

int CompareByOp(int32_t a, int32_t b, int op) {
  // 64-bit so that |INT32_MIN| and INT32_MIN % -1 are defined; divisibility does not depend on the
  // signs, so the answers are those of 32-bit arithmetic.
  const int64_t absA = a < 0 ? -static_cast<int64_t>(a) : a;
  switch (op) {
    case 0: return a == b;
    case 1: return a != b;
    case 2: return a >= b;
    case 3: return a <= b;
    case 4: return a > b;
    case 5: return a < b;
    case 6: return b == 0 || absA % b == 0;
    case 7: return b != 0 && absA % b != 0;
    default: return 0;
  }
}

int32_t PercentOf(int32_t a, int32_t b) {
  // The product wraps to 32 bits as the original arithmetic did (unsigned multiplication is defined;
  // the conversion back is modular).
  const int32_t product = static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
  double value = product * 0.01;
  value = value > 0 ? value + 0.5 : value < 0 ? value - 0.5 : value;
  return static_cast<int32_t>(value);  // |value| <= 2^31 / 100 + 1: always in range
}

int32_t RandRange(int32_t a, int32_t b) {
  const int32_t lo = a < b ? a : b;
  const int32_t hi = a < b ? b : a;
  // hi - lo + 1 in 32-bit arithmetic: a range wider than int32 wraps as it always did (to a negative
  // divisor, or to 0 for the full range, where the division would fail: every draw is then taken).
  const int32_t span = static_cast<int32_t>(static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo) + 1u);
  const int32_t draw = QcRand();
  const int32_t offset = span == 0 ? draw : draw % span;  // draw >= 0, so never INT_MIN % -1
  return static_cast<int32_t>(static_cast<uint32_t>(lo) + static_cast<uint32_t>(offset));
}

int QcRand() {
  t_randState = t_randState * 214013u + 2531011u;
  return static_cast<int>((t_randState >> 16) & 0x7FFF);
}

void QcSrand(uint32_t seed) { t_randState = seed; }

uint32_t QcRandState() { return t_randState; }
