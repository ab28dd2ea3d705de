// The quad personality: fill rule and pixel centres, texture mapping (scaled, mirrored, wrapped),
// the fast rectangle path against the general triangle path, stage operations, blend rounding,
// target formats, clears, presentation and provoked device loss.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/gfx/pixel_format.h"

namespace gfx {
namespace {

struct Fixture {
  Direct3D* d3d = nullptr;
  Device* dev = nullptr;
  explicit Fixture(Format backBuffer = Format::X8R8G8B8, int w = 32, int h = 16) {
    d3d = Direct3D::Create();
    PresentParams pp;
    pp.backBufferWidth = w;
    pp.backBufferHeight = h;
    pp.backBufferFormat = backBuffer;
    EXPECT_EQ(d3d->CreateDevice(true, &pp, &dev), kOk);
    dev->SetRenderState(kRsCullMode, kCullNone);
  }
  ~Fixture() {
    EXPECT_EQ(dev->Release(), 0);
    d3d->Release();
  }
  Texture* Target(int w, int h, Format f = Format::A8R8G8B8) {
    Texture* t = nullptr;
    EXPECT_EQ(dev->CreateTexture(w, h, 1, kUsageRenderTarget, f, Pool::Default, &t), kOk);
    EXPECT_EQ(dev->SetRenderTarget(0, t->Level0()), kOk);
    return t;
  }
  Texture* Source(int w, int h, Format f = Format::A8R8G8B8) {
    Texture* t = nullptr;
    EXPECT_EQ(dev->CreateTexture(w, h, 1, 0, f, Pool::Managed, &t), kOk);
    return t;
  }
  // A strip quad over [l, r) x [t, b) in vertex positions with texture coordinates.
  static void Quad(Vertex* v, float l, float t, float r, float b, Colour c, float u0, float v0, float u1, float v1) {
    v[0] = {l, t, 0, 1, c, u0, v0};
    v[1] = {l, b, 0, 1, c, u0, v1};
    v[2] = {r, t, 0, 1, c, u1, v0};
    v[3] = {r, b, 0, 1, c, u1, v1};
  }
  void DrawStrip(const Vertex* v, int triangles = 2) {
    ASSERT_EQ(dev->BeginScene(), kOk);
    ASSERT_EQ(dev->DrawPrimitiveUP(PrimitiveType::TriangleStrip, triangles, v, sizeof(Vertex)), kOk);
    ASSERT_EQ(dev->EndScene(), kOk);
  }
  // The same quad as a triangle list: always the general triangle path.
  void DrawAsList(const Vertex* v) {
    const Vertex list[6] = {v[0], v[1], v[2], v[1], v[3], v[2]};
    ASSERT_EQ(dev->BeginScene(), kOk);
    ASSERT_EQ(dev->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, list, sizeof(Vertex)), kOk);
    ASSERT_EQ(dev->EndScene(), kOk);
  }
  void SelectFactor(Colour c) {
    dev->SetRenderState(kRsTextureFactor, c);
    dev->SetTextureStageState(0, kTssColorOp, kOpSelectArg2);
    dev->SetTextureStageState(0, kTssColorArg2, kTaTFactor);
    dev->SetTextureStageState(0, kTssAlphaOp, kOpSelectArg2);
    dev->SetTextureStageState(0, kTssAlphaArg2, kTaTFactor);
  }
  void TextureCopyState() {
    dev->SetTextureStageState(0, kTssColorOp, kOpModulate);
    dev->SetTextureStageState(0, kTssColorArg1, kTaTexture);
    dev->SetTextureStageState(0, kTssColorArg2, kTaDiffuse);
    dev->SetTextureStageState(0, kTssAlphaOp, kOpSelectArg1);
    dev->SetTextureStageState(0, kTssAlphaArg1, kTaTexture);
  }
};

uint32_t Px(Surface* s, int x, int y) {
  const int b = BytesPerPixel(s->GetFormat());
  return LoadPixel(s->Row(y) + x * b, b);
}

// Coverage of one quad row: which pixel columns of an 8-wide target a quad from l to r covers.
TEST(QuadFillRule, PixelCentresAndTopLeftRule) {
  struct Case {
    float l, r;
    int first, last;  // covered columns, inclusive (last < first: none)
  };
  const Case cases[] = {
      {-0.5f, 3.5f, 0, 3},                        // the usual blit quad of x = 0, w = 4
      {0.0f, 2.0f, 0, 1},                         // left edge exactly on centre 0 (covered), right on centre 2 (not)
      {0.5f, 2.5f, 1, 2},  {0.25f, 0.75f, 1, 0},  // no centre inside
      {1.0f, 1.0f, 1, 0},                         // degenerate
      {5.5f, 20.0f, 6, 7},                        // clipped at the target's right edge
      {-9.0f, 0.0f, 1, 0},                        // ends exactly on centre 0: excluded
  };
  for (const Case& c : cases) {
    Fixture f;
    Texture* rt = f.Target(8, 1);
    f.SelectFactor(0xFF0000FF);
    Vertex v[4];
    Fixture::Quad(v, c.l, -0.5f, c.r, 0.5f, 0, 0, 0, 0, 0);
    f.DrawStrip(v);
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(Px(rt->Level0(), x, 0), (x >= c.first && x <= c.last) ? 0xFF0000FFu : 0u)
          << "quad " << c.l << ".." << c.r << " column " << x;
    rt->Release();
  }
}

TEST(QuadFillRule, SharedEdgesAreDrawnOnce) {
  // Half-transparent white blended twice would give a different value than once.
  for (bool diamond : {false, true}) {
    Fixture f;
    Texture* rt = f.Target(16, 16);
    f.dev->SetRenderState(kRsAlphaBlendEnable, 1);
    f.dev->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
    f.dev->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
    f.SelectFactor(0x80FFFFFF);
    Vertex v[4];
    if (diamond) {  // rotated square: the general path with a diagonal shared edge
      v[0] = {8, 1.3f, 0, 1, 0, 0, 0};
      v[1] = {1.2f, 8, 0, 1, 0, 0, 0};
      v[2] = {14.7f, 8, 0, 1, 0, 0, 0};
      v[3] = {8, 14.6f, 0, 1, 0, 0, 0};
      f.DrawStrip(v);
    } else {  // two quads side by side sharing the edge x = 7.5
      Fixture::Quad(v, 1.5f, 1.5f, 7.5f, 9.5f, 0, 0, 0, 0, 0);
      f.DrawStrip(v);
      Fixture::Quad(v, 7.5f, 1.5f, 12.5f, 9.5f, 0, 0, 0, 0, 0);
      f.DrawStrip(v);
    }
    const uint32_t once = 0x40808080;  // (255 * 128 + 127) / 255 = 128; alpha (128 * 128 + 127) / 255 = 64
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const uint32_t p = Px(rt->Level0(), x, y);
        ASSERT_TRUE(p == 0 || p == once) << x << "," << y << " " << std::hex << p;
        drawn += p != 0;
      }
    EXPECT_GT(drawn, 40);
    rt->Release();
  }
}

