#pragma once
// The free-play list (scene 4): every stage file of the stage folder in a scrolling list; the chosen
// file is played as a one-off free-play stage, and stage play comes back here. The row and the file
// name of the last started stage are remembered (g_FreeData, written at exit), so that the cursor
// comes back to the same file while it keeps its name and place.
#include <cstdint>
#include <vector>

#include "menus/free_list.h"
#include "menus/menu_scene.h"

// Builds the free list scene.
cScene* CreateFreeListScene();

class cSceneFreeList : public cMenuScene {
 public:
  enum ePhase : int { kPhaseFadeIn = 0, kPhaseMain = 1, kPhaseFadeOut = 2 };

  cSceneFreeList();
  void Enter() override;
  int FadeIn() override;
  int FadeOut() override;

  // What the list shows, for the tests.
  const std::vector<FREEENTRY>& Rows() const { return m_aRows; }
  int Count() const { return static_cast<int>(m_aRows.size()); }
  int32_t Top() const { return m_nTop; }
  int Window() const { return m_nWindow; }
  int ScreenDraws() const { return m_nScreenDraws; }

 private:
  int StepMain();
  // Button 1 on a row: its stage starts, or the player hears (and, for a file that does not load,
  // reads) why not and stays in the list.
  void StartRow(int row);
  void DrawScreen();
  void DrawFrame();

  std::vector<FREEENTRY> m_aRows;
  int32_t m_nTop = 0;
  int m_nWindow = 0;
  int m_nScreenDraws = 0;
};
