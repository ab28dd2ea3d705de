#include "demo_pictures.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "demo_events.h"
#include "demo_palette.h"

namespace {

constexpr int kCell = 32;

// ---- sprites, each drawn into a 32 x 32 cell at (x, y) ----

// The hero, facing left; frame 0-3 moves the legs and arms through a walk.
void DrawHero(cCanvas& c, int x, int y, int frame) {
  const int swing[4] = {0, 3, 0, -3};
  const int s = swing[frame & 3];
  const int bob = (frame & 1) ? 1 : 0;
  // legs
  c.FillRect(x + 11 + s, y + 24, 4, 7, kBlue);
  c.FillRect(x + 17 - s, y + 24, 4, 7, kBlue);
  c.FillRect(x + 9 + s, y + 29, 6, 3, kBrownDark);
  c.FillRect(x + 15 - s, y + 29, 6, 3, kBrownDark);
  // body
  c.FillRect(x + 9, y + 14 + bob, 14, 11, kRed);
  c.FillRect(x + 9, y + 22 + bob, 14, 2, kBrownDark);  // belt
  // arms
  c.FillRect(x + 6 - s / 2, y + 15 + bob, 4, 8, kRed);
  c.FillRect(x + 22 + s / 2, y + 15 + bob, 4, 8, kRed);
  c.FillRect(x + 6 - s / 2, y + 22 + bob, 4, 3, kSkin);
  c.FillRect(x + 22 + s / 2, y + 22 + bob, 4, 3, kSkin);
  // head
  c.FillCircle(x + 16, y + 8 + bob, 7, kSkin);
  c.FillRect(x + 9, y + 1 + bob, 15, 4, kHair);
  c.FillRect(x + 19, y + 4 + bob, 5, 5, kHair);
  c.FillRect(x + 11, y + 7 + bob, 2, 3, kBlack);  // eye, on the left: the hero looks left
  c.FillRect(x + 8, y + 10 + bob, 3, 2, kSkin);   // nose
  c.FillRect(x + 11, y + 12 + bob, 4, 1, kBrownDark);
}

// The hero as the world map shows it: facing 0 down, 1 up, 2 left, 3 right; frames 0 and 1 swap the
// legs of its walk.
void DrawMapHero(cCanvas& c, int x, int y, int facing, int frame) {
  const int s = frame ? 2 : -2;
  c.FillRect(x + 11 + s, y + 24, 4, 7, kBlue);
  c.FillRect(x + 17 - s, y + 24, 4, 7, kBlue);
  c.FillRect(x + 9, y + 14, 14, 11, kRed);
  c.FillRect(x + 6, y + 15 - s / 2, 4, 8, kRed);
  c.FillRect(x + 22, y + 15 + s / 2, 4, 8, kRed);
  c.FillCircle(x + 16, y + 8, 7, kSkin);
  c.FillRect(x + 9, y + 1, 15, 4, kHair);
  switch (facing) {
    case 0:
      c.FillRect(x + 12, y + 7, 2, 3, kBlack);
      c.FillRect(x + 18, y + 7, 2, 3, kBlack);
      break;
    case 1: c.FillCircle(x + 16, y + 7, 6, kHair); break;
    case 2: c.FillRect(x + 11, y + 7, 2, 3, kBlack); break;
    default: c.FillRect(x + 19, y + 7, 2, 3, kBlack); break;
  }
}

// A purple slime whose body squashes and stretches with the frame.
void DrawSlime(cCanvas& c, int x, int y, int frame) {
  const int squash[4] = {0, 2, 0, -2};
  const int q = squash[frame & 3];
  c.FillEllipse(x + 16, y + 22 + q / 2, 13 + q, 9 - q, kPurple);
  c.FillEllipse(x + 16, y + 20 + q / 2, 9 + q, 5 - q / 2, CubeColour(190, 120, 230));
  c.FillRect(x + 9, y + 18, 4, 4, kWhite);
  c.FillRect(x + 19, y + 18, 4, 4, kWhite);
  c.FillRect(x + 9, y + 19, 2, 2, kBlack);
  c.FillRect(x + 19, y + 19, 2, 2, kBlack);
  c.FillRect(x + 12, y + 25 + q / 2, 8, 1, kBlack);
}

// A lift: a wooden plank on a steel frame, its lamps blinking with the frame.
void DrawLift(cCanvas& c, int x, int y, int frame) {
  c.FillRect(x, y, kCell, 10, kBrown);
  c.FillRect(x, y, kCell, 2, CubeColour(230, 180, 110));
  for (int i = 0; i < kCell; i += 8) c.FillRect(x + i, y + 2, 1, 8, kBrownDark);
  c.FillRect(x + 2, y + 10, 28, 4, kGreyDark);
  c.FillTriangle(x + 6, y + 14, x + 26, y + 14, x + 16, y + 24, kGrey);
  c.FillCircle(x + 16, y + 22, 3, (frame & 2) ? kGold : kOrange);
}

// A beetle with a round green shell filling its cell (it is as solid as a block), seen from the
// side, facing left; its legs step with the frame.
void DrawBeetle(cCanvas& c, int x, int y, int frame) {
  const int step = (frame & 1) ? 1 : -1;
  for (int i = 0; i < 3; ++i) c.FillRect(x + 10 + i * 6 + step, y + 27, 2, 5, kBlack);
  c.FillEllipse(x + 18, y + 16, 13, 12, CubeColour(30, 120, 60));
  c.FillEllipse(x + 18, y + 14, 11, 9, CubeColour(60, 180, 90));
  c.Line(x + 18, y + 4, x + 18, y + 27, CubeColour(20, 80, 40));
  c.FillEllipse(x + 21, y + 9, 3, 2, kWhite);   // the shell's shine
  c.FillCircle(x + 6, y + 21, 5, kBlack);       // head
  c.FillRect(x + 3, y + 19, 2, 2, kWhite);      // eye
  c.Line(x + 4, y + 16, x + 1, y + 9, kBlack);  // horn
}

// A squat grey turret with a barrel and a red eye that glows with the frame.
void DrawTurret(cCanvas& c, int x, int y, int frame) {
  c.FillRect(x + 4, y + 24, 24, 8, kGreyDark);
  c.FillEllipse(x + 16, y + 20, 11, 9, kGrey);
  c.FillRect(x + 5, y + 17, 24, 2, kGreyLight);
  c.FillRect(x, y + 15, 10, 5, kGreyDark);  // barrel, to the left
  c.FillCircle(x + 17, y + 19, 4, kBlack);
  c.FillCircle(x + 17, y + 19, (frame & 2) ? 3 : 2, kRed);
}

// A blue gem: a cut stone with a light facet.
void DrawGem(cCanvas& c, int cx, int cy, int size) {
  c.FillTriangle(cx - size, cy - size / 3, cx + size, cy - size / 3, cx, cy + size, kBlue);
  c.FillTriangle(cx - size, cy - size / 3, cx - size / 2, cy - size, cx + size / 2, cy - size,
                 CubeColour(102, 204, 255));
  c.FillTriangle(cx - size, cy - size / 3, cx + size / 2, cy - size, cx + size, cy - size / 3,
                 CubeColour(102, 204, 255));
  c.FillTriangle(cx - size / 3, cy - size / 3, cx + size / 3, cy - size / 3, cx, cy + size / 2, kWhite);
}

void DrawStar(cCanvas& c, int cx, int cy, int outer, uint8_t colour, uint8_t rim) {
  // Five triangles from the centre to the points, over a small pentagon core.
  for (int k = 0; k < 5; ++k) {
    const double a = -M_PI / 2 + k * 2 * M_PI / 5;
    const double l = a - M_PI / 5, r = a + M_PI / 5;
    const int inner = outer * 2 / 5;
    c.FillTriangle(cx + static_cast<int>(std::lround(outer * std::cos(a))),
                   cy + static_cast<int>(std::lround(outer * std::sin(a))),
                   cx + static_cast<int>(std::lround(inner * std::cos(l))),
                   cy + static_cast<int>(std::lround(inner * std::sin(l))),
                   cx + static_cast<int>(std::lround(inner * std::cos(r))),
                   cy + static_cast<int>(std::lround(inner * std::sin(r))), rim);
  }
  c.FillCircle(cx, cy, outer * 2 / 5, rim);
  for (int k = 0; k < 5; ++k) {
    const double a = -M_PI / 2 + k * 2 * M_PI / 5;
    const double l = a - M_PI / 5, r = a + M_PI / 5;
    const int o = outer - 2, inner = outer * 2 / 5 - 1;
    c.FillTriangle(cx + static_cast<int>(std::lround(o * std::cos(a))),
                   cy + static_cast<int>(std::lround(o * std::sin(a))),
                   cx + static_cast<int>(std::lround(inner * std::cos(l))),
                   cy + static_cast<int>(std::lround(inner * std::sin(l))),
                   cx + static_cast<int>(std::lround(inner * std::cos(r))),
                   cy + static_cast<int>(std::lround(inner * std::sin(r))), colour);
  }
  c.FillCircle(cx, cy, outer * 2 / 5 - 1, colour);
}

void DrawCoin(cCanvas& c, int cx, int cy, int rx, int ry) {
  c.FillEllipse(cx, cy, rx, ry, kOrange);
  c.FillEllipse(cx, cy, std::max(1, rx - 2), std::max(1, ry - 2), kGold);
  c.FillRect(cx - std::max(0, rx / 4), cy - ry / 2, std::max(1, rx / 2), ry, kWhite);
}

void DrawHeart(cCanvas& c, int cx, int cy, int size, uint8_t colour) {
  c.FillCircle(cx - size / 2, cy - size / 4, size / 2, colour);
  c.FillCircle(cx + size / 2, cy - size / 4, size / 2, colour);
  c.FillTriangle(cx - size, cy - size / 6, cx + size, cy - size / 6, cx, cy + size, colour);
}

// ---- blocks ----

void DrawBlock(cCanvas& c, int index, int x, int y) {
  switch (index) {
    case kBlockGround:
      c.FillRect(x, y, kCell, kCell, kBrown);
      for (int i = 0; i < 6; ++i) c.FillRect(x + (i * 11) % 29, y + 12 + (i * 7) % 17, 3, 2, kBrownDark);
      c.FillRect(x, y, kCell, 8, kGrass);
      for (int i = 0; i < kCell; i += 4) c.FillRect(x + i, y + 8, 2, 2 + (i / 4) % 2, kGrass);
      c.FillRect(x, y, kCell, 2, CubeColour(140, 230, 120));
      break;
    case kBlockEarth:
      c.FillRect(x, y, kCell, kCell, kBrown);
      for (int i = 0; i < 8; ++i) c.FillRect(x + (i * 13) % 29, y + (i * 9) % 29, 3, 2, kBrownDark);
      break;
    case kBlockBrick:
      c.FillRect(x, y, kCell, kCell, CubeColour(200, 90, 50));
      for (int row = 0; row < 4; ++row) {
        c.FillRect(x, y + row * 8 + 7, kCell, 1, kGreyLight);
        const int offset = (row % 2) * 8;
        for (int col = offset; col < kCell; col += 16) c.FillRect(x + col, y + row * 8, 1, 7, kGreyLight);
      }
      break;
    case kBlockStone:
      c.FillRect(x, y, kCell, kCell, kGrey);
      c.FillRect(x, y, kCell, 2, kGreyLight);
      c.FillRect(x, y, 2, kCell, kGreyLight);
      c.FillRect(x, y + kCell - 2, kCell, 2, kGreyDark);
      c.FillRect(x + kCell - 2, y, 2, kCell, kGreyDark);
      c.FillRect(x + 8, y + 8, 4, 4, kGreyDark);
      c.FillRect(x + 20, y + 18, 5, 3, kGreyDark);
      break;
    case kBlockSpikes:
      for (int i = 0; i < 4; ++i) {
        c.FillTriangle(x + i * 8, y + kCell - 1, x + i * 8 + 7, y + kCell - 1, x + i * 8 + 3, y + 12, kGreyLight);
        c.Line(x + i * 8 + 3, y + 12, x + i * 8 + 7, y + kCell - 1, kGreyDark);
      }
      c.FillRect(x, y + kCell - 4, kCell, 4, kGreyDark);
      break;
    case kBlockSpring:
      c.FillRect(x + 2, y + 4, 28, 5, kRed);
      for (int i = 0; i < 4; ++i) c.FillRect(x + 6 + (i % 2) * 4, y + 10 + i * 4, 16, 2, kGreyLight);
      c.FillRect(x + 2, y + 26, 28, 6, kGreyDark);
      break;
    default: break;
  }
}

// ---- pictures ----

cCanvas PalettePicture() {
  // The colour table is the palette; rows 8-23 show it as 16 x 16 pixels (pixel (c, 8 + r) is
  // entry 16r + c), and the top-left pixel is the transparent colour.
  cCanvas c(16, 24, kClear);
  for (int r = 0; r < 16; ++r)
    for (int col = 0; col < 16; ++col) c.Set(col, 8 + r, static_cast<uint8_t>(r * 16 + col));
  return c;
}

cCanvas DebugPicture() {
  cCanvas c(256, 64, kClear);
  for (int i = 0; i < 8; ++i) c.FrameRect(i * 32, 0, 32, 32, kRed);
  c.Text(4, 40, "DEBUG", 2, kWhite);
  return c;
}

cCanvas BlockSheet() {
  // Block n at (32(n / 15), 32(n % 15)): 15 to a column.
  cCanvas c(8 * kCell, 15 * kCell, kClear);
  for (int n = 1; n <= kBlockSpring; ++n) DrawBlock(c, n, (n / 15) * kCell, (n % 15) * kCell);
  return c;
}

cCanvas CharacterSheet() {
  // 15 rows of characters, 20 columns of animation patterns; every column repeats the four-step
  // walk so that any pattern offset of an animation set still shows the character.
  cCanvas c(20 * kCell, 15 * kCell, kClear);
  for (int pattern = 0; pattern < 20; ++pattern) {
    DrawHero(c, pattern * kCell, kCharaHero * kCell, pattern);
    DrawSlime(c, pattern * kCell, kCharaSlime * kCell, pattern);
    DrawLift(c, pattern * kCell, kCharaLift * kCell, pattern);
    DrawBeetle(c, pattern * kCell, kCharaBeetle * kCell, pattern);
    DrawTurret(c, pattern * kCell, kCharaTurret * kCell, pattern);
  }
  return c;
}

cCanvas ShotSheet() {
  // 120 shot graphics of two 16 x 16 frames: graphic 30d + c at (32d, 16c) and (32d + 16, 16c).
  cCanvas c(128, 480, kClear);
  const uint8_t colours[4] = {kGold, kRed, kBlue, kGrass};
  for (int d = 0; d < 4; ++d)
    for (int row = 0; row < 30; ++row)
      for (int f = 0; f < 2; ++f) {
        const int x = d * 32 + f * 16 + 8, y = row * 16 + 8;
        c.FillCircle(x, y, 5 + f, colours[(d + row) % 4]);
        c.FillCircle(x - 1, y - 1, 2, kWhite);
      }
  return c;
}

cCanvas ItemSheet() {
  // Items 15 to a column of 64 dots: graphic n in the 64 x 32 cell (64(n / 15), 32(n % 15)), its two
  // frames side by side.
  cCanvas c(8 * 64, 15 * kCell, kClear);
  for (int f = 0; f < 2; ++f) {
    DrawStar(c, 16 + f * 32, kItemStar * kCell + 16, 14 - f, kGold, kOrange);
    DrawCoin(c, 16 + f * 32, kItemCoin * kCell + 16, f ? 5 : 10, 12);
    DrawHeart(c, 16 + f * 32, kItemHeart * kCell + 18, 9 - f, kRed);
    DrawGem(c, 16 + f * 32, kItemGem * kCell + 16, 10 - f);
  }
  return c;
}

cCanvas ItemMiniSheet() {
  cCanvas c(128, 240, kClear);
  DrawStar(c, 8, 16 + 8, 7, kGold, kOrange);
  DrawCoin(c, 8, 32 + 8, 5, 6);
  DrawHeart(c, 8, 48 + 8, 4, kRed);
  DrawGem(c, 8, 64 + 8, 5);
  return c;
}

cCanvas MarkSheet() {
  // Icon i at (32(i / 15), 32(i % 15)): numbered round badges.
  cCanvas c(8 * kCell, 15 * kCell, kClear);
  for (int i = 1; i < 15; ++i) {
    const int x = (i / 15) * kCell, y = (i % 15) * kCell;
    c.FillCircle(x + 8, y + 8, 7, kBlue);
    const std::string digits = std::to_string(i);
    c.Text(x + 8 - cCanvas::TextWidth(digits, 1) / 2, y + 5, digits, 1, kWhite);
  }
  return c;
}

void Sky(cCanvas& c, int height) {
  // Bands from the deep sky down to the light horizon.
  for (int y = 0; y < height; ++y) {
    const int t = y * 255 / std::max(1, height - 1);
    c.FillRect(0, y, c.Width(), 1, CubeColour(60 + t * 110 / 255, 130 + t * 90 / 255, 230 + t * 25 / 255));
  }
}

void Cloud(cCanvas& c, int x, int y, int size) {
  c.FillEllipse(x, y, size, size * 2 / 3, kWhite);
  c.FillEllipse(x + size, y + 4, size * 3 / 4, size / 2, kWhite);
  c.FillEllipse(x - size, y + 5, size * 2 / 3, size / 2, kWhite);
}

void Hills(cCanvas& c, int base, uint8_t colour, int phase) {
  for (int x = 0; x < c.Width(); ++x) {
    const double h = 30 + 22 * std::sin((x + phase) / 70.0) + 12 * std::sin((x + phase * 2) / 23.0);
    c.FillRect(x, base - static_cast<int>(h), 1, c.Height(), colour);
  }
}

cCanvas TitlePicture() {
  cCanvas c(640, 480, kBlack);
  Sky(c, 480);
  Cloud(c, 110, 250, 28);
  Cloud(c, 520, 230, 22);
  Cloud(c, 330, 290, 18);
  Hills(c, 400, kGrassDark, 0);
  Hills(c, 440, kGrass, 140);
  for (int x = 0; x < 640; x += kCell) DrawBlock(c, kBlockGround, x, 448);
  // The name in big blocky letters with a dark shadow, over a panel.
  const std::string_view name = "QC4 DEMO";
  const int scale = 10;
  const int w = cCanvas::TextWidth(name, scale);
  c.FillRect((640 - w) / 2 - 16, 40, w + 32, 7 * scale + 32, kBlue);
  c.FrameRect((640 - w) / 2 - 16, 40, w + 32, 7 * scale + 32, kWhite);
  c.ShadowText((640 - w) / 2, 56, name, scale, kGold, kBrownDark);
  const std::string_view line = "A SMALL ACTION GAME";
  c.ShadowText((640 - cCanvas::TextWidth(line, 2)) / 2, 172, line, 2, kWhite, kGreyDark);
  // The cast: the hero in front of a slime and the goal star.
  cCanvas sprites(3 * kCell, kCell, kClear);
  DrawHero(sprites, 0, 0, 1);
  DrawSlime(sprites, kCell, 0, 0);
  DrawStar(sprites, 2 * kCell + 16, 16, 14, kGold, kOrange);
  cCanvas big(3 * kCell * 2, kCell * 2, kClear);
  for (int y = 0; y < big.Height(); ++y)
    for (int x = 0; x < big.Width(); ++x) big.Set(x, y, sprites.At(x / 2, y / 2));
  c.Paste(big, 0, 0, 64, 64, 100, 384, kClear);
  c.Paste(big, 64, 0, 64, 64, 500, 384, kClear);
  c.Paste(big, 128, 0, 64, 64, 560, 300, kClear);
  return c;
}

cCanvas GameModePicture() {
  // One 32-pixel row per title menu item kind, on the transparent colour.
  const char* const captions[7] = {"NEW GAME", "CONTINUE", "CHALLENGE", "FREE PLAY", "REPLAY", "OPTIONS", "QUIT"};
  cCanvas c(224, 7 * 32, kClear);
  for (int i = 0; i < 7; ++i) c.ShadowText(4, i * 32 + 4, captions[i], 3, kWhite, kBlack);
  return c;
}

cCanvas LoadingPicture() {
  cCanvas c(640, 480, kBlack);
  const std::string_view text = "NOW LOADING";
  c.Text(640 - cCanvas::TextWidth(text, 3) - 24, 480 - 21 - 24, text, 3, kWhite);
  return c;
}

cCanvas WindowPicture() {
  // The box skin: a dark blue gradient with a faint diagonal weave.
  cCanvas c(640, 480, kBlack);
  for (int y = 0; y < 480; ++y) c.FillRect(0, y, 640, 1, CubeColour(0, 0, 60 + y * 120 / 479));
  for (int k = -480; k < 640; k += 24) c.Line(k, 0, k + 480, 480, CubeColour(0, 51, 153));
  return c;
}

cCanvas StatusWindowPicture() {
  cCanvas c(640, 20, CubeColour(0, 0, 51));
  c.FillRect(0, 0, 640, 1, kFrame);
  c.FillRect(0, 19, 640, 1, kGreyDark);
  return c;
}

// Cursors, status icons and gauge strips.
cCanvas AccessoryPicture() {
  cCanvas c(256, 224, kClear);
  // The 32 x 32 pointing hand of the title menu and stage select.
  c.FillRect(4, 12, 18, 10, kSkin);
  c.FillRect(20, 13, 10, 4, kSkin);
  c.FillRect(8, 22, 12, 4, kSkin);
  c.FrameRect(4, 12, 18, 14, kBrownDark);
  c.FillRect(0, 12, 4, 14, kRed);
  // The 16 x 16 arrow at (64, 0) and the second arrow at (80, 0).
  c.FillTriangle(66, 2, 66, 13, 76, 7, kWhite);
  c.FillTriangle(82, 2, 82, 13, 92, 7, kGrey);
  // Status icons at (16k, 32): total score, stage score, HP, SP, lives.
  DrawCoin(c, 8, 40, 6, 7);
  DrawStar(c, 24, 40, 7, kGold, kOrange);
  DrawHeart(c, 40, 41, 4, kRed);
  DrawStar(c, 56, 40, 7, kBlue, kWhite);
  c.FillCircle(72, 40, 6, kSkin);
  c.FillRect(66, 33, 12, 3, kHair);
  c.FillRect(69, 39, 2, 2, kBlack);
  // The world map's lives icon at (0, 48).
  c.FillCircle(8, 56, 6, kSkin);
  c.FillRect(2, 49, 12, 3, kHair);
  c.FillRect(5, 55, 2, 2, kBlack);
  c.FillRect(10, 55, 2, 2, kBlack);
  // The world map's hero, two 32 x 32 pictures per facing: down at (0, 64), up at (64, 64), left at
  // (64, 96), right at (0, 96), the second picture 32 to the right of the first.
  const int heroCells[4][2] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};
  for (int facing = 0; facing < 4; ++facing)
    for (int frame = 0; frame < 2; ++frame)
      DrawMapHero(c, heroCells[facing][0] + frame * kCell, heroCells[facing][1], facing, frame);
  // Status gauges: frames at (gx, 128), bars at (gx, 144) normal and (gx, 160) low, 50 x 16.
  for (int gx : {0, 64}) {
    c.FillRect(gx, 128, 50, 16, kGreyDark);
    c.FrameRect(gx, 128, 50, 16, kWhite);
    c.FillRect(gx + 1, 145, 48, 14, gx == 0 ? kGrass : kBlue);
    c.FillRect(gx + 1, 161, 48, 14, kRed);
  }
  // Character gauges, 50 x 2 rows at 208 (back), 210 (fill), 212 (low), 214 (loss), 216 (gain).
  for (int gx : {0, 64}) {
    c.FillRect(gx, 208, 50, 2, kBlack);
    c.FillRect(gx, 210, 50, 2, gx == 0 ? kGrass : kBlue);
    c.FillRect(gx, 212, 50, 2, kRed);
    c.FillRect(gx, 214, 50, 2, kOrange);
    c.FillRect(gx, 216, 50, 2, kWhite);
  }
  return c;
}

