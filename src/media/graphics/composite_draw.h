#pragma once
// Figures and picture effects built from the plain blits and fills: a rectangle outline, a framed
// picture, a number drawn from a strip of digit cells, and five effects that cut a picture into
// lines, strips, quarters or a disc and place the pieces apart (wave, stripes, card flip, burst,
// circle). None of them touches pixels itself, so each behaves alike in both back ends.
// The effects that draw many pieces queue them in one draw layer of their own, so that in Direct3D
// mode all pieces of one effect are drawn together.
// Blit flags as for DDBlt: 1 = skip the source's transparent pixels, 0 = opaque copy.
#include <cstdint>

#include "media/graphics/surface_data.h"

// Outline of thickness t in palette colour palNum, lying inside (x, y, w, h); the four sides are
// filled as one fill batch. Returns what closing the batch returns (1 in Direct3D mode).
int DDFrameRect(DDSURFACEDATA* dst, int x, int y, int w, int h, int t, uint32_t palNum);

// The top-left w x h of src at (x, y) with its transparent colour, with a frame of thickness t in
// palette colour palNum just outside it.
void DDBltFramed(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int t, uint32_t palNum);

// The decimal value n from a strip of ten digit cells (0 to 9, each cw x ch, side by side from
// (sx, sy) of src). A value with fewer than minDigits digits is right-aligned in a field of
// minDigits cells, or centred in it when bCentre is set; a longer one runs on to the right.
// The strip has no minus sign: a negative value shows as 0.
void DDDrawNumber(DDSURFACEDATA* dst, int x, int y, int cw, int ch, DDSURFACEDATA* src, int sx, int sy, int flags,
                  int n, int minDigits, int bCentre);

// The picture (w x h from (sx, sy)) cut into lines of lineWidth pixels moved along a sine wave:
// columns up and down when bVertical is set, rows left and right otherwise. `waves` full turns of
// the wave span the picture; `phase` (degrees) shifts it. Nothing is drawn when lineWidth <= 0.
void DDBltWave(DDSURFACEDATA* dst, int x, int y, int w, int h, int waves, double amplitude, int phase, int lineWidth,
               DDSURFACEDATA* src, int sx, int sy, int flags, int bVertical);

// The picture cut into strips of stripWidth pixels (columns when bVertical is set, rows otherwise);
// odd strips move by -displacement, even strips by +displacement. A remainder narrower than one
// strip is not drawn. stripWidth 0 draws the picture plainly.
void DDBltStripes(DDSURFACEDATA* dst, int x, int y, int w, int h, int stripWidth, int displacement, DDSURFACEDATA* src,
                  int sx, int sy, int flags, int bVertical);

// A card turning about its middle (axis 0 vertical, 1 horizontal), drawn as the front or back
// picture (sw x sh) squeezed into (x, y, w, h) by an inset that runs 0 .. size/2 - 1 and back as
// phase grows; the face changes at the narrowest moment. Returns the stretch blit's result, or 0
// when nothing is drawn (another axis, a size below 2 pixels on the axis, a negative phase).
int DDBltFlip(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* front, int frontX, int frontY,
              DDSURFACEDATA* back, int backX, int backY, int sw, int sh, int flags, int phase, int axis);

// The picture's four quarters pushed outward by displacement d.
void DDBltBurst(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int d, int flags);

// The part of src around (scx, scy) that lies inside a disc of radius r, drawn around (cx, cy) in
// lines of lineHeight rows, limited to hw to each side and hh above and below the centre. Nothing
// when r <= 0 or lineHeight <= 0.
void DDBltCircle(DDSURFACEDATA* dst, int cx, int cy, int hw, int hh, int r, int lineHeight, DDSURFACEDATA* src, int scx,
                 int scy, int flags);
