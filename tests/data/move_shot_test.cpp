#include "data/move_shot.h"

#include "game_data_fixture.h"
#include "settings_bytes.h"

class MoveShotTest : public GameDataTest {};

TEST_F(MoveShotTest, NewestLayoutsMatchTheFieldTables) {
  cEdMove move;
  move.m_dM33 = 2.5;
  EXPECT_EQ(SaveBody(move),
            SettingsBody(EdMoveSpec(), 986, {{5, 1}, {6, 1}, {7, 1}, {15, 1}, {18, 1}, {20, 1}, {24, 10}, {33, 2.5}}));
  cEdShot shot;
  EXPECT_EQ(SaveBody(shot), SettingsBody(EdShotSpec(), 986, {{10, 1}, {18, 1}, {23, 1}, {26, 1}}));
}

TEST_F(MoveShotTest, OldMovementDefaults) {
  struct Case {
    uint32_t version;
    std::map<int, double> stored;
    int8_t cEdMove::*field;
    int expected;
  };
  const Case cases[] = {
      {157, {}, &cEdMove::m_bAngleMirror, 0},  // a new record has 1, an old file reads 0
      {158, {{5, 1}}, &cEdMove::m_bAngleMirror, 1},
      {829, {{34, 1}}, &cEdMove::m_nAnimeChoice, 2},  // 1 stored where "other" is meant
      {829, {{34, 0}}, &cEdMove::m_nAnimeChoice, 0},
      {830, {{34, 1}}, &cEdMove::m_nAnimeChoice, 1},
      {161, {{34, 1}}, &cEdMove::m_nAnimeChoice, 0},
      {766, {{35, 3}}, &cEdMove::m_nM35, 0},
      {767, {{35, 3}}, &cEdMove::m_nM35, 3},
  };
  for (const Case& c : cases) {
    cEdMove move;
    size_t used = 0;
    std::vector<uint8_t> bytes = SettingsBody(EdMoveSpec(), c.version, c.stored);
    ASSERT_TRUE(LoadBody(move, c.version, bytes, &used)) << c.version;
    EXPECT_EQ(used, bytes.size()) << c.version;
    EXPECT_EQ(move.*c.field, c.expected) << c.version;
  }
}

TEST_F(MoveShotTest, OldShotUpgrades) {
  struct Case {
    uint32_t version;
    std::map<int, double> stored;
    int8_t cEdShot::*field;
    int expected;
  };
  const Case cases[] = {
      {157, {}, &cEdShot::m_bAngleMirror, 0},
      {196, {{56, 3}}, &cEdShot::m_nS57, 3},  // the worked example
      {197, {{56, 3}, {57, 4}}, &cEdShot::m_nS57, 4},
      {211, {{28, 5}, {31, 0}}, &cEdShot::m_bFollowScroll, 1},  // homing trajectories follow the scroll
      {211, {{28, 8}, {31, 1}}, &cEdShot::m_bFollowScroll, 0},
      {212, {{28, 5}, {31, 0}}, &cEdShot::m_bFollowScroll, 0},
      {635, {{45, 7}}, &cEdShot::m_nS46, 7},
      {636, {{45, 7}, {46, 2}}, &cEdShot::m_nS46, 2},
      {670, {}, &cEdShot::m_nTargetChoice, 0},
      {671, {{4, 2}}, &cEdShot::m_nTargetChoice, 2},
  };
  for (const Case& c : cases) {
    cEdShot shot;
    size_t used = 0;
    std::vector<uint8_t> bytes = SettingsBody(EdShotSpec(), c.version, c.stored);
    ASSERT_TRUE(LoadBody(shot, c.version, bytes, &used)) << c.version;
    EXPECT_EQ(used, bytes.size()) << c.version;
    EXPECT_EQ(shot.*c.field, c.expected) << c.version;
  }
}

