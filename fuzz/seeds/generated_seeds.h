// Seed inputs that reach what mutating the checked-in corpora seldom does: layouts and upgrade steps
// of old file versions, each of which changes the size of a body, so that a byte flip or cut never
// turns one version's file into another's. Built from the file layouts with the byte builders of
// the data tests. The fuzz runs write them to disk (write_seeds.cpp); the data tests try them as
// they try the checked-in seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../../tests/data/stage_bytes.h"
#include "../../tests/data/world_map_bytes.h"

struct cGeneratedSeed {
  std::string name;
  std::vector<uint8_t> bytes;
};

namespace generated_seeds {

// A stage's background layers: a colour fill, and pictures scrolling by hand and automatically across,
// down, and both ways. What a version does not store is left out by LayerBody.
inline std::vector<std::vector<uint8_t>> BackLayers(uint32_t version) {
  return {
      LayerBody(version, {{2, 1}, {3, 40}}),
      LayerBody(version, {{4, 1}, {5, 0.5}, {6, 0.25}, {7, 1}, {9, 2.5}, {11, 12}}, "back1.bmp"),
      LayerBody(version, {{1, 0}, {4, 2}, {5, 2}, {6, 1.5}, {8, 1}, {10, -1}, {11, 16}, {12, 8}}, "back2.bmp"),
      LayerBody(version, {{4, 3}, {5, 1.25}, {6, 3}, {7, 1}, {8, 1}, {9, 0.5}, {10, 0.75}}, "back3.bmp"),
  };
}

inline std::vector<uint8_t> TextBody(const std::string& text) {
  cByteBuilder b;
  b.I32(0).I32(1).Str(text);
  return b.Get();
}

// A stage of the given version with its palette, a placed hero, layers and texts.
inline std::vector<uint8_t> Stage(uint32_t version) {
  cStageBytes s;
  s.name = "seed";
  s.header = {{1, 40}, {4, 30}, {9, 3}, {10, 30}, {13, 60}, {15, 300}, {17, 1}, {19, 5}, {21, 0.4}, {22, 10}, {24, 1}};
  cTypeBytes block, chara, item;
  block.name = "block";
  block.fields = {{1, 1}, {2, 3}};
  chara.name = "hero";
  chara.fields = {{1, 1}, {13, 1}};
  item.name = "item";
  item.fields = {{1, 1}};
  s.palBlocks = {TypeBody('b', version, {}), TypeBody('b', version, block)};
  s.palCharas = {TypeBody('c', version, {}), TypeBody('c', version, chara)};
  s.palItems = {TypeBody('i', version, {}), TypeBody('i', version, item)};
  block.cellX = 3;
  block.cellY = 28;
  chara.cellX = 2;
  chara.cellY = 27;
  item.cellX = 6;
  item.cellY = 27;
  s.blocks = {TypeBody('b', version, block)};
  s.charas = {TypeBody('c', version, chara)};
  s.items = {TypeBody('i', version, item)};
  s.layers = BackLayers(version);
  s.texts = {TextBody("first"), TextBody(""), TextBody("third\r\nline")};
  return StageFile(version, s);
}

// Database files: the first byte picks the file (its place in the load order), as the fuzz target reads it.
enum : uint8_t {
  kAnimeSet = 0,
  kAnime,
  kBmpCharaExc,
  kSwordType,
  kEffect,
  kCharaEffect,
  kScrEffect,
  kPicture,
  kSound,
  kBgm
};

inline cByteBuilder DatabaseFile(uint8_t which, uint32_t version, int32_t count) {
  cByteBuilder b;
  b.U8(which).U32(version).I32(count);
  return b;
}

// Setting S is stored from 151.
inline cByteBuilder& SettingS(cByteBuilder& b, uint32_t version, int32_t others) {
  b.I32((version >= 151 ? 1 : 0) + others);
  if (version >= 151) b.I32(7);
  return b;
}

inline void AnimeBody(cByteBuilder& b, uint32_t version, const std::string& name, int frames) {
  if (version >= 55)
    b.I32(3).I16(2).U8(0).I16(-1);
  else
    b.I32(0);
  b.I32(1).Str(name).I32(frames);
  for (int i = 0; i < frames; ++i) b.I32(3).I32s({i, 2, i == frames - 1 ? 1 : 0}).I32(0);
}

// Sword types of the given version: entries hold 8 fields before 138, 10 from it.
inline std::vector<uint8_t> SwordTypes(uint32_t version, int32_t count) {
  cByteBuilder b = DatabaseFile(kSwordType, version, count);
  for (int32_t t = 0; t < count; ++t) {
    SettingS(b, version, 0).I32(3).Str("sword" + std::to_string(t)).Str("").Str("sword.bmp");
    const int entries = 1 + t % 3;
    b.I32(entries);
    for (int e = 0; e < entries; ++e) {
      const int fields = version >= 138 ? 10 : 8;
      b.I32(fields);
      for (int f = 0; f < fields; ++f) b.I32(t + e + f);
      b.I32(0);
    }
  }
  return b.Get();
}

inline std::vector<uint8_t> AnimeSets(uint32_t version, int animes) {
  cByteBuilder b = DatabaseFile(kAnimeSet, version, 2);
  for (int s = 0; s < 2; ++s) {
    b.I32(version >= 119 ? 3 : 2).I32s({4, 8});
    if (version >= 119) b.I32(12);
    b.I32(1).Str("set").I32(animes);
    for (int a = 0; a < animes; ++a) AnimeBody(b, version, "anime" + std::to_string(a), 1 + a % 2);
  }
  return b.Get();
}

inline std::vector<uint8_t> Animes(uint32_t version) {
  cByteBuilder b = DatabaseFile(kAnime, version, 3);
  for (int a = 0; a < 3; ++a) AnimeBody(b, version, "anime", a);
  return b.Get();
}

inline std::vector<uint8_t> CharaBitmaps(uint32_t version) {
  cByteBuilder b = DatabaseFile(kBmpCharaExc, version, 2);
  for (int i = 0; i < 2; ++i) {
    b.I32((version >= 152 ? 1 : 0) + (version >= 172 ? 2 : 0));
    if (version >= 152) b.I32(5);
    if (version >= 172) b.I32s({1, 3});
    b.I32(2).Str("bitmap").Str("chara.bmp");
  }
  return b.Get();
}

inline std::vector<uint8_t> Effects(uint32_t version) {
  cByteBuilder b = DatabaseFile(kEffect, version, 2);
  for (int i = 0; i < 2; ++i) {
    SettingS(b, version, 3).I32s({48, 16, i}).I32(2).Str("effect").Str("effect.bmp");
    b.I32(2).I32(2).I32s({0, 1}).I32(0).I32(2).I32s({1, 3}).I32(0);
  }
  return b.Get();
}

// Character or screen effects of every kind, whose parameters 4 and 5 older files lack.
inline std::vector<uint8_t> KindEffects(uint8_t which, uint32_t version) {
  cByteBuilder b = DatabaseFile(which, version, 17);
  for (int32_t kind = 0; kind <= 16; ++kind) b.I32(2).I32(kind).I32s({10, 0, 32, 7, 9}).I32(1).Str("kind");
  return b.Get();
}

inline std::vector<uint8_t> NamedFiles(uint8_t which, uint32_t version) {
  cByteBuilder b = DatabaseFile(which, version, 3);
  for (int i = 0; i < 3; ++i) SettingS(b, version, 0).I32(2).Str("name").Str("file.dat");
  return b.Get();
}

inline std::vector<uint8_t> Music(uint32_t version) {
  cByteBuilder b = DatabaseFile(kBgm, version, 3);
  for (int i = 0; i < 3; ++i) {
    SettingS(b, version, version >= 814 ? 1 : 0);
    if (version >= 814) b.I32(80);
    b.I32(2).Str("music").Str("music.mid");
  }
  return b.Get();
}

// A world map with places whose offers carry the fields of the version.
inline std::vector<uint8_t> WorldMap(uint32_t version) {
  cWorldMapBytes m;
  m.width = 12;
  m.height = 9;
  m.shift = 4;
  m.pitch = 16;
  m.startX = 2;
  m.startY = 3;
  m.grid.assign(9 * 16, 0);
  for (size_t i = 0; i < m.grid.size(); ++i) m.grid[i] = static_cast<int32_t>(i % 11);  // 10 is no entry
  cWorldEntryBytes stage, variation, other;
  stage.stage = "c01-1.stg4";
  stage.flag = 2;
  stage.minTotal = 5;
  variation.stage = "c02-1.stg4";
  variation.variable = 3;
  variation.value = 4;
  variation.compare = 6;
  variation.variation = 1;
  variation.key1 = 2;
  other.kind = 1;
  m.places = {{1, 1, {stage, variation}}, {11, 8, {other, stage}}, {12, 2, {stage}}};
  return WorldMapFile(version, m);
}

}  // namespace generated_seeds

