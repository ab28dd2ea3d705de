#include "menus/menu_scene.h"

#include <string>

#include "core/containers.h"
#include "core/log.h"
#include "core/strings.h"
#include "data/game_data.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/fade.h"
#include "media/graphics/font.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_table.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene_mgr.h"

std::vector<DDSURFACEDATA> g_SceneSurfaces;
std::vector<DDSURFACEINFO> g_SceneSurfaceInfos;

namespace {
// The back surface is filled with this palette colour when a fade-out ends.
constexpr uint32_t kFadeFillColour = 16;
// The large font draws the screen box and the captions; its cells are 32 dots wide.
constexpr int kLargeFont = 2;
constexpr int kLargeCell = 32;
constexpr int kCaptionY = 32;
constexpr int kScreenCentreX = 320;
// Cursor pictures on "bmp\Accessory.bmp".
constexpr int kHandSize = 32;
constexpr int kArrowSize = 16;
constexpr int kArrowSourceX = 64;
constexpr int kSecondArrowSourceX = 80;

void DrawAccessoryCell(int x, int y, int sx, int size) {
  DDBlt(&g_BackBufferSD, x, y, size, size, &g_SurfaceData[kPictureAccessory], sx, 0, 1);
}
}  // namespace

void ReleaseSceneSurfaces() {
  DDReleaseSurfaceVec(g_SceneSurfaces);
  // Emptied too: the next scene's surface must be the first one, the one the scenes draw from.
  g_SceneSurfaces.clear();
  g_SceneSurfaceInfos.clear();
}

cMenuScene::~cMenuScene() {
  for (int slot : m_anPictures) DDReleaseSurface(&g_SurfaceData[slot]);
  ReleaseSceneSurfaces();
}

int cMenuScene::Step() {
  if (g_bQuit.load()) return 1;
  cInputState& input = VecAt(g_InputStates, 0);
  input.RepeatDirKeys();
  input.TriggerButtons(kMenuDecide | kMenuCancel);
  if (m_nPhase == -1) {
    try {
      Enter();
    } catch (const char* text) { ECLogAndQuit(g_hMainWnd.load(), "%s", text ? text : ""); }
    m_nPhase = 0;
  }
  if (g_bQuit.load()) return 1;
  return RunPhase();
}

bool cMenuScene::EnterMenu(int musicSituation, std::initializer_list<int> pictures) {
  const auto& numbers = g_SystemData.m_anSceneBgm;
  const auto& loops = g_SystemData.m_abSceneBgm;
  const size_t s = static_cast<size_t>(musicSituation);
  g_SceneMgr.RequestBgm(s < numbers.size() ? numbers[s] : 0, s < loops.size() ? loops[s] : 0, musicSituation, 0);
  m_anPictures.assign(pictures.begin(), pictures.end());
  g_MenuCursor.ResetCursorStack();
  m_nSubState = 0;
  if (!DDLoadSurfaces(g_SurfaceData, m_anPictures.data(), static_cast<int>(m_anPictures.size()))) {
    FatalStop();
    return false;
  }
  return true;
}

DDSURFACEDATA* cMenuScene::CreateSceneSurface(int width, int height, bool colourKey) {
  ReleaseSceneSurfaces();
  if (!DDPushSurface(g_SceneSurfaces, g_SceneSurfaceInfos, width, height, colourKey ? 1 : 0, 0, 0, 0)) {
    FatalStop();
    return nullptr;
  }
  return &g_SceneSurfaces.front();
}

DDSURFACEDATA* cMenuScene::SceneSurface() { return g_SceneSurfaces.empty() ? nullptr : &g_SceneSurfaces.front(); }

bool cMenuScene::TakeContentsLost(DDSURFACEDATA* surface) {
  if (!surface || !surface->bContentsLost) return false;
  surface->bContentsLost = 0;
  return true;
}

void cMenuScene::DrawScreenBox(DDSURFACEDATA* surface, int titleItem) {
  cFont& font = g_Font[kLargeFont];
  font.DrawBox(surface, 1, 1, 638, 478);
  const auto& items = g_SystemData.m_aTitleMenu;
  if (titleItem < 0 || static_cast<size_t>(titleItem) >= items.size()) return;
  const char* caption = items[static_cast<size_t>(titleItem)].m_strCaption.c_str();
  font.DrawString(surface, kScreenCentreX - kLargeCell / 2 * CountSjisChars(caption), kCaptionY, caption);
}

bool cMenuScene::StepFadeIn() {
  // Never the reset flag: it would end the fade in one call.
  const bool done = DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneMgr.m_nFadeStep, g_GamePalette, 0);
  m_nSubState = done ? 0 : 1;
  return done;
}

bool cMenuScene::StepFadeOut(bool keepCursor) {
  const bool done = DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneMgr.m_nFadeStep, g_GamePalette, 0);
  m_nSubState = 1;
  if (!done) return false;
  m_nSubState = 0;
  DDFillSurface(&g_BackBufferSD, kFadeFillColour);
  if (!keepCursor) g_MenuCursor.ResetCursorStack();
  g_SceneMgr.m_nPrevScene = m_nSceneId;
  g_SceneMgr.m_nScene = g_SceneMgr.m_nRequestScene;
  return true;
}

void cMenuScene::Leave(int sceneId) {
  g_SceneMgr.m_nRequestScene = sceneId;
  m_nSubState = 0;
  m_nPhase = LastPhase();
}

void cMenuScene::DrawHand(int x, int y) { DrawAccessoryCell(x, y, 0, kHandSize); }
void cMenuScene::DrawArrow(int x, int y) { DrawAccessoryCell(x, y, kArrowSourceX, kArrowSize); }
void cMenuScene::DrawSecondArrow(int x, int y) { DrawAccessoryCell(x, y, kSecondArrowSourceX, kArrowSize); }
