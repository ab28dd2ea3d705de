// The rectangle path's loops for the draw states the game's blits use, against the general
// triangle path drawing the same quad pixel by pixel: opaque copies (alpha operation DISABLE), 1-bit
// alpha pictures on 16-bit targets, and pictures drawn semi-transparent through the vertex colour's
// alpha (its alpha modulating the texel's), forwards and mirrored, over the target's edges, with the
// AVX2 loops allowed and forbidden; and quads drawn one after another from the same or other
// texture coordinates, whose texel tables are kept between draws.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/pixel_format.h"
#include "platform/gfx/simd.h"
#include "platform/gfx/surface.h"

namespace gfx {
namespace {

struct Sequence {
  uint32_t s = 88172645u;
  uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
};

constexpr int kTargetW = 48, kTargetH = 6, kTexW = 80, kTexH = 6;

// The game's blit state: cull none, source-alpha blending, texel colour times the diffuse colour;
// the alpha operation as the case sets it.
struct Pipeline {
  Direct3D* d3d = nullptr;
  Device* dev = nullptr;
  Pipeline() {
    d3d = Direct3D::Create();
    PresentParams pp;
    pp.backBufferWidth = kTargetW;
    pp.backBufferHeight = kTargetH;
    pp.backBufferFormat = Format::X8R8G8B8;
    EXPECT_EQ(d3d->CreateDevice(true, &pp, &dev), kOk);
    dev->SetRenderState(kRsCullMode, kCullNone);
    dev->SetRenderState(kRsAlphaBlendEnable, 1);
    dev->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
    dev->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
    dev->SetTextureStageState(0, kTssColorOp, kOpModulate);
    dev->SetTextureStageState(0, kTssColorArg1, kTaTexture);
    dev->SetTextureStageState(0, kTssColorArg2, kTaDiffuse);
    dev->SetTextureStageState(0, kTssAlphaArg1, kTaTexture);
    dev->SetTextureStageState(0, kTssAlphaArg2, kTaDiffuse);
  }
  ~Pipeline() {
    EXPECT_EQ(dev->Release(), 0);
    d3d->Release();
  }
};

enum class AlphaOp { Disable, Modulate, ModulateSwapped };

struct QuadCase {
  Format texture, target;
  AlphaOp op;
  uint32_t diffuseAlpha;
};

void Quad(Vertex* v, float l, float t, float r, float b, float u0, float v0, float u1, float v1, uint32_t diffuse) {
  v[0] = {l, t, 0, 1, diffuse, u0, v0};
  v[1] = {l, b, 0, 1, diffuse, u0, v1};
  v[2] = {r, t, 0, 1, diffuse, u1, v0};
  v[3] = {r, b, 0, 1, diffuse, u1, v1};
}

// A texel: runs of transparent, opaque and mixed texels (in 32 bits a few partly transparent ones
// among them).
uint32_t Texel(Format f, int x, int y, uint32_t r) {
  if (BitsPerPixel(f) == 16) {
    const int run = (x / 12 + y) % 4;
    const uint32_t alphaBit = run == 0 ? 0 : run == 1 ? r & 0x8000 : 0x8000;
    return alphaBit | (r & 0x7FFF);
  }
  const uint32_t alpha = (x / 5 + y) % 3 == 0 ? 0 : r % 7 == 0 ? r >> 24 : 255;
  return alpha << 24 | (r & 0xFFFFFF);
}

// The target's pixels after drawing the quads (left, width, mirrored) one after another, by the
// rectangle path (asList false) or the triangle path.
// Each quad shows `texels` texels from column `first` on (0: as many as it is wide, from column 7).
std::vector<uint32_t> Draw(const QuadCase& c, const std::vector<std::pair<int, int>>& quads, bool mirrored, bool asList,
                           float texels = 0, float first = 7) {
  Pipeline p;
  p.dev->SetTextureStageState(0, kTssAlphaOp, c.op == AlphaOp::Disable ? kOpDisable : kOpModulate);
  if (c.op == AlphaOp::ModulateSwapped) {
    p.dev->SetTextureStageState(0, kTssAlphaArg1, kTaDiffuse);
    p.dev->SetTextureStageState(0, kTssAlphaArg2, kTaTexture);
  }
  Texture* rt = nullptr;
  EXPECT_EQ(p.dev->CreateTexture(kTargetW, kTargetH, 1, kUsageRenderTarget, c.target, Pool::Default, &rt), kOk);
  EXPECT_EQ(p.dev->SetRenderTarget(0, rt->Level0()), kOk);
  Texture* tex = nullptr;
  EXPECT_EQ(p.dev->CreateTexture(kTexW, kTexH, 1, 0, c.texture, Pool::Managed, &tex), kOk);
  Sequence seq;
  const int texBytes = BytesPerPixel(c.texture), targetBytes = BytesPerPixel(c.target);
  for (int y = 0; y < kTexH; ++y)
    for (int x = 0; x < kTexW; ++x)
      StorePixel(tex->Level0()->Row(y) + texBytes * x, texBytes, Texel(c.texture, x, y, seq.Next()));
  for (int y = 0; y < kTargetH; ++y)
    for (int x = 0; x < kTargetW; ++x) StorePixel(rt->Level0()->Row(y) + targetBytes * x, targetBytes, seq.Next());
  p.dev->SetTexture(0, tex);
  EXPECT_EQ(p.dev->BeginScene(), kOk);
  for (const auto& [x, w] : quads) {
    // The texture is 80 texels wide (not a power of two): its coordinates are not exact in floats.
    const float u0 = first / kTexW, u1 = (first + (texels > 0 ? texels : static_cast<float>(w))) / kTexW;
    Vertex v[4];
    Quad(v, x - 0.5f, -0.5f, x + w - 0.5f, kTargetH - 0.5f, mirrored ? u1 : u0, 0, mirrored ? u0 : u1, 1,
         c.diffuseAlpha << 24 | 0x00FFFFFF);
    if (asList) {
      const Vertex list[6] = {v[0], v[1], v[2], v[1], v[3], v[2]};
      EXPECT_EQ(p.dev->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, list, sizeof(Vertex)), kOk);
    } else {
      EXPECT_EQ(p.dev->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vertex)), kOk);
    }
  }
  EXPECT_EQ(p.dev->EndScene(), kOk);
  // X8R8G8B8's unused top byte is not part of the picture.
  const uint32_t picture = c.target == Format::X8R8G8B8 ? 0x00FFFFFF : 0xFFFFFFFF;
  std::vector<uint32_t> out;
  for (int y = 0; y < kTargetH; ++y)
    for (int x = 0; x < kTargetW; ++x)
      out.push_back(LoadPixel(rt->Level0()->Row(y) + targetBytes * x, targetBytes) & picture);
  tex->Release();
  rt->Release();
  return out;
}

