// The blit personality: 1:1 copies with clipping on every edge, colour keys, stretching, fills,
// rows narrower than the pitch, flipping, the 8-bit palette and lost surfaces.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gfx/directdraw.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/gfx/pixel_format.h"

namespace gfx {
namespace {

constexpr uint8_t kGuard = 0xCD;
constexpr int kExtraPitch = 24;  // rows end well before the pitch

// A free-standing surface whose padding after each row holds a guard byte.
struct Canvas {
  Surface* s;
  Canvas(int w, int h, Format f) : s(Surface::CreateStandalone(w, h, f, kExtraPitch)) {
    for (int y = 0; y < h; ++y) std::memset(s->Row(y), kGuard, s->Pitch());
    Fill(0);
  }
  ~Canvas() { s->Release(); }
  int Bpp() const { return BytesPerPixel(s->GetFormat()); }
  void Fill(uint32_t v) {
    for (int y = 0; y < s->Height(); ++y)
      for (int x = 0; x < s->Width(); ++x) Set(x, y, v);
  }
  void Set(int x, int y, uint32_t v) { StorePixel(s->Row(y) + x * Bpp(), Bpp(), v); }
  uint32_t Get(int x, int y) const { return LoadPixel(s->Row(y) + x * Bpp(), Bpp()); }
  bool GuardsIntact() const {
    for (int y = 0; y < s->Height(); ++y)
      for (int i = s->Width() * Bpp(); i < s->Pitch(); ++i)
        if (s->Row(y)[i] != kGuard) return false;
    return true;
  }
};

// Source pixel values that are distinct and non-zero in every format.
uint32_t SourceValue(int x, int y) { return static_cast<uint32_t>(1 + x + 16 * y); }

struct CopyCase {
  const char* name;
  int x, y;
  Rect src;
};

class BltFastClip : public ::testing::TestWithParam<Format> {};

TEST_P(BltFastClip, CopiesOnlyTheOverlapOnEveryEdge) {
  const CopyCase cases[] = {
      {"inside", 2, 3, {0, 0, 4, 4}},
      {"left edge", -2, 1, {0, 0, 4, 4}},
      {"right edge", 6, 1, {0, 0, 4, 4}},
      {"top edge", 1, -3, {0, 0, 4, 4}},
      {"bottom edge", 1, 7, {0, 0, 4, 4}},
      {"all four edges", -1, -1, {0, 0, 12, 12}},  // source rect larger than the source too
      {"source starts left of source", 3, 3, {-2, 0, 3, 4}},
      {"source ends past source", 0, 0, {2, 2, 9, 9}},
      {"wholly left", -4, 0, {0, 0, 4, 4}},
      {"wholly below", 0, 8, {0, 0, 4, 4}},
  };
  const Format f = GetParam();
  for (const CopyCase& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas src(4, 4, f), dst(8, 8, f);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) src.Set(x, y, SourceValue(x, y));
    ASSERT_EQ(dst.s->BltFast(c.x, c.y, src.s, &c.src, kBltFastNoColorKey), kOk);
    // Expected: destination (dx, dy) shows source (dx - x + left, dy - y + top) where that pixel
    // lies inside both the source rectangle and the source surface (the destination position of
    // a source rectangle starting left of the surface moves right with it).
    for (int dy = 0; dy < 8; ++dy)
      for (int dx = 0; dx < 8; ++dx) {
        const int sx = dx - c.x + c.src.left, sy = dy - c.y + c.src.top;
        const bool inside = sx >= std::max(c.src.left, 0) && sx < std::min(c.src.right, 4) &&
                            sy >= std::max(c.src.top, 0) && sy < std::min(c.src.bottom, 4);
        EXPECT_EQ(dst.Get(dx, dy), inside ? SourceValue(sx, sy) : 0u) << dx << "," << dy;
      }
    EXPECT_TRUE(dst.GuardsIntact());
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, BltFastClip, ::testing::Values(Format::I8, Format::R5G6B5, Format::X8R8G8B8),
                         [](const auto& info) { return std::string(FormatName(info.param)); });

TEST(DirectDrawBlit, CellLeftOfScreenDrawsItsRightColumns) {
  Canvas cell(32, 32, Format::R5G6B5), screen(64, 40, Format::R5G6B5);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) cell.Set(x, y, 100 + x);
  const Rect r{0, 0, 32, 32};
  ASSERT_EQ(screen.s->BltFast(-10, 0, cell.s, &r, 0), kOk);
  EXPECT_EQ(screen.Get(0, 0), 110u);
  EXPECT_EQ(screen.Get(21, 31), 131u);
  EXPECT_EQ(screen.Get(22, 0), 0u);
}

TEST(DirectDrawBlit, InvertedOrEmptyRectanglesAreRefused) {
  Canvas src(4, 4, Format::R5G6B5), dst(8, 8, Format::R5G6B5);
  src.Fill(7);
  const Rect inverted{3, 0, 1, 4}, empty{1, 1, 1, 3};
  EXPECT_EQ(dst.s->BltFast(0, 0, src.s, &inverted, 0), kErrInvalidRect);
  EXPECT_EQ(dst.s->Blt(&empty, src.s, nullptr, 0), kErrInvalidRect);
  EXPECT_EQ(dst.s->Blt(&inverted, nullptr, nullptr, kBltColorFill, 5), kErrInvalidRect);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(dst.Get(x, y), 0u);
}

TEST(DirectDrawBlit, MixedFormatsAreRefused) {
  Canvas src(4, 4, Format::R5G6B5), dst(8, 8, Format::X8R8G8B8);
  EXPECT_EQ(dst.s->BltFast(0, 0, src.s, nullptr, 0), kErrInvalidCall);
}

TEST(DirectDrawBlit, SourceKeySkipsKeyedPixelsInEveryFormat) {
  for (Format f : {Format::I8, Format::R5G6B5, Format::X8R8G8B8}) {
    SCOPED_TRACE(FormatName(f));
    // Wide enough for the vector loops and their tails.
    Canvas src(37, 2, f), dst(40, 2, f);
    const uint32_t key = f == Format::I8 ? 9 : 0xF81F;
    src.s->SetColorKey(key);
    for (int x = 0; x < 37; ++x) {
      src.Set(x, 0, (x % 3 == 0) ? key : 20 + x);
      src.Set(x, 1, key);
    }
    dst.Fill(2);
    ASSERT_EQ(dst.s->BltFast(1, 0, src.s, nullptr, kBltFastSrcColorKey), kOk);
    for (int x = 0; x < 37; ++x) {
      EXPECT_EQ(dst.Get(x + 1, 0), (x % 3 == 0) ? 2u : 20u + x) << x;
      EXPECT_EQ(dst.Get(x + 1, 1), 2u);
    }
    // Without the key flag every pixel is copied.
    ASSERT_EQ(dst.s->BltFast(1, 0, src.s, nullptr, 0), kOk);
    EXPECT_EQ(dst.Get(1, 0), key);
    EXPECT_TRUE(dst.GuardsIntact());
  }
}

TEST(DirectDrawBlit, KeyOn32BitsIgnoresTheUnusedTopByte) {
  Canvas src(4, 1, Format::X8R8G8B8), dst(4, 1, Format::X8R8G8B8);
  src.s->SetColorKey(0x00FF00FF);
  src.Set(0, 0, 0xFFFF00FF);
  src.Set(1, 0, 0x00FF00FF);
  src.Set(2, 0, 0x00FF00FE);
  src.Set(3, 0, 0x12345678);
  const Rect all{0, 0, 4, 1};
  ASSERT_EQ(dst.s->Blt(&all, src.s, nullptr, kBltKeySrc), kOk);
  EXPECT_EQ(dst.Get(0, 0), 0u);
  EXPECT_EQ(dst.Get(1, 0), 0u);
  EXPECT_EQ(dst.Get(2, 0), 0x00FF00FEu);
  EXPECT_EQ(dst.Get(3, 0), 0x12345678u);
}

TEST(DirectDrawBlit, StretchSamplesNearestPixelCentres) {
  struct Case {
    Rect dst, src;
    std::vector<uint32_t> row;  // expected destination row 0, columns 0..7 (0 = untouched)
  };
  const Case cases[] = {
      {{0, 0, 8, 1}, {0, 0, 4, 1}, {1, 1, 2, 2, 3, 3, 4, 4}},   // x2
      {{0, 0, 2, 1}, {0, 0, 4, 1}, {2, 4, 0, 0, 0, 0, 0, 0}},   // /2 takes centres 1 and 3
      {{0, 0, 6, 1}, {0, 0, 4, 1}, {1, 2, 2, 3, 4, 4, 0, 0}},   // x1.5: (2j + 1) * 4 / 12
      {{-2, 0, 6, 1}, {0, 0, 4, 1}, {2, 2, 3, 3, 4, 4, 0, 0}},  // clipped left keeps the mapping
      {{4, 0, 12, 1}, {0, 0, 4, 1}, {0, 0, 0, 0, 1, 1, 2, 2}},  // clipped right
      {{0, 0, 8, 1}, {2, 0, 6, 1}, {3, 3, 4, 4, 0, 0, 0, 0}},   // source past its right edge
  };
  for (const Case& c : cases) {
    Canvas src(4, 1, Format::R5G6B5), dst(8, 1, Format::R5G6B5);
    for (int x = 0; x < 4; ++x) src.Set(x, 0, x + 1);
    ASSERT_EQ(dst.s->Blt(&c.dst, src.s, &c.src, 0), kOk);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.Get(x, 0), c.row[x]) << "column " << x;
    EXPECT_TRUE(dst.GuardsIntact());
  }
}

