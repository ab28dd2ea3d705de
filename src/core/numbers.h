#pragma once
// Numeric building blocks shared by object physics, flow conditions, status operations and the
// expression language: rectangles, comparison by operator code, percentages, random ranges and the
// random generator whose exact sequence replays depend on.
#include <cstdint>

// A rectangle of doubles in dots, edges inclusive.
struct cDblRect {
  double left = 0, top = 0, right = 0, bottom = 0;
};
void AssignDblRect(cDblRect& dst, const cDblRect& src);

// A rectangle with the extra values its owners (the character base and the character push-out)
// keep beside it; they give the extra members their meaning.
struct cDblRectEx : cDblRect {
  double dExtraA = 0, dExtraB = 0;
  int32_t nExtra = 0;
  double dExtraC = 0;
};

struct cIntRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
void AssignIntRect(cIntRect& dst, const cIntRect& src);

// A double truncated toward zero into int32, as the game turns positions into dots and cells.
// Values beyond the int32 range saturate and NaN gives 0: no stage position comes near them, and
// broken data must not reach an undefined conversion.
inline int32_t TruncToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}

inline constexpr double g_dSqrt2 = 1.4142135623730951;
inline constexpr double g_dHalfSqrt2 = 0.7071067811865476;

// True when the rectangles share at least one point (touching edges overlap).
bool IsOverlapRect(const cDblRect& a, const cDblRect& b);

// Operator codes of conditions: 0 a = b, 1 a != b, 2 a >= b, 3 a <= b, 4 a > b, 5 a < b,
// 6 |a| is a multiple of b (true for b = 0), 7 |a| is not a multiple of b (false for b = 0);
// any other code gives 0.
int CompareByOp(int32_t a, int32_t b, int op);

// a x b percent: the int32 product (wrapping as 32-bit arithmetic does) times 0.01, rounded half
// away from zero.
int32_t PercentOf(int32_t a, int32_t b);

// A random integer between the two bounds inclusive, in either order: lo + QcRand() % (hi - lo + 1)
// in 32-bit arithmetic. One generator value is drawn per call, so a range wider than 32768 values only
// reaches its lowest 32768 values; a range wider than int32 wraps its divisor as 32-bit arithmetic
// does (the full range takes the draw as it is).
int32_t RandRange(int32_t a, int32_t b);

// The program's random generator: state = state x 214013 + 2531011 (mod 2^32), result bits 16-30
// of the state (0-32767). One state per thread, starting at 1 on every thread until seeded.
int QcRand();
void QcSrand(uint32_t seed);
// The calling thread's generator state (what a replay trace reports).
uint32_t QcRandState();
