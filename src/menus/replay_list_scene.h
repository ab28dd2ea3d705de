#pragma once
// The replay list (scene 5): the replay files of "user_data\rpl4\" in a scrolling list, sorted four
// ways (button 3), limited to cleared plays when the playback order asks for it; button 1 plays the
// chosen replay back, button 4 shows its file in the file manager (in a window only), button 5 reads
// the folder again. The place in the list, the chosen name and the sort order are remembered in
// g_ReplayData; the names stay in g_ReplayList for playback to step through.
#include <cstdint>
#include <vector>

#include "menus/menu_scene.h"
#include "menus/replay_list.h"

class cSceneReplayList : public cMenuScene {
 public:
  enum ePhase : int { kPhaseFadeIn = 0, kPhaseMain = 1, kPhaseFadeOut = 2 };

  cSceneReplayList();
  void Enter() override;
  int FadeIn() override;
  int FadeOut() override;

  const std::vector<cReplayRow>& Rows() const { return m_aRows; }
  int Count() const { return m_nCount; }
  int Window() const { return m_nWindow; }
  int32_t Top() const { return m_nTop; }
  // How often the pre-rendered screen was drawn.
  int ScreenDraws() const { return m_nScreenDraws; }

 private:
  int StepMain();
  // Reads the folder again with the current filter and order.
  void Rebuild();
  // The cursor and top from g_ReplayData when its row still holds its file, else the first row.
  void RestorePosition();
  // The cursor on the first row after a sort or a refresh.
  void ToFirstRow();
  void UpdateWindow();
  void DrawScreen();
  void DrawScrollBar(DDSURFACEDATA* surface);
  void DrawFrame();
  // The buttons as this frame's steps read them: buttons 4 and 5 once per press.
  uint16_t TakeButtons(uint16_t held);
  void StartSelected(int row);
  // Button 4 in a window: false when refused (the frame then ends).
  bool ShowSelected(int row);

  std::vector<cReplayRow> m_aRows;
  int32_t m_nTop = 0;
  int m_nCount = 0;
  int m_nWindow = 0;
  int m_nScreenDraws = 0;
  uint16_t m_wHeld = 0;  // buttons 4 and 5 as they were on the last frame
};

cScene* CreateReplayListScene();