TEST_F(MoveShotTest, ShotNormalisation) {
  cEdShot shot;
  shot.m_nSize = 0;
  shot.m_nEffect = 2;  // the default database has effects 0 and 1
  std::vector<uint8_t> bytes = SaveBody(shot);
  EXPECT_EQ(shot.m_nSize, 1);
  EXPECT_EQ(shot.m_nEffect, 0);
  shot.m_nSize = -3;
  shot.m_nEffect = -1;  // negative counts as too large
  shot.Normalise();
  EXPECT_EQ(shot.m_nSize, 1);
  EXPECT_EQ(shot.m_nEffect, 0);
  shot.m_nEffect = 1;
  shot.Normalise();
  EXPECT_EQ(shot.m_nEffect, 1);
}

TEST_F(MoveShotTest, ShotOffsets) {
  cEdShot shot;
  shot.m_nOffsetX = 8;
  shot.m_nStepX = 16;
  shot.m_bMirrorX = 1;
  EXPECT_DOUBLE_EQ(shot.ShotOffsetX(3, 1), -56.0);
  EXPECT_DOUBLE_EQ(shot.ShotOffsetX(3, 0), 56.0);
  shot.m_bMirrorX = 0;
  EXPECT_DOUBLE_EQ(shot.ShotOffsetX(3, 1), 56.0);
  shot.m_nOffsetY = -4;
  shot.m_nStepY = 2;
  shot.m_bMirrorY = 1;
  EXPECT_DOUBLE_EQ(shot.ShotOffsetY(2, 1), 0.0);
  EXPECT_DOUBLE_EQ(shot.ShotOffsetY(5, 1), -6.0);
}

TEST_F(MoveShotTest, CloneNeverShares) {
  auto move = std::make_shared<cEdMove>();
  move->m_nSpeed = 42;
  auto copy = CloneEdMove(move);
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.get(), move.get());
  EXPECT_EQ(copy->m_nSpeed, 42);
  copy->m_nSpeed = 1;
  EXPECT_EQ(move->m_nSpeed, 42);
  EXPECT_EQ(SaveBody(*copy),
            SettingsBody(EdMoveSpec(), 986, {{5, 1}, {6, 1}, {7, 1}, {15, 1}, {18, 1}, {20, 1}, {24, 1}, {33, 1}}));
  EXPECT_FALSE(CloneEdShot(nullptr));
}

TEST_F(MoveShotTest, EveryGateSeparatesTheVersionBeforeItFromItself) {
  const std::map<int, double> move = {{5, 1}, {13, 1}, {14, 1}, {22, 1}, {28, 1}, {34, 1}, {35, 1}};
  for (uint32_t gate : {158u, 159u, 162u, 767u, 830u, 891u, 892u}) {
    std::vector<uint8_t> saved[2];
    for (int at = 0; at < 2; ++at) {
      const uint32_t v = gate - 1 + static_cast<uint32_t>(at);
      cEdMove m;
      ASSERT_TRUE(LoadBody(m, v, SettingsBody(EdMoveSpec(), v, move))) << v;
      saved[at] = SaveBody(m);
    }
    EXPECT_NE(saved[0], saved[1]) << "move gate " << gate;
  }
  const std::map<int, double> shot = {{4, 1},  {7, 1},  {10, 1}, {26, 1}, {28, 5}, {30, 1}, {31, 0},
                                      {34, 1}, {45, 2}, {46, 3}, {56, 4}, {57, 5}, {63, 1}};
  // (S31 is stored from 211, but the step of 212 sets it for every older file.)
  for (uint32_t gate : {158u, 197u, 212u, 213u, 636u, 671u, 762u, 767u}) {
    std::vector<uint8_t> saved[2];
    for (int at = 0; at < 2; ++at) {
      const uint32_t v = gate - 1 + static_cast<uint32_t>(at);
      cEdShot s;
      ASSERT_TRUE(LoadBody(s, v, SettingsBody(EdShotSpec(), v, shot))) << v;
      saved[at] = SaveBody(s);
    }
    EXPECT_NE(saved[0], saved[1]) << "shot gate " << gate;
  }
}