// The generated seeds of one fuzz target's corpus ("stage", "database", "world_map"; no others).
inline std::vector<cGeneratedSeed> GeneratedSeeds(const std::string& corpus) {
  using namespace generated_seeds;
  std::vector<cGeneratedSeed> seeds;
  if (corpus == "stage") {
    // Layers without the shown switch (60, 61) and with stored scroll values of 4 bytes; the
    // auto-scroll conversion (below 876); the gates of the header and of the text list.
    for (uint32_t v : {60u, 61u, 62u, 124u, 224u, 753u, 875u, 876u, 967u})
      seeds.push_back({"layers_" + std::to_string(v), Stage(v)});
  } else if (corpus == "database") {
    // Old sword-type lists over 128 entries are cut to 128 (below 828).
    seeds.push_back({"SwordType_827_130", SwordTypes(827, 130)});
    seeds.push_back({"SwordType_828_130", SwordTypes(828, 130)});
    seeds.push_back({"SwordType_137", SwordTypes(137, 3)});
    seeds.push_back({"SwordType_152", SwordTypes(152, 3)});
    seeds.push_back({"AnimeSet_118", AnimeSets(118, 2)});
    seeds.push_back({"AnimeSet_127", AnimeSets(127, 6)});
    seeds.push_back({"Anime_54", Animes(54)});
    seeds.push_back({"Bmp_CharaExc_152", CharaBitmaps(152)});
    seeds.push_back({"Bmp_CharaExc_171", CharaBitmaps(171)});
    seeds.push_back({"Effect_150", Effects(150)});
    seeds.push_back({"CharaEffect_510", KindEffects(kCharaEffect, 510)});
    seeds.push_back({"ScrEffect_510", KindEffects(kScrEffect, 510)});
    seeds.push_back({"Picture_150", NamedFiles(kPicture, 150)});
    seeds.push_back({"Sound_152", NamedFiles(kSound, 152)});
    seeds.push_back({"Bgm_813", Music(813)});
  } else if (corpus == "world_map") {
    for (uint32_t v : {208u, 757u, 811u, 986u}) seeds.push_back({"places_" + std::to_string(v), WorldMap(v)});
  }
  return seeds;
}
