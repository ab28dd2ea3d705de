// The device's fast pixel loops against plain per-pixel references: rows and pictures made into
// frames for the frame mailbox, keyed 1:1 copies, alpha-keyed quads drawn forwards and mirrored (baseline and AVX2
// loops both), edge snapping of quads, and the mailbox reusing the memory of frames nobody holds.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gfx/d3d_device.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/gfx/pixel_format.h"
#include "platform/gfx/simd.h"
#include "platform/gfx/surface.h"

namespace gfx {
namespace {

// A small deterministic sequence for test pictures.
struct Sequence {
  uint32_t s = 2463534242u;
  uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
};

// Runs `body` with the AVX2 loops allowed and then forbidden, naming the pass in failures.
template <typename Body>
void WithAndWithoutAvx2(Body body) {
  for (bool avx2 : {true, false}) {
    SCOPED_TRACE(avx2 ? "AVX2 loops allowed" : "baseline loops");
    AllowAvx2(avx2);
    body();
  }
  AllowAvx2(true);
}

TEST(FastPixelRows, SixteenBitRowsWidenLikeSinglePixels) {
  WithAndWithoutAvx2([] {
    for (Format f : {Format::R5G6B5, Format::A1R5G5B5}) {
      SCOPED_TRACE(FormatName(f));
      // Every 16-bit value once, read from an odd address so that no load is aligned.
      std::vector<uint8_t> src(2 * 65536 + 1);
      for (uint32_t v = 0; v < 65536; ++v) StorePixel(&src[1 + 2 * v], 2, v);
      std::vector<uint32_t> out(65536);
      RowToRgb32(f, &src[1], out.data(), 65536);
      for (uint32_t v = 0; v < 65536; ++v) ASSERT_EQ(out[v], PixelToArgb(f, v) & 0xFFFFFF) << "pixel " << v;
      // Short rows: only the tail loop, or a vector step or two and a tail; nothing written past
      // the end.
      for (int n = 1; n <= 35; ++n) {
        std::vector<uint32_t> row(n + 1, 0xDEADBEEF);
        RowToRgb32(f, &src[1 + 2 * 4321], row.data(), n);
        for (int i = 0; i < n; ++i) EXPECT_EQ(row[i], PixelToArgb(f, 4321 + i) & 0xFFFFFF) << "n " << n;
        EXPECT_EQ(row[n], 0xDEADBEEF) << "n " << n;
      }
    }
  });
}

TEST(FastPixelRows, ThirtyTwoBitRowsDropTheTopByte) {
  WithAndWithoutAvx2([] {
    for (Format f : {Format::X8R8G8B8, Format::A8R8G8B8}) {
      SCOPED_TRACE(FormatName(f));
      Sequence seq;
      std::vector<uint8_t> src(4 * 100 + 1);
      for (int i = 0; i < 100; ++i) StorePixel(&src[1 + 4 * i], 4, seq.Next());
      for (int n = 1; n <= 100; n += n < 40 ? 1 : 29) {
        std::vector<uint32_t> row(n + 1, 0xDEADBEEF);
        RowToRgb32(f, &src[1], row.data(), n);
        for (int i = 0; i < n; ++i) EXPECT_EQ(row[i], LoadPixel(&src[1 + 4 * i], 4) & 0xFFFFFF) << "n " << n;
        EXPECT_EQ(row[n], 0xDEADBEEF) << "n " << n;
      }
    }
  });
}

// Whole pictures whose rows end before their pitch become packed frames, row by row as RowToRgb32
// makes them; 8-bit pictures go through the palette.
TEST(FastPixelRows, PicturesBecomePackedFrames) {
  PaletteEntry palette[256] = {};
  for (int i = 0; i < 256; ++i)
    palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2), 0};
  WithAndWithoutAvx2([&] {
    for (Format f : {Format::I8, Format::R5G6B5, Format::A1R5G5B5, Format::X8R8G8B8, Format::A8R8G8B8}) {
      SCOPED_TRACE(FormatName(f));
      const int w = 37, h = 5, bpp = BytesPerPixel(f);
      const size_t pitch = static_cast<size_t>(w) * bpp + 12;
      Sequence seq;
      std::vector<uint8_t> bits(pitch * h);
      for (uint8_t& b : bits) b = static_cast<uint8_t>(seq.Next());
      std::vector<uint32_t> frame(static_cast<size_t>(w) * h + 1, 0xDEADBEEF);
      ImageToRgb32(f, bits.data(), pitch, w, h, frame.data(), palette);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(frame[y * w + x], PixelToArgb(f, LoadPixel(&bits[y * pitch + x * bpp], bpp), palette) & 0xFFFFFF)
              << x << "," << y;
      EXPECT_EQ(frame.back(), 0xDEADBEEF);
    }
  });
}

