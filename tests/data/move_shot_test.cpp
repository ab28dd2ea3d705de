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

// Every upgrade row: a record stored at the version below the row's gate (the later rows run as
// well) and at the gate itself, against the whole record after loading. Fields the version does
// not store are left out of its bytes; the loaded values are those of the newest layout (fields not
// named are 0).
struct cSettingsCase {
  uint32_t version;
  std::map<int, double> stored, loaded;
};

TEST_F(MoveShotTest, EveryMovementUpgradeRowGivesExactValues) {
  const cSettingsCase cases[] = {
      // 158: M5 is 0 for older files although a new record has 1
      {157, {{5, 1}, {6, 2}}, {{6, 2}}},
      {158, {{5, 1}, {6, 2}}, {{5, 1}, {6, 2}}},
      // 159: M28
      {158, {{28, 3}}, {}},
      {159, {{28, 3}}, {{28, 3}}},
      // 162: M22 and M34
      {161, {{22, 3}, {34, 1}}, {}},
      {162, {{22, 3}, {34, 1}}, {{22, 3}, {34, 2}}},
      // 830: an animation choice of 1 means "other" (2)
      {829, {{34, 1}}, {{34, 2}}},
      {829, {{34, 0}}, {}},
      {829, {{34, 2}}, {{34, 2}}},
      {830, {{34, 1}}, {{34, 1}}},
      // no upgrade: M13 (from 891), M14 (from 892) and M35 (from 767) keep their defaults
      {766, {{13, 1}, {14, 1}, {35, 3}, {24, 9}, {33, 0.5}}, {{24, 9}, {33, 0.5}}},
      {892, {{13, 1}, {14, 1}, {35, 3}}, {{13, 1}, {14, 1}, {35, 3}}},
  };
  for (const cSettingsCase& c : cases) {
    cEdMove move;
    size_t used = 0;
    std::vector<uint8_t> bytes = SettingsBody(EdMoveSpec(), c.version, c.stored);
    ASSERT_TRUE(LoadBody(move, c.version, bytes, &used)) << c.version;
    EXPECT_EQ(used, bytes.size()) << c.version;
    EXPECT_EQ(SaveBody(move), SettingsBody(EdMoveSpec(), 986, c.loaded)) << "version " << c.version;
  }
}

TEST_F(MoveShotTest, EveryShotUpgradeRowGivesExactValues) {
  // S26 (the size) is stored as 1 throughout: 0 would be normalised to 1.
  const cSettingsCase cases[] = {
      // 158: S10 is 0 for older files although a new record has 1
      {157, {{10, 1}, {26, 1}}, {{26, 1}}},
      {158, {{10, 1}, {26, 1}}, {{10, 1}, {26, 1}}},
      // 197: S57 takes S56
      {196, {{56, 3}, {57, 4}, {26, 1}}, {{56, 3}, {57, 3}, {26, 1}}},
      {197, {{56, 3}, {57, 4}, {26, 1}}, {{56, 3}, {57, 4}, {26, 1}}},
      // 212: S31 (stored from 211) is set for the homing trajectories 4 to 7, cleared for the others
      {211, {{28, 3}, {31, 1}, {26, 1}}, {{28, 3}, {26, 1}}},
      {211, {{28, 4}, {26, 1}}, {{28, 4}, {31, 1}, {26, 1}}},
      {211, {{28, 7}, {26, 1}}, {{28, 7}, {31, 1}, {26, 1}}},
      {211, {{28, 8}, {31, 1}, {26, 1}}, {{28, 8}, {26, 1}}},
      {210, {{28, 5}, {31, 0}, {26, 1}}, {{28, 5}, {31, 1}, {26, 1}}},
      {212, {{28, 4}, {26, 1}}, {{28, 4}, {26, 1}}},
      {212, {{28, 3}, {31, 1}, {26, 1}}, {{28, 3}, {31, 1}, {26, 1}}},
      // 213: S34 to S36
      {212, {{34, 1}, {35, 5}, {36, 6}, {26, 1}}, {{26, 1}}},
      {213, {{34, 1}, {35, 5}, {36, 6}, {26, 1}}, {{34, 1}, {35, 5}, {36, 6}, {26, 1}}},
      // 636: S46 takes S45
      {635, {{45, 7}, {46, 2}, {26, 1}}, {{45, 7}, {46, 7}, {26, 1}}},
      {636, {{45, 7}, {46, 2}, {26, 1}}, {{45, 7}, {46, 2}, {26, 1}}},
      // 671: S4
      {670, {{4, 2}, {26, 1}}, {{26, 1}}},
      {671, {{4, 2}, {26, 1}}, {{4, 2}, {26, 1}}},
      // no upgrade: S7 and S30 (from 767), S63 and S64 (from 762) keep their defaults
      {761, {{7, 1}, {30, 2}, {63, 3}, {64, 4}, {26, 1}}, {{26, 1}}},
      {767, {{7, 1}, {30, 2}, {63, 3}, {64, 4}, {26, 1}}, {{7, 1}, {30, 2}, {63, 3}, {64, 4}, {26, 1}}},
  };
  for (const cSettingsCase& c : cases) {
    cEdShot shot;
    size_t used = 0;
    std::vector<uint8_t> bytes = SettingsBody(EdShotSpec(), c.version, c.stored);
    ASSERT_TRUE(LoadBody(shot, c.version, bytes, &used)) << c.version;
    EXPECT_EQ(used, bytes.size()) << c.version;
    EXPECT_EQ(SaveBody(shot), SettingsBody(EdShotSpec(), 986, c.loaded)) << "version " << c.version;
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
