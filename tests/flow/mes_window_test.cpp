// The message window: its set-up and surface in the stage's pool, its life countdown, the refresh
// of its codes, its place by each of the eleven anchors with fixing and clamping, and what it draws
// (opening box, text, choice cursor, extra-life icon).
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "data/save_data.h"
#include "media/graphics/surface_table.h"
#include "message_fixture.h"

namespace {

using MesWindow = MessageStage;

TEST_F(MesWindow, ATextWindowTakesAPoolSurfaceOfItsMeasuredSize) {
  std::vector<cChoiceEntry> choices;
  MESWINDOWARGS args = TextArgs("ab\nあいう#R3");
  args.bChoices = 1;
  args.lpChoices = &choices;
  cMesWindow& w = h.Stage().m_MesWindows.emplace_back(args);
  // Close mode 1: no choices, so the tag stays as text.
  EXPECT_EQ(w.m_bChoices, 0);
  EXPECT_TRUE(choices.empty());
  EXPECT_EQ(w.m_strText, "ab\nあいう#R3");
  EXPECT_EQ(w.m_nWidth, 6 * 8 + 2);
  EXPECT_EQ(w.m_nHeight, 2 * 16 + 2);
  EXPECT_FALSE(w.m_bOpening);  // only a key-closed window opens
  ASSERT_EQ(h.Stage().m_MesSurfaces.size(), 1u);
  EXPECT_EQ(w.m_lpSurface, &h.Stage().m_MesSurfaces.front());
  EXPECT_EQ(w.m_lpSurface->nWidth, 50);
  EXPECT_EQ(w.m_lpSurface->nHeight, 34);
  // Rendered once: cleared with colour 0, the text at (1, 1).
  ASSERT_EQ(DrawsNamed("DDFillSurface").size(), 1u);
  const std::vector<DDTRACECALL> texts = DrawsNamed("cFont::DrawString");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].lpDst, w.m_lpSurface);
  EXPECT_EQ(texts[0].adArgs[0], 1);
  EXPECT_EQ(texts[0].adArgs[1], 1);
  EXPECT_EQ(texts[0].strText, w.m_strText);

  // A key-closed window with choices formats its tags into the list and opens.
  args.nCloseMode = 0;
  args.strText = "a#R3_C2.";
  cMesWindow& keyed = h.Stage().m_MesWindows.emplace_back(args);
  EXPECT_EQ(keyed.m_bChoices, 1);
  EXPECT_EQ(keyed.m_strText, "a ");
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0].nValue, 3);
  EXPECT_TRUE(keyed.m_bOpening);
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 2u);
  EXPECT_NE(keyed.m_nHandle, w.m_nHandle);
  EXPECT_EQ(FindMesWindow(h.Stage().m_MesWindows, keyed.m_nHandle)->m_nHandle, keyed.m_nHandle);
  EXPECT_EQ(FindMesWindow(h.Stage().m_MesWindows, 999), h.Stage().m_MesWindows.end());

  // Set up again in place, the window keeps its surface and renders anew.
  h.ClearTraces();
  args.bBox = 1;
  args.bNoOpening = 1;
  keyed.ResetMesWindow(args);
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 2u);
  EXPECT_FALSE(keyed.m_bOpening);
  EXPECT_EQ(DrawsNamed("cFont::DrawBoxString").size(), 1u);

  keyed.ReleaseMesSurface();
  EXPECT_EQ(keyed.m_lpSurface, nullptr);
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 1u);
  EXPECT_EQ(h.Stage().m_MesSurfaceInfos.size(), 1u);
}

TEST_F(MesWindow, OtherKindsHaveNoSurface) {
  MESWINDOWARGS args;
  args.nKind = kMesGraphic;
  cMesWindow& graphic = h.Stage().m_MesWindows.emplace_back(args);
  EXPECT_EQ(graphic.m_nWidth, 16);
  EXPECT_EQ(graphic.m_nHeight, 16);
  args.nKind = kMesTimer;
  cMesWindow& timer = h.Stage().m_MesWindows.emplace_back(args);
  EXPECT_EQ(timer.m_nWidth, 0);
  EXPECT_EQ(timer.m_lpSurface, nullptr);
  EXPECT_TRUE(h.Stage().m_MesSurfaces.empty());
}