TEST(FastPixelRows, KeyedCopiesSkipExactlyTheKeyedPixels) {
  struct Case {
    Format f;
    uint32_t key;
  };
  const Case cases[] = {{Format::I8, 0x5A},
                        {Format::R5G6B5, 0xF81F},
                        {Format::A1R5G5B5, 0xFC1F},
                        {Format::X8R8G8B8, 0x00FF00FF},  // the unused top byte is not compared
                        {Format::A8R8G8B8, 0x80FF00FF}};
  WithAndWithoutAvx2([&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(FormatName(c.f));
      const int bpp = BytesPerPixel(c.f);
      const uint32_t mask = c.f == Format::X8R8G8B8 ? 0x00FFFFFF : bpp == 4 ? 0xFFFFFFFF : (1u << (8 * bpp)) - 1;
      Surface* src = Surface::CreateStandalone(48, 6, c.f, 8);
      Surface* dst = Surface::CreateStandalone(64, 8, c.f, 8);
      Sequence seq;
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 48; ++x) {
          // Keyed runs of varying length; on 32 bits keyed pixels also differ in the top byte.
          uint32_t v = seq.Next();
          if ((x / 3 + y) % 4 == 0 || v % 5 == 0) v = (c.key & mask) | (v & ~mask);
          StorePixel(src->Row(y) + x * bpp, bpp, v);
        }
      src->SetColorKey(c.key);
      for (int w = 1; w <= 40; w += 3) {
        for (int dx : {-5, 0, 3, 30}) {
          std::vector<uint32_t> before(64 * 8), expect(64 * 8);
          for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 64; ++x) {
              const uint32_t v = seq.Next() & (bpp == 4 ? 0xFFFFFFFF : (1u << (8 * bpp)) - 1);
              StorePixel(dst->Row(y) + x * bpp, bpp, v);
              before[y * 64 + x] = expect[y * 64 + x] = v;
            }
          const Rect r{2, 0, 2 + w, 6};
          ASSERT_EQ(dst->BltFast(dx, 1, src, &r, kBltFastSrcColorKey), kOk);
          for (int y = 0; y < 6; ++y)
            for (int i = 0; i < w; ++i) {
              const int x = dx + i;
              if (x < 0 || x >= 64) continue;
              const uint32_t v = LoadPixel(src->Row(y) + (2 + i) * bpp, bpp);
              if ((v & mask) != (c.key & mask)) expect[(y + 1) * 64 + x] = v;
            }
          for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 64; ++x)
              ASSERT_EQ(LoadPixel(dst->Row(y) + x * bpp, bpp), expect[y * 64 + x])
                  << "w " << w << " dx " << dx << " at " << x << "," << y;
        }
      }
      src->Release();
      dst->Release();
    }
  });
}