TEST(DirectDrawBlit, StretchVerticallyWithKey) {
  Canvas src(1, 2, Format::X8R8G8B8), dst(1, 4, Format::X8R8G8B8);
  src.s->SetColorKey(0);
  src.Set(0, 0, 0);
  src.Set(0, 1, 0x00ABCDEF);
  dst.Fill(5);
  const Rect d{0, 0, 1, 4};
  ASSERT_EQ(dst.s->Blt(&d, src.s, nullptr, kBltKeySrc), kOk);
  EXPECT_EQ(dst.Get(0, 0), 5u);
  EXPECT_EQ(dst.Get(0, 1), 5u);
  EXPECT_EQ(dst.Get(0, 2), 0x00ABCDEFu);
  EXPECT_EQ(dst.Get(0, 3), 0x00ABCDEFu);
}

TEST(DirectDrawBlit, ColourFillWritesTheRawValueClipped) {
  struct Case {
    Format f;
    uint32_t fill, expect;
  };
  for (const Case& c : {Case{Format::I8, 0x1F3, 0xF3}, Case{Format::R5G6B5, 0x1F800, 0xF800},
                        Case{Format::X8R8G8B8, 0x00FF0080, 0x00FF0080}}) {
    Canvas dst(6, 5, c.f);
    const Rect r{-3, 3, 2, 9};  // past the left and the bottom edge
    ASSERT_EQ(dst.s->Blt(&r, nullptr, nullptr, kBltColorFill, c.fill), kOk);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.Get(x, y), (x < 2 && y >= 3) ? c.expect : 0u);
    EXPECT_TRUE(dst.GuardsIntact());
  }
}