// Icons that replace a-z in the menu font: 16 x 16 cells in letter order.
cCanvas SymbolPicture() {
  cCanvas c(26 * 16, 32, kClear);
  for (int k = 0; k < 26; ++k) {
    const int x = k * 16;
    switch (k) {
      case 3:  // (48, 0): extra life
        DrawHeart(c, x + 8, 8, 4, kRed);
        break;
      case 4:  // (64, 0): choice cursor
        c.FillTriangle(x + 3, 2, x + 3, 13, x + 13, 7, kWhite);
        break;
      default: {
        c.FillCircle(x + 7, 7, 6, CubeColour(51, 102, 204));
        const std::string letter(1, static_cast<char>('A' + k));
        c.Text(x + 5, 4, letter, 1, kWhite);
        break;
      }
    }
  }
  return c;
}

cCanvas WordPicture() {
  cCanvas c(320, 192, kClear);
  auto word = [&](int x, int y, int w, std::string_view text, int scale, uint8_t colour) {
    const int tw = cCanvas::TextWidth(text, scale);
    c.ShadowText(x + (w - tw) / 2, y + (32 - 7 * scale) / 2, text, scale, colour, kBlack);
  };
  word(0, 0, 128, "STAGE", 4, kWhite);
  word(0, 32, 128, "REPLAY", 3, kOrange);
  word(160, 0, 80, "GO!", 4, kGold);
  word(0, 64, 128, "CLEAR!", 3, kGold);
  // "GAME OVER" at this size is 159 dots with its space: the two words are set 6 dots apart.
  word(0, 96, 69, "GAME", 3, kRed);
  word(75, 96, 69, "OVER", 3, kRed);
  for (int d = 0; d < 10; ++d) {
    const std::string digit(1, static_cast<char>('0' + d));
    word(d * 32, 128, 32, digit, 4, kWhite);
    word(d * 32, 160, 32, digit, 4, kGold);
  }
  return c;
}