TEST_F(MesWindow, ATimedWindowEndsAfterItsLifeAndAgesWhileHeldOnlyWhenAsked) {
  for (int countWhileHeld : {0, 1}) {
    MESWINDOWARGS args = TextArgs("x");
    args.nCloseMode = 2;
    args.nLifeFrames = 30;
    args.bCountWhileHeld = countWhileHeld;
    cMesWindow& w = h.Stage().m_MesWindows.emplace_back(args);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(w.AgeMesWindow(1), 0);  // a modal wait, the pause menu
    int frames = 1;
    while (!w.AgeMesWindow(0) && frames < 100) ++frames;
    EXPECT_EQ(frames, countWhileHeld ? 21 : 31);
    EXPECT_EQ(w.m_lpSurface, nullptr);  // the ended window gave its surface back
    h.Stage().m_MesWindows.clear();
  }
  EXPECT_TRUE(h.Stage().m_MesSurfaces.empty());
  // Windows closed by a key or by the stage never end by themselves.
  for (int mode : {0, 1}) {
    MESWINDOWARGS args = TextArgs("x");
    args.nCloseMode = mode;
    cMesWindow w(args);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(w.AgeMesWindow(0), 0);
    w.ReleaseMesSurface();
  }
}

TEST_F(MesWindow, RisingPicturesClimbADotEveryFourFrames) {
  MESWINDOWARGS args;
  args.nKind = kMesExtraLife;
  args.nCloseMode = 2;
  args.nLifeFrames = 30;
  args.nAnchor = 7;
  args.nUnit = 1;
  args.nPosX = 100;
  args.nPosY = 200;
  args.bFixed = 1;
  cMesWindow& w = h.Stage().m_MesWindows.emplace_back(args);
  std::vector<double> ys;
  for (int frame = 0; frame < 9; ++frame) {
    w.AgeMesWindow(0);
    int x = 0, y = 0;
    ASSERT_TRUE(w.PlaceMesWindow(nullptr, x, y));
    w.DrawMesWindow(&g_BackBufferSD, x, y);
  }
  for (const DDTRACECALL& call : DrawsNamed("DDBlt")) {
    EXPECT_EQ(call.lpSrc, &g_GameSurfaces[51]);
    EXPECT_EQ(call.adArgs[0], 100);
    EXPECT_EQ(call.adArgs[4], 48);  // the extra-life cell of the symbol sheet
    ys.push_back(call.adArgs[1]);
  }
  EXPECT_EQ(ys, (std::vector<double>{200, 200, 200, 199, 199, 199, 199, 198, 198}));
}

// The anchors with a window of 34 x 18 dots, offsets (5, -3), the view at (100.7, 50.2), the block
// origin at (10, 10) and the anchor character's graphic at (200, 100)-(231, 131) on the screen.
class MesWindowAnchors : public MessageStage {
 protected:
  MesWindowAnchors() {
    h.Stage().m_ScrollX.m_dPosition = 100.7;
    h.Stage().m_ScrollY.m_dPosition = 50.2;
    h.Stage().m_nBlockOriginX = 10;
    h.Stage().m_nBlockOriginY = 10;
    h.Hero().m_ScreenRect = {200, 100, 231, 131};
  }
  cMesWindow& Window(int anchor, int unit, int fixed = 1, int clamp = 0, int x = 3, int y = 2) {
    MESWINDOWARGS args = TextArgs("abcd");
    args.nAnchor = anchor;
    args.nUnit = unit;
    args.nPosX = x;
    args.nPosY = y;
    args.nOffsetX = 5;
    args.nOffsetY = -3;
    args.bFixed = fixed;
    args.bClampToScreen = clamp;
    return h.Stage().m_MesWindows.emplace_back(args);
  }
};