TEST(DirectDrawBlit, OverlappingCopyInsideOneSurface) {
  Canvas s(6, 1, Format::I8);
  for (int x = 0; x < 6; ++x) s.Set(x, 0, x + 1);
  const Rect r{0, 0, 4, 1};
  ASSERT_EQ(s.s->BltFast(2, 0, s.s, &r, 0), kOk);
  const uint32_t expect[] = {1, 2, 1, 2, 3, 4};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(s.Get(x, 0), expect[x]);
}

// ---- display: flipping, palette, presentation, loss ----------------------------------------

struct Display {
  DirectDraw* dd = nullptr;
  Surface* primary = nullptr;
  Surface* back = nullptr;
  Display(int bits, int backBuffers) {
    EXPECT_EQ(DirectDraw::Create(&dd), kOk);
    dd->SetCooperativeLevel(true);
    EXPECT_EQ(dd->SetDisplayMode(16, 8, bits), kOk);
    EXPECT_EQ(dd->CreatePrimarySurface(backBuffers, &primary), kOk);
    EXPECT_EQ(primary->GetAttachedBackBuffer(&back), kOk);
  }
  ~Display() {
    back->Release();
    primary->Release();
    EXPECT_EQ(dd->Release(), 0);  // every surface gone: nothing left behind
  }
};