cCanvas WorldMapChipPicture() {
  // Five 32 x 32 chips per row.
  cCanvas c(5 * kCell, 2 * kCell, kClear);
  auto at = [](int chip) { return std::pair<int, int>{(chip % 5) * kCell, (chip / 5) * kCell}; };
  auto [gx, gy] = at(kMapChipGrass);
  c.FillRect(gx, gy, kCell, kCell, kGrass);
  for (int i = 0; i < 6; ++i) c.FillRect(gx + (i * 11) % 28, gy + (i * 7) % 28, 2, 3, kGrassDark);
  auto [px, py] = at(kMapChipPath);
  c.FillRect(px, py, kCell, kCell, kGrass);
  c.FillRect(px, py + 8, kCell, 16, CubeColour(230, 200, 140));
  auto [wx, wy] = at(kMapChipWater);
  c.FillRect(wx, wy, kCell, kCell, kWater);
  for (int i = 0; i < 3; ++i) c.FillRect(wx + 4 + i * 9, wy + 8 + i * 8, 8, 2, kWaterLight);
  auto [tx, ty] = at(kMapChipTree);
  c.FillRect(tx, ty, kCell, kCell, kGrass);
  c.FillRect(tx + 14, ty + 20, 4, 10, kBrownDark);
  c.FillCircle(tx + 16, ty + 13, 11, kGrassDark);
  auto [fx, fy] = at(kMapChipFlowers);
  c.FillRect(fx, fy, kCell, kCell, kGrass);
  for (int i = 0; i < 5; ++i) c.FillCircle(fx + 5 + (i * 13) % 24, fy + 5 + (i * 9) % 24, 2, i % 2 ? kRed : kGold);
  return c;
}

