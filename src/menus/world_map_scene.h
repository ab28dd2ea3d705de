#pragma once
// The world map, the hub of story play: the hero walks the map one cell per reported direction and
// reaches places whose offers start stages. Cancel opens the world-map menu; a stage offer opens
// the stage confirm (at once when the hero may not walk over it) and a confirmed stage starts stage
// play, which comes back here. Coming back from a stage, a play with a story slot of its own saves
// itself into it.
#include <cstdint>

#include "data/world_map.h"
#include "menus/menu_scene.h"
#include "shell/menu_cursor.h"

// Builds the world-map scene (scene 1).
cScene* CreateWorldMapScene();

class cSceneWorldMap : public cMenuScene {
 public:
  cSceneWorldMap();

  // Where the scene stands, for the tests.
  int Facing() const { return m_nFacing; }
  int32_t ViewX() const { return m_nViewX; }
  int32_t ViewY() const { return m_nViewY; }
  const cWorldEntry* Entry() const { return m_lpEntry; }
  int32_t BestScore() const { return m_nBestScore; }

 protected:
  void Enter() override;
  int FadeIn() override;
  int FadeOut() override;

 private:
  enum ePhase : int {
    kPhaseFadeIn = 0,
    kPhaseMap = 1,
    kPhaseConfirm = 2,
    kPhaseFadeOut = 3,
  };

  int PhaseMap();
  int PhaseConfirm();

  // The place and offer at the hero's cell.
  void UpdatePlace();
  // Puts the hero on a cell of the map; the view follows it.
  void PlaceHero(int32_t x, int32_t y);
  // One step by the first player's directions; the map picture is composed again when the view
  // origin moved away from the one it shows.
  void MoveMapHero(uint16_t dir);
  // The offer's stage becomes the current one: its best result, and its rankings when they are on.
  void OnEntryReached();
  // Buttons 3 (show or hide the ranking panel) and 4 (the next ranking kind) over a stage offer.
  void HandlePanelButtons(uint16_t buttons);
  void OpenConfirm();
  void LeaveConfirm();

  void RenderMap();
  void RedrawPanel();
  // The map picture, the hero, the lives and (info) what the offer under the hero is.
  void DrawFrame(bool info);
  void DrawHero();
  void DrawLives();
  void DrawEntryInfo();

  int32_t m_nViewX = 0;
  int32_t m_nViewY = 0;
  cWorld* m_lpPlace = nullptr;
  cWorldEntry* m_lpEntry = nullptr;
  CURSORENTRY m_SavedCursor;  // the hero before its last step
  // The cell at which the map phase last reached a stage offer; no cell at first, so that an offer
  // on any cell, (0, 0) too, is reached when the hero walks onto it.
  CURSORENTRY m_ReachedCell{-1, -1, 0, 0};
  int m_nFacing = 0;
  int32_t m_nBestScore = 0;
};