TEST_F(MesWindowAnchors, EachAnchorPlacesTheWindow) {
  struct Case {
    int anchor, unit, x, y;
  };
  const Case cases[] = {
      {0, 0, 308, 228}, {0, 1, 308, 228},                                        // screen centre
      {1, 0, 204, 79},  {2, 0, 204, 129}, {3, 0, 204, 104},                      // the running character
      {4, 0, 204, 79},  {5, 0, 204, 129}, {6, 0, 204, 104},                      // the hero
      {7, 0, 101, 61},  {7, 1, 8, -1},                                           // screen position
      {8, 0, 100, 68},  {8, 1, -9, -10},                                         // centred on it
      {9, 0, 321, 331}, {9, 1, 228, 269}, {10, 0, 320, 338}, {10, 1, 211, 260},  // map positions
  };
  for (const Case& c : cases) {
    cMesWindow& w = Window(c.anchor, c.unit);
    ASSERT_EQ(w.m_nWidth, 34);
    int x = 0, y = 0;
    ASSERT_TRUE(w.PlaceMesWindow(&h.Hero(), x, y));
    EXPECT_EQ(x, c.x) << c.anchor << "/" << c.unit;
    EXPECT_EQ(y, c.y) << c.anchor << "/" << c.unit;
  }
}

TEST_F(MesWindowAnchors, ScreenPositionsStayAtTheirPlaceInTheMapUnlessFixed) {
  cMesWindow& loose = Window(0, 0, 0);
  cMesWindow& fixed = Window(0, 0, 1);
  cMesWindow& byChara = Window(1, 0, 1);
  cMesWindow& followsChara = Window(1, 0, 0);
  int x = 0, y = 0;
  for (cMesWindow* w : {&loose, &fixed, &byChara, &followsChara}) ASSERT_TRUE(w->PlaceMesWindow(&h.Hero(), x, y));
  EXPECT_EQ(loose.m_nMapX, 409);  // trunc(308 + 100.7 + 0.5)
  EXPECT_EQ(loose.m_nMapY, 278);  // trunc(228 + 50.2 + 0.5)
  // The view scrolls and the character moves.
  h.Stage().m_ScrollX.m_dPosition = 150.0;
  h.Stage().m_ScrollY.m_dPosition = 60.0;
  h.Hero().m_ScreenRect = {300, 200, 331, 231};
  ASSERT_TRUE(loose.PlaceMesWindow(&h.Hero(), x, y));
  EXPECT_EQ(x, 259);  // trunc(409 - (150 - 0.5))
  EXPECT_EQ(y, 218);
  ASSERT_TRUE(fixed.PlaceMesWindow(&h.Hero(), x, y));
  EXPECT_EQ(x, 308);
  EXPECT_EQ(y, 228);
  ASSERT_TRUE(byChara.PlaceMesWindow(&h.Hero(), x, y));  // fixed where it first stood
  EXPECT_EQ(x, 204);
  EXPECT_EQ(y, 79);
  ASSERT_TRUE(followsChara.PlaceMesWindow(&h.Hero(), x, y));
  EXPECT_EQ(x, 304);
  EXPECT_EQ(y, 179);
}

TEST_F(MesWindowAnchors, ClampingKeepsTheWindowOnTheScreenBelowTheStatusLine) {
  struct Case {
    int posX, posY, x, y;
  };
  const Case cases[] = {{-10, 5, 0, 20}, {620, 470, 606, 462}, {600, 458, 606, 455}, {599, 457, 604, 454}};
  for (const Case& c : cases) {
    cMesWindow& w = Window(7, 1, 1, 1, c.posX, c.posY);
    int x = 0, y = 0;
    ASSERT_TRUE(w.PlaceMesWindow(nullptr, x, y));
    EXPECT_EQ(x, c.x) << c.posX;
    EXPECT_EQ(y, c.y) << c.posY;
  }
}

