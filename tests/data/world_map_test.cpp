#include "data/world_map.h"

#include "game_data_fixture.h"

class WorldMapTest : public GameDataTest {
 protected:
  struct EntryBytes {
    int32_t kind = 0, flag = 0, variable = 0, value = 0, compare = 0, minTotal = 0, variation = 0, key1 = 1, key2 = 0;
    std::string stage;
  };
  static void Entry(cByteBuilder& b, uint32_t v, const EntryBytes& e) {
    b.I32(v >= 758   ? 14
          : v >= 209 ? 11
                     : 10)
        .I32(e.kind)
        .I32s({0, 0, 0, 0, 0})
        .I32s({e.flag, e.variable, e.value, e.compare});
    if (v >= 209) b.I32(e.minTotal);
    if (v >= 758) b.I32s({e.variation, e.key1, e.key2});
    b.I32(2).Str("").Str(e.stage);
  }
  struct MapBytes {
    int32_t width = 20, height = 15, pitch = 32, shift = 5, startX = 9, startY = 7;
    int mapEntries = 10;
    std::vector<int32_t> grid;  // empty: height x pitch zeros
    int32_t gridCount = -1;
    std::vector<std::tuple<int32_t, int32_t, std::vector<EntryBytes>>> places;
  };
  static std::vector<uint8_t> MapFile(uint32_t v, MapBytes m) {
    cByteBuilder b;
    b.U32(v).I32(8).I32s({m.width, m.height, m.pitch, m.shift, m.startX, m.startY, 16, 0}).I32(2).Str("w").Str("");
    b.I32(m.mapEntries);
    for (int i = 0; i < m.mapEntries; ++i) b.I32(3).I32s({0, 0, i}).I32(2).Str("").Str("");
    if (m.grid.empty()) m.grid.assign(static_cast<size_t>(m.height * m.pitch), 0);
    b.I32(m.gridCount >= 0 ? m.gridCount : static_cast<int32_t>(m.grid.size()));
    for (int32_t c : m.grid) b.I32(c);
    b.I32(static_cast<int32_t>(m.places.size()));
    for (const auto& [x, y, entries] : m.places) {
      b.I32(2).I32(x).I32(y).I32(1).Str("place");
      b.I32(static_cast<int32_t>(entries.size()));
      for (const auto& e : entries) Entry(b, v, e);
    }
    b.I32(0);
    return b.Get();
  }
};

TEST_F(WorldMapTest, SetSize) {
  cWorldMap map;
  EXPECT_EQ(map.m_nPitch, 32);
  EXPECT_EQ(map.m_nPitchShift, 5);
  EXPECT_EQ(map.m_anGrid.size(), 480u);
  EXPECT_EQ(map.SetSize(1, 1), 1);
  EXPECT_EQ(map.m_nPitch, 1);
  EXPECT_EQ(map.m_nPitchShift, 0);
  EXPECT_EQ(map.SetSize(33, 2), 1);
  EXPECT_EQ(map.m_nPitch, 64);
  EXPECT_EQ(map.SetSize(32, 2), 1);
  EXPECT_EQ(map.m_nPitch, 32);
  EXPECT_EQ(map.SetSize(0, 5), 0);
  EXPECT_EQ(map.m_nWidth, 32);

  // growing a 3 x 2 map keeps its cells where they were
  ASSERT_EQ(map.SetSize(3, 2), 1);
  int v = 1;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) *map.CellAt(x, y) = v++;
  ASSERT_EQ(map.SetSize(5, 3), 1);
  v = 1;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(*map.CellAt(x, y), (x < 3 && y < 2) ? v++ : 0) << x << "," << y;
  EXPECT_EQ(map.CellAt(5, 0), nullptr);
  EXPECT_EQ(map.CellAt(0, -1), nullptr);
}

TEST_F(WorldMapTest, RepairOnLoad) {
  MapBytes m;
  m.startX = 25;
  m.startY = 3;
  m.grid.assign(480, 0);
  m.grid[(2 << 5) + 4] = 12;  // only ten map entries
  m.grid[(2 << 5) + 5] = 9;
  m.places = {{20, 1, {EntryBytes{}}}, {19, 1, {EntryBytes{}}}, {0, 15, {}}};
  cWorldMap map;
  ASSERT_EQ(map.LoadFromBytes(MapFile(986, m)), 1);
  EXPECT_EQ(map.m_nStartX, 19);
  EXPECT_EQ(map.m_nStartY, 3);
  EXPECT_EQ(*map.CellAt(4, 2), 0);
  EXPECT_EQ(*map.CellAt(5, 2), 9);
  ASSERT_EQ(map.m_aWorlds.size(), 1u);
  EXPECT_EQ(map.m_aWorlds[0].m_nX, 19);
  EXPECT_EQ(map.FindMapEntryAt(19, 1), &map.m_aWorlds[0]);
  EXPECT_EQ(map.FindMapEntryAt(20, 1), nullptr);
}

