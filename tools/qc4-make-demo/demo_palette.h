#pragma once
// The demo game's 256 colours. Every picture of the demo is an 8-bit bitmap over this one colour
// table, so that the pictures also show right on an 8-bit screen, where pixels are copied as
// palette numbers. Entry 0 is the transparent colour (the top-left pixel of the palette bitmap);
// 16 is the black the scenes clear with, 240 and 241 the frame and text colours of the game fonts.
#include <array>
#include <cstdint>

struct cRgb {
  uint8_t r = 0, g = 0, b = 0;
};

using cColourTable = std::array<cRgb, 256>;

// Palette numbers the pictures draw with.
enum eDemoColour : uint8_t {
  kClear = 0,  // transparent (magenta)
  kSkyLight = 1,
  kSky = 2,
  kSkin = 3,
  kBrownDark = 4,
  kBrown = 5,
  kGrass = 6,
  kGrassDark = 7,
  kGold = 8,
  kRed = 9,
  kBlue = 10,
  kHair = 11,
  kWater = 12,
  kWaterLight = 13,
  kPurple = 14,
  kOrange = 15,
  kBlack = 16,  // 16-31: grey ramp, black to white
  kGreyDark = 20,
  kGrey = 24,
  kGreyLight = 28,
  kWhite = 31,
  kFrame = 240,
  kText = 241,
};

// The table: named colours, the grey ramp, a 6 x 6 x 6 colour cube from 32 and the font colours.
const cColourTable& DemoColours();

// Entry number of the cube colour nearest to (r, g, b), each 0-255.
uint8_t CubeColour(int r, int g, int b);
