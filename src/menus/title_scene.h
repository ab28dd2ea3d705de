#pragma once
// The title (scene 0): the title picture with the project's title menu, leading into story play
// (a new game or a continued one, each through the story slot list), challenge play (the numbered
// stage select), free play, the replays, the options, or out of the program.
#include <cstdint>

#include "menus/menu_scene.h"

// Title menu item kinds: the index of an item in the project's title menu list.
enum eTitleItem : int {
  kTitleNewGame = 0,
  kTitleContinue = 1,
  kTitleChallenge = 2,
  kTitleFree = 3,
  kTitleReplay = 4,
  kTitleOptions = 5,
  kTitleQuit = 6,
  kTitleItemCount = 7,
};

class cSceneTitle : public cMenuScene {
 public:
  // Phases: 0 fade-in, 1 the title menu, 2 the slot list of a new game, 3 the slot list of a
  // continued game, 4 fade-out.
  enum ePhase : int { kPhaseFadeIn = 0, kPhaseMenu = 1, kPhaseNewGame = 2, kPhaseContinue = 3, kPhaseFadeOut = 4 };

  cSceneTitle();
  void Enter() override;
  int FadeIn() override;
  int FadeOut() override;

  // What the menu shows: the number of items and each row's kind; where it stands.
  int ItemCount() const { return m_nItemCount; }
  int ItemKind(int row) const { return row >= 0 && row < m_nItemCount ? m_anKinds[row] : kTitleNewGame; }
  int MenuX() const { return m_nMenuX; }
  int MenuY() const { return m_nMenuY; }
  // The first visible slot of the slot list.
  int32_t SlotTop() const { return m_nSlotTop; }

 private:
  int StepMenu();
  int StepNewGame() { return StepSlots(true); }
  int StepContinue() { return StepSlots(false); }
  int StepSlots(bool newGame);
  // Button 1 on an item of the menu.
  void ChooseItem(int kind);
  // Button 1 on a slot of the list.
  void ChooseSlot(bool newGame, int slot);
  // The pre-rendered menu: its surface on entry, its contents whenever they are needed again.
  bool CreateMenuSurface();
  void DrawMenuSurface();
  // The title picture with the menu over it.
  void DrawTitleFrame();
  void DrawTitlePicture();

  int m_nItemCount = 1;
  int m_anKinds[kTitleItemCount] = {};
  int m_nMenuX = 192;
  int m_nMenuY = 240;
  int m_nMenuWidth = 0;
  int m_nMenuHeight = 0;
  int32_t m_nSlotTop = 0;
  int m_nSlotWindow = 0;
};