// The fast rectangle path must give the same pixels as the general triangle path.
TEST(QuadMapping, FastPathMatchesTrianglePath) {
  struct Case {
    const char* name;
    float l, t, r, b, u0, v0, u1, v1;
    Colour diffuse;
    bool blend;
  };
  const Case cases[] = {
      {"1:1", 2.5f, 1.5f, 10.5f, 9.5f, 0, 0, 0.5f, 0.5f, 0xFFFFFFFF, true},
      {"mirrored", 2.5f, 1.5f, 10.5f, 9.5f, 0.5f, 0, 0, 0.5f, 0xFFFFFFFF, true},
      {"scaled up", -0.5f, -0.5f, 23.5f, 13.5f, 0.25f, 0.125f, 0.75f, 0.5f, 0xFFFFFFFF, false},
      {"scaled down", 0.5f, 0.5f, 6.5f, 5.5f, 0, 0, 1, 1, 0x80FF8040, true},
      {"wrapping", -0.5f, -0.5f, 19.5f, 11.5f, 0.75f, -0.5f, 2.0f, 1.0f, 0xFFFFFFFF, true},
      {"fractional", 1.3f, 0.7f, 9.9f, 8.1f, 0.1f, 0.2f, 0.8f, 0.9f, 0xC0FFFFFF, true},
      {"clipped", -5.5f, -3.5f, 40.5f, 30.5f, 0, 0, 1, 1, 0xFFFFFFFF, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint32_t> results[2];
    for (int path = 0; path < 2; ++path) {
      Fixture f;
      Texture* rt = f.Target(24, 14);
      f.dev->SetRenderState(kRsTextureFactor, 0);
      Texture* src = f.Source(16, 16);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
          StorePixel(src->Level0()->Row(y) + 4 * x, 4, MakeArgb((x * 37 + y * 11) & 255, x * 16, y * 16, x ^ y));
      f.TextureCopyState();
      f.dev->SetTextureStageState(0, kTssAlphaOp, kOpModulate);
      f.dev->SetTextureStageState(0, kTssAlphaArg2, kTaDiffuse);
      f.dev->SetRenderState(kRsAlphaBlendEnable, c.blend ? 1 : 0);
      f.dev->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
      f.dev->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
      f.dev->SetTexture(0, src);
      f.dev->Clear(0, nullptr, kClearTarget, 0x80102030, 1, 0);
      Vertex v[4];
      Fixture::Quad(v, c.l, c.t, c.r, c.b, c.diffuse, c.u0, c.v0, c.u1, c.v1);
      if (path == 0)
        f.DrawStrip(v);
      else
        f.DrawAsList(v);
      for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 24; ++x) results[path].push_back(Px(rt->Level0(), x, y));
      src->Release();
      rt->Release();
    }
    EXPECT_EQ(results[0], results[1]);
  }
}

