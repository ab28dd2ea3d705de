#include "data/world_map.h"

#include "game_data_fixture.h"
#include "world_map_bytes.h"

class WorldMapTest : public GameDataTest {};

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
  // shrinking keeps the cells the smaller map still has
  ASSERT_EQ(map.SetSize(2, 1), 1);
  ASSERT_EQ(map.m_anGrid.size(), 2u);
  EXPECT_EQ(*map.CellAt(0, 0), 1);
  EXPECT_EQ(*map.CellAt(1, 0), 2);
}

TEST_F(WorldMapTest, RepairOnLoad) {
  cWorldMapBytes m;
  m.startX = 25;
  m.startY = 3;
  m.grid.assign(480, 0);
  m.grid[(2 << 5) + 4] = 12;  // only ten map entries
  m.grid[(2 << 5) + 5] = 9;
  m.places = {{20, 1, {cWorldEntryBytes{}}}, {19, 1, {cWorldEntryBytes{}}}, {0, 15, {}}};
  cWorldMap map;
  ASSERT_EQ(map.LoadFromBytes(WorldMapFile(986, m)), 1);
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
  cWorldMapBytes m;
  m.mapEntries = 3;
  cWorldMap map;
  ASSERT_EQ(map.LoadFromBytes(WorldMapFile(811, m)), 1);
  ASSERT_EQ(map.m_aMapEntries.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(map.m_aMapEntries[i].m_nChip, i);
    EXPECT_EQ(map.m_aMapEntries[i].m_bBlocked, i < 5 ? 1 : 0);
    EXPECT_EQ(map.m_aMapEntries[i].m_strName, i < 5 ? "移動不可" : "移動可");
  }
  ASSERT_EQ(map.LoadFromBytes(WorldMapFile(812, m)), 1);
  EXPECT_EQ(map.m_aMapEntries.size(), 3u);
}

TEST_F(WorldMapTest, EntryFieldsByVersion) {
  cWorldEntryBytes e;
  e.minTotal = 50;
  e.variation = 1;
  e.key1 = 4;
  e.stage = "c05-1.stg4";
  cWorldMapBytes m;
  m.places = {{1, 1, {e}}};
  cWorldMap map;
  for (uint32_t v : {208u, 209u, 757u, 758u}) {
    ASSERT_EQ(map.LoadFromBytes(WorldMapFile(v, m)), 1) << v;
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
  cWorldMapBytes m;
  m.width = 3;
  m.height = 2;
  m.pitch = 2;  // wrong: 3 needs a pitch of 4
  m.shift = 1;
  m.grid = {1, 2, 3, 4, 0, 0};  // cells at (y << 1) + x, as many as the map has
  cWorldMap map;
  ASSERT_EQ(map.LoadFromBytes(WorldMapFile(986, m)), 1);
  EXPECT_EQ(map.m_nPitch, 4);
  EXPECT_EQ(map.m_nPitchShift, 2);
  ASSERT_EQ(map.m_anGrid.size(), 8u);
  EXPECT_EQ(*map.CellAt(0, 0), 1);
  EXPECT_EQ(*map.CellAt(1, 0), 2);
  EXPECT_EQ(*map.CellAt(2, 0), 0);
  EXPECT_EQ(*map.CellAt(0, 1), 3);
  // a grid holding the map's cells but not the padding of its rows
  m = cWorldMapBytes{};
  m.grid.assign(20 * 15, 0);
  m.grid[1] = 6;
  ASSERT_EQ(map.LoadFromBytes(WorldMapFile(986, m)), 1);
  EXPECT_EQ(map.m_anGrid.size(), 480u);
  EXPECT_EQ(*map.CellAt(1, 0), 6);
  EXPECT_EQ(*map.CellAt(19, 14), 0);
  // sizes that cannot be a map are refused and the map is kept
  for (auto [w, h] : {std::pair{0, 15}, {-4, 3}, {100000, 100000}, {20, 0x7fffffff}}) {
    m = cWorldMapBytes{};
    m.width = w;
    m.height = h;
    m.grid = {0};
    map.m_strName = "kept";
    EXPECT_EQ(map.LoadFromBytes(WorldMapFile(986, m)), 0) << w << "x" << h;
    EXPECT_EQ(map.m_strName, "kept");
  }
}

TEST_F(WorldMapTest, StoredCellsMustCoverTheDeclaredMap) {
  struct cCase {
    int32_t width, height, cells;
    bool loads;
  };
  // A few bytes declaring a map of millions of cells, a grid one cell short, exactly enough cells.
  for (const cCase& c : {cCase{2048, 2048, 1, false}, {20, 15, 299, false}, {20, 15, 300, true}, {3, 1, 3, true}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " with " << c.cells << " cells");
    cWorldMapBytes m;
    m.width = c.width;
    m.height = c.height;
    m.shift = PitchShiftFor(c.width);
    m.pitch = 1 << m.shift;
    m.grid.assign(static_cast<size_t>(c.cells), 0);
    cWorldMap map;
    map.m_strName = "kept";
    EXPECT_EQ(map.LoadFromBytes(WorldMapFile(986, m)), c.loads ? 1 : 0);
    EXPECT_EQ(map.m_strName, c.loads ? "w" : "kept");
    EXPECT_EQ(map.m_anGrid.size(), c.loads ? static_cast<size_t>(c.height * m.pitch) : 480u);
  }
  // A file without cells keeps the grid the map has.
  cWorldMap map;
  cWorldMapBytes m;
  m.grid.assign(480, 0);
  m.grid[(3 << 5) + 4] = 7;
  ASSERT_EQ(map.LoadFromBytes(WorldMapFile(986, m)), 1);
  m.grid.clear();
  m.gridCount = 0;
  ASSERT_EQ(map.LoadFromBytes(WorldMapFile(986, m)), 1);
  ASSERT_EQ(map.m_anGrid.size(), 480u);
  EXPECT_EQ(*map.CellAt(4, 3), 7);
}
