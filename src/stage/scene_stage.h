#pragma once
// The stage-play scene (scene 6): the stage's state as objects and flows see it (cFlowStage) and the
// scene's phase machine: fade-in, intro banners, play, pause menu, stage end, continue menu, game
// over, fade-out. The scene manager creates it and publishes it in g_lpSceneStage while it lives.
#include <cstdint>
#include <string>
#include <vector>

#include "data/chara_type.h"
#include "data/item_type.h"
#include "data/save_data.h"
#include "data/system_data.h"
#include "flow/flow_stage.h"
#include "shell/scene.h"
#include "stage/back_layers.h"
#include "stage/screen_colour.h"
#include "stage/stage_pictures.h"

class cChara;
class cHero;
class cItem;

// Phases of the stage scene.
enum : int32_t {
  kStagePhaseFadeIn = 0,
  kStagePhaseIntro = 1,
  kStagePhasePlay = 2,
  kStagePhasePauseMenu = 3,
  kStagePhaseStageEnd = 4,
  kStagePhaseContinueMenu = 5,
  kStagePhaseGameOver = 6,
  kStagePhaseFadeOut = 7,
};

// Frames an intro banner stays (79 drawn frames: the counter runs to 80).
constexpr int kBannerFrames = 80;
// Play time is counted in hundredths of a second up to this value.
constexpr int32_t kPlayTimeMax = 599999;

// How a played stage ended; the test play reports it.
enum eStageOutcome : int32_t {
  kOutcomeRunning = 0,
  kOutcomeCleared = 1,
  kOutcomeFailed = 2,
};

class cSceneStage : public cScene, public cFlowStage {
 public:
  cSceneStage();
  ~cSceneStage() override;

  // Scene slots.
  int Step() override;
  void Enter() override;
  int FadeIn() override;
  int FadeOut() override;

  // Phase handlers (the pause menu, the stage end, the continue menu and game over in
  // stage_menus.cpp).
  int PhaseIntro();
  int PhasePlay();
  int PhasePauseMenu();
  int PhaseStageEnd();
  int PhaseContinueMenu();
  int PhaseGameOver();

  // Set-up of an attempt: restart = the stage was already played in this scene (g_StageFile is
  // restored from g_StageData); fresh = 0 for a retry (the same music keeps playing).
  void SetupStage(int restart, int fresh);
  // Builds the characters of one placement (repeat + 1 of them, dropped when outside the stage).
  void CreateCharasFromType(int column, int row, cCharaType& type, const cItem* carried, int direction, int repeat);
  void CreateItemsFromType(int column, int row, cItemType& type);

  // Play-loop helpers.
  int CheckPauseKey();
  int StepStageTimer(int delta);
  void StepPlayTime();
  void StepActivity();
  void ResetPlayState();
  static int UseLife(cSaveData& progress);

  // One picture of the running stage on the back buffer, in its fixed order: background layers,
  // pictures, blocks, per depth layer the hero, items, characters and shots, front layers,
  // overlays, message windows, the screen effect, the head-up display, the captions of a test play,
  // the palette animation and the screen colour. inPlay: the play phase's own frame (pictures,
  // effects, windows and objects advance only then); captions: 0 leaves the captions out. Drawing
  // the hero and the characters finishes their defeat displays.
  void DrawStage(int inPlay, int captions);
  // The hero's part of one depth layer; the end of its defeat display decides, in the play phase,
  // what follows.
  void DrawHeroLayer(int frozen);
  // One character of a depth layer; true when its defeat display is over and it must go.
  bool DrawCharaLayer(cChara& chara, int frozen);
  // The hero's defeat display is over: retry, game over, or (a test play) the end of the play.
  void HeroDefeatOver();

  // The stage's picture sources.
  // Advances the background layers' own scrolling (not while the pause menu is open).
  void ScrollBackLayers();
  // The enabled background layers of a group (0 behind everything, 1 in front of the characters).
  void DrawBackLayers(DDSURFACEDATA* surface, int group);
  // The visible blocks of the map whose layer byte is `layer` (0 behind the characters, 1 in front).
  void DrawBlockLayer(DDSURFACEDATA* surface, int layer);
  // The pictures and the effect objects of a group; those whose time is over go.
  void DrawScreenPictures(DDSURFACEDATA* surface, int group, int frozen);
  void DrawEffectObjs(DDSURFACEDATA* surface, int group, int frozen);
  // The stage's picture surfaces when the scene enters (again: the stage scene follows itself, only
  // the background pictures are loaded again); false when a surface could not be made (the
  // program is then stopping).
  bool LoadStagePictures(bool again);
  // Set-up: the pictures shown and the message windows' text surfaces go.
  void ClearScreenPictures();
  void ClearMesPictures();

  // The end of the stage as cleared (the stage-clear processing) and the hero's defeat.
  void ClearStage();
  int DefeatChara(cCharaBase& chara);

  // Leaves the stage for a scene through the fade-out.
  void LeaveStage(int scene);
  // The play is over (cleared or failed): a test play closes the program, else the stage is left.
  void FinishPlay(int outcome);

  int32_t m_nSavedPhase = 0;
  int32_t m_nSavedSubState = 0;
  int32_t m_nHeroCount = 0;
  int32_t m_nPlayFrames = 0;
  int32_t m_nPlayTime = 0;  // hundredths of a second
  int32_t m_nBannerCounter = 0;
  int32_t m_nBanner2Counter = 0;
  uint32_t m_nSeed = 0;
  int32_t m_bButtonHold = 0;
  int32_t m_bStatusChanged = 0;
  int32_t m_abKeepArea[3] = {0, 0, 0};
  int32_t m_nClearOption = 0;
  int32_t m_bNewRanking = 0;
  std::vector<int32_t> m_anRankPlaces;
  std::vector<int32_t> m_anRankValues;
  std::string m_strRankName;
  int32_t m_bRankingDone = 0;
  int32_t m_nStatusDisplay = 0;
  cScreenColour m_ScreenColour;  // the screen colour of the flows' command, drawn over the picture
  std::vector<cCmd> m_aPauseCmds;
  int32_t m_nOutcome = kOutcomeRunning;
  int32_t m_nMeasuredFps = 0;  // the frame rate the scene manager measured last (each frame)
  int32_t m_bClosing = 0;      // a finished test play waits for the window to close

  // The database's dedicated character bitmaps, swords and effects, loaded when the scene enters
  // after another scene and kept while it follows itself.
  cSurfaceCollection m_CharaExcPictures;
  cSurfaceCollection m_SwordPictures;
  cSurfaceCollection m_EffectPictures;
  int32_t m_bPicturesInUse = 0;  // the objects' drawing is pointed at the collections
  // Small background pictures repeated into larger tiles.
  cBackTiles m_BackTiles;
};

// The stage scene while one lives (g_lpSceneStage as the scene), else null.
cSceneStage* SceneStage();
