// The character searches of the target commands and aiming shots: the filters, list order, the
// link walk from its end, and the nearest character by graphic centre in its three modes.
#include <gtest/gtest.h>

#include <list>

#include "data/stage_data.h"
#include "motion_test_support.h"
#include "objects/chara_base.h"
#include "objects/object.h"
#include "test_support/fresh_play_objects.h"

namespace {

class SearchTest : public ::testing::Test {
 protected:
  // A character whose graphic centre on screen is (x, y).
  static void CentreAt(cCharaBase& chara, int x, int y) {
    chara.m_nGraphicWidth = chara.m_nGraphicHeight = 10;
    chara.m_ScreenRect = {x - 5, y - 5, x + 4, y + 4};
  }
  cFreshPlayObjects m_FreshRun;
};

}  // namespace

TEST_F(SearchTest, FiltersAreTestedOnlyWhenAsked) {
  cTestChara chara;
  chara.m_Type.m_nCharaId = 5;
  chara.m_nNumber = 3;
  chara.m_Type.m_nOpt32 = 1;
  chara.m_Type.m_bBlockChara = 1;
  chara.m_anVars.assign(kCharaVarCount, 0);
  chara.m_anVars[2] = 12;
  struct Case {
    const char* what;
    CHARAFILTER filter;
    bool passes;
  };
  const Case cases[] = {
      {"no filter", {}, true},
      {"same id", {.bById = 1, .nId = 5}, true},
      {"other id", {.bById = 1, .nId = 6}, false},
      {"other number", {.bExcludeNumber = 1, .nExcludeNumber = 4}, true},
      {"excluded number", {.bExcludeNumber = 1, .nExcludeNumber = 3}, false},
      {"invincible 1", {.bNotInvincible1 = 1}, false},
      {"not invincible 2", {.bNotInvincible2 = 1}, true},
      {"block character", {.bNotBlockChara = 1}, false},
      {"var 2 >= 12", {.bByVar = 1, .nVar = 2, .nCompare = 2, .nOperand = 12}, true},
      {"var 2 > 12", {.bByVar = 1, .nVar = 2, .nCompare = 4, .nOperand = 12}, false},
      {"var 2 multiple of 5", {.bByVar = 1, .nVar = 2, .nCompare = 6, .nOperand = 5}, false},
      {"var 2 multiple of 0", {.bByVar = 1, .nVar = 2, .nCompare = 6, .nOperand = 0}, true},
      {"var 2 not multiple of 0", {.bByVar = 1, .nVar = 2, .nCompare = 7, .nOperand = 0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(PassesCharaFilter(chara, c.filter), c.passes) << c.what;
  chara.m_bDead = 1;
  EXPECT_FALSE(PassesCharaFilter(chara, CHARAFILTER{}));  // the dead pass no search
}

TEST_F(SearchTest, FirstInListAndLinksFromTheEnd) {
  cTestChara a, b, c, d;
  a.m_Type.m_nCharaId = 1;
  b.m_Type.m_nCharaId = 2;
  c.m_Type.m_nCharaId = 2;
  d.m_Type.m_nCharaId = 2;
  a.m_nKind = 7;
  b.m_bDead = 1;
  const std::list<cCharaBase*> list = {&a, nullptr, &b, &c, &d};
  EXPECT_EQ(FindCharaInList(list, CHARAFILTER{.bById = 1, .nId = 2}), &c);
  EXPECT_EQ(FindCharaInList(list, CHARAFILTER{.bById = 1, .nId = 3}), nullptr);

  cTestChara owner;
  owner.m_aLinks = {{&a, 0}, {&b, 0}, {&c, 4}, {&d, 0}, {&b, 0}};
  EXPECT_EQ(FindLinkedChara(owner, 0, CHARAFILTER{}, 0, 0), &d);  // the dead b at the end is passed over
  EXPECT_EQ(FindLinkedChara(owner, 4, CHARAFILTER{}, 0, 0), &c);
  EXPECT_EQ(FindLinkedChara(owner, 0, CHARAFILTER{}, 1, 7), &a);
  EXPECT_EQ(FindLinkedChara(owner, 0, CHARAFILTER{.bById = 1, .nId = 1}, 1, 8), nullptr);
  owner.m_aLinks.clear();
  EXPECT_EQ(FindLinkedChara(owner, 0, CHARAFILTER{}, 0, 0), nullptr);
}

// From (100, 100): a active on screen at distance 50, b active off screen at 10, c inactive at 1,
// d active on screen at 50 (after a), e dead at 0.
TEST_F(SearchTest, NearestByModes) {
  cTestChara a, b, c, d, e;
  CentreAt(a, 130, 80);
  CentreAt(b, 95, 105);
  CentreAt(c, 100, 101);
  CentreAt(d, 50, 100);
  CentreAt(e, 100, 100);
  a.m_bActive = a.m_bOnScreen = 1;
  b.m_bActive = 1;
  d.m_bActive = d.m_bOnScreen = 1;
  e.m_bActive = e.m_bOnScreen = 1;
  e.m_bDead = 1;
  a.m_nNumber = 1;
  const std::list<cCharaBase*> list = {&c, &a, &b, &d, &e};
  EXPECT_EQ(FindNearestChara(100, 100, list, 0, nullptr), &a);  // on screen first; a tie keeps the first
  EXPECT_EQ(FindNearestChara(100, 100, list, 1, nullptr), &b);
  EXPECT_EQ(FindNearestChara(100, 100, list, 2, nullptr), &a);
  EXPECT_EQ(FindNearestChara(100, 100, list, 3, nullptr), nullptr);
  const CHARAFILTER notA{.bExcludeNumber = 1, .nExcludeNumber = 1};
  EXPECT_EQ(FindNearestChara(100, 100, list, 2, &notA), &d);

  a.m_bOnScreen = d.m_bOnScreen = 0;  // nobody active on screen: mode 0 takes the active ones off it
  EXPECT_EQ(FindNearestChara(100, 100, list, 0, nullptr), &b);
  EXPECT_EQ(FindNearestChara(100, 100, list, 2, nullptr), nullptr);
  g_StageFile.m_bNearestOnScreen = 1;
  EXPECT_EQ(FindNearestCharaTo(100, 100, list), nullptr);
  g_StageFile.m_bNearestOnScreen = 0;
  EXPECT_EQ(FindNearestCharaTo(100, 100, list), &b);
  cTestChara self;
  CentreAt(self, 100, 100);
  EXPECT_EQ(self.FindNearestToCentre(list), &b);
}
