// "ピクチャーの表示" on a display that makes real surfaces: pictures shown, a numbered picture
// replaced in place (its surface kept for the same file, made anew for another), erased by number
// or all together, waits, a picture that follows a character, and a picture file that is missing.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "data/database.h"
#include "flow/flow_stage.h"
#include "flow/object_cmds.h"
#include "media/graphics/graphics_fixture.h"
#include "objects/chara.h"
#include "platform/message_box.h"
#include "test_support/flow_harness.h"

namespace {

class PictureCmd : public ::testing::Test {
 protected:
  PictureCmd() {
    gfxtest::WriteFile(display.Dir() / "bmp/picture/a.bmp", gfxtest::MakeBmp(20, 10, [](int, int) { return 1u; }));
    gfxtest::WriteFile(display.Dir() / "bmp/picture/b.bmp", gfxtest::MakeBmp(30, 12, [](int, int) { return 2u; }));
    g_Database.m_aPicture.assign(4, cPictureData());
    g_Database.m_aPicture[1].m_strFileName = "bmp\\picture\\a.bmp";
    g_Database.m_aPicture[2].m_strFileName = "bmp\\picture\\b.bmp";
    g_Database.m_aPicture[3].m_strFileName = "bmp\\picture\\gone.bmp";
    SetMessageBoxHandler([this](const char* text, const char*, unsigned) {
      boxes.emplace_back(text);
      return IDOK;
    });
  }
  ~PictureCmd() override { SetMessageBoxHandler(nullptr); }

  // P0 picture, P1 anchor, P12/P13 numbered and number; further parameters as given (P0-P15).
  void Show(int picture, int numbered = 0, int number = 0, std::vector<int32_t> params = {}) {
    params.resize(16, 0);
    params[0] = picture;
    params[7] = params[7] ? params[7] : 100;
    params[12] = numbered;
    params[13] = number;
    cFlowCmd cmd;
    cmd.m_nKind = 32;
    cmd.m_anParams = params;
    CmdShowPicture(h.Chara(0), cmd);
  }
  cFlowStage& Stage() { return h.Stage(); }
  const cScreenPicture& PictureAt(int i) { return *std::next(Stage().m_Pictures.begin(), i); }
  DDSURFACEDATA& SurfaceAt(int i) { return *std::next(Stage().m_PictureSurfaces.begin(), i); }
  void ExpectParallelLists(size_t count) {
    EXPECT_EQ(Stage().m_Pictures.size(), count);
    EXPECT_EQ(Stage().m_PictureSurfaces.size(), count);
    EXPECT_EQ(Stage().m_PictureSurfaceInfos.size(), count);
  }

