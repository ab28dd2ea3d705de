// Hand-built stage files, straight from the stage file's layout and its header table.
#pragma once

#include <vector>

#include "type_bytes.h"

// The 99 header fields: size and first version.
inline const std::vector<cFieldSpec>& StageHeaderSpec() {
  static const std::vector<cFieldSpec> spec = [] {
    std::vector<cFieldSpec> s(99, cFieldSpec{4, 1, 0});
    auto since = [&](int from, int to, uint32_t v) {
      for (int p = from; p <= to; ++p) s[p - 1].since = v;
    };
    s[21 - 1].size = 8;
    for (int p = 89; p <= 93; ++p) s[p - 1].size = 8;
    since(25, 25, 166);
    since(26, 26, 199);
    since(30, 30, 183);
    since(31, 31, 184);
    since(32, 32, 968);
    since(34, 34, 225);
    since(37, 40, 200);
    since(43, 44, 155);
    since(49, 50, 200);
    since(51, 52, 155);
    since(53, 53, 200);
    since(57, 57, 200);
    since(61, 64, 200);
    since(67, 68, 155);
    since(71, 72, 200);
    since(73, 74, 155);
    return s;
  }();
  return spec;
}

struct cStageBytes {
  std::map<int, double> header;
  std::string name;
  std::vector<int32_t> totals = {1, 1, 1, 1, 1};
  int32_t totalsCount = -1;
  // the keep areas of a reset stage
  std::vector<std::vector<int32_t>> quads = {{0, 0, 0, 0, 0, 0, 0, 0},
                                             {0, 0, 0, 0, 0, 0, 0, 0},
                                             {0, 0, 0, 0, 0, 0, 0, 0},
                                             {1, 1, 1, 1, 0, 0, 0, 0},
                                             {1, 1, 1, 1, 10, 10, 10, 10}};
  std::vector<std::vector<uint8_t>> palBlocks, palCharas, palItems, blocks, charas, items, layers, texts;
  bool trailer = true;  // written from 173 when set
  int32_t trailerValue = 123456789;
};

// A keep area of the given version.
inline std::vector<uint8_t> QuadBody(uint32_t version, std::vector<int32_t> v = {0, 0, 0, 0, 0, 0, 0, 0}) {
  cByteBuilder b;
  if (version >= 125) {
    b.I32(8);
    for (int32_t x : v) b.I32(x);
  } else {
    b.I32(5).I32(v[0]).I32(v[4]).I32(v[5]).I32(v[6]).I32(v[7]);
  }
  b.I32(0);
  return b.Get();
}

inline std::vector<uint8_t> StageFile(uint32_t version, const cStageBytes& s) {
  cByteBuilder b;
  b.U32(version);
  std::vector<uint8_t> header = SettingsBody(StageHeaderSpec(), version, s.header);
  header.erase(header.end() - 4, header.end());
  b.Bytes(header).I32(1).Str(s.name);
  b.I32(s.totalsCount >= 0 ? s.totalsCount : static_cast<int32_t>(s.totals.size()));
  for (int32_t v : s.totals) b.I32(v);
  for (const auto& q : s.quads) b.Bytes(QuadBody(version, q));
  for (const auto* list : {&s.palBlocks, &s.palCharas, &s.palItems}) {
    b.I32(static_cast<int32_t>(list->size()));
    for (const auto& e : *list) b.Bytes(e);
  }
  for (const auto* list : {&s.blocks, &s.charas, &s.items}) {
    b.I32(static_cast<int32_t>(list->size()));
    for (const auto& e : *list) b.I32(0).Bytes(e);
  }
  for (const auto* list : {&s.layers, &s.texts}) {
    b.I32(static_cast<int32_t>(list->size()));
    for (const auto& e : *list) b.Bytes(e);
  }
  if (version >= 173 && s.trailer) b.I32(s.trailerValue);
  return b.Get();
}

// A background layer of the given version; field values by position.
inline std::vector<uint8_t> LayerBody(uint32_t version, std::map<int, double> f, const std::string& picture = "") {
  auto val = [&](int p, double d) {
    auto it = f.find(p);
    return it == f.end() ? d : it->second;
  };
  cByteBuilder fields;
  int n = 0;
  auto i32 = [&](int p, double d) {
    fields.I32(static_cast<int32_t>(val(p, d)));
    ++n;
  };
  auto f64 = [&](int p, double d) {
    fields.F64(val(p, d));
    ++n;
  };
  if (version >= 62) i32(1, 1);
  i32(2, 0);
  i32(3, 16);
  i32(4, 0);
  if (version <= 60) {
    i32(5, 0);
    i32(6, 0);
  } else {
    f64(5, 0.1);
    f64(6, 0.1);
    i32(7, 0);
    i32(8, 0);
    if (version >= 876) {
      f64(9, 0);
      f64(10, 0);
    }
    if (version >= 62) {
      f64(11, 0);
      f64(12, 0);
    } else {
      i32(11, 0);
      i32(12, 0);
    }
  }
  cByteBuilder b;
  b.I32(n).Bytes(fields.Get()).I32(1).Str(picture);
  return b.Get();
}

// The header, palette entries and keep areas of a new stage, as a reset stage writes them.
inline std::map<int, double> DefaultStageHeader() {
  std::map<int, double> h = {{13, 60}, {15, 200}, {16, 20}, {21, 0.4}, {22, 10}, {27, 1}, {30, 1}, {34, 1},  {35, 1},
                             {36, 1},  {49, 1},   {51, 1},  {71, 1},   {73, 1},  {85, 1}, {95, 1}, {96, 30}, {98, 30}};
  auto put = [&](int from, std::vector<int> values) {
    for (size_t i = 0; i < values.size(); ++i) h[from + static_cast<int>(i)] = values[i];
  };
  put(37, {16, 24, 16, 16, 16, 24, 16, 16, 12, 8, 16, 16});
  put(61, {16, 24, 16, 16, 12, 24, 12, 16, 30, 30});
  put(75, {28, 28, 16, 16, 16, 16, 16, 16, 16, 16});
  return h;
}
inline std::vector<uint8_t> DefaultBlockBytes(uint32_t v = 986) {
  cTypeBytes t;
  t.fields = {{13, -1}};
  t.inherit.assign(11, 0);
  return TypeBody('b', v, t);
}
inline std::vector<uint8_t> DefaultCharaBytes(uint32_t v = 986) {
  cTypeBytes t;
  t.fields = {{14, 1}, {17, 3}, {21, 1}, {26, 1}, {28, 1}, {31, 1}, {35, 1}, {39, 10}, {41, 10}, {49, 1}};
  t.inherit.assign(37, 0);
  return TypeBody('c', v, t);
}
inline std::vector<uint8_t> DefaultItemBytes(uint32_t v = 986) {
  cTypeBytes t;
  t.fields = {{8, 2}, {10, 6}, {14, 1}, {16, 1}};
  t.inherit.assign(13, 0);
  return TypeBody('i', v, t);
}
