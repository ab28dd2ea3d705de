#pragma once
// Menu scenes stepped frame by frame without a screen: a game folder with the menu pictures and a
// display over it, the first player's input set before each frame, and the sounds asked for, the
// drawing calls made and the message boxes shown collected.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/log.h"
#include "data/game_data.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/graphics_fixture.h"
#include "media/graphics/surface_table.h"
#include "media/sound/sound_effects.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "shell/app_globals.h"
#include "shell/input_state.h"
#include "shell/menu_cursor.h"
#include "shell/scene.h"
#include "shell/scene_mgr.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"

namespace menutest {

inline std::vector<int>& Sounds() {
  static std::vector<int> sounds;
  return sounds;
}
inline std::vector<DDTRACECALL>& Draws() {
  static std::vector<DDTRACECALL> draws;
  return draws;
}

// A plain picture of the given size in one palette colour.
inline void WritePicture(const std::filesystem::path& dir, const char* name, int w, int h, int colour) {
  gfxtest::WritePaletteBmp(dir / "bmp" / name, w, h, [colour](int, int) { return static_cast<uint32_t>(colour); });
}

class cMenuSceneTest : public testing::Test {
 protected:
  cMenuSceneTest() {
    Sounds().clear();
    Draws().clear();
    g_bQuit.store(0);
    g_InputStates.assign(1, cInputState());
    g_MenuCursor.ResetCursorStack();
    g_SceneMgr.m_nScene = kSceneTitle;
    g_SceneMgr.m_nRequestScene = kSceneTitle;
    g_SceneMgr.m_nPrevScene = kSceneTitle;
    g_SceneMgr.m_anSelectPos[0] = g_SceneMgr.m_anSelectPos[1] = 0;
    g_ModeIndex = 0;
    g_RankingOn = 0;
    g_DirectPlay = 0;
    g_ReturnToTitle = 0;
    const std::filesystem::path& dir = m_Display.Dir();
    std::filesystem::create_directories(dir / "data" / "stg4");
    std::filesystem::create_directories(dir / "user_data" / "story");
    std::filesystem::create_directories(dir / "user_data" / "challenge");
    WritePicture(dir, "Title.bmp", 640, 480, 3);
    WritePicture(dir, "GameMode.bmp", 200, 7 * 32, 4);
    WritePicture(dir, "Accessory.bmp", 128, 64, 5);
    WritePicture(dir, "Window.bmp", 640, 480, 6);
    SetMessageBoxHandler([](const char* text, const char*, unsigned) {
      Boxes().push_back(text ? text : "");
      return 1;
    });
    Boxes().clear();
    DrainMessages();
  }
  ~cMenuSceneTest() override {
    m_Scene.reset();
    SetMessageBoxHandler(nullptr);
    g_bQuit.store(0);
    g_DirectPlay = 0;
    g_ReturnToTitle = 0;
    g_MenuCursor.ResetCursorStack();
    DrainMessages();
  }

  static std::vector<std::string>& Boxes() {
    static std::vector<std::string> boxes;
    return boxes;
  }

  // Starts a scene object as the scene manager would (it enters on its first frame).
  template <class Scene>
  Scene& Start() {
    m_Scene = std::make_unique<Scene>();
    return static_cast<Scene&>(*m_Scene);
  }
  // One frame with the first player's direction and button words as the devices gave them.
  void Frame(uint16_t dir = 0, uint16_t buttons = 0) {
    cInputState& input = g_InputStates[0];
    input.m_wDir = dir;
    input.m_wButton = buttons;
    Draws().clear();
    m_Scene->Step();
  }
  // Frames without input until the fade-in has ended (the scene is in its first own phase).
  void FadeIn() {
    for (int i = 0; i < 200 && m_Scene->m_nPhase <= 0; ++i) Frame();
    ASSERT_EQ(m_Scene->m_nPhase, 1) << "the fade-in did not end";
  }
  // A press of one direction: one frame with it held, one released.
  void Press(uint16_t dir) {
    Frame(dir);
    Frame();
  }
  // A press of buttons: one frame with them held, one released.
  void Push(uint16_t buttons) {
    Frame(0, buttons);
    Frame();
  }
  // Frames without input until the fade-out has ended (the scene manager's current scene changes).
  void FadeOut() {
    for (int i = 0; i < 200 && g_SceneMgr.m_nScene == m_nSceneAtStart; ++i) Frame();
  }

  static std::vector<DDTRACECALL> DrawsNamed(const char* name) {
    std::vector<DDTRACECALL> out;
    for (const DDTRACECALL& c : Draws())
      if (c.strName == name) out.push_back(c);
    return out;
  }
  // Blits onto the back surface from a picture of the surface table.
  static std::vector<DDTRACECALL> BlitsFrom(int slot) {
    std::vector<DDTRACECALL> out;
    for (const DDTRACECALL& c : DrawsNamed("DDBlt"))
      if (c.lpSrc == &g_SurfaceData[slot] && c.lpDst == &g_BackBufferSD) out.push_back(c);
    return out;
  }
  static void DrainMessages() {
    MSG msg;
    while (PeekMessage(&msg, true)) {}
  }
  static bool CloseWasPosted() {
    MSG msg;
    bool posted = false;
    while (PeekMessage(&msg, true))
      if (msg.message == WM_CLOSE) posted = true;
    return posted;
  }

  cFreshGameData m_Fresh;
  cHooksGuard<cSoundTraceHooks> m_SoundTrace{SetSoundTraceHooks,
                                             {.record = [](int slot) { Sounds().push_back(slot); }}};
  gfxtest::Display m_Display{gfxtest::kModes[4]};
  cHooksGuard<cDrawTraceHooks> m_DrawTrace{SetDrawTraceHooks,
                                           {.record = [](const DDTRACECALL& c) { Draws().push_back(c); }}};
  std::unique_ptr<cScene> m_Scene;
  int m_nSceneAtStart = kSceneTitle;
};

}  // namespace menutest