cCanvas WorldEventPicture() {
  // One 32-pixel row per icon kind: x 0 not cleared, x 32 cleared. Rows 0-2 the numbered stages,
  // row 3 a closed gate, row 4 the bonus stage.
  cCanvas c(64, 5 * kCell, kClear);
  for (int row = 0; row < 3; ++row)
    for (int cleared = 0; cleared < 2; ++cleared) {
      const int x = cleared * kCell, y = row * kCell;
      c.FillCircle(x + 16, y + 16, 12, kBlack);
      c.FillCircle(x + 16, y + 16, 10, cleared ? kGold : kRed);
      c.Text(x + 14, y + 13, std::string(1, static_cast<char>('1' + row)), 1, kWhite);
    }
  for (int cleared = 0; cleared < 2; ++cleared) {
    const int x = cleared * kCell, y = 3 * kCell;
    c.FillRect(x + 3, y + 6, 26, 24, kBrownDark);
    for (int bar = 0; bar < 4; ++bar) c.FillRect(x + 5 + bar * 6, y + 8, 4, 22, kBrown);
    c.FillRect(x + 3, y + 14, 26, 3, kGreyDark);
    c.FillRect(x + 13, y + 17, 6, 6, kGold);  // the lock
  }
  for (int cleared = 0; cleared < 2; ++cleared) {
    const int x = cleared * kCell, y = 4 * kCell;
    c.FillCircle(x + 16, y + 16, 13, kBlack);
    DrawStar(c, x + 16, y + 16, 11, cleared ? kGold : kPurple, kWhite);
  }
  return c;
}