TEST(QuadMapping, BlitQuadsReadTexelsExactly) {
  // Quads built the way the game builds its blits: edges at x - 0.5, u = texel / texture size.
  struct Case {
    const char* name;
    int sx, sw, w;                  // source x and width, destination width (one row)
    std::vector<int> expectTexels;  // texel column read by destination columns 0..w-1
  };
  const Case cases[] = {
      {"1:1", 3, 4, 4, {3, 4, 5, 6}},
      {"mirrored cell", 8, -4, 4, {7, 6, 5, 4}},
      {"mirrored whole", 32, -32, 4, {28, 20, 12, 4}},  // 32 - (j + 0.5) * 8, floored
      {"double", 2, 3, 6, {2, 2, 3, 3, 4, 4}},
      {"half", 0, 8, 4, {1, 3, 5, 7}},
      {"wrap past the right", 30, 4, 4, {30, 31, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    Texture* rt = f.Target(8, 1);
    Texture* src = f.Source(32, 1);
    for (int x = 0; x < 32; ++x) StorePixel(src->Level0()->Row(0) + 4 * x, 4, 0xFF000000u | x);
    f.TextureCopyState();
    f.dev->SetTexture(0, src);
    Vertex v[4];
    Fixture::Quad(v, -0.5f, -0.5f, c.w - 0.5f, 0.5f, 0xFFFFFFFF, c.sx / 32.0f, 0, (c.sx + c.sw) / 32.0f, 1);
    f.DrawStrip(v);
    for (int j = 0; j < c.w; ++j) EXPECT_EQ(Px(rt->Level0(), j, 0), 0xFF000000u | c.expectTexels[j]) << "column " << j;
    src->Release();
    rt->Release();
  }
}

TEST(QuadBlend, RoundsAsSpecifiedForEveryAlpha) {
  Fixture f;
  Texture* rt = f.Target(1, 1);
  f.dev->SetRenderState(kRsAlphaBlendEnable, 1);
  f.dev->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
  f.dev->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
  const uint32_t sources[] = {0x00FFFFFF, 0xFF123456, 0x80FF0000, 0x01FFFFFF, 0xFE00FF7F, 0x7F808080, 0x40C03010};
  const uint32_t dests[] = {0xFF000000, 0x00FFFFFF, 0x80406080, 0xFF7F7F7F};
  for (uint32_t s : sources)
    for (uint32_t d : dests) {
      f.dev->Clear(0, nullptr, kClearTarget, d, 1, 0);
      f.SelectFactor(s);
      Vertex v[4];
      Fixture::Quad(v, -0.5f, -0.5f, 0.5f, 0.5f, 0, 0, 0, 0, 0);
      f.DrawStrip(v);
      const uint32_t a = s >> 24;
      uint32_t expect = 0;
      for (int sh = 0; sh < 32; sh += 8)
        expect |= (((s >> sh & 255) * a + (d >> sh & 255) * (255 - a) + 127) / 255) << sh;
      EXPECT_EQ(Px(rt->Level0(), 0, 0), expect) << std::hex << "s " << s << " d " << d;
    }
  rt->Release();
}

TEST(QuadStage, OperationsTable) {
  struct Case {
    const char* name;
    uint32_t colourOp, colourArg1, colourArg2, alphaOp, alphaArg1, alphaArg2;
    uint32_t texel, diffuse, factor, expect;
  };
  const Case cases[] = {
      {"select texture", kOpSelectArg1, kTaTexture, kTaDiffuse, kOpSelectArg1, kTaTexture, kTaDiffuse, 0x80112233,
       0xFF445566, 0, 0x80112233},
      {"select diffuse", kOpSelectArg2, kTaTexture, kTaDiffuse, kOpSelectArg2, kTaTexture, kTaDiffuse, 0x80112233,
       0x7F445566, 0, 0x7F445566},
      {"modulate rounds", kOpModulate, kTaTexture, kTaDiffuse, kOpModulate, kTaTexture, kTaDiffuse, 0xFF808080,
       0x80FF4001, 0, 0x80802001},  // (128 * 64 + 127) / 255 = 32, (128 * 1 + 127) / 255 = 1
      {"add clamps", kOpAdd, kTaTexture, kTaDiffuse, kOpSelectArg1, kTaTexture, kTaDiffuse, 0xFFF01020, 0x00201020, 0,
       0xFFFF2040},
      {"blend factor alpha", kOpBlendFactorAlpha, kTaTexture, kTaTFactor, kOpSelectArg1, kTaTexture, kTaDiffuse,
       0xFFFFFFFF, 0xFFFFFFFF, 0x80000000, 0xFF808080},
      {"colour disabled gives diffuse", kOpDisable, kTaTexture, kTaDiffuse, kOpSelectArg1, kTaTexture, kTaDiffuse,
       0x11223344, 0x55667788, 0, 0x55667788},
      {"alpha disabled gives diffuse alpha", kOpSelectArg1, kTaTexture, kTaDiffuse, kOpDisable, kTaTexture, kTaDiffuse,
       0x00ABCDEF, 0xFF000000, 0, 0xFFABCDEF},
      {"texture factor", kOpSelectArg2, kTaTexture, kTaTFactor, kOpSelectArg2, kTaTexture, kTaTFactor, 0, 0, 0x12345678,
       0x12345678},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    Texture* rt = f.Target(1, 1);
    Texture* src = f.Source(1, 1);
    StorePixel(src->Level0()->Row(0), 4, c.texel);
    f.dev->SetTexture(0, src);
    f.dev->SetRenderState(kRsTextureFactor, c.factor);
    f.dev->SetTextureStageState(0, kTssColorOp, c.colourOp);
    f.dev->SetTextureStageState(0, kTssColorArg1, c.colourArg1);
    f.dev->SetTextureStageState(0, kTssColorArg2, c.colourArg2);
    f.dev->SetTextureStageState(0, kTssAlphaOp, c.alphaOp);
    f.dev->SetTextureStageState(0, kTssAlphaArg1, c.alphaArg1);
    f.dev->SetTextureStageState(0, kTssAlphaArg2, c.alphaArg2);
    Vertex v[4];
    Fixture::Quad(v, -0.5f, -0.5f, 0.5f, 0.5f, c.diffuse, 0, 0, 1, 1);
    f.DrawStrip(v);
    EXPECT_EQ(Px(rt->Level0(), 0, 0), c.expect) << std::hex << Px(rt->Level0(), 0, 0);
    src->Release();
    rt->Release();
  }
}

TEST(QuadFormats, WidenByReplicationNarrowByTruncation) {
  EXPECT_EQ(PixelToArgb(Format::R5G6B5, 0xFFFF), 0xFFFFFFFFu);
  EXPECT_EQ(PixelToArgb(Format::R5G6B5, 0x8410), 0xFF848284u);  // 10000 -> 0x84, 100000 -> 0x82
  EXPECT_EQ(PixelToArgb(Format::A1R5G5B5, 0x7C00), 0x00FF0000u);
  EXPECT_EQ(PixelToArgb(Format::A1R5G5B5, 0x8001), 0xFF000008u);
  EXPECT_EQ(PixelToArgb(Format::X8R8G8B8, 0x00123456), 0xFF123456u);
  EXPECT_EQ(ArgbToPixel(Format::R5G6B5, 0xFF0F0707), 0x0820u | 0x0000u);  // 0x0F>>3=1, 0x07>>2=1, 0x07>>3=0
  EXPECT_EQ(ArgbToPixel(Format::A1R5G5B5, 0x7FFFFFFF), 0x7FFFu);
  EXPECT_EQ(ArgbToPixel(Format::A1R5G5B5, 0x80000000), 0x8000u);
  for (uint32_t v = 0; v < 0x10000; v += 7)  // every 16-bit pixel survives the round trip
    ASSERT_EQ(ArgbToPixel(Format::R5G6B5, PixelToArgb(Format::R5G6B5, v)), v);
}

TEST(QuadFormats, SixteenBitTargetsAndTextures) {
  for (Format bb : {Format::R5G6B5, Format::A1R5G5B5}) {
    SCOPED_TRACE(FormatName(bb));
    Fixture f(bb, 4, 1);
    Surface* back = nullptr;
    ASSERT_EQ(f.dev->GetBackBuffer(0, 0, &back), kOk);
    Texture* src = f.Source(4, 1, Format::A1R5G5B5);
    const uint16_t texels[4] = {0x7C00 /* keyed */, 0xFC00, 0x83E0, 0x801F};
    std::memcpy(src->Level0()->Row(0), texels, 8);
    f.TextureCopyState();
    f.dev->SetRenderState(kRsAlphaBlendEnable, 1);
    f.dev->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
    f.dev->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
    f.dev->SetTexture(0, src);
    f.dev->Clear(0, nullptr, kClearTarget, 0xFF808080, 1, 0);
    Vertex v[4];
    Fixture::Quad(v, -0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFF, 0, 0, 1, 1);
    f.DrawStrip(v);
    const uint32_t grey = ArgbToPixel(bb, 0xFF808080);
    EXPECT_EQ(Px(back, 0, 0), grey);  // alpha-0 texel leaves the target alone
    EXPECT_EQ(Px(back, 1, 0), ArgbToPixel(bb, 0xFFFF0000));
    EXPECT_EQ(Px(back, 2, 0), ArgbToPixel(bb, 0xFF00FF00));
    EXPECT_EQ(Px(back, 3, 0), ArgbToPixel(bb, 0xFF0000FF));
    ASSERT_EQ(f.dev->Present(), kOk);
    auto frame = TheFrameMailbox().Latest();
    EXPECT_EQ(frame->At(1, 0), 0xFF0000u);
    EXPECT_EQ(frame->At(0, 0), PixelToArgb(bb, grey) & 0xFFFFFF);
    src->Release();
    back->Release();
  }
}

TEST(QuadClear, RectanglesAreClippedToTheTarget) {
  Fixture f;
  Texture* rt = f.Target(6, 4, Format::A1R5G5B5);
  const Rect rects[2] = {{-3, -3, 2, 1}, {4, 2, 50, 50}};
  ASSERT_EQ(f.dev->Clear(2, rects, kClearTarget, 0xFFFF0000, 1, 0), kOk);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool in = (x < 2 && y < 1) || (x >= 4 && y >= 2);
      EXPECT_EQ(Px(rt->Level0(), x, y), in ? 0xFC00u : 0u) << x << "," << y;
    }
  rt->Release();
}

TEST(QuadDraw, BadCallsAreRefused) {
  Fixture f;
  Vertex v[4];
  Fixture::Quad(v, 0, 0, 1, 1, 0, 0, 0, 0, 0);
  EXPECT_EQ(f.dev->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vertex)), kErrInvalidCall);  // no scene
  VertexBuffer* vb = nullptr;
  IndexBuffer* ib = nullptr;
  ASSERT_EQ(f.dev->CreateVertexBuffer(4 * sizeof(Vertex), kUsageWriteOnly, kFvfXyzrhwDiffuseTex1, Pool::Managed, &vb),
            kOk);
  ASSERT_EQ(f.dev->CreateIndexBuffer(8, kUsageWriteOnly, Format::Index16, Pool::Managed, &ib), kOk);
  void* p = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &p), kOk);
  std::memcpy(p, v, sizeof v);
  vb->Unlock();
  ASSERT_EQ(ib->Lock(0, 0, &p), kOk);
  const uint16_t idx[4] = {0, 1, 2, 9};  // 9 names no vertex
  std::memcpy(p, idx, 8);
  ib->Unlock();
  f.dev->SetStreamSource(0, vb, 0, sizeof(Vertex));
  f.dev->SetIndices(ib);
  f.dev->SetFVF(kFvfXyzrhwDiffuseTex1);
  ASSERT_EQ(f.dev->BeginScene(), kOk);
  EXPECT_EQ(f.dev->BeginScene(), kErrInvalidCall);
  EXPECT_EQ(f.dev->DrawIndexedPrimitive(PrimitiveType::TriangleStrip, 0, 0, 4, 0, 2), kErrInvalidCall);
  EXPECT_EQ(f.dev->DrawPrimitive(PrimitiveType::TriangleStrip, 1, 2), kErrInvalidCall);  // past the buffer
  EXPECT_EQ(f.dev->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2), kOk);
  EXPECT_EQ(f.dev->Present(), kErrInvalidCall);  // inside a scene
  f.dev->EndScene();
  vb->Release();
  ib->Release();
}

