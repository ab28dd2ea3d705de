#pragma once
// One on-screen message of a stage: a text window of the message command, the rising item picture
// of a taken item, the rising extra-life icon, or the invisible timer of the game-wait command. The
// stage keeps its windows in a list and steps each once per drawn frame; a window that reports its
// end is unlinked and deleted by the stage. A text window renders its text (with its "#" escape
// codes expanded) once into a surface of the stage's message surface pool.
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "flow/game_wait.h"

struct DDSURFACEDATA;
struct DDSURFACEINFO;

// Kinds of message window.
enum : int32_t {
  kMesTimer = 0,
  kMesText = 1,
  kMesGraphic = 2,
  kMesExtraLife = 3,
};

// The set-up values of a window, in the order the message command passes them.
struct MESWINDOWARGS {
  int32_t nKind = kMesTimer;
  std::string strText;
  int32_t anGraphic[3] = {};  // graphic reference of kind 2: kind, number, pattern
  int32_t nAnchor = 0;        // 0-10
  int32_t nUnit = 0;          // anchors 7-10: 0 blocks, 1 dots
  int32_t nPosX = 0;
  int32_t nPosY = 0;
  int32_t nOffsetX = 0;
  int32_t nOffsetY = 0;
  int32_t bClampToScreen = 0;
  int32_t bFixed = 0;
  int32_t nCloseMode = 0;  // 0 by a key, 1 by the stage, 2 after the life
  int32_t nLifeFrames = 0;
  int32_t bCountWhileHeld = 0;
  int32_t nTarget = 0;  // object number of the anchor character
  int32_t bNoOpening = 0;
  int32_t bExpandCodes = 0;
  int32_t bRefresh = 0;
  int32_t nRefreshFrames = 0;
  int32_t bBox = 0;
  int32_t bNumbered = 0;
  int32_t nNumber = 0;
  int32_t bChoices = 0;
  std::vector<cChoiceEntry>* lpChoices = nullptr;  // filled with the text's choice tags
};

class cCharaBase;

class cMesWindow {
 public:
  // SetupMes with the first-set-up flag: a text window takes a surface of the pool. The window
  // gets the stage's next handle.
  explicit cMesWindow(const MESWINDOWARGS& args);
  // Runs the set-up again without taking a new surface (a numbered window re-shown).
  void ResetMesWindow(const MESWINDOWARGS& args);
  // The common set-up: stores the values, formats and measures the text, renders a text window.
  void SetupMes(const MESWINDOWARGS& args, int firstSetup);
  // Draws the window for this frame (hold: the stage draws outside its running play frame); 1 when
  // the window has ended.
  int StepMesWindow(DDSURFACEDATA* target, int hold);
  // Takes a pool surface of the window's size at slot (appended at or beyond the pool's size).
  void AllocMesSurface(int slot);
  // Clears the surface and draws the text at (1, 1), boxed or plain.
  void RenderMesText(DDSURFACEDATA* surface);
  // Gives the text surface back to the pool (nothing when the window has none).
  void ReleaseMesSurface();

  // The steps of StepMesWindow. The life countdown of close mode 2: 1 when the window has ended
  // (its surface is then released).
  int AgeMesWindow(int hold);
  // The periodic re-formatting of a text window's variable codes.
  void RefreshMesText();
  // The window's top-left corner for this frame by its anchor (anchor: the character of anchors
  // 1-6, null when it does not exist), fixed and clamped as set; false when a text window has lost
  // its anchor character (it has then ended and released its surface).
  bool PlaceMesWindow(const cCharaBase* anchor, int& x, int& y);
  // Draws a text window (opening box, text, choice cursor) or the extra-life icon at the corner.
  void DrawMesWindow(DDSURFACEDATA* target, int x, int y);
  // The rising offset of kinds 2 and 3: the picture climbs a dot every four frames of its life.
  int RiseOffset() const { return (30 - m_nLife) >> 2; }

  DDSURFACEDATA* m_lpSurface = nullptr;      // the text surface in the pool (text windows)
  DDSURFACEINFO* m_lpSurfaceInfo = nullptr;  // its descriptor in the pool
  int32_t m_nKind = kMesTimer;
  std::string m_strText;        // the text after escape-code expansion
  std::string m_strSource;      // the text passed in
  int32_t m_anGraphic[3] = {};  // graphic reference drawn by kind 2
  int32_t m_bExpandCodes = 0;
  int32_t m_bRefresh = 0;  // re-format the text periodically
  int32_t m_nRefreshFrames = 0;
  int32_t m_bBox = 0;     // the font's box skin and frame
  int32_t m_nAnchor = 0;  // anchor mode 0-10
  int32_t m_nUnit = 0;
  int32_t m_nPosX = 0;
  int32_t m_nPosY = 0;
  int32_t m_nOffsetX = 0;
  int32_t m_nOffsetY = 0;
  int32_t m_nWidth = 0;  // text size + 2; 16 x 16 for kinds 2 and 3
  int32_t m_nHeight = 0;
  int32_t m_bClampToScreen = 0;
  int32_t m_nCloseMode = 0;
  int32_t m_bFixed = 0;
  bool m_bPlaced = false;  // the first position has been taken
  int32_t m_nMapX = 0;     // remembered position
  int32_t m_nMapY = 0;
  int32_t m_bNumbered = 0;
  int32_t m_nNumber = 0;
  int32_t m_bChoices = 0;  // draw the choice cursor
  int32_t m_nTarget = 0;   // object number of the anchor character (anchors 1-6)
  int32_t m_nLife = 0;     // remaining frames of close mode 2
  int32_t m_bCountWhileHeld = 0;
  bool m_bOpening = false;  // the opening animation runs
  double m_dOpen = 0.0;     // opening animation frame counter
  int32_t m_nHandle = 0;    // unique in its stage: commands find the window again by it after a wait
};

// Expands the "#" codes (#C #S #V #F with width, P and Z; #R choice tags) in place; appends the
// choice records to choices when given.
void FormatMesText(std::string& text, int expandCodes, int allowChoices, std::vector<cChoiceEntry>* choices,
                   int refreshing);
// Width and height of a text as the message font draws it, each + 2.
void MeasureText(const std::string& text, int& width, int& height);

// The stage's window with the handle, or its list's end.
std::list<cMesWindow>::iterator FindMesWindow(std::list<cMesWindow>& windows, int32_t handle);
// Appends the rising picture of a taken item (graphic reference) over the hero to the stage's
// windows: kind 2, anchor 4, fixed, closed after 30 frames that do not count while the stage holds.
void AppendItemMesWindow(const cCharaBase& hero, int kind, int number, int pattern);