struct QuadFixture {
  Direct3D* d3d = nullptr;
  Device* dev = nullptr;
  QuadFixture() {
    d3d = Direct3D::Create();
    PresentParams pp;
    pp.backBufferWidth = 48;
    pp.backBufferHeight = 8;
    pp.backBufferFormat = Format::X8R8G8B8;
    EXPECT_EQ(d3d->CreateDevice(true, &pp, &dev), kOk);
    // The game's draw state: cull none, source-alpha blending, texel colour times white, texel alpha.
    dev->SetRenderState(kRsCullMode, kCullNone);
    dev->SetRenderState(kRsAlphaBlendEnable, 1);
    dev->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
    dev->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
    dev->SetTextureStageState(0, kTssColorOp, kOpModulate);
    dev->SetTextureStageState(0, kTssColorArg1, kTaTexture);
    dev->SetTextureStageState(0, kTssColorArg2, kTaDiffuse);
    dev->SetTextureStageState(0, kTssAlphaOp, kOpSelectArg1);
    dev->SetTextureStageState(0, kTssAlphaArg1, kTaTexture);
  }
  ~QuadFixture() {
    EXPECT_EQ(dev->Release(), 0);
    d3d->Release();
  }
  static void Quad(Vertex* v, float l, float t, float r, float b, float u0, float v0, float u1, float v1) {
    v[0] = {l, t, 0, 1, 0xFFFFFFFF, u0, v0};
    v[1] = {l, b, 0, 1, 0xFFFFFFFF, u0, v1};
    v[2] = {r, t, 0, 1, 0xFFFFFFFF, u1, v0};
    v[3] = {r, b, 0, 1, 0xFFFFFFFF, u1, v1};
  }
  // Draws the quad as a strip (the rectangle path) or as a list (the general triangle path).
  void Draw(const Vertex* v, bool asList) {
    ASSERT_EQ(dev->BeginScene(), kOk);
    if (asList) {
      const Vertex list[6] = {v[0], v[1], v[2], v[1], v[3], v[2]};
      ASSERT_EQ(dev->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, list, sizeof(Vertex)), kOk);
    } else {
      ASSERT_EQ(dev->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, v, sizeof(Vertex)), kOk);
    }
    ASSERT_EQ(dev->EndScene(), kOk);
  }
};

// Sprites the way the game draws them: texels fully transparent (keyed) or opaque in runs, a few
// partial alphas, cells drawn 1:1 forwards and mirrored, some hanging over the target's edges.
TEST(FastPixelRows, AlphaKeyedQuadsMatchTheTrianglePath) {
  constexpr int kTex = 64;
  for (Format target : {Format::X8R8G8B8, Format::A8R8G8B8}) {
    SCOPED_TRACE(FormatName(target));
    WithAndWithoutAvx2([&] {
      for (int w : {1, 3, 4, 7, 8, 9, 16, 23, 32, 40}) {
        for (bool mirrored : {false, true}) {
          for (int x : {-6, 0, 5, 30}) {
            std::vector<uint32_t> results[2];
            for (int path = 0; path < 2; ++path) {
              QuadFixture f;
              Texture* rt = nullptr;
              ASSERT_EQ(f.dev->CreateTexture(48, 8, 1, kUsageRenderTarget, target, Pool::Default, &rt), kOk);
              ASSERT_EQ(f.dev->SetRenderTarget(0, rt->Level0()), kOk);
              Texture* tex = nullptr;
              ASSERT_EQ(f.dev->CreateTexture(kTex, 8, 1, 0, Format::A8R8G8B8, Pool::Managed, &tex), kOk);
              Sequence seq;
              for (int y = 0; y < 8; ++y)
                for (int tx = 0; tx < kTex; ++tx) {
                  const uint32_t r = seq.Next();
                  const uint32_t alpha = (tx / 5 + y) % 3 == 0 ? 0 : r % 23 == 0 ? r >> 24 : 255;
                  StorePixel(tex->Level0()->Row(y) + 4 * tx, 4, alpha << 24 | (r & 0xFFFFFF));
                }
              for (int y = 0; y < 8; ++y)
                for (int tx = 0; tx < 48; ++tx) StorePixel(rt->Level0()->Row(y) + 4 * tx, 4, seq.Next());
              f.dev->SetTexture(0, tex);
              const float u0 = 5.0f / kTex, u1 = (5.0f + w) / kTex;
              Vertex v[4];
              QuadFixture::Quad(v, x - 0.5f, -0.5f, x + w - 0.5f, 7.5f, mirrored ? u1 : u0, 0, mirrored ? u0 : u1, 1);
              f.Draw(v, path == 1);
              // X8R8G8B8's unused top byte is not part of the picture.
              const uint32_t picture = target == Format::X8R8G8B8 ? 0x00FFFFFF : 0xFFFFFFFF;
              for (int y = 0; y < 8; ++y)
                for (int tx = 0; tx < 48; ++tx)
                  results[path].push_back(LoadPixel(rt->Level0()->Row(y) + 4 * tx, 4) & picture);
              tex->Release();
              rt->Release();
            }
            for (size_t i = 0; i < results[0].size(); ++i)
              ASSERT_EQ(results[0][i], results[1][i])
                  << "w " << w << (mirrored ? " mirrored" : "") << " x " << x << " at " << i % 48 << "," << i / 48;
          }
        }
      }
    });
  }
}

