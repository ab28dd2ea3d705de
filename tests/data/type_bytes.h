// Hand-built bodies of block, character and item types, straight from their field tables.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings_bytes.h"

inline const std::vector<cFieldSpec>& BlockTypeSpec() {
  static const std::vector<cFieldSpec> spec = {{1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0},
                                               {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0},
                                               {1, 1, 0}, {1, 1, 0}, {4, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0}};
  return spec;
}

inline const std::vector<cFieldSpec>& ItemTypeSpec() {
  static const std::vector<cFieldSpec> spec = {{1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, 0},
                                               {2, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0},
                                               {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}};
  return spec;
}

inline const std::vector<cFieldSpec>& CharaTypeSpec() {
  static const std::vector<cFieldSpec> spec = {
      {1, 1, 0},   {2, 1, 0},   {1, 1, 0}, {1, 1, 0},   {1, 1, 0}, {1, 1, 0},   {2, 1, 0},   {2, 1, 0},  // 1-8
      {2, 1, 0},   {2, 1, 0},   {1, 1, 0}, {1, 1, 0},   {2, 1, 0}, {1, 1, 0},   {2, 1, 0},   {2, 1, 0},  // 9-16
      {1, 1, 0},   {1, 1, 0},   {2, 1, 0}, {1, 1, 196}, {1, 1, 0}, {2, 1, 0},   {1, 1, 196}, {1, 1, 0},  // 17-24
      {2, 1, 0},   {1, 1, 0},   {1, 1, 0}, {1, 1, 0},   {1, 1, 0}, {1, 1, 0},   {1, 1, 0},   {1, 1, 0},  // 25-32
      {1, 1, 285}, {1, 1, 0},   {1, 1, 0}, {1, 1, 210}, {1, 1, 0}, {1, 1, 0},   {4, 1, 0},   {4, 1, 0},  // 33-40
      {2, 1, 0},   {1, 1, 201}, {4, 1, 0}, {1, 1, 0},   {2, 1, 0}, {4, 1, 168}, {1, 1, 0},   {4, 1, 0},  // 41-48
      {1, 1, 0},   {1, 1, 0},   {2, 1, 0}, {1, 1, 0},   {1, 1, 0}};                                      // 49-53
  return spec;
}

struct cTypeBytes {
  std::map<int, double> fields;  // by position, 1-based
  std::string name;
  int16_t cellX = 0, cellY = 0;
  int32_t cellValue = 0;  // character types only: a placement's carried item (-1 none)
  std::vector<uint8_t> inherit;
  int32_t inheritCount = -1;  // -1: the size of inherit
  std::vector<std::vector<uint8_t>> conds;
  std::vector<std::vector<uint8_t>> tail;  // flows (characters) or commands (items); blocks: none
};

// kind: 'b' block, 'c' character, 'i' item.
inline std::vector<uint8_t> TypeBody(char kind, uint32_t version, const cTypeBytes& t) {
  const auto& spec = kind == 'b' ? BlockTypeSpec() : kind == 'c' ? CharaTypeSpec() : ItemTypeSpec();
  std::vector<uint8_t> body = SettingsBody(spec, version, t.fields);
  body.erase(body.end() - 4, body.end());  // replace the empty string table by the name
  cByteBuilder b;
  b.Bytes(body).I32(1).Str(t.name).I16(t.cellX).I16(t.cellY);
  if (kind == 'c') b.I32(t.cellValue);
  b.I32(t.inheritCount >= 0 ? t.inheritCount : static_cast<int32_t>(t.inherit.size())).Bytes(t.inherit);
  b.I32(static_cast<int32_t>(t.conds.size()));
  for (const auto& c : t.conds) b.Bytes(c);
  if (kind != 'b') {
    b.I32(static_cast<int32_t>(t.tail.size()));
    for (const auto& e : t.tail) b.Bytes(e);
  }
  return b.Get();
}
