// Block characters as obstacles: the overlap widths, which characters count, the riding strip, the
// embedding test with and without the legacy contact rule, and the place test of summons.
#include "stage/block_charas.h"

#include <gtest/gtest.h>

#include "data/system_data.h"
#include "stage/contact_fixture.h"

TEST(BlockCharas, OverlapWidthsCountTheSharedPartInclusively) {
  struct Case {
    cDblRect a, b;
    double wX, wY;
  };
  const Case cases[] = {
      {{0, 0, 9, 9}, {5, 5, 20, 20}, 5, 5},   // b starts inside a
      {{0, 0, 9, 9}, {9, 9, 20, 20}, 1, 1},   // touching edges share a dot
      {{0, 0, 9, 9}, {-5, -5, 3, 3}, 4, 4},   // b starts first: counted from a's edge
      {{0, 0, 9, 9}, {2, -5, 4, 30}, 8, 31},  // wX from b's left, wY from a's top
      {{0, 0, 9, 9}, {10, 0, 20, 9}, 0, 0},   // apart on x
      {{0, 0, 9, 9}, {0, 9.5, 9, 20}, 0, 0},  // apart on y by half a dot
      {{0, 0, 9, 9}, {0.5, 8.5, 9, 20}, 9.5, 1.5},
  };
  for (const Case& c : cases) {
    const cOverlapWidths w = OverlapWidthsOf(c.a, c.b);
    EXPECT_EQ(w.dX, c.wX) << c.b.left << "," << c.b.top;
    EXPECT_EQ(w.dY, c.wY) << c.b.left << "," << c.b.top;
  }
}

TEST(BlockCharas, OnlyPresentLivingBlockCharactersOtherThanItselfCount) {
  cStageHarness h({"H..", "...", "..."});
  cProbeChara chara;
  MakeWalker(chara, 400, 400);
  cChara& q = AddBlockChara(7, 410, 410);
  EXPECT_TRUE(IsBlockCharaFor(q, chara.m_nNumber));
  EXPECT_TRUE(OverlapsBlockChara(chara, g_CharaList));
  EXPECT_FALSE(OverlapsBlockCharaExcept(BoxOf(chara), chara.m_nNumber, 7, g_CharaList));
  EXPECT_FALSE(IsBlockCharaFor(q, 7));  // a character is no obstacle to itself
  q.m_bDead = 1;
  EXPECT_FALSE(OverlapsBlockChara(chara, g_CharaList));
  q.m_bDead = 0;
  q.m_bActive = 0;  // not present: its appearance conditions fail
  EXPECT_FALSE(OverlapsBlockChara(chara, g_CharaList));
  q.m_bActive = 1;
  q.m_Type.m_bBlockChara = 0;
  EXPECT_FALSE(OverlapsBlockChara(chara, g_CharaList));
  q.m_Type.m_bBlockChara = 1;
  SetBox(q, chara.m_dX2, 400, 32, 32);  // touching the right edge counts
  EXPECT_TRUE(OverlapsBlockChara(chara, g_CharaList));
  SetBox(q, chara.m_dX2 + 0.5, 300, 32, 300);
  EXPECT_FALSE(OverlapsBlockChara(chara, g_CharaList));
  EXPECT_EQ(FindCharaByNumber(g_CharaList, 7), &q);
  EXPECT_EQ(FindCharaByNumber(g_CharaList, 8), nullptr);
}

