// Fonts: creation, the glyph sheets, text drawing on the cell grid and measuring.
#include "media/graphics/font.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "core/log.h"
#include "core/sjis.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/layer.h"
#include "media/graphics/palette.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_table.h"
#include "platform/font/raster_font.h"
#include "platform/gfx/pixel_format.h"

cFont g_Font[kFontCount];
FONTINFO g_FontInfo[kFontCount] = {
    {"ＭＳ ゴシック", 0, 10, 10, 10, 241, 1, 46, 1, 240, 51, 2},
    {"ＭＳ ゴシック", 0, 16, 16, 16, 241, 1, 46, 1, 240, 51, 2},
    {"ＭＳ ゴシック", 0, 30, 32, 32, 241, 1, 46, 1, 240, 51, 0},
};
std::list<cFont*> g_FontList;
DDSURFACEDATA g_FastFontSurface[kFontCount];
DDSURFACEINFO g_FastFontInfo[kFontCount] = {
    {"", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

const char* const g_szFullWidthTable =
    "０１２３４５６７８９ー～、。．！？「」（）｛｝・…※→↑↓←＋－＝○●×ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹ"
    "Ｚ"
    "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほま"
    "みむめも"
    "やゆよらりるれろわをんがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょアイウエオカキクケコサシ"
    "スセソ"
    "タチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲンガギグゲゴザジズゼゾダヂヅデトバビブベボヴパピプペポ"
    "ァィゥェォ"
    "ッャュョ□■☆★％＆＜＞：";

namespace {

inline bool IsDoubleByte(const char* p) {
  return IsSjisLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0' &&
         IsSjisTrailByte(static_cast<unsigned char>(p[1]));
}

inline uint16_t CharCode(const char* p, int len) {
  return len == 2 ? static_cast<uint16_t>(static_cast<unsigned char>(p[0]) << 8 | static_cast<unsigned char>(p[1]))
                  : static_cast<unsigned char>(p[0]);
}

bool IsProportionalGothic(const char* face) { return face && std::strcmp(face, "ＭＳ Ｐゴシック") == 0; }

// The device colour a GDI text colour gives on a DirectDraw surface of the given format (GDI
// narrows the widened 16-bit fields back to the surface's own layout).
uint32_t GdiColourToPixel(uint32_t colorRef, int colorNum, gfx::Format format) {
  uint32_t r = colorRef & 255, g = (colorRef >> 8) & 255, b = (colorRef >> 16) & 255;
  switch (g_nDisplayBpp) {
    case 8: return static_cast<uint32_t>(colorNum);
    case 16: return gfx::ArgbToPixel(format, gfx::MakeArgb(255, r, g, b));
    default: return r << 16 | g << 8 | b;
  }
}

}  // namespace

int CountLineChars(const char* text, int len) {
  int n = 0;
  for (int i = 0; i < len; ++i, ++n) {
    if (i + 1 < len && IsDoubleByte(text + i)) ++i;
  }
  return n;
}

cFont::cFont() = default;
cFont::~cFont() { Release(); }

void cFont::Create(const char* face, int charWidth, int height, int cellWidth, int cellHeight, int colorNum,
                   int bShadow, DDSURFACEDATA* skin, int frame, int frameColor, DDSURFACEDATA* icons, int bCache) {
  m_szFace = face ? face : "";
  m_nCharWidth = charWidth;
  m_nHeight = height;
  m_nCellWidth = cellWidth;
  m_nCellHeight = cellHeight;
  m_nColorNum = colorNum;
  m_bShadow = bShadow;
  m_lpSkin = skin;
  m_nFrame = frame;
  m_nFrameColor = frameColor;
  m_lpIcons = icons;
  m_bIcons = icons != nullptr;
  m_bCache = bCache;
  const PALETTEENTRY& e = g_GamePalette[colorNum & 255];
  if (lpDTCon) {
    m_dwColor = gfx::MakeArgb(255, e.red, e.green, e.blue);
    m_dwShadowColor = gfx::MakeArgb(255, static_cast<uint32_t>(e.red * 0.4f), static_cast<uint32_t>(e.green * 0.4f),
                                    static_cast<uint32_t>(e.blue * 0.4f));
    gfx::FontDesc desc;
    desc.height = height;
    desc.width = 0;
    desc.weight = 400;
    desc.charSet = 128;
    std::strncpy(desc.faceName, m_szFace, sizeof desc.faceName - 1);
    if (!m_lpFont && gfx::Failed(gfx::CreateFontIndirect(g_lpDevice, desc, &m_lpFont))) m_lpFont = nullptr;
    if (!m_lpSprite && gfx::Failed(gfx::CreateSprite(g_lpDevice, &m_lpSprite))) m_lpSprite = nullptr;
  } else {
    uint32_t r = e.red, g = e.green, b = e.blue;
    if (g_nDisplayBpp == 16) {
      const DDCHANNELLAYOUT& l = g_SurfaceLayout;
      r = l.nRedMask ? r * 255 / l.nRedMask : r;
      g = l.nGreenMask ? g * 255 / l.nGreenMask : g;
      b = l.nBlueMask ? b * 255 / l.nBlueMask : b;
    }
    m_dwColor = (r & 255) | (g & 255) << 8 | (b & 255) << 16;
    if (!m_lpGdiFont) m_lpGdiFont = RasterFont::Create(m_szFace, height, charWidth);
  }
  if (!m_WorkSD.lpDT && !m_WorkSD.lpDD) {
    if (!DDCreateSurface(&m_WorkSD, g_BackBufferSD.nWidth, g_BackBufferSD.nHeight, 1, 0, 0, 0, 0) && !lpDTCon) {
      ECLogPrintf("DDCreateSurface Font::Work");
      FatalStop();
    }
  }
  if (lpDTCon) {
    m_nSerial = lpDTCon->nNextFontSerial++;
  } else if (lpDDCon) {
    m_nSerial = lpDDCon->nNextFontSerial++;
  }
  if (std::find(g_FontList.begin(), g_FontList.end(), this) == g_FontList.end()) g_FontList.push_back(this);
  DeleteSheets();
  if (!m_bCache) return;
  if (cellWidth == 0 || cellHeight == 0) {
    ECLogPrintf("※フォントクラスで文字間が未設定！");
    return;
  }
  m_lpFastFont_Half = new cGlyphSheet;
  cGlyphSheet& half = *m_lpFastFont_Half;
  half.nKind = 0;
  half.nCellWidth = cellWidth;
  half.nCellHeight = cellHeight;
  half.nColumns = half.nRows = 16;
  half.nCapacity = 256;
  if (!DDCreateSurface(&half.sd, 16 * cellWidth, 16 * cellHeight, 1, 0, 0, 0, 0)) {
    ECLogPrintf("m_lpFastFont_Half Err");
    FatalStop();
    return;
  }
  m_lpFastFont_Full = new cGlyphSheet;
  cGlyphSheet& full = *m_lpFastFont_Full;
  full.nKind = 1;
  full.nCellWidth = cellWidth;
  full.nCellHeight = cellHeight;
  if (lpDTCon) {
    full.nColumns = std::min(1024 / cellWidth, 32);
    full.nRows = std::min(1024 / cellHeight, 32);
  } else {
    full.nColumns = std::min(g_BackBufferSD.nWidth / cellWidth, 32);
    full.nRows = std::min(g_BackBufferSD.nHeight / cellHeight, 30);
  }
  full.nCapacity = full.nColumns * full.nRows;
  if (!DDCreateSurface(&full.sd, full.nColumns * cellWidth, full.nRows * cellHeight, 1, 0, 0, 0, 0)) {
    delete m_lpFastFont_Full;
    m_lpFastFont_Full = nullptr;
  }
  DrawSheet(m_lpFastFont_Half, true);
  if (m_lpFastFont_Full) DrawSheet(m_lpFastFont_Full, true);
}

void cFont::DeleteSheets() {
  for (cGlyphSheet** sheet : {&m_lpFastFont_Half, &m_lpFastFont_Full}) {
    if (!*sheet) continue;
    DDReleaseSurface(&(*sheet)->sd);
    delete *sheet;
    *sheet = nullptr;
  }
}

void cFont::DrawSheet(cGlyphSheet* sheet, bool first) {
  const int savedIcons = m_bIcons, savedCache = m_bCache;
  m_bIcons = 0;
  m_bCache = 0;
  std::string text;
  if (sheet->nKind == 0) {
    text += '\n';
    for (int row = 1; row < 16; ++row) {
      for (int col = 0; col < 16; ++col) text += static_cast<char>(row * 16 + col);
      text += '\n';
    }
  } else {
    if (first) {
      sheet->glyphs.clear();
      sheet->index.clear();
      sheet->nCount = 0;
      for (const char* p = g_szFullWidthTable; *p && sheet->nCount < sheet->nCapacity;) {
        int len = IsDoubleByte(p) ? 2 : 1;
        GLYPHENTRY g{};
        std::memcpy(g.szChar, p, static_cast<size_t>(len));
        g.nIndex = sheet->nCount;
        g.nCellX = sheet->nCount % sheet->nColumns;
        g.nCellY = sheet->nCount / sheet->nColumns;
        sheet->glyphs.push_back(g);
        sheet->index[CharCode(p, len)] = sheet->nCount;
        ++sheet->nCount;
        p += len;
      }
    }
    int k = 0;
    for (const GLYPHENTRY& g : sheet->glyphs) {
      text += g.szChar;
      if (++k % sheet->nColumns == 0) text += '\n';
    }
  }
  DDFillSurface(&sheet->sd, 0);
  DrawString(&sheet->sd, 0, 0, text.c_str(), 1);
  sheet->sd.bContentsLost = 0;
  m_bIcons = savedIcons;
  m_bCache = savedCache;
}

bool cFont::UsesIcons(int bNoIcons) const { return bNoIcons == 0 && m_bIcons && m_lpIcons; }

int cFont::LineWidth(const char* text, int len) {
  if (m_nCellWidth) return CountLineChars(text, len) * m_nCellWidth;
  if (lpDTCon && m_lpFont) {
    gfx::Rect r{0, 0, 0, 0};
    m_lpFont->DrawTextA(nullptr, text, len, &r, gfx::kDtCalcRect | gfx::kDtSingleLine, m_dwColor);
    return r.right - r.left;
  }
  if (m_lpGdiFont) return m_lpGdiFont->MeasureCp932(std::string_view(text, static_cast<size_t>(len))).width;
  return 0;
}

void GetTextBlockSize(const cFont* font, int* width, int* height, const char* text) {
  int widest = 0, lines = 0;
  const char* p = text ? text : "";
  while (true) {
    const char* end = std::strchr(p, '\n');
    const int len = end ? static_cast<int>(end - p) : static_cast<int>(std::strlen(p));
    widest = std::max(widest, CountLineChars(p, len));
    ++lines;
    if (!end) break;
    p = end + 1;
  }
  if (width) *width = font ? widest * font->m_nCellWidth : 0;
  if (height) *height = font ? lines * font->m_nCellHeight : 0;
}

void cFont::Measure(const char* text, int* w, int* h) {
  if (m_nCellWidth) {
    GetTextBlockSize(this, w, h, text);
    return;
  }
  int width = 0, lines = 0;
  const char* p = text ? text : "";
  while (true) {
    const char* end = std::strchr(p, '\n');
    int len = end ? static_cast<int>(end - p) : static_cast<int>(std::strlen(p));
    width = std::max(width, LineWidth(p, len));
    ++lines;
    if (!end) break;
    p = end + 1;
  }
  if (w) *w = width;
  if (h) *h = lines * m_nCellHeight;
}

// Draws text (no line feeds) with its cell top-left at (x, y) into the current target.
void cFont::DrawTextRaw(DDSURFACEDATA* target, int x, int y, const char* text, int len) {
  if (lpDTCon) {
    if (!m_lpFont) return;
    if (m_bShadow) {
      const int s = std::max(1, m_nCellHeight / 16);
      gfx::Rect r{x + s, y + s, x + s, y + s};
      m_lpFont->DrawTextA(m_lpSprite, text, len, &r, gfx::kDtNoClip, m_dwShadowColor);
    }
    gfx::Rect r{x, y, x, y};
    m_lpFont->DrawTextA(m_lpSprite, text, len, &r, gfx::kDtNoClip, m_dwColor);
    return;
  }
  if (!m_lpGdiFont || !target) return;
  cSurfaceLock lock;
  if (!lock.Lock(target)) return;
  DDSURFACEDATA* sd = lock.Surface();
  const uint32_t pixel = GdiColourToPixel(m_dwColor, m_nColorNum, sd->lpDD->lpSurface->GetFormat());
  const int width = sd->nWidth, height = sd->nHeight, bytes = lock.BytesPerPixel();
  m_lpGdiFont->DrawCp932(std::string_view(text, static_cast<size_t>(len)), x, y, GlyphRender::Monochrome,
                         [&](int px, int py, uint8_t coverage) {
                           if (px < 0 || py < 0 || px >= width || py >= height || coverage < 128) return;
                           gfx::StorePixel(lock.PixelAddress(px, py), bytes, pixel);
                         });
}

// The extent of one character as the back end's font measures it (not the cell grid).
void cFont::MeasureGlyph(const char* ch, int len, int* w, int* h) {
  *w = *h = 0;
  if (lpDTCon) {
    if (!m_lpFont) return;
    gfx::Rect r{0, 0, 0, 0};
    m_lpFont->DrawTextA(nullptr, ch, len, &r, gfx::kDtCalcRect, m_dwColor);
    *w = r.right - r.left;
    *h = r.bottom - r.top;
    return;
  }
  if (!m_lpGdiFont) return;
  const TextExtent extent = m_lpGdiFont->MeasureCp932(std::string_view(ch, static_cast<size_t>(len)));
  *w = extent.width;
  *h = extent.height;
}

// Direct3D: one draw with its own scene, target and sprite around it (used while caching, when no
// scene was opened for the whole text).
void cFont::DrawWrapped(DDSURFACEDATA* target, int x, int y, const char* text, int len) {
  if (!DDBeginScene() || !DDSetTarget(target)) return;
  if (m_lpSprite) m_lpSprite->Begin(gfx::kSpriteAlphaBlend | gfx::kSpriteSortTexture);
  DrawTextRaw(target, x, y, text, len);
  if (m_lpSprite) m_lpSprite->End();
  DDSetIdleTarget();
}

void cFont::DrawChar(DDSURFACEDATA* target, int x, int y, const char* ch, int len, bool wrapScene) {
  int dx, dy;
  if (m_bCentre) {
    int w = 0, h = 0;
    MeasureGlyph(ch, len, &w, &h);
    dx = x + m_nCellWidth / 2 - w / 2;
    dy = y + m_nCellHeight / 2 - h / 2;
  } else if (len == 1) {
    dx = x + m_nCellWidth / 8;
    dy = y + m_nCellHeight / 16 - 1;
  } else {
    dx = x;
    dy = y;
  }
  if (lpDTCon && wrapScene) {
    DrawWrapped(target, dx, dy, ch, len);
    return;
  }
  DrawTextRaw(target, dx, dy, ch, len);
}

// A full-width character through the sheet: copied from its cell, added to the sheet first when
// there is room; false when the sheet is full (the caller draws it directly).
bool cFont::CacheFullWidth(const char* ch, DDSURFACEDATA* finalDst, int dx, int dy) {
  cGlyphSheet* sheet = m_lpFastFont_Full;
  if (!sheet) return false;
  const uint16_t code = CharCode(ch, 2);
  auto it = sheet->index.find(code);
  int cell;
  if (it != sheet->index.end()) {
    cell = it->second;
  } else {
    if (sheet->nCount >= sheet->nCapacity) return false;
    cell = sheet->nCount++;
    GLYPHENTRY g{};
    std::memcpy(g.szChar, ch, 2);
    g.nIndex = cell;
    g.nCellX = cell % sheet->nColumns;
    g.nCellY = cell / sheet->nColumns;
    sheet->glyphs.push_back(g);
    sheet->index[code] = cell;
    const int cx = g.nCellX * m_nCellWidth, cy = g.nCellY * m_nCellHeight;
    if (lpDTCon) {
      // The new cell gets the shadowed draw at its top-left corner.
      DrawWrapped(&sheet->sd, cx, cy, ch, 2);
    } else {
      if (g_nDisplayBpp == 8 && g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_GamePalette);
      DrawChar(&sheet->sd, cx, cy, ch, 2, false);
      if (g_nDisplayBpp == 8 && g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
    }
  }
  DDBlt(finalDst, dx, dy, m_nCellWidth, m_nCellHeight, &sheet->sd, (cell % sheet->nColumns) * m_nCellWidth,
        (cell / sheet->nColumns) * m_nCellHeight, 1);
  return true;
}

void cFont::DrawBody(DDSURFACEDATA* target, int x, int y, const char* text, bool useIcons, DDSURFACEDATA* finalDst,
                     int finalX, int finalY) {
  DDBeginLayer(1);
  const bool caching = Caching() && finalDst;
  if (m_nCellWidth) {
    const bool pGothic = !m_bCentre && IsProportionalGothic(m_szFace);
    int c = 0, l = 0;
    for (const char* p = text; *p;) {
      const unsigned char b = static_cast<unsigned char>(*p);
      if (IsDoubleByte(p)) {
        if (!(p[0] == "　"[0] && p[1] == "　"[1])) {
          int offset = 0;
          for (const char* bracket : {"（", "）", "｛", "｝"}) {
            if (pGothic && p[0] == bracket[0] && p[1] == bracket[1]) offset = m_nCellWidth / 4;
          }
          if (!(caching && CacheFullWidth(p, finalDst, finalX + c, finalY + l))) {
            DrawChar(target, x + c + offset, y + l, p, 2, caching);
          }
        }
        c += m_nCellWidth;
        p += 2;
        continue;
      }
      if (b == ' ') {
        c += m_nCellWidth;
      } else if (useIcons && b >= 'a' && b <= 'z') {
        c += m_nCellWidth;
      } else if (b == '\n') {
        c = 0;
        l += m_nCellHeight;
      } else {
        int offset = 0;
        if (pGothic && (b == '(' || b == ')' || b == '{' || b == '}')) offset = m_nCellWidth / 4;
        if (caching) {
          DDBlt(finalDst, finalX + c, finalY + l, m_nCellWidth, m_nCellHeight, &m_lpFastFont_Half->sd,
                (b % 16) * m_nCellWidth, (b / 16) * m_nCellHeight, 1);
        } else {
          DrawChar(target, x + c + offset, y + l, p, 1, false);
        }
        c += m_nCellWidth;
      }
      ++p;
    }
  } else {
    int line = 0;
    for (const char* p = text;; ++line) {
      const char* end = std::strchr(p, '\n');
      int len = end ? static_cast<int>(end - p) : static_cast<int>(std::strlen(p));
      DrawTextRaw(target, x, y + line * m_nCellHeight, p, len);
      if (!end) break;
      p = end + 1;
    }
  }
  DDEndLayer();
}

void cFont::DrawIcons(DDSURFACEDATA* dst, int x, int y, const char* text) {
  if (!m_nCellWidth) return;
  DDBeginLayer(0);
  int c = 0, l = 0;
  for (const char* p = text; *p;) {
    if (IsDoubleByte(p)) {
      c += m_nCellWidth;
      p += 2;
      continue;
    }
    const unsigned char b = static_cast<unsigned char>(*p++);
    if (b == '\n') {
      c = 0;
      l += m_nCellHeight;
      continue;
    }
    if (b >= 'a' && b <= 'z')
      DDBlt(dst, x + c, y + l, m_nCellWidth, m_nCellHeight, m_lpIcons, m_nCellWidth * (b - 'a'), 0, 1);
    c += m_nCellWidth;
  }
  DDEndLayer();
}

void cFont::DrawString(DDSURFACEDATA* dst, int x, int y, const char* text, int bNoIcons) {
  if (DDTraceCall("cFont::DrawString", dst, nullptr, {double(x), double(y), double(bNoIcons)}, text)) return;
  if (!dst || !text) return;
  const bool icons = UsesIcons(bNoIcons);
  if (lpDTCon) {
    DDFollowAlias(dst);
    DDMapVirtualBackBuffer(dst);
    if (dst->lpDT && dst->lpDT->bRenderTarget && dst->lpDT->nMemoryKind == DTMEMORYTYPE_VIDEO_RT) {
      const bool caching = Caching();
      if (!caching) {
        if (!DDBeginScene() || !DDSetTarget(dst)) return;
        if (m_lpSprite) m_lpSprite->Begin(gfx::kSpriteAlphaBlend | gfx::kSpriteSortTexture);
      }
      DrawBody(dst, x, y, text, icons, dst, x, y);
      if (!caching) {
        if (m_lpSprite) m_lpSprite->End();
      }
      if (icons && m_lpIcons) DrawIcons(dst, x, y, text);
      if (!caching) DDSetIdleTarget();
      return;
    }
  }
  int w = 0, h = 0;
  Measure(text, &w, &h);
  DDFillRect(&m_WorkSD, 0, 0, w, h, 0);
  if (lpDTCon && Caching()) {
    // Cached glyphs go straight to the destination; a character drawn directly opens its own scene.
    DrawBody(&m_WorkSD, 0, 0, text, icons, dst, x, y);
  } else if (lpDTCon) {
    if (DDBeginScene() && DDSetTarget(&m_WorkSD)) {
      if (m_lpSprite) m_lpSprite->Begin(gfx::kSpriteAlphaBlend | gfx::kSpriteSortTexture);
      DrawBody(&m_WorkSD, 0, 0, text, icons, dst, x, y);
      if (m_lpSprite) m_lpSprite->End();
      DDSetIdleTarget();
    }
  } else {
    DrawBody(&m_WorkSD, 0, 0, text, icons, dst, x, y);
  }
  DDBlt(dst, x, y, w, h, &m_WorkSD, 0, 0, 1);
  if (icons && m_lpIcons) DrawIcons(dst, x, y, text);
}

void cFont::DrawStringF(DDSURFACEDATA* dst, int x, int y, const char* format, ...) {
  // On the stack: the status bar draws its numbers through here every frame.
  char text[256];
  va_list args;
  va_start(args, format);
  FormatBoundedInto(text, sizeof text, format, args);
  va_end(args);
  DrawString(dst, x, y, text, 0);
}

void cFont::Restore() {
  if (lpDTCon) {
    for (cGlyphSheet* sheet : {m_lpFastFont_Half, m_lpFastFont_Full}) {
      if (sheet && sheet->sd.bContentsLost) DrawSheet(sheet, false);
    }
    return;
  }
  for (DDSURFACEDATA* sd : {&m_WorkSD, m_lpFastFont_Half ? &m_lpFastFont_Half->sd : nullptr,
                            m_lpFastFont_Full ? &m_lpFastFont_Full->sd : nullptr}) {
    if (sd && sd->lpDD && sd->lpDD->lpSurface && sd->lpDD->lpSurface->IsLost()) sd->lpDD->lpSurface->Restore();
  }
  if (m_lpFastFont_Half) DrawSheet(m_lpFastFont_Half, false);
  if (m_lpFastFont_Full) DrawSheet(m_lpFastFont_Full, false);
}

void cFont::OnLostDevice() {
  if (m_lpFont) {
    const gfx::Result hr = m_lpFont->OnLostDevice();
    if (gfx::Failed(hr)) ECLogPrintf("lpFont->OnLostDevice hr = %d", static_cast<int>(hr));
  }
  if (m_lpSprite) {
    const gfx::Result hr = m_lpSprite->OnLostDevice();
    if (gfx::Failed(hr)) ECLogPrintf("lpFont->OnLostDevice hr = %d", static_cast<int>(hr));
  }
}

void cFont::OnResetDevice() {
  if (m_lpFont) m_lpFont->OnResetDevice();
  if (m_lpSprite) m_lpSprite->OnResetDevice();
}

void cFont::Release() {
  for (gfx::RefCounted*& p : m_lpReserved) {
    if (p) p->Release();
    p = nullptr;
  }
  if (m_lpFont) m_lpFont->Release();
  m_lpFont = nullptr;
  if (m_lpSprite) m_lpSprite->Release();
  m_lpSprite = nullptr;
  m_lpGdiFont.reset();
  DeleteSheets();
  DDReleaseSurface(&m_WorkSD);
  g_FontList.remove(this);
}

int CreateFonts(cFont* fonts, FONTINFO* infos, int count) {
  for (int i = 0; i < count; ++i) {
    const FONTINFO& f = infos[i];
    DDSURFACEDATA* skin = f.nSkinSlot >= 0 && f.nSkinSlot < kSurfaceTableSize ? &g_SurfaceData[f.nSkinSlot] : nullptr;
    DDSURFACEDATA* icons = f.nIconSlot >= 0 && f.nIconSlot < kSurfaceTableSize ? &g_SurfaceData[f.nIconSlot] : nullptr;
    fonts[i].Create(f.szFace, f.nCharWidth, f.nHeight, f.nCellWidth, f.nCellHeight, f.nColor, f.bShadow, skin, f.nFrame,
                    f.nFrameColor, icons, f.nCacheMode);
  }
  return 1;
}

int CreateFastFonts(DDSURFACEDATA* strips, DDSURFACEINFO* stripInfos, int count, cFont* fonts, FONTINFO* infos) {
  for (int i = 0; i < count; ++i) {
    const DDSURFACEINFO& info = stripInfos[i];
    DDCreateSurface(&strips[i], infos[i].nCellWidth * 10, infos[i].nCellHeight, info.bColorKey, info.nMemoryType,
                    info.nMemoryKind, info.bAlias, 0);
    MakeDigitStrip(&strips[i], &fonts[i]);
  }
  return 1;
}

void MakeDigitStrip(DDSURFACEDATA* strip, cFont* font) {
  DDFillRect(strip, 0, 0, strip->nWidth, strip->nHeight, 0);
  font->DrawString(strip, 0, 0, "0123456789", 0);
}

void ReleaseFont(cFont* font) {
  if (font) font->Release();
}

void MeasureText(const char* text, int* w, int* h) { g_Font[1].Measure(text, w, h); }