  gfxtest::Display display{{0, 32, "DD32"}};
  cFlowHarness h{std::vector<std::string>{"H..C", "####"}};
  std::vector<std::string> boxes;
};

TEST_F(PictureCmd, APictureIsShownWithItsSurfaceAndValues) {
  ASSERT_TRUE(display.ok);
  Show(1, 0, 0, {0, 3, 40, 50, 4, 5, 6, 150, 2, 10, 0, 1});
  ExpectParallelLists(1);
  const cScreenPicture& shown = PictureAt(0);
  EXPECT_EQ(shown.m_nPicture, 1);
  EXPECT_EQ(shown.m_nAnchor, 3);
  EXPECT_EQ(shown.m_nX, 40);
  EXPECT_EQ(shown.m_nY, 50);
  EXPECT_EQ(shown.m_nOffsetX, 4);
  EXPECT_EQ(shown.m_nOffsetY, 5);
  EXPECT_EQ(shown.m_nLayer, 6);
  EXPECT_EQ(shown.m_nWidth, 30);  // 150 % of the file's 20 x 10
  EXPECT_EQ(shown.m_nHeight, 15);
  EXPECT_EQ(shown.m_nDisplayMode, 2);
  EXPECT_EQ(shown.m_nDisplayTime, 60);
  EXPECT_EQ(shown.m_bScreenFixed, 1);
  EXPECT_EQ(SurfaceAt(0).nWidth, 20);
  EXPECT_TRUE(h.CallsOf("runModalWait").empty());
}

TEST_F(PictureCmd, ANumberedPictureIsReplacedInPlace) {
  ASSERT_TRUE(display.ok);
  Show(2);
  Show(1, 1, 5);
  Show(2);
  const DDSURFACEDATA* kept = &SurfaceAt(1);
  // The same file: the surface stays.
  Show(1, 1, 5, {0, 0, 7});
  ExpectParallelLists(3);
  EXPECT_EQ(&SurfaceAt(1), kept);
  EXPECT_EQ(PictureAt(1).m_nX, 7);
  EXPECT_EQ(PictureAt(1).m_nNumber, 5);
  // Another file: a new surface in the same place.
  Show(2, 1, 5);
  ExpectParallelLists(3);
  EXPECT_EQ(PictureAt(1).m_nPicture, 2);
  EXPECT_EQ(SurfaceAt(1).nWidth, 30);
  EXPECT_EQ(PictureAt(1).m_nWidth, 30);
  // Erased by its number; a number not shown changes nothing.
  Show(0, 1, 6);
  ExpectParallelLists(3);
  Show(0, 1, 5);
  ExpectParallelLists(2);
  EXPECT_EQ(PictureAt(0).m_bNumbered + PictureAt(1).m_bNumbered, 0);
  // Without a number every picture goes.
  Show(0);
  ExpectParallelLists(0);
}

TEST_F(PictureCmd, AMissingPictureFileIsReportedAndSkipped) {
  ASSERT_TRUE(display.ok);
  Show(1);
  Show(3);  // the file is gone: the game goes on without it
  Show(9);  // no such picture
  ExpectParallelLists(1);
  EXPECT_TRUE(boxes.empty());
  // A numbered picture replaced by a missing one is gone, and nothing stands in its place.
  Show(2, 1, 4);
  Show(3, 1, 4);
  ExpectParallelLists(1);
  EXPECT_EQ(PictureAt(0).m_nPicture, 1);
}

TEST_F(PictureCmd, AWaitingPictureIsRemovedAfterItsWait) {
  ASSERT_TRUE(display.ok);
  Show(1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});              // wait for a key
  Show(1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 2, 4, 1});              // wait 4 tenths
  Show(1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 2, 4, 1, 0, 0, 0, 1});  // one frame only
  const std::vector<cHarnessCall> waits = h.CallsOf("setupGameWait");
  ASSERT_EQ(waits.size(), 3u);
  EXPECT_EQ(waits[0].adArgs[0], kWaitPicture);
  EXPECT_EQ(waits[0].adArgs[1], 1);
  EXPECT_EQ(waits[1].adArgs[1], 0);
  EXPECT_EQ(waits[1].adArgs[2], 24);
  EXPECT_EQ(waits[2].adArgs[2], 1);
  EXPECT_EQ(h.CallsOf("runModalWait").size(), 3u);
  ExpectParallelLists(0);
}

TEST_F(PictureCmd, APictureFollowingTheActorStartsAtItsCentre) {
  ASSERT_TRUE(display.ok);
  cChara& my = h.Chara(0);
  my.m_dX = 400, my.m_dY = 300;
  my.m_nWidth = 20, my.m_nHeight = 24;
  Show(1, 0, 0, {0, 1, 0, 0, 3, 4});
  ASSERT_EQ(Stage().m_Pictures.size(), 1u);
  const cScreenPicture& shown = PictureAt(0);
  EXPECT_EQ(shown.m_nCharaId, my.m_nNumber);
  EXPECT_EQ(shown.m_nX, 410 - 10 + 3);
  EXPECT_EQ(shown.m_nY, 312 - 5 + 4);
  // Anchor 2 follows the hero.
  Show(1, 0, 0, {0, 2});
  EXPECT_EQ(PictureAt(1).m_nCharaId, h.Hero().m_nNumber);
}

TEST_F(PictureCmd, NothingIsShownWhileTheStageIsBeingClosed) {
  Stage().m_bAbort = 1;
  Show(1);
  ExpectParallelLists(0);
}

}  // namespace