cCanvas SparkPicture() {
  // A white flash that opens into four rays and breaks up into sparks.
  cCanvas c(kSparkFrames * kSparkCell, kSparkCell, kClear);
  for (int f = 0; f < kSparkFrames; ++f) {
    const int cx = f * kSparkCell + 16, cy = 16;
    const int reach = 5 + f * 3;
    if (f < 2) c.FillCircle(cx, cy, 4 - f, kWhite);
    for (int k = 0; k < 8; ++k) {
      const double a = k * M_PI / 4 + f * 0.2;
      const int x = cx + static_cast<int>(std::lround(reach * std::cos(a)));
      const int y = cy + static_cast<int>(std::lround(reach * std::sin(a)));
      if (f < 2)
        c.Line(cx, cy, x, y, k % 2 ? kGold : kWhite);
      else
        c.FillCircle(x, y, f == 2 ? 2 : 1, k % 2 ? kOrange : kGold);
    }
  }
  return c;
}

// The far layer: clouds on the transparent colour, wide enough to wrap without a seam.
cCanvas CloudPicture() {
  cCanvas c(640, 480, kClear);
  Cloud(c, 90, 70, 24);
  Cloud(c, 300, 40, 30);
  Cloud(c, 520, 100, 20);
  Cloud(c, 420, 170, 16);
  Cloud(c, 180, 200, 14);
  return c;
}

