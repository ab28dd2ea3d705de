#pragma once
// The arithmetic and comparison helpers shared by the status operation, the status condition and
// the expression language (int, byte and 16-bit operations with their clamps, percentages,
// comparisons), and the reading of a character's position in the three coordinate systems. They
// live with the objects so that the conditions on characters can use them.
#include <cstdint>

class cCharaBase;
class cCond;

// Operations: 0 set, 1 add, 2 subtract, 3 multiply (a wrapped product of equal signs gives max,
// of different signs min), 4 divide (by 0: unchanged), 5 remainder (by 0: unchanged), 6 percent;
// then the clamp to [min, max].
void ApplyIntOp(int32_t& target, int32_t value, int op, int32_t min, int32_t max);
void ApplyByteOp(int8_t& target, int32_t value, int op, int32_t min, int32_t max);
void ApplyShortOp(int16_t& target, int32_t value, int op, int32_t min, int32_t max);
// PercentOf with a taken as a signed byte or a signed 16-bit value.
int32_t BytePercent(int32_t a, int32_t b);
int32_t ShortPercent(int32_t a, int32_t b);
// Clamp in place; the clamped value.
int8_t ClampByte(int8_t& v, int32_t lo, int32_t hi);
int16_t ClampShort(int16_t& v, int32_t lo, int32_t hi);
// Comparisons 0-7 of conditions on a signed byte or 16-bit value.
bool CompareByte(int32_t a, int32_t b, int comparison);
bool CompareShort(int32_t a, int32_t b, int comparison);
// The status condition's comparison of a with the condition's operand; in percent mode the operand
// is a percentage of maximum, clamped to [lo, hi].
bool CompareStatusValue(int32_t a, int32_t maximum, cCond& cond, int32_t lo, int32_t hi);
// A character's centre x in system 0 relative to the actor, 1 absolute, 2 screen; false without a
// character (or without an actor for system 0).
bool GetCharaX(int32_t& out, const cCharaBase* chara, int system, const cCharaBase* actor);
// The same for y; reference 1 ("キャラの中央下"), or 2 for a walking character, reads the foot point.
bool GetCharaY(int32_t& out, const cCharaBase* chara, int system, int reference, const cCharaBase* actor);