TEST(QuadDevice, RowsNarrowerThanThePitchAreNeverOverrun) {
  Surface::SetDefaultExtraPitch(20);
  Fixture f(Format::R5G6B5, 10, 6);
  Texture* rt = f.Target(9, 5, Format::A1R5G5B5);
  Texture* src = f.Source(7, 3, Format::A8R8G8B8);
  Surface::SetDefaultExtraPitch(0);
  Surface* t = rt->Level0();
  ASSERT_GE(t->Pitch(), 9 * 2 + 20);
  for (int y = 0; y < 5; ++y) std::memset(t->Row(y) + 18, 0xAB, t->Pitch() - 18);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) StorePixel(src->Level0()->Row(y) + 4 * x, 4, 0xFF00FF00);
  f.TextureCopyState();
  f.dev->SetTexture(0, src);
  Vertex v[4];
  // Hangs over every edge of the target, stretched and mirrored; then a rotated copy.
  Fixture::Quad(v, -3.5f, -2.5f, 12.5f, 7.5f, 0xFFFFFFFF, 1, 1, 0, 0);
  f.DrawStrip(v);
  v[0] = {4, -3, 0, 1, 0xFFFFFFFF, 0, 0};
  v[1] = {-3, 4, 0, 1, 0xFFFFFFFF, 0, 1};
  v[2] = {11, 4, 0, 1, 0xFFFFFFFF, 1, 0};
  v[3] = {4, 11, 0, 1, 0xFFFFFFFF, 1, 1};
  f.DrawStrip(v);
  f.dev->Clear(0, nullptr, kClearTarget, 0xFFFFFFFF, 1, 0);
  for (int y = 0; y < 5; ++y)
    for (int i = 18; i < t->Pitch(); ++i) ASSERT_EQ(t->Row(y)[i], 0xAB) << "row " << y << " byte " << i;
  EXPECT_EQ(Px(t, 8, 4), 0xFFFFu);
  src->Release();
  rt->Release();
}

