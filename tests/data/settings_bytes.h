// Hand-built bodies of the movement and shot settings, straight from their field tables: each
// field with its width and the first version that stores it.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "byte_builder.h"

struct cFieldSpec {
  int size;        // bytes per element
  int count;       // elements in the field
  uint32_t since;  // first version storing it (0: always)
};

// M1..M35 of the movement settings.
inline const std::vector<cFieldSpec>& EdMoveSpec() {
  static const std::vector<cFieldSpec> spec = {
      {1, 1, 0},   {1, 1, 0}, {2, 1, 0}, {2, 1, 0},   {1, 1, 158}, {1, 1, 0}, {1, 1, 0},   {2, 1, 0},  {2, 1, 0},
      {2, 1, 0},   {2, 1, 0}, {1, 1, 0}, {1, 1, 891}, {1, 1, 892}, {1, 1, 0}, {1, 1, 0},   {1, 1, 0},  {1, 1, 0},
      {1, 1, 0},   {1, 1, 0}, {1, 1, 0}, {1, 1, 162}, {1, 1, 0},   {2, 1, 0}, {2, 1, 0},   {2, 1, 0},  {2, 1, 0},
      {1, 1, 159}, {2, 1, 0}, {2, 1, 0}, {1, 1, 0},   {2, 1, 0},   {8, 1, 0}, {1, 1, 162}, {1, 1, 767}};
  return spec;
}

// S1..S64 of the shot settings.
inline const std::vector<cFieldSpec>& EdShotSpec() {
  static const std::vector<cFieldSpec> spec = {
      {1, 1, 0},   {1, 1, 0},   {2, 3, 0},   {1, 1, 671}, {1, 1, 0}, {1, 1, 0},   {1, 1, 767}, {2, 1, 0},     // S1-S8
      {2, 1, 0},   {1, 1, 158}, {2, 1, 0},   {1, 1, 0},   {1, 1, 0}, {2, 1, 0},   {2, 1, 0},   {2, 1, 0},     // S9-S16
      {2, 1, 0},   {1, 1, 0},   {1, 1, 0},   {2, 1, 0},   {1, 1, 0}, {1, 1, 0},   {1, 1, 0},   {1, 1, 0},     // S17-S24
      {1, 1, 0},   {1, 1, 0},   {1, 1, 0},   {1, 1, 0},   {2, 3, 0}, {1, 1, 767}, {1, 1, 211}, {2, 1, 0},     // S25-S32
      {2, 1, 0},   {1, 1, 213}, {2, 1, 213}, {2, 1, 213}, {2, 1, 0}, {1, 1, 0},   {2, 1, 0},   {1, 1, 0},     // S33-S40
      {1, 1, 0},   {2, 1, 0},   {2, 1, 0},   {1, 1, 0},   {1, 1, 0}, {1, 1, 636}, {1, 1, 0},   {1, 1, 0},     // S41-S48
      {4, 1, 0},   {2, 1, 0},   {1, 1, 0},   {2, 1, 0},   {1, 1, 0}, {2, 1, 0},   {1, 1, 0},   {1, 1, 0},     // S49-S56
      {1, 1, 197}, {1, 1, 0},   {2, 1, 0},   {1, 1, 0},   {1, 1, 0}, {1, 1, 0},   {1, 1, 762}, {1, 1, 762}};  // S57-S64
  return spec;
}

// A body of the given version: field n (1-based) takes values[n] (every element) or 0 when absent.
// A double field takes the value as a double.
inline std::vector<uint8_t> SettingsBody(const std::vector<cFieldSpec>& spec, uint32_t version,
                                         const std::map<int, double>& values) {
  cByteBuilder fields;
  int32_t n = 0;
  for (size_t i = 0; i < spec.size(); ++i) {
    const cFieldSpec& f = spec[i];
    if (version < f.since) continue;
    ++n;
    auto it = values.find(static_cast<int>(i + 1));
    double v = it == values.end() ? 0.0 : it->second;
    for (int e = 0; e < f.count; ++e) {
      switch (f.size) {
        case 1: fields.U8(static_cast<uint8_t>(static_cast<int8_t>(v))); break;
        case 2: fields.I16(static_cast<int16_t>(v)); break;
        case 4: fields.I32(static_cast<int32_t>(v)); break;
        case 8: fields.F64(v); break;
      }
    }
  }
  cByteBuilder body;
  body.I32(n).Bytes(fields.Get()).I32(0);
  return body.Get();
}
