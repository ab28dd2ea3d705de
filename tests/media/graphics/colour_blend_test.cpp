// The colour blends in every display mode: the half-and-half mix of DDBltTrans and the pull towards
// a colour of DDBltColorChange on the pixel paths (each destination pixel against the rule written
// out here), their Direct3D quads, the 8-bit blend table and its file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "effect_fixture.h"
#include "media/graphics/pixel_effects.h"

using namespace fxtest;

namespace {

// A rectangle of a 1:1 effect and where it comes from.
struct Rect {
  int x, y, w, h, sx, sy;
};
const Rect kRects[] = {
    {2, 1, 8, 5, 3, 2},     // inside both surfaces
    {-3, -2, 9, 6, 0, 0},   // over the destination's top-left
    {4, 3, 10, 8, -4, -2},  // starting before the source's top-left
    {9, 6, 12, 9, 5, 1},    // past the destination's right and bottom
    {0, 0, 30, 20, 7, 4},   // past the source's right and bottom
};

// The blend table used on palette screens: any table of the layout works.
void FillBlendTable() {
  for (int row = 0; row < 256; ++row)
    for (int col = 0; col < 256; ++col)
      g_BlendTable[row * 256 + col] = static_cast<uint8_t>((row * 7 + col * 13) & 255);
}

class ColourBlendTest : public EffectTest {
 protected:
  // Runs a 1:1 effect for every rectangle and flag and checks every destination pixel: drawn ones
  // by `expected`(source, destination) (or left alone when it answers false), all others unchanged.
  void CheckEveryPixel(const std::function<void(DDSURFACEDATA*, const Rect&, DDSURFACEDATA*, int)>& effect,
                       const std::function<bool(uint32_t, uint32_t, bool, uint32_t&)>& expected) {
    DDSURFACEDATA* src = Pixels(12, 9);
    const bool screen = GetParam().fullScreen;
    DDSURFACEDATA* dst = screen ? &g_BackBufferSD : Pixels(14, 10);
    const int dw = 14, dh = 10;
    Paint(src, [&](int, int) { return Next(); });
    for (int flags : {0, 1})
      for (const Rect& r : kRects) {
        SCOPED_TRACE(testing::Message() << "flags " << flags << " rect " << r.x << "," << r.y << " from " << r.sx << ","
                                        << r.sy);
        std::vector<uint32_t> before;
        {
          cSurfaceLock lock(dst);
          ASSERT_TRUE(lock.IsLocked());
          for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
              uint32_t v = Next(false);
              if (screen) v &= 0xFFFF;
              if (x == 3 && y == 2) v = D3D() ? v : g_dwColorKey;  // a destination pixel of the key
              if (!D3D() && Bpp() == 8 && x == 4 && y == 2) v = 0;
              gfx::StorePixel(lock.PixelAddress(x, y), lock.BytesPerPixel(), v);
              before.push_back(v);
            }
        }
        effect(dst, r, src, flags);
        for (int y = 0; y < dh; ++y)
          for (int x = 0; x < dw; ++x) {
            const uint32_t d = before[y * dw + x];
            uint32_t want = d;
            const int sxp = r.sx + x - r.x, syp = r.sy + y - r.y;
            const bool inRect = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
            if (inRect && sxp >= 0 && syp >= 0 && sxp < 12 && syp < 9) {
              uint32_t out;
              if (expected(Raw(src, sxp, syp), d, flags == 1, out)) want = out;
            }
            ASSERT_EQ(Raw(dst, x, y), want) << "pixel " << x << "," << y;
          }
      }
  }
};

// ---- DDBltTrans ------------------------------------------------------------------------------