TEST_F(MesWindowAnchors, ATextWindowWithoutItsCharacterEnds) {
  cMesWindow& text = Window(2, 0);
  int x = 0, y = 0;
  EXPECT_FALSE(text.PlaceMesWindow(nullptr, x, y));
  EXPECT_EQ(text.m_lpSurface, nullptr);
  EXPECT_TRUE(h.Stage().m_MesSurfaces.empty());
  // A rising picture keeps its place.
  MESWINDOWARGS args;
  args.nKind = kMesGraphic;
  args.nAnchor = 4;
  args.bFixed = 1;
  cMesWindow& picture = h.Stage().m_MesWindows.emplace_back(args);
  ASSERT_TRUE(picture.PlaceMesWindow(&h.Hero(), x, y));
  EXPECT_EQ(x, 208);  // 200 + 16 - 8
  EXPECT_EQ(y, 84);   // 100 - 16
  x = y = 0;
  EXPECT_TRUE(picture.PlaceMesWindow(nullptr, x, y));
  EXPECT_EQ(x, 208);
  EXPECT_EQ(y, 84);
}

TEST_F(MesWindow, ABoxedKeyWindowGrowsItsBoxFor19FramesThenShowsItsText) {
  MESWINDOWARGS args = TextArgs("abcdefghijklmnopqrstuvwx");  // 194 x 18
  args.nCloseMode = 0;
  args.bBox = 1;
  cMesWindow& w = h.Stage().m_MesWindows.emplace_back(args);
  h.ClearTraces();
  for (int frame = 1; frame <= 21; ++frame) w.DrawMesWindow(&g_BackBufferSD, 100, 200);
  const std::vector<DDTRACECALL> boxes = DrawsNamed("cFont::DrawBox");
  ASSERT_EQ(boxes.size(), 19u);
  // Frame 10: half the size, about the window's centre.
  EXPECT_EQ(boxes[9].adArgs, (std::vector<double>{100 + (194 - 97) / 2, 200 + (18 - 9) / 2, 97, 9}));
  EXPECT_EQ(boxes[18].adArgs[2], 184);  // 194 x 0.95
  const std::vector<DDTRACECALL> blits = DrawsNamed("DDBlt");
  ASSERT_EQ(blits.size(), 2u);  // frames 20 and 21
  EXPECT_EQ(blits[0].lpSrc, w.m_lpSurface);
  EXPECT_EQ(blits[0].adArgs, (std::vector<double>{100, 200, 194, 18, 0, 0, 1}));

  // Without a box the window shows nothing while it opens; an empty text never shows.
  args.bBox = 0;
  cMesWindow& plain = h.Stage().m_MesWindows.emplace_back(args);
  args.strText = "";
  args.bNoOpening = 1;
  cMesWindow& empty = h.Stage().m_MesWindows.emplace_back(args);
  h.ClearTraces();
  for (int frame = 1; frame <= 20; ++frame) {
    plain.DrawMesWindow(&g_BackBufferSD, 0, 0);
    empty.DrawMesWindow(&g_BackBufferSD, 0, 0);
  }
  EXPECT_EQ(h.Draws().size(), 1u);
}

