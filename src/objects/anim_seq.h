// The animation sequencer: plays numbered animations, each a list of frames that show a pattern for
// a number of logic steps and may lock the animation against being replaced. The last frame of an
// animation is a control frame: -1 hold the previous frame, -2 restart, -3 jump to the animation
// whose number stands in its duration field, -4 end.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "data/anim_scripts.h"

struct cAnimFrame {
  int32_t nPattern = 0;
  int32_t nDuration = 0;  // steps; for a -3 frame the animation to jump to
  uint8_t bLock = 0;
};

constexpr int32_t kAnimHold = -1;
constexpr int32_t kAnimRestart = -2;
constexpr int32_t kAnimJump = -3;
constexpr int32_t kAnimEnd = -4;

class cAnimSeq {
 public:
  // Replaces the animations by copies of the source's and starts at animation 0, frame 0; a null
  // source leaves the sequencer unchanged. Each animation runs up to and including its first
  // negative pattern (one is added when there is none), and control frames that would step outside
  // the animations are made safe here, once, instead of stopping the game in play: a hold with no
  // frame before it and a jump to a missing animation become an end (or a hold when a frame
  // precedes the jump), and unknown negative codes become an end.
  void LoadAnimePatterns(const std::vector<cFrameScript>* source);

  // Switches to animation n unless the current frame is locked and force is 0. 1 when switched.
  int SetAnime(int n, int force);
  // As SetAnime, but switching to the current animation changes nothing and gives 1.
  int ChangeAnime(int n, int force);
  // Advances one step; the pattern to show, -4 once the animation has ended, 0 with no animations.
  int StepAnime();
  int CurrentPattern();

  std::vector<std::vector<cAnimFrame>> m_aAnims;
  int32_t m_nAnime = 0;
  int32_t m_nFrame = 0;
  int32_t m_nTime = 0;

 private:
  cAnimFrame& CurrentFrame();
};

// An overlay animation of a character, drawn over its basic animation.
struct cAnimOverlay {
  cAnimSeq seq;
  int32_t nAnime = 0;
  int32_t bPriority = 0;
  int32_t nRemaining = 0;  // decreases each step, may go below 0
  int32_t nExtra = 0;
  int32_t nSerial = 0;  // serial of the flow state that started it
  int32_t bPaused = 0;
};

using cAnimOverlayList = std::list<cAnimOverlay>;

void RemoveOverlaysOfSerial(cAnimOverlayList& overlays, int serial);
void RemoveOverlaysOfAnime(cAnimOverlayList& overlays, int anime);
// Pauses the overlays of a flow state; with the 904 legacy switch, those whose time has run out are
// removed instead.
void HaltOverlaysOfSerial(cAnimOverlayList& overlays, int serial);
void ResumeOverlaysOfSerial(cAnimOverlayList& overlays, int serial);
