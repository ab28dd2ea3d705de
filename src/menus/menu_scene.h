#pragma once
// What every menu scene shares (title, world map, world-map menu, stage select, free list, replay
// list, options): the frame step with the menu auto-repeat and one report per press of decide and
// cancel, the entry with the scene's music, pictures and a fresh cursor, the fades, the scene's own
// pre-rendered surfaces, the screen box with its caption and the cursor pictures. A scene leaves by
// naming the next scene (Leave) and running its fade-out; when that ends the next scene becomes
// current.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "media/graphics/surface_data.h"
#include "shell/scene.h"

// Music situations of the menu scenes (the project's scene music list).
enum eMenuMusic : int {
  kMusicTitle = 0,
  kMusicWorldMap = 1,
  kMusicStageSelect = 2,
  kMusicFreeList = 3,
  kMusicReplayList = 4,
  kMusicOptions = 5,
};

// Surface-table slots of the menu pictures.
enum eMenuPicture : int {
  kPictureWindow = 46,
  kPictureTitle = 48,
  kPictureGameMode = 49,
  kPictureAccessory = 50,
  kPictureMap = 67,  // the blank 640 x 480 surface (no colour key) the world map is composed into
  kPictureMapChips = 53,
  kPictureWorldEvents = 54,
  kPictureWorldBack = 55,
};

// Sounds of the menus.
enum eMenuSound : int {
  kMenuSoundCursor = 0,
  kMenuSoundDecide = 1,
  kMenuSoundCancel = 2,
  kMenuSoundRefused = 3,
  kMenuSoundMapMenu = 4,
  kMenuSoundSlotSave = 5,
  kMenuSoundRanking = 6,
};

// Buttons of the first player's button word as the menus read it.
constexpr uint16_t kMenuDecide = 1;
constexpr uint16_t kMenuCancel = 2;
constexpr uint16_t kMenuButton3 = 4;
constexpr uint16_t kMenuButton4 = 8;
// Cursor-sound axes: up and down only, or every direction.
constexpr int kCursorSoundVertical = 2;
constexpr int kCursorSoundBoth = 3;

// The surfaces a menu scene makes for itself (its pre-rendered screen, the title's menu, the world
// map's ranking panel); the first one is the one scenes draw from. Device resources, released by
// each scene before it makes its own and when it goes.
extern std::vector<DDSURFACEDATA> g_SceneSurfaces;
extern std::vector<DDSURFACEINFO> g_SceneSurfaceInfos;
void ReleaseSceneSurfaces();

class cMenuScene : public cScene {
 public:
  // id: the scene's own id (the previous scene id its fade-out leaves behind).
  explicit cMenuScene(int id) : m_nSceneId(id) {}
  // Releases the scene's pictures and every scene surface.
  ~cMenuScene() override;

  // Nothing after a fatal stop; the menu auto-repeat and the once-per-press filter of decide and
  // cancel on the first player's input; Enter on the first frame (a thrown text ends the program
  // through the error log); then the current phase.
  int Step() override;
  int SceneId() const { return m_nSceneId; }

 protected:
  // The entry every menu scene shares: the music of the situation, the pictures (a failure stops the
  // program and answers false), a fresh cursor stack, sub-state 0.
  bool EnterMenu(int musicSituation, std::initializer_list<int> pictures);
  // Releases the scene surfaces and makes one of width x height (colour-keyed or not); a failure
  // stops the program and answers null.
  DDSURFACEDATA* CreateSceneSurface(int width, int height, bool colourKey);
  // The first scene surface, null when there is none.
  static DDSURFACEDATA* SceneSurface();
  // Whether a surface lost its contents since it was drawn (the caller redraws it); clears the mark.
  static bool TakeContentsLost(DDSURFACEDATA* surface);
  // The window box of the large font over the whole screen, and the caption of a title-menu item
  // centred at the top.
  static void DrawScreenBox(DDSURFACEDATA* surface, int titleItem);

  // One frame of the fade from black; true on the frame that ends it.
  bool StepFadeIn();
  // One frame of the fade to black; when it ends: the back surface filled with colour 16, a fresh
  // cursor stack (unless keepCursor), this scene as the previous one and the requested one current.
  // True on that frame.
  bool StepFadeOut(bool keepCursor = false);
  // Names the next scene and runs the fade-out from the next frame.
  void Leave(int sceneId);

  // Cursor pictures of "bmp\Accessory.bmp", drawn on the back surface with the colour key.
  static void DrawHand(int x, int y);
  static void DrawArrow(int x, int y);
  static void DrawSecondArrow(int x, int y);

 private:
  int m_nSceneId;
  std::vector<int> m_anPictures;
};