// A ride lasts while the ridden block character lies in the 5-dot strip under the rider's feet.
TEST(BlockCharas, TheRideStripReachesFiveDotsBelowTheFeet) {
  cStageHarness h({"H..", "...", "..."});
  cProbeChara chara;
  MakeWalker(chara, 400, 400);  // feet at 423
  chara.m_nRiddenId = 7;
  cChara& other = AddBlockChara(6, 500, 428);
  cChara& ridden = AddBlockChara(7, 390, 428);
  EXPECT_TRUE(IsStillOnRiddenChara(chara, g_CharaList));
  EXPECT_EQ(FindBlockCharaUnderFeet(chara, g_CharaList), &ridden);
  SetBox(ridden, 390, 428.5, 32, 32);
  EXPECT_FALSE(IsStillOnRiddenChara(chara, g_CharaList));
  EXPECT_EQ(FindBlockCharaUnderFeet(chara, g_CharaList), nullptr);
  SetBox(other, 380, 410, 32, 32);  // another block character under the feet is found instead
  EXPECT_FALSE(IsStillOnRiddenChara(chara, g_CharaList));
  EXPECT_EQ(FindBlockCharaUnderFeet(chara, g_CharaList), &other);
}

// Each corner point must lie in some block character, now or at the start of the push-out. The
// right-hand points lie a dot inside the right edge, or on it under the legacy contact rule.
TEST(BlockCharas, EmbeddingCoversAllFourCornersWithBothContactRules) {
  for (int legacy : {0, 1}) {
    cStageHarness h({"H..", "...", "..."});
    g_SystemData.m_bLegacy912 = legacy;
    cProbeChara chara;
    MakeWalker(chara, 100, 100);  // 100..115 x 100..123
    const cDblRect start = BoxOf(chara);
    cChara& left = AddBlockChara(7, 80, 80, 35, 60);  // 80..114 covers x = 114 but not 115
    EXPECT_EQ(IsEmbeddedInBlockCharas(chara, start, g_CharaList), legacy == 0) << legacy;
    AddBlockChara(8, 115, 80, 20, 60);  // flush against the character's right edge
    EXPECT_TRUE(IsEmbeddedInBlockCharas(chara, start, g_CharaList)) << legacy;
    SetBox(left, 80, 80, 35, 30);  // 80..109: the bottom-left point (100, 122) is no longer covered
    EXPECT_FALSE(IsEmbeddedInBlockCharas(chara, start, g_CharaList)) << legacy;
    const cDblRect moved = {100, 60, 115, 83};  // ...unless it was covered at the start
    EXPECT_TRUE(IsEmbeddedInBlockCharas(chara, moved, g_CharaList)) << legacy;
  }
}

TEST(BlockCharas, APlaceIsTakenByAnySolidCornerCellOrAnOverlappingBlockCharacter) {
  cStageHarness h(BlockStage({"H#D", "P..", "..."}));
  struct Case {
    double x, y;
    int kind;
    bool taken;
  };
  const Case cases[] = {
      {CellDot(1) + 8, CellDot(1) + 4, 0, false},  // free: (1, 1) only
      {CellDot(1) + 8, CellDot(0) + 20, 0, true},  // the top corners reach the solid (1, 0)
      {CellDot(2) + 4, CellDot(0) + 20, 0, true},  // a deadly cell takes the place too
      {CellDot(0) + 4, CellDot(1) + 4, 0, true},   // the block of pass group 3 ...
      {CellDot(0) + 4, CellDot(1) + 4, 3, false},  // ... does not take it for group 3
  };
  for (const Case& c : cases) {
    cProbeChara chara;
    MakeWalker(chara, c.x, c.y);
    chara.m_nKind = c.kind;
    EXPECT_EQ(IsCharaPlaceTaken(chara), c.taken) << c.x << "," << c.y;
    SetFlying(chara, 0);
    EXPECT_FALSE(IsCharaPlaceTaken(chara)) << "flying through blocks " << c.x << "," << c.y;
  }
  cProbeChara chara;
  MakeWalker(chara, CellDot(1) + 8, CellDot(1) + 4);
  cChara& q = AddBlockChara(9, CellDot(1) + 20, CellDot(1) + 20);
  EXPECT_TRUE(IsCharaPlaceTaken(chara));
  q.m_bDead = 1;
  EXPECT_FALSE(IsCharaPlaceTaken(chara));
}