TEST_F(WorldMapTest, MapEntriesBefore812) {
  MapBytes m;
  m.mapEntries = 3;
  cWorldMap map;
  ASSERT_EQ(map.LoadFromBytes(MapFile(811, m)), 1);
  ASSERT_EQ(map.m_aMapEntries.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(map.m_aMapEntries[i].m_nChip, i);
    EXPECT_EQ(map.m_aMapEntries[i].m_bBlocked, i < 5 ? 1 : 0);
    EXPECT_EQ(map.m_aMapEntries[i].m_strName, i < 5 ? "移動不可" : "移動可");
  }
  ASSERT_EQ(map.LoadFromBytes(MapFile(812, m)), 1);
  EXPECT_EQ(map.m_aMapEntries.size(), 3u);
}

TEST_F(WorldMapTest, EntryFieldsByVersion) {
  EntryBytes e;
  e.minTotal = 50;
  e.variation = 1;
  e.key1 = 4;
  e.stage = "c05-1.stg4";
  MapBytes m;
  m.places = {{1, 1, {e}}};
  cWorldMap map;
  for (uint32_t v : {208u, 209u, 757u, 758u}) {
    ASSERT_EQ(map.LoadFromBytes(MapFile(v, m)), 1) << v;
    const cWorldEntry& entry = map.m_aWorlds.at(0).m_aEntries.at(0);
    EXPECT_EQ(entry.m_nMinTotal, v >= 209 ? 50 : 0) << v;
    EXPECT_EQ(entry.m_bVariation, v >= 758 ? 1 : 0) << v;
    EXPECT_EQ(entry.m_nVariationKey1, v >= 758 ? 4 : 1) << v;
    EXPECT_EQ(entry.m_strStage, "c05-1.stg4");
  }
  // a trip through the file keeps the map
  cWorldMap again;
  ASSERT_EQ(again.LoadFromBytes(map.SaveToBytes()), 1);
  EXPECT_EQ(again.SaveToBytes(), map.SaveToBytes());
}

TEST_F(WorldMapTest, StagesOnTheMap) {
  cWorldMap map;
  map.m_aWorlds.resize(2);
  map.m_aWorlds[0].m_aEntries[0].m_strStage = "c05-1.stg4";
  map.m_aWorlds[1].m_aEntries.resize(3);
  map.m_aWorlds[1].m_aEntries[0].m_strStage = "bonus.stg4";
  map.m_aWorlds[1].m_aEntries[1].m_strStage = "extra.stg4";
  map.m_aWorlds[1].m_aEntries[1].m_nKind = 1;  // not a stage
  map.m_aWorlds[1].m_aEntries[2].m_strStage = "c07-1.stg4";
  map.m_aWorlds[1].m_aEntries[2].m_bVariation = 1;
  map.m_aWorlds[1].m_aEntries[2].m_nVariationKey1 = 2;
  map.m_aWorlds[1].m_aEntries[2].m_nVariationKey2 = 3;
  EXPECT_EQ(map.IsStageOnWorldMap("c05.", 0, 0, 0), 1);
  EXPECT_EQ(map.IsStageOnWorldMap("c05", 0, 0, 0), 0);
  EXPECT_EQ(map.IsStageOnWorldMap("bonus.", 0, 0, 0), 1);
  EXPECT_EQ(map.IsStageOnWorldMap("extra.", 0, 0, 0), 0);
  EXPECT_EQ(map.IsStageOnWorldMap("c05.", 1, 1, 0), 0);
  EXPECT_EQ(map.IsStageOnWorldMap("c07.", 0, 0, 0), 0);
  EXPECT_EQ(map.IsStageOnWorldMap("c07.", 1, 2, 3), 1);
  EXPECT_EQ(map.IsStageOnWorldMap("c07.", 1, 2, 4), 0);
}

TEST_F(WorldMapTest, DisagreeingGridIsRebuiltFromWidthAndHeight) {
  MapBytes m;
  m.width = 3;
  m.height = 2;
  m.pitch = 2;  // wrong: 3 needs a pitch of 4
  m.shift = 1;
  m.grid = {1, 2, 3, 4};  // cells at (y << 1) + x
  cWorldMap map;
  ASSERT_EQ(map.LoadFromBytes(MapFile(986, m)), 1);
  EXPECT_EQ(map.m_nPitch, 4);
  EXPECT_EQ(map.m_nPitchShift, 2);
  ASSERT_EQ(map.m_anGrid.size(), 8u);
  EXPECT_EQ(*map.CellAt(0, 0), 1);
  EXPECT_EQ(*map.CellAt(1, 0), 2);
  EXPECT_EQ(*map.CellAt(2, 0), 0);
  EXPECT_EQ(*map.CellAt(0, 1), 3);
  // a grid shorter than the map
  m = MapBytes{};
  m.grid = {5, 6};
  ASSERT_EQ(map.LoadFromBytes(MapFile(986, m)), 1);
  EXPECT_EQ(map.m_anGrid.size(), 480u);
  EXPECT_EQ(*map.CellAt(1, 0), 6);
  EXPECT_EQ(*map.CellAt(19, 14), 0);
  // sizes that cannot be a map are refused and the map is kept
  for (auto [w, h] : {std::pair{0, 15}, {-4, 3}, {100000, 100000}, {20, 0x7fffffff}}) {
    m = MapBytes{};
    m.width = w;
    m.height = h;
    m.grid = {0};
    map.m_strName = "kept";
    EXPECT_EQ(map.LoadFromBytes(MapFile(986, m)), 0) << w << "x" << h;
    EXPECT_EQ(map.m_strName, "kept");
  }
}
