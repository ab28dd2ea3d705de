// Helper library: textures from pictures with a colour key, sizes for the device's caps, textures
// from bitmap files, the sprite and the text object (with a glyph source built in the test).
#include <gtest/gtest.h>
#include "test_support/temp_dir.h"

#include <cstring>
#include <memory>
#include <string>

#include "platform/gfx/d3dx.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/gfx/pixel_format.h"

namespace gfx {
namespace {

struct Dev {
  Direct3D* d3d = Direct3D::Create();
  Device* dev = nullptr;
  Dev() {
    PresentParams pp;
    pp.backBufferWidth = 16;
    pp.backBufferHeight = 8;
    EXPECT_EQ(d3d->CreateDevice(true, &pp, &dev), kOk);
    dev->SetRenderState(kRsCullMode, kCullNone);
  }
  ~Dev() {
    EXPECT_EQ(dev->Release(), 0);
    d3d->Release();
  }
};

uint32_t Px(Surface* s, int x, int y) {
  const int b = BytesPerPixel(s->GetFormat());
  return LoadPixel(s->Row(y) + x * b, b);
}

ImageArgb Picture() {
  ImageArgb img;
  img.width = 3;
  img.height = 2;
  img.pixels = {0xFFFF00FF, 0xFF102030, 0xFF000000,   // key, colour, opaque black
                0xFFFF00FE, 0xFFFF00FF, 0xFFFFFFFF};  // one step from the key stays opaque
  return img;
}

TEST(D3dxTexture, KeyPixelsAndPaddingBecomeTransparentBlack) {
  Dev d;
  Texture* t = nullptr;
  ASSERT_EQ(CreateTextureFromImage(d.dev, Picture(), 4, 4, 1, 0, Format::A8R8G8B8, Pool::Managed, 0xFFFF00FF, &t), kOk);
  Surface* s = t->Level0();
  const uint32_t expect[4][4] = {
      {0, 0xFF102030, 0xFF000000, 0}, {0xFFFF00FE, 0, 0xFFFFFFFF, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Px(s, x, y), expect[y][x]) << x << "," << y;
  t->Release();
}

TEST(D3dxTexture, SixteenBitKeyIsComparedBeforeNarrowing) {
  Dev d;
  Texture* t = nullptr;
  ASSERT_EQ(CreateTextureFromImage(d.dev, Picture(), kDefaultSizeNonPow2, kDefaultSizeNonPow2, 1, 0, Format::A1R5G5B5,
                                   Pool::Managed, 0xFFFF00FF, &t),
            kOk);
  EXPECT_EQ(t->Width(), 3);
  EXPECT_EQ(Px(t->Level0(), 0, 0), 0u);
  EXPECT_EQ(Px(t->Level0(), 0, 1), 0xFC1Fu);  // 0xFE narrows to 31 but was not the key
  EXPECT_EQ(Px(t->Level0(), 2, 0), 0x8000u);  // opaque black keeps its alpha bit
  t->Release();
}

TEST(D3dxTexture, SizesFollowTheCaps) {
  struct Case {
    DeviceCaps caps;
    int w, h, expectW, expectH;
  };
  DeviceCaps pow2, square;
  pow2.pow2Textures = true;
  square.pow2Textures = square.squareOnlyTextures = true;
  for (const Case& c : {Case{pow2, 640, 480, 1024, 512}, Case{square, 640, 480, 1024, 1024},
                        Case{DeviceCaps{}, 640, 480, 640, 480}, Case{pow2, 100, 1, 128, 1}}) {
    Direct3D::SetSimulatedCaps(c.caps);
    Dev d;
    Direct3D::ResetSimulatedCaps();
    Texture* t = nullptr;
    ASSERT_EQ(CreateTextureHelper(d.dev, c.w, c.h, 1, kUsageRenderTarget, Format::A8R8G8B8, Pool::Default, &t), kOk);
    EXPECT_EQ(t->Width(), c.expectW);
    EXPECT_EQ(t->Height(), c.expectH);
    t->Release();
  }
}

TEST(D3dxTexture, FromBitmapFilesAndRefusesOthers) {
  Dev d;
  Texture* t = nullptr;
  int w = 0, h = 0;
  const std::string bmp = std::string(QC4_TESTDATA_DIR) + "/bmpsuite/g/rgb24.bmp";
  ASSERT_EQ(CreateTextureFromFileEx(d.dev, bmp.c_str(), kDefaultSize, kDefaultSize, 1, 0, Format::A8R8G8B8,
                                    Pool::Managed, 0, &t, &w, &h),
            kOk);
  EXPECT_EQ(w, 127);
  EXPECT_EQ(h, 64);
  EXPECT_EQ(t->Width(), 128);
  EXPECT_EQ(Px(t->Level0(), 0, 0) >> 24, 0xFFu);  // picture opaque
  EXPECT_EQ(Px(t->Level0(), 127, 0), 0u);         // padding column transparent
  t->Release();
  EXPECT_EQ(CreateTextureFromFileEx(d.dev, (std::string(QC4_TESTDATA_DIR) + "/bmpsuite/README.md").c_str(), 0, 0, 1, 0,
                                    Format::A8R8G8B8, Pool::Managed, 0, &t),
            kErrInvalidData);
  EXPECT_EQ(CreateTextureFromFileEx(d.dev, "/nonexistent/x.bmp", 0, 0, 1, 0, Format::A8R8G8B8, Pool::Managed, 0, &t),
            kErrNotFound);
  EXPECT_EQ(t, nullptr);
}

TEST(D3dxSprite, DrawsQueuedRectanglesAndKeepsTheCallersState) {
  Dev d;
  Texture* src = nullptr;
  ASSERT_EQ(CreateTextureFromImage(d.dev, Picture(), 4, 2, 1, 0, Format::A8R8G8B8, Pool::Managed, 0xFFFF00FF, &src),
            kOk);
  Sprite* sprite = nullptr;
  ASSERT_EQ(CreateSprite(d.dev, &sprite), kOk);
  Surface* back = nullptr;
  d.dev->GetBackBuffer(0, 0, &back);
  d.dev->Clear(0, nullptr, kClearTarget, 0xFF0000FF, 1, 0);
  d.dev->SetTextureStageState(0, kTssColorOp, kOpSelectArg2);
  ASSERT_EQ(d.dev->BeginScene(), kOk);
  ASSERT_EQ(sprite->Begin(kSpriteAlphaBlend | kSpriteSortTexture), kOk);
  const Rect r{0, 0, 3, 2};
  const float pos[2] = {5, 3};
  ASSERT_EQ(sprite->Draw(src, &r, nullptr, pos, 0xFFFFFFFF), kOk);
  EXPECT_EQ(Px(back, 6, 3), 0xFF0000FFu);  // queued, not drawn yet
  ASSERT_EQ(sprite->End(), kOk);
  d.dev->EndScene();
  EXPECT_EQ(Px(back, 5, 3), 0xFF0000FFu);  // keyed texel: background shows
  EXPECT_EQ(Px(back, 6, 3), 0xFF102030u);
  EXPECT_EQ(Px(back, 5, 4), 0xFFFF00FEu);
  EXPECT_EQ(Px(back, 8, 3), 0xFF0000FFu);
  EXPECT_EQ(d.dev->GetTextureStageState(0, kTssColorOp), static_cast<uint32_t>(kOpSelectArg2));
  sprite->Release();
  back->Release();
  src->Release();
}

// A glyph source whose every character is a full block of one cell (4 x 6), coverage 255.
class BlockGlyphs final : public GlyphSource {
 public:
  int LineHeight() override { return 6; }
  int MeasureLine(const char*, int length) override { return 4 * length; }
  void DrawLine(const char* text, int length, int x, int y, uint8_t* cov, int w, int h, int pitch) override {
    for (int i = 0; i < length; ++i) {
      if (text[i] == ' ') continue;
      for (int yy = y; yy < y + 6 && yy < h; ++yy)
        for (int xx = x + 4 * i; xx < x + 4 * i + 3 && xx < w; ++xx) cov[yy * pitch + xx] = 255;
    }
  }
};

TEST(D3dxFont, MeasuresAndDrawsThroughItsGlyphSource) {
  SetGlyphSourceFactory(
      [](const FontDesc&) -> std::unique_ptr<GlyphSource> { return std::make_unique<BlockGlyphs>(); });
  Dev d;
  Font* font = nullptr;
  FontDesc desc;
  ASSERT_EQ(CreateFontIndirect(d.dev, desc, &font), kOk);
  SetGlyphSourceFactory(nullptr);
  Rect r{1, 0, 1, 0};
  EXPECT_EQ(font->DrawTextA(nullptr, "ab\nc", -1, &r, kDtCalcRect, 0), 12);
  EXPECT_EQ(r, (Rect{1, 0, 9, 12}));
  r = Rect{0, 0, 0, 0};
  EXPECT_EQ(font->DrawTextA(nullptr, "ab\nc", -1, &r, kDtCalcRect | kDtSingleLine, 0), 6);
  EXPECT_EQ(r.right, 12);
  Surface* back = nullptr;
  d.dev->GetBackBuffer(0, 0, &back);
  d.dev->Clear(0, nullptr, kClearTarget, 0xFF000000, 1, 0);
  ASSERT_EQ(d.dev->BeginScene(), kOk);
  Rect at{2, 1, 2, 1};
  EXPECT_EQ(font->DrawTextA(nullptr, "a b", 3, &at, kDtNoClip, 0x80FF0000), 6);
  d.dev->EndScene();
  EXPECT_EQ(Px(back, 2, 1), 0xFF800000u);  // half-transparent red over black
  EXPECT_EQ(Px(back, 5, 1), 0xFF000000u);  // the gap between glyph cells
  EXPECT_EQ(Px(back, 6, 1), 0xFF000000u);  // the space
  EXPECT_EQ(Px(back, 10, 6), 0xFF800000u);
  EXPECT_EQ(Px(back, 10, 7), 0xFF000000u);
  back->Release();
  font->Release();
}

TEST(D3dxFont, DefaultGlyphsComeFromTheSystemFont) {
  Dev d;
  Font* font = nullptr;
  FontDesc desc;
  desc.height = 16;
  std::strcpy(desc.faceName, "ＭＳ ゴシック");
  ASSERT_EQ(CreateFontIndirect(d.dev, desc, &font), kOk);
  Rect r{0, 0, 0, 0};
  EXPECT_EQ(font->DrawTextA(nullptr, "あA", -1, &r, kDtCalcRect, 0), 16);
  EXPECT_GT(r.right, 16);
  Surface* back = nullptr;
  d.dev->GetBackBuffer(0, 0, &back);
  d.dev->Clear(0, nullptr, kClearTarget, 0xFF000000, 1, 0);
  ASSERT_EQ(d.dev->BeginScene(), kOk);
  Rect at{0, 0, 16, 8};
  font->DrawTextA(nullptr, "■", -1, &at, 0, 0xFFFFFFFF);
  d.dev->EndScene();
  int lit = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) lit += Px(back, x, y) != 0xFF000000u;
  EXPECT_GT(lit, 10);
  back->Release();
  font->Release();
}

TEST(FramePng, WritesTheLatestFrame) {
  Frame frame;
  frame.width = 2;
  frame.height = 1;
  frame.pixels = {0xFF0000, 0x00FF00};
  const std::string path = TestTempPath("gfx_frame_test.png");
  std::string error;
  ASSERT_TRUE(WriteFramePng(frame, path, &error)) << error;
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char sig[8] = {};
  EXPECT_EQ(std::fread(sig, 1, 8, f), 8u);
  std::fclose(f);
  EXPECT_EQ(std::memcmp(sig, "\x89PNG\r\n\x1a\n", 8), 0);
  std::remove(path.c_str());
  EXPECT_FALSE(WriteFramePng(Frame{}, path));
}

TEST(FrameMailboxTest, KeepsOnlyTheNewestFrame) {
  FrameMailbox box;
  uint64_t seen = 0;
  EXPECT_EQ(box.TakeIfNewer(&seen), nullptr);
  Frame a;
  a.width = 1;
  a.height = 1;
  a.pixels = {1};
  box.Post(a);
  a.pixels = {2};
  box.Post(a);
  auto got = box.TakeIfNewer(&seen);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->pixels[0], 2u);
  EXPECT_EQ(seen, 2u);
  EXPECT_EQ(box.TakeIfNewer(&seen), nullptr);
}

}  // namespace
}  // namespace gfx
