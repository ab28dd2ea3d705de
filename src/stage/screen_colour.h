#pragma once
// The stage's screen colour, which flows set with the command "画面の色を変更": a tint that fades
// in over its time and stays, a flash that ramps the colour in and drops it a number of times, or a
// return that fades the colour shown now away. It is drawn over the finished stage picture, last of
// all: in Direct3D mode as a tint of the picture, on an 8-bit DirectDraw screen as a blend of the
// palette; deeper DirectDraw screens show nothing of it.
#include <cstdint>
#include <vector>

// Transparency of a screen colour: 0 the plain colour, 255 nothing visible.
constexpr int32_t kScreenColourInvisible = 255;

class cScreenColour {
 public:
  // Back to the state of a new stage: inactive, nothing to return from.
  void Reset() { *this = cScreenColour(); }

  // Starts the command with these parameters (by index: red, green, blue, strength in percent,
  // mode (0 tint, else return), time in units of 6 frames, flash, repeat count). A return with
  // nothing to return from is ignored.
  void Change(const std::vector<int32_t>& params);
  // Draws the colour over the back buffer; frozen frames (outside the play phase's own frames) draw
  // it without advancing it.
  void Draw(int frozen);

  int32_t m_bTinted = 0;  // a tint command was given (a later return has something to return from)
  uint8_t m_byRed = 0;
  uint8_t m_byGreen = 0;
  uint8_t m_byBlue = 0;
  int32_t m_nStrength = 0;  // percent
  int32_t m_nMode = 0;      // 0 tint, else return
  int32_t m_nDuration = 0;  // frames
  int32_t m_bFlash = 0;
  int32_t m_nRepeatCount = 0;
  int32_t m_bActive = 0;  // drawn or changing
  int32_t m_nCounter = 0;
  int32_t m_nRepeatsDone = 0;
  int32_t m_nTransparency = 0;  // the last one worked out
  uint8_t m_byPrevRed = 0;
  uint8_t m_byPrevGreen = 0;
  uint8_t m_byPrevBlue = 0;
  int32_t m_nPrevStrength = 0;
  int32_t m_nPrevTransparency = kScreenColourInvisible;

 private:
  // The tint's transparency at the counter: from 255 at the ramp's start to 255 - 2.55 x strength
  // at its end.
  int32_t TintTransparency() const;
  // The return's transparency at the counter: from the previous transparency up to 255.
  int32_t ReturnTransparency() const;
  // The ramp's next frame: true while it runs, false (and the counter stays) at its end.
  bool AdvanceRamp();
  void DrawDirect3D(int frozen);
  void DrawPalette();
};

// Installs the screen-colour command's service (cStageHooks::changeScreenColour): the command
// changes the colour of the stage being played.
void InstallScreenColour();