// Quad edges are snapped to 1/256 pixel, halves away from zero, before the top-left rule picks the
// covered pixel centres.
TEST(FastPixelRows, QuadEdgesSnapHalvesAwayFromZero) {
  struct Case {
    float l, r;
    int first, last;  // covered columns, inclusive
  };
  const Case cases[] = {
      {0.5f / 256, 3.5f, 1, 3},       // left edge snaps up to 1/256: centre 0 stays outside
      {-0.5f / 256, 3.5f, 0, 3},      // snaps down to -1/256: centre 0 inside
      {256.5f / 256, 3.5f, 2, 3},     // snaps past centre 1
      {-0.5f, 2 + 0.5f / 256, 0, 2},  // right edge snaps past centre 2: it is covered
      {-0.5f, 2 - 0.5f / 256, 0, 1},  // right edge snaps onto centre 2: excluded
  };
  for (const Case& c : cases) {
    QuadFixture f;
    Texture* rt = nullptr;
    ASSERT_EQ(f.dev->CreateTexture(8, 1, 1, kUsageRenderTarget, Format::A8R8G8B8, Pool::Default, &rt), kOk);
    ASSERT_EQ(f.dev->SetRenderTarget(0, rt->Level0()), kOk);
    f.dev->SetRenderState(kRsAlphaBlendEnable, 0);
    f.dev->SetRenderState(kRsTextureFactor, 0xFF00FF00);
    f.dev->SetTextureStageState(0, kTssColorOp, kOpSelectArg2);
    f.dev->SetTextureStageState(0, kTssColorArg2, kTaTFactor);
    f.dev->SetTextureStageState(0, kTssAlphaOp, kOpSelectArg2);
    f.dev->SetTextureStageState(0, kTssAlphaArg2, kTaTFactor);
    Vertex v[4];
    QuadFixture::Quad(v, c.l, -0.5f, c.r, 0.5f, 0, 0, 0, 0);
    f.Draw(v, false);
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(LoadPixel(rt->Level0()->Row(0) + 4 * x, 4), (x >= c.first && x <= c.last) ? 0xFF00FF00u : 0u)
          << "quad " << c.l << ".." << c.r << " column " << x;
    rt->Release();
  }
}

TEST(FastPixelRows, MailboxReusesOnlyFramesNoReaderHolds) {
  FrameMailbox box;
  auto post = [&](uint32_t value) {
    Frame f = box.Blank(4, 2);
    EXPECT_EQ(f.width, 4);
    EXPECT_EQ(f.height, 2);
    EXPECT_EQ(f.pixels.size(), 8u);
    for (uint32_t& p : f.pixels) p = value;
    box.Post(std::move(f));
  };
  post(1);
  std::shared_ptr<const Frame> held = box.Latest();
  const uint32_t* heldPixels = held->pixels.data();
  post(2);  // replaces frame 1 while a reader still holds it
  post(3);  // must not reuse frame 1's pixels
  EXPECT_EQ(held->pixels, std::vector<uint32_t>(8, 1));
  EXPECT_EQ(box.Latest()->pixels, std::vector<uint32_t>(8, 3));
  EXPECT_NE(box.Latest()->pixels.data(), heldPixels);
  held.reset();
  // Frame 2 was replaced with nobody holding it: the next blank frame takes its memory.
  const uint32_t* frame3 = box.Latest()->pixels.data();
  post(4);
  Frame reused = box.Blank(4, 2);
  EXPECT_EQ(reused.pixels.data(), frame3);
  // A blank frame of another size still has exactly its own pixel count.
  Frame bigger = box.Blank(5, 3);
  EXPECT_EQ(bigger.pixels.size(), 15u);
  box.Clear();
  EXPECT_EQ(box.Latest(), nullptr);
}

}  // namespace
}  // namespace gfx