TEST(QuadDevice, TextureDrawnOntoItselfReadsItsOldPicture) {
  Fixture f;
  Texture* rt = f.Target(4, 1);
  for (int x = 0; x < 4; ++x) StorePixel(rt->Level0()->Row(0) + 4 * x, 4, 0xFF000000u | x);
  f.TextureCopyState();
  f.dev->SetTexture(0, rt);
  Vertex v[4];  // shift the picture one pixel right: a copy in place would smear pixel 0
  Fixture::Quad(v, 0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFF, 0, 0, 0.75f, 1);
  f.DrawStrip(v);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Px(rt->Level0(), x, 0), 0xFF000000u | (x == 0 ? 0 : x - 1));
  rt->Release();
}

TEST(QuadDevice, TextureSizesFollowTheCaps) {
  DeviceCaps caps;
  caps.pow2Textures = true;
  caps.maxTextureWidth = 1024;
  Direct3D::SetSimulatedCaps(caps);
  Fixture f;
  Direct3D::ResetSimulatedCaps();
  Texture* t = nullptr;
  EXPECT_EQ(f.dev->CreateTexture(640, 480, 1, 0, Format::A8R8G8B8, Pool::Managed, &t), kErrInvalidCall);
  EXPECT_EQ(f.dev->CreateTexture(2048, 256, 1, 0, Format::A8R8G8B8, Pool::Managed, &t), kErrInvalidCall);
  ASSERT_EQ(f.dev->CreateTexture(1024, 512, 1, 0, Format::A8R8G8B8, Pool::Managed, &t), kOk);
  t->Release();
  EXPECT_EQ(f.dev->CreateTexture(64, 64, 1, kUsageRenderTarget, Format::A8R8G8B8, Pool::Managed, &t), kErrInvalidCall);
}

