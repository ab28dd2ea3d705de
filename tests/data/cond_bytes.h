// Hand-built bodies of conditions, straight from their field table.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_builder.h"

// Packed builders are laid out by hand, one field group a line.
// clang-format off
// Field values of a condition, written in the layout of a given version straight from the table.
struct CondFields {
  int8_t kind = 0;
  int32_t operand = 0, randLow = 0, randHigh = 0;
  int8_t leftWhose = 0, leftWhich = 0, leftSource = 0, leftVarKind = 0;
  int16_t varIndex = 0;
  int8_t leftFlowVar = 0, rightSource = 0, rightWhose = 0, rightWhich = 0, rightVarKind = 0;
  int16_t rightVarIndex = 0;
  int8_t rightFlowVar = 0, op = 0, percent = 0, le1 = 0, re1 = 0, le2 = 0, re2 = 0, shape = 0;
  int16_t oldA = 0, oldB = 0;  // versions below 110
};

inline std::vector<uint8_t> CondBody(uint32_t v, const CondFields& f) {
  cByteBuilder fields;
  int n = 0;
  auto i8 = [&](int8_t x) { fields.U8(static_cast<uint8_t>(x)); ++n; };
  auto i16 = [&](int16_t x) { fields.I16(x); ++n; };
  auto i32 = [&](int32_t x) { fields.I32(x); ++n; };
  i8(f.kind);
  i32(f.operand);
  if (v >= 110) {
    i32(f.randLow); i32(f.randHigh); i8(f.leftWhose); i8(f.leftWhich); i8(f.leftSource); i8(f.leftVarKind);
    i16(f.varIndex);
    if (v >= 973) i8(f.leftFlowVar);
    i8(f.rightSource); i8(f.rightWhose); i8(f.rightWhich); i8(f.rightVarKind); i16(f.rightVarIndex);
    if (v >= 970) i8(f.rightFlowVar);
  } else {
    i16(f.oldA); i16(f.oldB);
  }
  i8(f.op);
  if (v >= 43) i8(f.percent);
  if (v >= 883) { i8(f.le1); i8(f.re1); }
  if (v >= 893) { i8(f.le2); i8(f.re2); }
  i8(f.shape);
  cByteBuilder body;
  body.I32(n).Bytes(fields.Get()).I32(0);
  return body.Get();
}
// clang-format on
