#pragma once
// The world-map menu (scene 2), opened by cancel on the world map: save the story into one of the
// story slots (with a confirm), switch the automatic save after each stage on or off, go back to the
// map, or return to the title (with a confirm). It draws on a plain background, not over the map.
// Leaving it keeps the cursor stack and makes the scene enter afresh on its next visit.
#include <cstdint>

#include "menus/menu_scene.h"

class cInputState;

// Builds the world-map menu scene.
cScene* CreateMapMenuScene();

// Item kinds: the index of an item in the project's world-map menu list.
enum eMapMenuItem : int {
  kMapMenuSave = 0,
  kMapMenuAutoSave = 1,
  kMapMenuBack = 2,
  kMapMenuTitle = 3,
  kMapMenuItemCount = 4,
};

class cSceneMapMenu : public cMenuScene {
 public:
  // The phase of an item is its kind + 2.
  enum ePhase : int {
    kPhaseFadeIn = 0,
    kPhaseMenu = 1,
    kPhaseSave = 2,
    kPhaseAutoSave = 3,
    kPhaseBack = 4,
    kPhaseTitle = 5,
    kPhaseFadeOut = 6,
  };

  cSceneMapMenu();
  void Enter() override;
  int FadeIn() override;
  int FadeOut() override;

  // What the menu shows, for the tests.
  int ItemCount() const { return m_nItemCount; }
  int ItemKind(int row) const { return row >= 0 && row < m_nItemCount ? m_anKinds[row] : kMapMenuSave; }
  int32_t SlotTop() const { return m_nSlotTop; }
  int SlotWindow() const { return m_nSlotWindow; }

 private:
  int StepMenu();
  int StepSave();
  int StepAutoSave();
  int StepBack();
  int StepTitle();

  // The save's slot list and its confirm.
  void ChooseSlot();
  void ConfirmSave();
  // Back to the menu from a sub-menu.
  void BackToMenu();
  // The rest of a two-row sub-menu's frame (on the switch, or the title confirm): cancel goes back
  // to the menu, anything else draws the sub-menu with its cursor.
  int CancelOrDrawTwoRowMenu(const cInputState& input, int x, int label);

  // The plain background with the menu box, the captions and the result total.
  void DrawMenuFrame();
  // The plain background with the slot list.
  void DrawSlotScreen();

  int m_nItemCount = 1;
  int m_anKinds[kMapMenuItemCount] = {};
  int32_t m_nSlotTop = 0;
  int m_nSlotWindow = 0;
};