// The near layer: two rows of hills rising from the bottom; above them the sky shows through.
cCanvas HillsPicture() {
  cCanvas c(640, 480, kClear);
  Hills(c, 380, CubeColour(102, 153, 204), 60);
  Hills(c, 440, CubeColour(51, 153, 102), 200);
  c.FillRect(0, 440, 640, 40, CubeColour(51, 153, 102));
  return c;
}

}  // namespace

std::vector<cDemoPicture> MakeDemoPictures() {
  std::vector<cDemoPicture> list;
  list.push_back({"bmp\\plt\\Palette.bmp", PalettePicture()});
  list.push_back({"bmp\\Debug.bmp", DebugPicture()});
  list.push_back({"bmp\\Block.bmp", BlockSheet()});
  list.push_back({"bmp\\Character1.bmp", CharacterSheet()});
  list.push_back({"bmp\\Shot.bmp", ShotSheet()});
  list.push_back({"bmp\\Item.bmp", ItemSheet()});
  list.push_back({"bmp\\Item_Mini.bmp", ItemMiniSheet()});
  list.push_back({"bmp\\Mark.bmp", MarkSheet()});
  list.push_back({"bmp\\Loading.bmp", LoadingPicture()});
  list.push_back({"bmp\\Window.bmp", WindowPicture()});
  list.push_back({"bmp\\StatusWindow.bmp", StatusWindowPicture()});
  list.push_back({"bmp\\Title.bmp", TitlePicture()});
  list.push_back({"bmp\\GameMode.bmp", GameModePicture()});
  list.push_back({"bmp\\Accessory.bmp", AccessoryPicture()});
  list.push_back({"bmp\\Symbol.bmp", SymbolPicture()});
  list.push_back({"bmp\\Word.bmp", WordPicture()});
  list.push_back({"bmp\\WorldMapChip.bmp", WorldMapChipPicture()});
  list.push_back({"bmp\\WorldEvent.bmp", WorldEventPicture()});
  list.push_back({"背景その1.bmp", HillsPicture()});
  list.push_back({"背景その2.bmp", CloudPicture()});
  list.push_back({kSparkPicture, SparkPicture()});
  for (cDemoPicture& picture : MakeDemoEventPictures()) list.push_back(std::move(picture));
  return list;
}