TEST_F(MesWindow, AnOpenChoiceWindowDrawsTheCursorAtTheSelectedTag) {
  std::vector<cChoiceEntry> choices;
  MESWINDOWARGS args = TextArgs("yes #R1\nno  #R2");
  args.nCloseMode = 0;
  args.bNoOpening = 1;
  args.bChoices = 1;
  args.lpChoices = &choices;
  cMesWindow& w = h.Stage().m_MesWindows.emplace_back(args);
  ASSERT_EQ(choices.size(), 2u);
  h.Stage().m_GameWait.m_aChoices = choices;
  struct Case {
    int selection;
    bool cursor;
  };
  for (const Case c : {Case{1, true}, Case{0, true}, Case{2, false}, Case{-1, false}}) {
    h.ClearTraces();
    h.Stage().m_GameWait.m_nSelection = c.selection;
    w.DrawMesWindow(&g_BackBufferSD, 100, 200);
    const std::vector<DDTRACECALL> blits = DrawsNamed("DDBlt");
    ASSERT_EQ(blits.size(), c.cursor ? 2u : 1u) << c.selection;
    if (!c.cursor) continue;
    const cChoiceEntry& chosen = choices[static_cast<size_t>(c.selection)];
    EXPECT_EQ(blits[1].lpSrc, &g_GameSurfaces[51]);
    EXPECT_EQ(blits[1].adArgs, (std::vector<double>{100.0 + chosen.nX, 200.0 + chosen.nY, 16, 16, 64, 0, 1}));
  }
  EXPECT_EQ(choices[1].nX, 64);
  EXPECT_EQ(choices[1].nY, 16);
  // A lost surface is drawn again before it is shown.
  h.ClearTraces();
  w.m_lpSurface->bContentsLost = 1;
  w.DrawMesWindow(&g_BackBufferSD, 0, 0);
  EXPECT_EQ(DrawsNamed("cFont::DrawString").size(), 1u);
  EXPECT_EQ(w.m_lpSurface->bContentsLost, 0);
}

TEST_F(MesWindow, ARefreshKeepsTheValuesCurrentAndResizesTheSurfaceInPlace) {
  g_SaveData.m_anCommonVars[3] = 7;
  MESWINDOWARGS args = TextArgs("#C3");
  args.bExpandCodes = 1;
  args.bRefresh = 1;
  args.nRefreshFrames = 2;
  cMesWindow& other = h.Stage().m_MesWindows.emplace_back(TextArgs("first"));
  cMesWindow& w = h.Stage().m_MesWindows.emplace_back(args);
  EXPECT_EQ(w.m_strText, "7");
  EXPECT_EQ(w.m_nWidth, 10);
  DDSURFACEDATA* surface = w.m_lpSurface;
  EXPECT_EQ(surface, &h.Stage().m_MesSurfaces.back());

  g_SaveData.m_anCommonVars[3] = 1234;
  h.Stage().m_nFrameCount = 3;  // not a refresh frame
  w.RefreshMesText();
  EXPECT_EQ(w.m_strText, "7");
  h.Stage().m_nFrameCount = 4;
  h.ClearTraces();
  w.RefreshMesText();
  EXPECT_EQ(w.m_strText, "1234");
  EXPECT_EQ(w.m_nWidth, 34);
  EXPECT_EQ(w.m_lpSurface, surface);  // the same pool entry, made again at the new size
  EXPECT_EQ(surface->nWidth, 34);
  EXPECT_EQ(h.Stage().m_MesSurfaces.size(), 2u);
  EXPECT_EQ(other.m_lpSurface, &h.Stage().m_MesSurfaces.front());
  EXPECT_EQ(DrawsNamed("cFont::DrawString").size(), 1u);
  // Unchanged text is not drawn again.
  h.ClearTraces();
  h.Stage().m_nFrameCount = 6;
  w.RefreshMesText();
  EXPECT_TRUE(h.Draws().empty());
}

TEST_F(MesWindow, TheItemPictureRisesOverTheHero) {
  h.Hero().m_nNumber = 12;
  AppendItemMesWindow(h.Hero(), 1, 5, 2);
  ASSERT_EQ(h.Stage().m_MesWindows.size(), 1u);
  const cMesWindow& w = h.Stage().m_MesWindows.back();
  EXPECT_EQ(w.m_nKind, kMesGraphic);
  EXPECT_EQ(std::vector<int32_t>(std::begin(w.m_anGraphic), std::end(w.m_anGraphic)), (std::vector<int32_t>{1, 5, 2}));
  EXPECT_EQ(w.m_nAnchor, 4);
  EXPECT_EQ(w.m_nTarget, 12);
  EXPECT_EQ(w.m_bFixed, 1);
  EXPECT_EQ(w.m_nCloseMode, 2);
  EXPECT_EQ(w.m_nLife, 30);
  EXPECT_EQ(w.m_bCountWhileHeld, 0);
}

}  // namespace