const char* OpName(AlphaOp op) {
  return op == AlphaOp::Disable ? "opaque" : op == AlphaOp::Modulate ? "modulated" : "modulated (args swapped)";
}

TEST(QuadStagePaths, BlitStatesMatchTheTrianglePath) {
  std::vector<QuadCase> cases;
  const Format thirtyTwo[] = {Format::A8R8G8B8, Format::X8R8G8B8};
  for (Format tex : thirtyTwo)
    for (Format target : thirtyTwo) {
      cases.push_back({tex, target, AlphaOp::Disable, 255});
      for (uint32_t a : {0u, 1u, 77u, 128u, 254u, 255u}) cases.push_back({tex, target, AlphaOp::Modulate, a});
      cases.push_back({tex, target, AlphaOp::ModulateSwapped, 99});
    }
  for (Format f : {Format::A1R5G5B5, Format::R5G6B5}) {
    cases.push_back({f, f, AlphaOp::Disable, 255});
    for (uint32_t a : {0u, 1u, 77u, 128u, 254u, 255u}) cases.push_back({f, f, AlphaOp::Modulate, a});
  }
  cases.push_back({Format::A1R5G5B5, Format::R5G6B5, AlphaOp::Disable, 255});
  cases.push_back({Format::A1R5G5B5, Format::R5G6B5, AlphaOp::Modulate, 140});
  cases.push_back({Format::A8R8G8B8, Format::A1R5G5B5, AlphaOp::Modulate, 140});
  for (bool avx2 : {true, false}) {
    AllowAvx2(avx2);
    for (const QuadCase& c : cases)
      for (int w : {1, 3, 4, 7, 8, 9, 16, 23, 40})
        for (bool mirrored : {false, true})
          for (int x : {-6, 0, 5, 30}) {
            const std::vector<std::pair<int, int>> quads = {{x, w}};
            ASSERT_EQ(Draw(c, quads, mirrored, false), Draw(c, quads, mirrored, true))
                << FormatName(c.texture) << " on " << FormatName(c.target) << ", " << OpName(c.op) << " alpha "
                << c.diffuseAlpha << ", w " << w << (mirrored ? " mirrored" : "") << " x " << x
                << (avx2 ? "" : ", baseline loops");
          }
  }
  AllowAvx2(true);
}

// Tiles of one picture and lines of a wave: the same quad again, the same columns at another place,
// and other columns in between, drawn one after another.
TEST(QuadStagePaths, QuadsInARowMatchTheTrianglePath) {
  const std::vector<std::pair<int, int>> quads = {{0, 20}, {20, 20}, {0, 20},  {3, 20}, {3, 20},  {20, 28},
                                                  {0, 20}, {-4, 30}, {-4, 30}, {8, 9},  {20, 20}, {0, 48}};
  for (const QuadCase& c : {QuadCase{Format::A8R8G8B8, Format::X8R8G8B8, AlphaOp::Modulate, 255},
                            QuadCase{Format::A8R8G8B8, Format::A8R8G8B8, AlphaOp::Disable, 255},
                            QuadCase{Format::A1R5G5B5, Format::A1R5G5B5, AlphaOp::Modulate, 255}})
    for (bool mirrored : {false, true})
      EXPECT_EQ(Draw(c, quads, mirrored, false), Draw(c, quads, mirrored, true))
          << FormatName(c.texture) << " on " << FormatName(c.target) << ", " << OpName(c.op)
          << (mirrored ? " mirrored" : "");
}

// Quads that stretch or shrink their texels, or reach past the texture's edges (wrapped), take the
// texel tables made pixel by pixel (four at a time where the processor allows).
TEST(QuadStagePaths, StretchedAndWrappedQuadsMatchTheTrianglePath) {
  const QuadCase c{Format::A8R8G8B8, Format::A8R8G8B8, AlphaOp::Modulate, 200};
  for (bool avx2 : {true, false}) {
    AllowAvx2(avx2);
    for (float texels : {3.0f, 13.5f, 29.0f, 61.0f, 150.0f})
      for (float first : {0.0f, 7.0f, 70.0f, -33.25f})
        for (bool mirrored : {false, true})
          for (const auto& quad : {std::pair<int, int>{0, 29}, {-5, 40}, {11, 17}}) {
            const std::vector<std::pair<int, int>> quads = {quad};
            ASSERT_EQ(Draw(c, quads, mirrored, false, texels, first), Draw(c, quads, mirrored, true, texels, first))
                << texels << " texels from " << first << (mirrored ? " mirrored" : "") << " onto " << quad.second
                << " at " << quad.first << (avx2 ? "" : ", baseline loops");
          }
  }
  AllowAvx2(true);
}

}  // namespace
}  // namespace gfx
