#pragma once
// The stage select (scene 3), the challenge's menu: a scrolling list of the numbered stages, each
// with its cleared badge and best score, the result total, and the ranking panel of the selected
// stage. The list's row and top are remembered in the scene manager whenever a stage starts.
#include <cstdint>
#include <string>

#include "menus/menu_scene.h"

// The stage file of challenge number n (1-based): "data\stg4\c" + n with two digits + "-1.stg4".
std::string ChallengeStagePath(int number);

class cSceneStageSelect : public cMenuScene {
 public:
  enum ePhase : int { kPhaseFadeIn = 0, kPhaseMain = 1, kPhaseFadeOut = 2 };

  cSceneStageSelect();
  void Enter() override;
  int FadeIn() override;
  int FadeOut() override;

  // Makes challenge number n the current stage and, with rankings on, loads its rankings.
  void SelectStage(int number);

  // The numbers the list offers and the rows it shows from its top.
  int Count() const { return m_nCount; }
  int Window() const { return m_nWindow; }
  int32_t Top() const { return m_nTop; }
  // How often the pre-rendered screen was drawn.
  int ScreenDraws() const { return m_nScreenDraws; }

 private:
  int StepMain();
  // The count and window of the list as the progress and the list top now stand.
  void UpdateCount();
  void DrawScreen();
  void DrawFrame();
  // Button 1: the stage of the row starts, or the player hears why not.
  void StartSelectedStage(int row);

  int32_t m_nTop = 0;
  int m_nCount = 0;
  int m_nWindow = 0;
  int m_nScreenDraws = 0;
};
