// The transparent colour in its forms, palette numbers, palette effects and the scene fades.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics_fixture.h"

using namespace gfxtest;

namespace {

TEST(Transmit, Direct3D32KeepsTheOpaqueColourForTheBackBuffer) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(lpDTCon->dwBackBufferClear, 0xFFFF00FFu);
  EXPECT_EQ(lpDTCon->wTransmit_16, 0);
  EXPECT_EQ(PalNumToRGB(0), 0u);
  EXPECT_EQ(PalNumToRGB(256), 0u);
  EXPECT_EQ(PalNumToRGB(200), 0xFF000000u | PaletteColour(200));
}

TEST(Transmit, Direct3D16HoldsFieldValuesAndTheExactColour) {
  Display d(kModes[0]);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(lpDTCon->rgbTransmit.rgbtRed, 31);
  EXPECT_EQ(lpDTCon->rgbTransmit.rgbtGreen, 0);
  EXPECT_EQ(lpDTCon->rgbTransmit.rgbtBlue, 31);
  EXPECT_EQ(lpDTCon->wTransmit_16, 0xFC1F);
  EXPECT_EQ(lpDTCon->rgbTransmitExact.rgbtRed, 255);
  EXPECT_EQ(lpDTCon->rgbTransmitExact.rgbtBlue, 255);
  // The screen's clear colour is the real colour, not the 5-bit field values.
  EXPECT_EQ(DDBackBufferClearColour(), 0xFFFF00FFu);
}

TEST(Transmit, DirectDrawDepths) {
  {
    Display d(kModes[4]);
    ASSERT_TRUE(d.ok);
    DDSetTransmit(255, 0, 128);
    EXPECT_EQ(g_dwColorKey, 0x00FF0080u);
    EXPECT_EQ(PalNumToRGB(200), PaletteColour(200));
  }
  {
    Display d(kModes[3]);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(g_SurfaceLayout.nRedShift, 11);
    EXPECT_EQ(g_SurfaceLayout.nGreenMask, 63);
    EXPECT_EQ(g_dwColorKey, 0xF81Fu);
    // 16-bit DirectDraw palette entries hold field values.
    EXPECT_EQ(g_GamePalette[241].green, 63);
  }
}

class PaletteModes : public ::testing::TestWithParam<Mode> {};

TEST_P(PaletteModes, PaletteFlagsFollowTheBackEnd) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  for (int i = 0; i < 256; ++i) {
    uint8_t expect = 255;
    if (!lpDTCon && g_nDisplayBpp == 8) expect = (i >= 10 && i <= 245) ? 1 : 2;  // reserved / explicit
    if (!lpDTCon && g_nDisplayBpp != 8) break;  // deeper DirectDraw: read from pixels, flags not defined
    EXPECT_EQ(g_GamePalette[i].flags, expect) << i;
  }
  if (!lpDTCon && g_nDisplayBpp == 8) {
    PALETTEENTRY shown[256];
    ASSERT_TRUE(g_lpDDPalette);
    g_lpDDPalette->GetEntries(0, 256, shown);
    EXPECT_EQ(shown[200], g_GamePalette[200]);
    EXPECT_EQ(shown[5].flags, 2);
  }
}

TEST_P(PaletteModes, PicturesThatCannotBeReadSetNoPaletteAndNoTransparentColour) {
  Display d(GetParam());
  ASSERT_TRUE(d.ok);
  // A PNG under a bitmap's name is not a Windows bitmap.
  WriteFile(d.Dir() / "bmp/plt/Fake.bmp", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13});
  const uint32_t key = g_dwColorKey;
  PALETTEENTRY before = g_GamePalette[200];
  for (const char* path : {"bmp\\plt\\Missing.bmp", "bmp\\plt\\Fake.bmp"}) {
    EXPECT_FALSE(DDLoadPaletteFromFile(g_GamePalette, path, 0)) << path;
    EXPECT_EQ(DDSetTransmitFromFile(path), 0) << path;
  }
  EXPECT_EQ(g_dwColorKey, key);
  EXPECT_EQ(g_GamePalette[200], before);
}

INSTANTIATE_TEST_SUITE_P(AllModes, PaletteModes, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PaletteEffects, BlendHalvesAndMarksEntries) {
  PALETTEENTRY src[256], dst[256];
  for (int i = 0; i < 256; ++i) src[i] = {static_cast<uint8_t>(i), 255, 7, 0};
  DDPalBlend(dst, 10, 20, 128, 0, 0, 0, src);
  for (int i = 10; i <= 20; ++i) {
    EXPECT_EQ(dst[i].red, i / 2);
    EXPECT_EQ(dst[i].green, 127);
    EXPECT_EQ(dst[i].blue, 3);
    EXPECT_EQ(dst[i].flags, 1);
  }
  DDPalBlend(dst, 0, 0, 0, 9, 8, 7, src);
  EXPECT_EQ(dst[0], (PALETTEENTRY{9, 8, 7, 1}));
}

