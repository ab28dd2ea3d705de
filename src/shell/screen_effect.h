#pragma once
// The stage's screen effects: after the stage has drawn its picture into the back buffer, the running
// effect (one of the fourteen types of the database's screen-effect list: none, move, two shakes, two
// splits, two waves, blink, rotation, circle, zoom, lens, mosaic) copies the picture to a work
// surface, clears the back buffer to palette colour 16 and draws the copy back through one distorting
// blit, then advances its value. The effect player itself (cScrEffectPlay) is the data layer's; the
// stage owns one and hands it in with what the effects need of the stage's frame.
#include "data/anim_scripts.h"
#include "media/graphics/surface_data.h"

// The two blank 640 x 480 slots of the game surface table the effects copy the picture into. In
// DirectDraw mode A is a video-memory surface, for the effects made of plain blits, and B a
// system-memory one, for the effects that work on locked pixels; in Direct3D mode B draws from A's
// texture. The stage loads both with its surfaces.
constexpr int kScreenEffectSlotA = 68;
constexpr int kScreenEffectSlotB = 69;

// What the effects ask of the stage, installed by stage play at start-up.
struct cScreenEffectHooks {
  // Draws the stage's background layer groups 0 and 1 over the back buffer, hiding what was drawn on
  // them (the hidden frames of a blink). Null: nothing is drawn.
  void (*drawBackLayers)() = nullptr;
};
// Installs the hooks; returns the ones they replace.
cScreenEffectHooks SetScreenEffectHooks(const cScreenEffectHooks& hooks);

// What an effect needs of the stage's frame.
struct cScreenEffectView {
  // The player hero's centre on the screen: x + (width >> 1), y + (height >> 1) of its screen
  // rectangle. The circle, the zoom and the lens are centred on it.
  int m_nHeroCentreX = 320;
  int m_nHeroCentreY = 240;
  // The surface the zoom stretches from, chosen when the stage was loaded (ScreenEffectZoomSource);
  // null chooses it now.
  DDSURFACEDATA* m_lpZoomSource = nullptr;
};

// The zoom's source: work surface A in DirectDraw mode with "DD_VideoStretch" on (stretched in video
// memory), else work surface B.
DDSURFACEDATA* ScreenEffectZoomSource();

// Called once per stage frame after the picture is complete. Does nothing while no effect runs
// (effect index 0); else draws the running effect over the back buffer and, unless frozen is set,
// advances it. An effect that has ended gets index 0 and switches the virtual back buffer off. The
// stage passes frozen = 1 in every frame that is not a frame of the play loop itself, so that effects
// advance only while the stage is being played (a frozen blink still flips once when its counter has
// reached its interval).
void RunScreenEffect(cScrEffectPlay& play, const cScreenEffectView& view, int frozen);