TEST(DirectDrawDisplay, FlipShowsTheBackBufferAndRotatesTheChain) {
  Display d(16, 1);
  const Rect all{0, 0, 16, 8};
  d.back->Blt(&all, nullptr, nullptr, kBltColorFill, 0xF800);  // red
  ASSERT_EQ(d.primary->Flip(), kOk);
  auto frame = TheFrameMailbox().Latest();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 16);
  EXPECT_EQ(frame->At(3, 3), 0xFF0000u);
  // The back buffer now holds the former front buffer (never drawn: black).
  EXPECT_EQ(LoadPixel(d.back->Row(0), 2), 0u);
  d.back->Blt(&all, nullptr, nullptr, kBltColorFill, 0x001F);
  ASSERT_EQ(d.primary->Flip(), kOk);
  EXPECT_EQ(TheFrameMailbox().Latest()->At(0, 0), 0x0000FFu);
  EXPECT_EQ(LoadPixel(d.back->Row(0), 2), 0xF800u);
}

TEST(DirectDrawDisplay, TwoBackBuffersCycleThreePages) {
  Display d(32, 2);
  const Rect all{0, 0, 16, 8};
  for (uint32_t c : {0x000001u, 0x000002u, 0x000003u}) {
    d.back->Blt(&all, nullptr, nullptr, kBltColorFill, c);
    d.primary->Flip();
  }
  EXPECT_EQ(TheFrameMailbox().Latest()->At(0, 0), 3u);
  EXPECT_EQ(LoadPixel(d.back->Row(0), 4), 1u);  // the picture of three frames ago
}

TEST(DirectDrawDisplay, PaletteChangeRecoloursTheFrameAlreadyShown) {
  Display d(8, 1);
  PaletteEntry entries[256] = {};
  entries[5] = {10, 20, 30, kPaletteReserved};
  Palette* palette = nullptr;
  ASSERT_EQ(d.dd->CreatePalette(entries, &palette), kOk);
  ASSERT_EQ(d.primary->SetPalette(palette), kOk);
  const Rect all{0, 0, 16, 8};
  d.back->Blt(&all, nullptr, nullptr, kBltColorFill, 5);
  d.primary->Flip();
  const uint64_t serial = TheFrameMailbox().Serial();
  EXPECT_EQ(TheFrameMailbox().Latest()->At(1, 1), 0x0A141Eu);
  const PaletteEntry faded{5, 10, 15, kPaletteReserved};
  ASSERT_EQ(palette->SetEntries(5, 1, &faded), kOk);
  EXPECT_GT(TheFrameMailbox().Serial(), serial);
  EXPECT_EQ(TheFrameMailbox().Latest()->At(1, 1), 0x050A0Fu);
  EXPECT_EQ(palette->SetEntries(250, 7, entries), kErrInvalidCall);
  palette->Release();
}