TEST(PaletteEffects, RotateBothDirections) {
  Display d(kModes[2]);
  ASSERT_TRUE(d.ok);
  PALETTEENTRY pal[256] = {};
  for (int i = 0; i < 4; ++i) pal[208 + i].red = static_cast<uint8_t>('a' + i);
  PALETTEENTRY out[256];
  DDPalRotate(out, 208, 211, 1, 1, pal);
  EXPECT_EQ(std::string({char(out[208].red), char(out[209].red), char(out[210].red), char(out[211].red)}), "bcda");
  DDPalRotate(out, 208, 211, 1, 0, pal);
  EXPECT_EQ(std::string({char(out[208].red), char(out[209].red), char(out[210].red), char(out[211].red)}), "dabc");
  DDPalRotate(pal, 208, 211, 2, 1, pal);  // in place
  EXPECT_EQ(std::string({char(pal[208].red), char(pal[209].red), char(pal[210].red), char(pal[211].red)}), "cdab");
}

// One fade frame as a scene runs it: the picture is drawn, then the fade step.
bool FadeFrame(bool out, uint32_t palNum) {
  DDFillSurface(&g_BackBufferSD, palNum);
  AdvanceVirtualTime(16);
  return out ? DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_GamePalette, 0)
             : DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_GamePalette, 0);
}

TEST(Fade, Direct3DDarkensByTheSineOfThePhaseAndEndsOnTheTenthFrame) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  const uint32_t white = PaletteColour(241);
  for (int frame = 0; frame < 10; ++frame) {
    const double phase = 90 - 10 * frame;
    bool done = FadeFrame(true, 241);
    EXPECT_EQ(done, frame == 9);
    int alpha = 255 - static_cast<int>(255 * std::sin(phase * 0.017453292519943295));
    uint32_t expect = static_cast<uint32_t>((255 * (255 - alpha) + 127) / 255);
    EXPECT_EQ(ReadRgb(&g_BackBufferSD, 320, 240), expect << 16 | expect << 8 | expect) << frame;
  }
  // The next fade starts again from the full picture.
  FadeFrame(true, 241);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), white);
  EXPECT_TRUE(DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_GamePalette, 1));
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), 0u);
}

TEST(Fade, FadeInEndsWithThePictureComplete) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  int calls = 1;
  while (!FadeFrame(false, 241)) ++calls;
  EXPECT_EQ(calls, 10);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 0, 0), PaletteColour(241));
}

TEST(Fade, DirectDraw32FadesAFrozenCopyOfTheFirstFrame) {
  Display d(kModes[4]);
  ASSERT_TRUE(d.ok);
  FadeFrame(true, 241);  // copy taken, full picture
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 5), 0xFFFFFFu);
  FadeFrame(true, 200);  // phase 80: the frozen white picture, darkened
  const int strength = static_cast<int>(256 * std::sin(80 * 0.017453292519943295));
  const uint32_t v = static_cast<uint32_t>((strength * 255) >> 8);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 5, 5), v << 16 | v << 8 | v);
}

TEST(Fade, DirectDraw8BlendsTheWorkingPalette) {
  Display d(kModes[2]);
  ASSERT_TRUE(d.ok);
  int calls = 1;
  while (!FadeFrame(true, 241)) ++calls;
  EXPECT_EQ(calls, 10);
  EXPECT_EQ(g_WorkPalette[241], (PALETTEENTRY{0, 0, 0, 1}));
  PALETTEENTRY shown[256];
  ASSERT_TRUE(g_lpDDPalette);
  g_lpDDPalette->GetEntries(0, 256, shown);
  EXPECT_EQ(shown[241].red, 0);
}

TEST(Fade, TwentyFourBitDirectDrawStillEndsAfterTenCalls) {
  // Any depth without a visible fade keeps the phase logic.
  Display d(kModes[4]);
  ASSERT_TRUE(d.ok);
  g_nDisplayBpp = 24;
  int calls = 1;
  while (!DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_GamePalette, 0)) ++calls;
  g_nDisplayBpp = 32;
  EXPECT_EQ(calls, 10);
}

TEST(ChangeColor, TintsTheWholeSurfaceWithItsOwnPictureTimesTheColour) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  DDFillSurface(&g_BackBufferSD, 241);
  DDChangeColor(&g_BackBufferSD, 0, 0, 640, 480, 0, 255, 0, 0);
  EXPECT_EQ(ReadRgb(&g_BackBufferSD, 100, 100), 0xFF0000u);
}

TEST(SetPaletteUnPal, ReadsTheBlockAtRowEight) {
  Display d(kModes[1]);
  ASSERT_TRUE(d.ok);
  for (int i = 1; i < 256; ++i) {
    if (i == 241) continue;
    EXPECT_EQ(g_GamePalette[i].red, PaletteColour(i) >> 16) << i;
  }
}

}  // namespace
