#include "demo_palette.h"

#include <algorithm>

namespace {

constexpr int kCubeBase = 32;
constexpr int kCubeSteps = 6;

cColourTable BuildColours() {
  cColourTable t{};
  t[kClear] = {255, 0, 255};
  t[kSkyLight] = {170, 215, 255};
  t[kSky] = {100, 160, 240};
  t[kSkin] = {255, 205, 160};
  t[kBrownDark] = {100, 55, 20};
  t[kBrown] = {165, 105, 45};
  t[kGrass] = {70, 190, 60};
  t[kGrassDark] = {30, 120, 35};
  t[kGold] = {255, 205, 30};
  t[kRed] = {220, 45, 45};
  t[kBlue] = {45, 85, 220};
  t[kHair] = {90, 45, 20};
  t[kWater] = {30, 90, 200};
  t[kWaterLight] = {90, 150, 235};
  t[kPurple] = {140, 60, 190};
  t[kOrange] = {245, 140, 30};
  for (int i = 0; i < 16; ++i) {
    const auto v = static_cast<uint8_t>(i * 255 / 15);
    t[kBlack + i] = {v, v, v};
  }
  for (int r = 0; r < kCubeSteps; ++r)
    for (int g = 0; g < kCubeSteps; ++g)
      for (int b = 0; b < kCubeSteps; ++b)
        t[kCubeBase + r * 36 + g * 6 + b] = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                             static_cast<uint8_t>(b * 51)};
  // The two font colours sit inside the cube's range; the cube loses two of its pinks for them.
  t[kFrame] = {190, 200, 255};
  t[kText] = {255, 255, 255};
  // 248-255: a second grey ramp for soft shading.
  for (int i = 0; i < 8; ++i) {
    const auto v = static_cast<uint8_t>(40 + i * 25);
    t[248 + i] = {v, v, static_cast<uint8_t>(std::min(255, v + 30))};
  }
  return t;
}

}  // namespace

const cColourTable& DemoColours() {
  static const cColourTable table = BuildColours();
  return table;
}

uint8_t CubeColour(int r, int g, int b) {
  auto step = [](int v) { return std::clamp((v + 25) / 51, 0, kCubeSteps - 1); };
  int index = kCubeBase + step(r) * 36 + step(g) * 6 + step(b);
  // The font colours replaced two cube entries: fall back to white for them.
  if (index == kFrame || index == kText) index = kWhite;
  return static_cast<uint8_t>(index);
}