// A window's primary takes its picture from the back surface by Blt: a whole copy (which is copied
// and shown in one pass) and a partial one both leave the primary holding the copied pixels and
// show exactly the primary.
TEST(DirectDrawDisplay, WindowBltOntoThePrimaryCopiesAndPresents) {
  for (Format f : {Format::I8, Format::R5G6B5, Format::X8R8G8B8}) {
    SCOPED_TRACE(FormatName(f));
    DirectDraw::SetDesktopFormat(f);
    DirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDraw::Create(&dd), kOk);
    dd->SetCooperativeLevel(false);
    Surface *primary = nullptr, *back = nullptr;
    const int w = 37, h = 4, bpp = BytesPerPixel(f);
    ASSERT_EQ(dd->CreatePrimarySurface(0, &primary, w, h), kOk);
    ASSERT_EQ(dd->CreateSurface(w, h, Pool::Default, &back), kOk);
    EXPECT_EQ(back->GetFormat(), f);
    auto expectShown = [&](uint32_t (*value)(int, int)) {
      const auto frame = TheFrameMailbox().Latest();
      ASSERT_TRUE(frame);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint32_t raw = LoadPixel(primary->Row(y) + x * bpp, bpp);
          ASSERT_EQ(raw, value(x, y) & (bpp == 4 ? 0xFFFFFFFF : (1u << 8 * bpp) - 1)) << x << "," << y;
          ASSERT_EQ(frame->At(x, y), PixelToArgb(f, raw) & 0xFFFFFF) << x << "," << y;
        }
    };
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) StorePixel(back->Row(y) + x * bpp, bpp, 0x00123456u * (x + 3 * y + 1));
    ASSERT_EQ(primary->Blt(nullptr, back, nullptr, kBltWait), kOk);
    expectShown([](int x, int y) { return 0x00123456u * (x + 3 * y + 1); });
    const Rect part{2, 1, 12, 3};
    StorePixel(back->Row(1) + 2 * bpp, bpp, 0x00010203);
    ASSERT_EQ(primary->Blt(&part, back, &part, kBltWait), kOk);
    expectShown([](int x, int y) { return x == 2 && y == 1 ? 0x00010203u : 0x00123456u * (x + 3 * y + 1); });
    back->Release();
    primary->Release();
    EXPECT_EQ(dd->Release(), 0);
  }
  DirectDraw::SetDesktopFormat(Format::X8R8G8B8);
}

TEST(DirectDrawDisplay, ProvokedLossAndRestore) {
  Display d(16, 1);
  Surface *video = nullptr, *system = nullptr;
  ASSERT_EQ(d.dd->CreateSurface(4, 4, Pool::Default, &video), kOk);
  ASSERT_EQ(d.dd->CreateSurface(4, 4, Pool::SystemMem, &system), kOk);
  video->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x1234);
  system->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x4321);

  d.dd->SimulateDisplayLoss();
  EXPECT_TRUE(d.primary->IsLost());
  EXPECT_TRUE(video->IsLost());
  EXPECT_FALSE(system->IsLost());
  EXPECT_EQ(d.back->BltFast(0, 0, video, nullptr, 0), kErrSurfaceLost);
  LockedRect lr;
  EXPECT_EQ(video->LockRect(&lr), kErrSurfaceLost);
  EXPECT_EQ(video->Restore(), kErrSurfaceLost);  // the display comes back first

  ASSERT_EQ(d.primary->Restore(), kOk);
  EXPECT_FALSE(d.back->IsLost());
  ASSERT_EQ(video->Restore(), kOk);
  EXPECT_EQ(LoadPixel(video->Row(1), 2), 0u);        // its picture is gone: reload it
  EXPECT_EQ(LoadPixel(system->Row(1), 2), 0x4321u);  // system memory kept its picture
  video->Release();
  system->Release();
}

TEST(DirectDrawDisplay, VideoMemoryBudgetRefusesThenSystemMemoryWorks) {
  Display d(16, 1);
  d.dd->SetVideoMemoryBudget(d.dd->VideoMemoryUsed() + 100);
  Surface* s = nullptr;
  EXPECT_EQ(d.dd->CreateSurface(64, 64, Pool::Default, &s), kErrOutOfVideoMemory);
  ASSERT_EQ(d.dd->CreateSurface(64, 64, Pool::SystemMem, &s), kOk);
  s->Release();
}

TEST(DirectDrawDisplay, UnsupportedDepthIsRefused) {
  DirectDraw* dd = nullptr;
  ASSERT_EQ(DirectDraw::Create(&dd), kOk);
  EXPECT_EQ(dd->SetDisplayMode(640, 480, 24), kErrUnsupported);
  EXPECT_EQ(dd->SetDisplayMode(640, 480, 16, 75), kErrUnsupported);
  EXPECT_EQ(dd->SetDisplayMode(640, 480, 16, 0), kOk);
  EXPECT_EQ(dd->DisplayFormat(), Format::R5G6B5);
  dd->Release();
}

}  // namespace
}  // namespace gfx
