// The carried item's icon over a character: when it shows, where, and when it does not.
#include <gtest/gtest.h>

#include "objects/play_objects.h"
#include "test_support/stage_harness.h"

namespace {

class CarriedIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h = std::make_unique<cStageHarness>(std::vector<std::string>{"H....", "#####"});
    cItemType type = HarnessItemType();
    type.m_nGraphic = 6;
    item.InitItem(3, type, 1);
    cChara& c = g_CharaList.emplace_back();
    c.InitChara(10, g_StageFile.m_aCharas[0], &item, 0, 0, 0);
    c.m_bOnScreen = 1;
    c.m_ScreenRect.left = 200;
    c.m_ScreenRect.top = 120;
  }
  cChara& C() { return g_CharaList.back(); }
  // Draws n frames; the frames (counted from 0) on which something was drawn.
  std::vector<int> DrawFrames(int n) {
    std::vector<int> shown;
    DDSURFACEDATA target{};
    for (int frame = 0; frame < n; ++frame) {
      h->ClearTraces();
      C().DrawCarriedItemIcon(&target);
      if (!h->Draws().empty()) shown.push_back(frame);
    }
    return shown;
  }
  std::unique_ptr<cStageHarness> h;
  cItem item;
};

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i < to; ++i) v.push_back(i);
  return v;
}

}  // namespace

TEST_F(CarriedIconTest, TheIconShowsInTheLastThirtyTwoFramesOfEveryNinetySix) {
  std::vector<int> expected = Range(64, 96);
  const std::vector<int> second = Range(160, 192);
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(DrawFrames(192), expected);
}

TEST_F(CarriedIconTest, TheIconStandsHalfSizeAboveTheCharactersMiddle) {
  C().m_nIconTimer = 64;
  DrawFrames(1);
  ASSERT_FALSE(h->Draws().empty());
  const DDTRACECALL& call = h->Draws()[0];
  // x = left + 32 / 2 - 32 / 4, y = top - 32 / 2.
  EXPECT_EQ(call.adArgs[0], 200 + 16 - 8);
  EXPECT_EQ(call.adArgs[1], 120 - 16);
  EXPECT_EQ(call.adArgs[2], 16);
  EXPECT_EQ(call.adArgs[3], 16);
}

TEST_F(CarriedIconTest, NoIconOffScreenForAnInvisibleCharacterOrItemOrWithoutAnItem) {
  C().m_nIconTimer = 64;
  C().m_bOnScreen = 0;
  EXPECT_TRUE(DrawFrames(1).empty());
  EXPECT_EQ(C().m_nIconTimer, 64);  // the cycle waits
  C().m_bOnScreen = 1;
  C().m_Type.m_nOpt18 = 1;
  EXPECT_TRUE(DrawFrames(1).empty());
  C().m_Type.m_nOpt18 = 0;
  C().m_Item.m_Type.m_bInvisible = 1;
  EXPECT_TRUE(DrawFrames(1).empty());
  C().m_Item.m_Type.m_bInvisible = 0;
  C().m_Item.m_bActive = 0;  // no item carried
  EXPECT_TRUE(DrawFrames(1).empty());
  C().m_Item.m_bActive = 1;
  EXPECT_EQ(DrawFrames(1), (std::vector<int>{0}));
}