TEST_P(ColourBlendTest, EveryPixelPathMixesHalfAndHalfWhateverTheAlpha) {
  FillBlendTable();
  const Layout dd16 = DirectDraw16();
  const bool screen = GetParam().fullScreen;
  CheckEveryPixel([](DDSURFACEDATA* dst, const Rect& r, DDSURFACEDATA* src,
                     int flags) { DDBltTrans(dst, r.x, r.y, r.w, r.h, src, r.sx, r.sy, flags, g_BlendTable, 0); },
                  [&](uint32_t s, uint32_t d, bool keyed, uint32_t& out) {
                    if (!D3D() && Bpp() == 8) {
                      if (keyed && s == 0) return false;  // index 0 is transparent here, whatever the key
                      out = d != 0 ? g_BlendTable[s + 256 * d] : s;
                      return true;
                    }
                    if (keyed && IsTransparent(s)) return false;
                    if (D3D() && Bpp() == 16) {
                      const Rgb a = kTexture16.Split(s);
                      if (screen) {
                        const Rgb b = kScreen16.Split(d);
                        out = kScreen16.Join({(a.r + b.r) / 2, (b.g + 2 * a.g) / 2, (a.b + b.b) / 2});
                      } else {
                        const Rgb b = kTexture16.Split(d);
                        out = kTexture16.Join({(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2}) | 0x8000;
                      }
                    } else if (D3D()) {
                      const Rgb a = Bytes(s), b = Bytes(d);
                      out = JoinBytes({(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2}, 255);
                    } else if (Bpp() == 16) {
                      if (d == g_dwColorKey) {
                        out = s;
                        return true;
                      }
                      const Rgb a = dd16.Split(s), b = dd16.Split(d);
                      auto mix = [](uint32_t p, uint32_t q, uint32_t m) {
                        return ((p * 255 / m + q * 255 / m) >> 1) * m / 255;
                      };
                      out = dd16.Join({mix(a.r, b.r, dd16.rm), mix(a.g, b.g, dd16.gm), mix(a.b, b.b, dd16.bm)});
                    } else {
                      if (d == g_dwColorKey) {
                        out = (d & 0xFF000000u) | (s & 0x00FFFFFFu);  // the source's colour bytes unchanged
                        return true;
                      }
                      const Rgb a = Bytes(s), b = Bytes(d);
                      out = JoinBytes({(a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1}, d >> 24);
                    }
                    return true;
                  });
}

TEST_P(ColourBlendTest, HalfTransparencyIsTheMixAtAlpha128) {
  FillBlendTable();
  DDSURFACEDATA* src = Pixels(8, 8);
  DDSURFACEDATA* a = Pixels(8, 8);
  DDSURFACEDATA* b = Pixels(8, 8);
  Paint(src, [&](int, int) { return Next(); });
  Paint(a, [&](int x, int y) { return Raw(src, (x + 3) % 8, y) ^ 0x0101u; });
  Paint(b, [&](int x, int y) { return Raw(a, x, y); });
  DDBltHalfTrans(a, 1, 1, 6, 6, src, 0, 1, 1, g_BlendTable);
  DDBltTrans(b, 1, 1, 6, 6, src, 0, 1, 1, g_BlendTable, 128);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(Raw(a, x, y), Raw(b, x, y)) << x << "," << y;
}

// ---- DDBltColorChange --------------------------------------------------------------------------

struct ColourCase {
  int colour, level;
};

TEST_P(ColourBlendTest, ColourChangePullsEveryPixelTowardsTheColourLevelTimes) {
  FillBlendTable();
  const Layout dd16 = DirectDraw16();
  const bool screen = GetParam().fullScreen;
  for (const ColourCase c : {ColourCase{40, 1}, {120, 2}, {77, 3}, {200, 4}, {31, 5}, {16, 40}}) {
    SCOPED_TRACE(testing::Message() << "colour " << c.colour << " level " << c.level);
    const PALETTEENTRY& e = g_WorkPalette[c.colour];
    CheckEveryPixel(
        [&](DDSURFACEDATA* dst, const Rect& r, DDSURFACEDATA* src, int flags) {
          DDBltColorChange(dst, r.x, r.y, r.w, r.h, src, r.sx, r.sy, flags, g_WorkPalette, g_BlendTable, c.colour,
                           c.level, nullptr);
        },
        [&](uint32_t s, uint32_t d, bool keyed, uint32_t& out) {
          if (keyed && IsTransparent(s)) return false;
          if (D3D()) {
            const float w = c.level == 2 ? 64.0f / 255 : c.level == 3 ? 32.0f / 255 : c.level == 4 ? 16.0f / 255 : 0;
            auto pull = [&](uint32_t v, uint32_t col) {
              if (c.level == 1) return (v + col) >> 1;
              return static_cast<uint32_t>(static_cast<float>(v) * w + (1.0f - w) * static_cast<float>(col));
            };
            if (Bpp() == 16) {
              const Rgb f = kTexture16.Split(s);
              const Rgb res = {pull(f.r, e.red * 31u / 255), pull(f.g, e.green * 31u / 255),
                               pull(f.b, e.blue * 31u / 255)};
              out = screen ? kScreen16.Join({res.r, res.g * 2, res.b}) : kTexture16.Join(res) | 0x8000;
            } else {
              const Rgb f = Bytes(s);
              out = JoinBytes({pull(f.r, e.red), pull(f.g, e.green), pull(f.b, e.blue)}, 255);
            }
            return true;
          }
          auto halve = [&](uint32_t v, uint32_t col) {
            for (int k = 0; k < c.level; ++k) v = (v + col) >> 1;
            return v;
          };
          if (Bpp() == 8) {
            out = s;
            for (int k = 0; k < c.level; ++k) out = g_BlendTable[out * 256 + c.colour];
          } else if (Bpp() == 16) {
            const Rgb f = dd16.Split(s);
            auto one = [&](uint32_t v, uint32_t col, uint32_t m) {
              return halve(v * 255 / m, col * 255 / m) * m / 255;
            };
            out = dd16.Join({one(f.r, e.red, dd16.rm), one(f.g, e.green, dd16.gm), one(f.b, e.blue, dd16.bm)});
          } else {
            const Rgb f = Bytes(s);
            out = JoinBytes({halve(f.r, e.red), halve(f.g, e.green), halve(f.b, e.blue)}, d >> 24);
          }
          return true;
        });
  }
}

TEST_P(ColourBlendTest, LevelZeroAndColoursOutsideThePaletteDrawNothing) {
  FillBlendTable();
  DDSURFACEDATA* src = Pixels(8, 8);
  DDSURFACEDATA* pixels = Pixels(8, 8);
  DDSURFACEDATA* target = RenderTarget(8, 8);  // the quad path in Direct3D mode
  Paint(src, [&](int, int) { return Next(false); });
  for (DDSURFACEDATA* dst : {pixels, target}) {
    Paint(dst, [&](int, int) { return Next(false); });
    std::vector<uint32_t> before;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) before.push_back(Raw(dst, x, y));
    DDBltColorChange(dst, 0, 0, 8, 8, src, 0, 0, 0, g_WorkPalette, g_BlendTable, 40, 0, nullptr);
    DDBltColorChange(dst, 0, 0, 8, 8, src, 0, 0, 0, g_WorkPalette, g_BlendTable, 256, 1, nullptr);
    DDBltColorChange(dst, 0, 0, 8, 8, src, 0, 0, 0, g_WorkPalette, g_BlendTable, -1, 1, nullptr);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(Raw(dst, x, y), before[y * 8 + x]) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(AllModes, ColourBlendTest, ::testing::ValuesIn(kEffectModes), ModeName);

// ---- Direct3D quads ----------------------------------------------------------------------------

class ColourQuadTest : public EffectTest {};

// A texture with opaque colours and a transparent column, drawn onto a render target of one colour.
TEST_P(ColourQuadTest, TransAtAlphaZeroIsOpaqueAndAtFullAlphaInvisible) {
  DDSURFACEDATA* src = RenderTarget(8, 8);
  DDSURFACEDATA* dst = RenderTarget(16, 16);
  DDSURFACEDATA* plain = RenderTarget(16, 16);
  Paint(src, [&](int x, int) { return x == 2 ? Transparent() : Next(false); });
  const uint32_t ground = Next(false);
  for (DDSURFACEDATA* sd : {dst, plain}) Paint(sd, [&](int, int) { return ground; });
  DDBltTrans(dst, 4, 4, 8, 8, src, 0, 0, 1, g_BlendTable, 0);
  DDBlt(plain, 4, 4, 8, 8, src, 0, 0, 1);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(Raw(dst, x, y), Raw(plain, x, y)) << x << "," << y;
  Paint(dst, [&](int, int) { return ground; });
  DDBltTrans(dst, 4, 4, 8, 8, src, 0, 0, 1, g_BlendTable, 255);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(Raw(dst, x, y), ground) << x << "," << y;
}

TEST_P(ColourQuadTest, TransAtAlpha128MixesAboutEvenlyAndLeavesTheAlphaStageAsBefore) {
  DDSURFACEDATA* src = RenderTarget(4, 4);
  DDSURFACEDATA* dst = RenderTarget(4, 4);
  Paint(src, [&](int, int) { return Bpp() == 16 ? 0xFC00u : 0xFFFF0000u; });  // red
  Paint(dst, [&](int, int) { return Bpp() == 16 ? 0x801Fu : 0xFF0000FFu; });  // blue
  DDBltTrans(dst, 0, 0, 4, 4, src, 0, 0, 1, g_BlendTable, 128);
  const uint32_t rgb = gfxtest::ReadRgb(dst, 1, 1);
  EXPECT_NEAR(static_cast<int>(rgb >> 16), 127, 9);
  EXPECT_NEAR(static_cast<int>(rgb & 255), 128, 9);
  EXPECT_EQ(g_lpDevice->GetTextureStageState(0, gfx::kTssAlphaOp), static_cast<uint32_t>(gfx::kOpSelectArg1));
}

TEST_P(ColourQuadTest, ColourChangeQuadWeighsTheTextureByTheLevelsFactor) {
  DDSURFACEDATA* src = RenderTarget(4, 4);
  DDSURFACEDATA* dst = RenderTarget(4, 4);
  Paint(src, [&](int, int) { return Bpp() == 16 ? 0xFFFFu : 0xFFFFFFFFu; });  // white
  const PALETTEENTRY& e = g_WorkPalette[100];
  for (const auto& [level, share] : {std::pair{1, 128}, {2, 80}, {3, 48}, {4, 16}, {7, 0}}) {
    Paint(dst, [](int, int) { return 0u; });
    DDBltColorChange(dst, 0, 0, 4, 4, src, 0, 0, 1, g_WorkPalette, g_BlendTable, 100, level, nullptr);
    const uint32_t rgb = gfxtest::ReadRgb(dst, 2, 2);
    auto expect = [&](uint32_t colour) { return static_cast<int>((255 * share + colour * (255 - share) + 127) / 255); };
    const int tolerance = Bpp() == 16 ? 9 : 1;
    EXPECT_NEAR(static_cast<int>(rgb >> 16), expect(e.red), tolerance) << level;
    EXPECT_NEAR(static_cast<int>((rgb >> 8) & 255), expect(e.green), tolerance) << level;
    EXPECT_NEAR(static_cast<int>(rgb & 255), expect(e.blue), tolerance) << level;
  }
}

INSTANTIATE_TEST_SUITE_P(Direct3D, ColourQuadTest, ::testing::Values(kEffectModes[0], kEffectModes[2]), ModeName);

// ---- the blend table -----------------------------------------------------------------------------

TEST(BlendTableFile, LoadsTheFirst65536BytesAndRefusesAShortFile) {
  Display d({0, 8, "DD8"});
  ASSERT_TRUE(d.ok);
  std::vector<uint8_t> bytes(65536 + 10);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31 + 7);
  gfxtest::WriteFile(d.Dir() / "bmp/hbt/hbt01.dat", bytes);
  gfxtest::WriteFile(d.Dir() / "bmp/hbt/hbt02.dat", std::vector<uint8_t>(65535, 9));
  std::vector<uint8_t> table(kBlendTableSize, 0);
  ASSERT_TRUE(DDLoadBlendTable(table.data(), "bmp\\hbt\\hbt01.dat"));
  EXPECT_TRUE(std::equal(table.begin(), table.end(), bytes.begin()));
  // Short or missing: refused, the table kept as it was.
  EXPECT_FALSE(DDLoadBlendTable(table.data(), "bmp\\hbt\\hbt02.dat"));
  EXPECT_FALSE(DDLoadBlendTable(table.data(), "bmp\\hbt\\hbt03.dat"));
  EXPECT_TRUE(std::equal(table.begin(), table.end(), bytes.begin()));
}

TEST(BlendTableFile, Direct3DNeedsNoTable) {
  Display d({1, 32, "D3D32"});
  ASSERT_TRUE(d.ok);
  std::vector<uint8_t> table(kBlendTableSize, 5);
  EXPECT_TRUE(DDLoadBlendTable(table.data(), "bmp\\hbt\\hbt01.dat"));
  EXPECT_EQ(table[0], 5);
}

}  // namespace
