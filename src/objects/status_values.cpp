#include "objects/status_values.h"

#include "core/numbers.h"
#include "data/cond.h"
#include "objects/chara_base.h"
#include "objects/stage_state.h"

namespace {

// 32-bit arithmetic that wraps as the game's integers always did, without the undefined behaviour
// of a signed overflow.
int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// The operation on a value held in T (int8, int16 or int32): the arithmetic runs in 32 bits and the
// result is stored into T, wrapping as the store into a narrower field does. A product whose stored
// sign contradicts the factors' signs has overflowed and becomes max (equal signs) or min.
template <class T>
T OperateOn(T target, int32_t value, int op, int32_t min, int32_t max) {
  const int32_t t = target;
  switch (op) {
    case 0: return static_cast<T>(value);
    case 1: return static_cast<T>(WrapAdd(t, value));
    case 2: return static_cast<T>(WrapSub(t, value));
    case 3: {
      const T product = static_cast<T>(WrapMul(t, value));
      const bool sameSigns = (t > 0 && value > 0) || (t < 0 && value < 0);
      const bool otherSigns = (t > 0 && value < 0) || (t < 0 && value > 0);
      if (sameSigns && product < 0) return static_cast<T>(max);
      if (otherSigns && product > 0) return static_cast<T>(min);
      return product;
    }
    case 4:
      if (value == 0) return target;
      // INT32_MIN / -1 does not fit: it wraps to INT32_MIN (the division would trap).
      if (value == -1) return static_cast<T>(WrapSub(0, t));
      return static_cast<T>(t / value);
    case 5:
      if (value == 0) return target;
      if (value == -1) return 0;
      return static_cast<T>(t % value);
    case 6: return static_cast<T>(PercentOf(t, value));
    default: return target;
  }
}

template <class T>
T ClampInto(T v, int32_t lo, int32_t hi) {
  if (v < lo) v = static_cast<T>(lo);
  if (v > hi) v = static_cast<T>(hi);
  return v;
}

// The graphic centre on screen: screen left (top) + half the graphic width (height).
int32_t ScreenCentreX(const cCharaBase& chara) { return chara.m_ScreenRect.left + chara.m_nGraphicWidth / 2; }
int32_t ScreenCentreY(const cCharaBase& chara) { return chara.m_ScreenRect.top + chara.m_nGraphicHeight / 2; }

// The scroll position rounded to a dot, as the absolute coordinates count it.
int32_t RoundedScroll(const cScrollAxis& axis) { return TruncToInt(axis.m_dPosition + 0.5); }

}  // namespace

void ApplyIntOp(int32_t& target, int32_t value, int op, int32_t min, int32_t max) {
  target = ClampInto(OperateOn(target, value, op, min, max), min, max);
}

void ApplyByteOp(int8_t& target, int32_t value, int op, int32_t min, int32_t max) {
  target = OperateOn(target, value, op, min, max);
  ClampByte(target, min, max);
}

void ApplyShortOp(int16_t& target, int32_t value, int op, int32_t min, int32_t max) {
  target = OperateOn(target, value, op, min, max);
  ClampShort(target, min, max);
}

int32_t BytePercent(int32_t a, int32_t b) { return PercentOf(static_cast<int8_t>(a), b); }

int32_t ShortPercent(int32_t a, int32_t b) { return PercentOf(static_cast<int16_t>(a), b); }

int8_t ClampByte(int8_t& v, int32_t lo, int32_t hi) { return v = ClampInto(v, lo, hi); }

int16_t ClampShort(int16_t& v, int32_t lo, int32_t hi) { return v = ClampInto(v, lo, hi); }

bool CompareByte(int32_t a, int32_t b, int comparison) {
  return CompareByOp(static_cast<int8_t>(a), b, comparison) != 0;
}

bool CompareShort(int32_t a, int32_t b, int comparison) {
  return CompareByOp(static_cast<int16_t>(a), b, comparison) != 0;
}

bool CompareStatusValue(int32_t a, int32_t maximum, cCond& cond, int32_t lo, int32_t hi) {
  // Only a percentage is brought into the value's range; a plain operand is compared as it is.
  const int32_t operand = cond.m_bPercent ? ClampInto(PercentOf(maximum, cond.m_nOperand), lo, hi) : cond.m_nOperand;
  return CompareByOp(a, operand, cond.m_nOperator) != 0;
}

bool GetCharaX(int32_t& out, const cCharaBase* chara, int system, const cCharaBase* actor) {
  if (!chara) return false;
  switch (system) {
    case 0:
      if (!actor) return false;
      out = ScreenCentreX(*chara) - ScreenCentreX(*actor);
      return true;
    case 1:
      if (!g_lpSceneStage) return false;
      out = RoundedScroll(g_lpSceneStage->m_ScrollX) + ScreenCentreX(*chara) - g_lpSceneStage->m_nBlockOriginX * 32;
      return true;
    case 2: out = ScreenCentreX(*chara); return true;
    default: return false;
  }
}

bool GetCharaY(int32_t& out, const cCharaBase* chara, int system, int reference, const cCharaBase* actor) {
  if (!chara) return false;
  // "キャラの中央下", or "歩行なら中央下、飛行なら中心" for a walking character: the foot point.
  const bool footPoint = reference == 1 || (reference == 2 && !chara->m_bGravityFree);
  const int32_t y = footPoint ? chara->m_ScreenRect.bottom - 15 : ScreenCentreY(*chara);
  switch (system) {
    case 0:
      if (!actor) return false;
      out = ScreenCentreY(*chara) - ScreenCentreY(*actor);
      return true;
    case 1:
      if (!g_lpSceneStage) return false;
      out = RoundedScroll(g_lpSceneStage->m_ScrollY) + y - g_lpSceneStage->m_nBlockOriginY * 32;
      return true;
    case 2: out = y; return true;
    default: return false;
  }
}