TEST(QuadDevice, ProvokedLossAndRecovery) {
  Fixture f;
  Texture *rt = nullptr, *managed = nullptr, *system = nullptr;
  ASSERT_EQ(f.dev->CreateTexture(4, 4, 1, kUsageRenderTarget, Format::A8R8G8B8, Pool::Default, &rt), kOk);
  ASSERT_EQ(f.dev->CreateTexture(4, 4, 1, 0, Format::A8R8G8B8, Pool::Managed, &managed), kOk);
  ASSERT_EQ(f.dev->CreateTexture(4, 4, 1, kUsageDynamic, Format::A8R8G8B8, Pool::SystemMem, &system), kOk);
  StorePixel(managed->Level0()->Row(1), 4, 0x11111111);
  StorePixel(system->Level0()->Row(1), 4, 0x22222222);
  f.dev->SetRenderTarget(0, rt->Level0());
  f.dev->Clear(0, nullptr, kClearTarget, 0xFFFFFFFF, 1, 0);
  Surface* back = nullptr;
  ASSERT_EQ(f.dev->GetBackBuffer(0, 0, &back), kOk);

  f.dev->SimulateDeviceLoss(2);
  EXPECT_EQ(f.dev->Present(), kErrDeviceLost);
  EXPECT_EQ(Px(rt->Level0(), 0, 0), 0u);  // default pool contents are gone
  EXPECT_EQ(LoadPixel(managed->Level0()->Row(1), 4), 0x11111111u);
  EXPECT_EQ(LoadPixel(system->Level0()->Row(1), 4), 0x22222222u);
  PresentParams pp = f.dev->Params();
  EXPECT_EQ(f.dev->TestCooperativeLevel(), kErrDeviceLost);
  EXPECT_EQ(f.dev->Reset(&pp), kErrDeviceLost);
  EXPECT_EQ(f.dev->TestCooperativeLevel(), kErrDeviceLost);
  EXPECT_EQ(f.dev->TestCooperativeLevel(), kErrDeviceNotReset);
  EXPECT_EQ(f.dev->LiveDefaultPoolObjects(), 2);  // the render target and the back-buffer reference
  EXPECT_EQ(f.dev->Reset(&pp), kErrInvalidCall);
  rt->Release();
  back->Release();
  EXPECT_EQ(f.dev->LiveDefaultPoolObjects(), 0);
  ASSERT_EQ(f.dev->Reset(&pp), kOk);
  EXPECT_EQ(f.dev->TestCooperativeLevel(), kOk);
  EXPECT_EQ(f.dev->Present(), kOk);
  EXPECT_EQ(f.dev->GetRenderState(kRsCullMode), static_cast<uint32_t>(kCullCcw));  // states back to defaults
  managed->Release();
  system->Release();
}

TEST(QuadDevice, RenderTargetReadBackAndUpload) {
  Fixture f;
  Texture* rt = f.Target(4, 2);
  Surface* sys = nullptr;
  ASSERT_EQ(f.dev->CreateOffscreenPlainSurface(4, 2, Format::A8R8G8B8, Pool::SystemMem, &sys), kOk);
  f.dev->Clear(0, nullptr, kClearTarget, 0xFF00FF00, 1, 0);
  ASSERT_EQ(f.dev->GetRenderTargetData(rt->Level0(), sys), kOk);
  EXPECT_EQ(Px(sys, 3, 1), 0xFF00FF00u);
  StorePixel(sys->Row(0), 4, 0x12345678);
  ASSERT_EQ(f.dev->UpdateSurface(sys, nullptr, rt->Level0()), kOk);
  EXPECT_EQ(Px(rt->Level0(), 0, 0), 0x12345678u);
  sys->Release();
  rt->Release();
}

}  // namespace
}  // namespace gfx
