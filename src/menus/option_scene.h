#pragma once
// The options screen (scene 7): the project's options list with each value beside its caption. A
// value is edited in place with up and down and wraps at the ends of its range; the colour and the
// sound-effect volume take effect at once, the music volume when the value is confirmed, and cancel
// puts back the value the item had. The ranking name is typed in the name-entry dialog. Leaving
// (the last item or cancel) writes "user_data\Option.dat" and goes back to the title.
#include <cstdint>

#include "menus/menu_scene.h"
#include "menus/option_values.h"

class cSceneOption : public cMenuScene {
 public:
  enum ePhase : int { kPhaseFadeIn = 0, kPhaseMain = 1, kPhaseFadeOut = 2 };
  // Sub-states of the main phase.
  enum eStep : int { kStepPrepare = 0, kStepItems = 1, kStepEdit = 2 };

  cSceneOption();
  void Enter() override;
  int FadeIn() override;
  int FadeOut() override;

  // The items shown: their number and the kind of each row.
  int ItemCount() const { return m_nItemCount; }
  int ItemKind(int row) const { return row >= 0 && row < m_nItemCount ? m_anKinds[row] : kOptionColour; }
  // The kind being edited, and the value it had when the edit began.
  int EditedKind() const { return m_nEditKind; }
  int32_t RememberedValue() const { return m_nOldValue; }
  // How often the pre-rendered screen was drawn.
  int ScreenDraws() const { return m_nScreenDraws; }

 private:
  int StepMain();
  void StepItems();
  void StepEdit();
  // Button 1 on an item of the list.
  void ChooseItem(int kind);
  // The name-entry dialog of the main window edits the ranking name; waits until it has answered.
  void AskRankingName();
  // Up and down on the edited value, wrapping at the ends of its range.
  void StepValue(int delta);
  void EndEdit();
  void DrawScreen();
  void DrawFrame();

  int m_nItemCount = 1;
  int m_anKinds[kOptionKindCount] = {};
  int m_nEditKind = kOptionColour;
  int32_t m_nOldValue = 0;
  int32_t* m_pValue = nullptr;
  int32_t m_nMinimum = 0;
  int32_t m_nMaximum = 0;
  int m_nScreenDraws = 0;
};
