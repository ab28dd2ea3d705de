// The 16 x 16 picture of a graphic reference for each kind (as the media layer is asked to draw it)
// and the character search by object number.
#include <gtest/gtest.h>

#include "chara_draw_fixture.h"
#include "test_support/hooks_guard.h"

using namespace drawtest;

namespace {

using Calls = std::vector<std::string>;

DDSURFACEDATA g_ExcPicture;
DDSURFACEDATA* ExcLookup(int entry, int which) { return entry == 1 && which == 0 ? &g_ExcPicture : nullptr; }

class GraphicRefTest : public CharaDrawTest {
 protected:
  void SetUp() override {
    CharaDrawTest::SetUp();
    static DDRAWSURFACEDATA half;
    g_ExcPicture = DDSURFACEDATA{};
    g_ExcPicture.lpDD = &half;
    g_ExcPicture.nWidth = 512;
    g_ExcPicture.nHeight = 512;
    g_Database.m_aBmpCharaExc.resize(2);
  }
  std::vector<std::string> Ref(int kind, int number, int pattern) {
    h.ClearTraces();
    DrawGraphicRef(&g_BackBufferSD, 10, 20, kind, number, pattern);
    return Draws();
  }
  cHooksGuard<cGraphicSourceHooks> m_Hooks{SetGraphicSourceHooks, {.charaExcSurface = ExcLookup}};
};

TEST_F(GraphicRefTest, EachKindDrawsItsCellAtSixteenDots) {
  // 0: item 17 in column 1 (64 dots), row 2 of the item sheet, shrunk.
  EXPECT_EQ(Ref(0, 17, 5), (Calls{"DDBltStretch(BB<-S40: 10,20,16,16,64,64,32,32,1)"}));
  // 1: character 17 (sheet 1, row 2) at pattern 3, shrunk.
  EXPECT_EQ(Ref(1, 17, 3), (Calls{"DDBltStretch(BB<-S6: 10,20,16,16,96,64,32,32,1)"}));
  // 2: small picture 17 in column 1 (32 dots), row 2 (16 dots), at its size.
  EXPECT_EQ(Ref(2, 17, 0), (Calls{"DDBlt(BB<-S42: 10,20,16,16,32,32,1)"}));
  // 3: shot graphic 31 in column 1 (64 dots), row 1 of the shot cells.
  EXPECT_EQ(Ref(3, 31, 0), (Calls{"DDBltStretch(BB<-S64: 10,20,16,16,64,32,32,32,1)"}));
  // Other kinds draw nothing.
  EXPECT_TRUE(Ref(5, 1, 0).empty());
  EXPECT_TRUE(Ref(-1, 1, 0).empty());
}

TEST_F(GraphicRefTest, DedicatedBitmapsRunSixteenCellsOfTheirSizeToARow) {
  cBmpCharaExcData& entry = g_Database.m_aBmpCharaExc[1];
  auto ref = [&](int pattern) {
    const Calls calls = Ref(4, 1, pattern);
    return calls.size() == 1 ? calls[0] : std::string("(") + std::to_string(calls.size()) + " calls)";
  };
  entry.m_bCellSize = 0;
  EXPECT_EQ(ref(17), "DDBltStretch(BB<-?: 10,20,16,16,32,32,32,32,1)");
  entry.m_bCellSize = 1;
  entry.m_nCellUnits = 2;  // 64-dot cells, 8 to a row
  EXPECT_EQ(ref(9), "DDBltStretch(BB<-?: 10,20,16,16,64,64,64,64,1)");
  // A multiplier of 0 (broken data): the divisions leave their values, a cell of no size.
  entry.m_nCellUnits = 0;
  EXPECT_EQ(ref(17), "DDBltStretch(BB<-?: 10,20,16,16,0,0,0,0,1)");
  // More than 16 blocks: no cell to a row, so the pattern stands in for both.
  entry.m_nCellUnits = 20;
  EXPECT_EQ(ref(2), "DDBltStretch(BB<-?: 10,20,16,16,1280,1280,640,640,1)");
}

TEST_F(GraphicRefTest, MissingPicturesAndNegativeNumbersAreSkipped) {
  EXPECT_TRUE(Ref(4, 5, 0).empty());  // no such entry
  EXPECT_TRUE(Ref(4, 0, 0).empty());  // entry 0 has no picture
  EXPECT_TRUE(Ref(2, -1, 0).empty());
  cHooksGuard noLookup(SetGraphicSourceHooks, {});
  EXPECT_TRUE(Ref(4, 1, 0).empty());
}

TEST_F(GraphicRefTest, FindCharaByIdPrefersTheHero) {
  h.Hero().m_nNumber = 7;
  Chara().m_nNumber = 7;
  EXPECT_EQ(FindCharaById(7), &h.Hero());
  Chara().m_nNumber = 9;
  EXPECT_EQ(FindCharaById(9), &Chara());
  EXPECT_EQ(FindCharaById(12), nullptr);
}

}  // namespace
