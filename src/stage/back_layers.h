#pragma once
// The stage's background layers: a plain colour or a picture each, behind everything (group 0) or in
// front of the characters (group 1). A picture follows the view's scrolling by its scroll factors,
// may also move by itself (auto-scroll), and is repeated over the whole screen.
#include <cstdint>

#include "data/stage_data.h"
#include "media/graphics/surface_data.h"
#include "objects/scroll_axis.h"

// Layer i of the stage's list shows the picture of surface-table row 56 + i, so a stage draws its
// first eight layers; further ones (only a damaged or hand-made file has them) are left out.
constexpr int kSlotBackLayer = 56;
constexpr int kBackLayerSlots = 8;
// A layer never draws more tiles per row, nor more rows.
constexpr int kBackTileLimit = 1000;
// A picture narrower or lower than this is repeated into a tile of at least this size first, so
// that a picture of a few dots does not take hundreds of thousands of blits a frame.
constexpr int kBackTileMinSize = 64;
// Palette colour of the screen behind a stage without any background drawn.
constexpr uint32_t kBackdropColour = 16;

// The picture's position at the screen's top-left corner, before it is wrapped into the picture:
// the view's left edge (rounded) or top edge (truncated) relative to the stage's first column or
// row, times the layer's scroll factor, plus the auto-scroll offset when the layer scrolls itself.
int BackLayerStartX(const cBackLayer& layer, const cScrollAxis& axis);
int BackLayerStartY(const cBackLayer& layer, const cScrollAxis& axis);
// One auto-scroll step of an offset over a picture `size` dots long: the speed is taken off and
// the offset brought back by one picture length when it left 0 .. size (once: a speed larger than
// the picture leaves it outside, which the tiling still wraps).
double ScrollBackOffset(double offset, double speed, int size);
// Covers the 640 x 480 screen of dst with the w x h picture src, whose point (x0, y0) (wrapped into
// the picture) lies at the screen's top-left, with the blit flags: the number of blits. Nothing for
// an empty picture size.
int TileBackPicture(DDSURFACEDATA* dst, DDSURFACEDATA* src, int w, int h, int x0, int y0, int flags);

// The surfaces the background layers are tiled from: a picture of at least kBackTileMinSize dots
// each way itself, a smaller one repeated into a work surface of that size or more (the same
// pattern, far fewer blits), made on first use and again when its contents were lost.
class cBackTiles {
 public:
  cBackTiles() = default;
  ~cBackTiles() { Release(); }
  cBackTiles(const cBackTiles&) = delete;
  cBackTiles& operator=(const cBackTiles&) = delete;

  // The surface to tile layer i's picture from and its size; null when row 56 + i holds no picture
  // (or one without a size).
  DDSURFACEDATA* Source(int layer, int& w, int& h);
  // Drops the work surfaces: the pictures are being loaded again.
  void Release();

 private:
  DDSURFACEDATA m_aRepeated[kBackLayerSlots] = {};
  // The picture size each work surface was made for (0: none made).
  int32_t m_anPictureW[kBackLayerSlots] = {};
  int32_t m_anPictureH[kBackLayerSlots] = {};
};
