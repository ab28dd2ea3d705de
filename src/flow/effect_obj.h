#pragma once
// One running effect animation of the database placed on the stage: at a place given by the
// effect command, or at a hit with a small random spread. The stage keeps them in one list and
// draws them in their layer; one that played its script to the end is removed.
#include <cstdint>
#include <vector>

#include "core/numbers.h"
#include "objects/anim_seq.h"

struct DDSURFACEDATA;

class cEffectObj {
 public:
  cEffectObj() = default;
  // The effect command's value: copies the fields, stretched when the width differs from the
  // effect's frame width, and starts the animation.
  cEffectObj(int effect, double x, double y, int width, int height, int layer, int runWhileHeld);
  // Replaces the sequencer's patterns by the effect's prepared frame script and starts it.
  void StartEffectAnim(int effect);
  // Draws the current frame (hold: outside the running play frame); 1 when the effect has ended.
  int DrawEffectObj(DDSURFACEDATA* target, int hold);

  int32_t m_nEffect = 0;  // index into the database's effect list (bit 0x8000: invalid)
  double m_dX = 0.0;      // map position of the top-left corner
  double m_dY = 0.0;
  int32_t m_nWidth = 0;  // drawn size
  int32_t m_nHeight = 0;
  int32_t m_bStretched = 0;     // drawn stretched
  int32_t m_nLayer = 0;         // draw layer of the stage
  cAnimSeq m_Anim;              // over the effect's frame script
  int32_t m_bRunWhileHeld = 0;  // advances while the stage draws outside its play frame
};

// An effect centred on the overlap of two rectangles (layer 1), enlarged by the scale when the
// effect allows it, with a random spread of 4 x the spread factor.
cEffectObj EffectObjAtHit(int effect, const cDblRect& a, const cDblRect& b, int scale);

// Points effect drawing at the effect pictures stage play has loaded (surfaces 2n - 2 and 2n - 1 for
// effect n); null draws from no surface.
void UseEffectSurfaces(std::vector<DDSURFACEDATA>* surfaces);
// The media layer's direct-stretch setting: stretched effects draw from the normal surface in
// Direct3D mode.
extern int g_bEffectDirectStretch;
