#pragma once
// The game's three fonts. Text is Shift-JIS and laid out on a fixed grid: every character,
// half-width or full-width, takes one cell of the font's cell width, every line the cell height.
// A font may keep glyph sheets (the single-byte codes 16-255, and full-width characters filled from
// a table and extended on demand) so that cached characters are copied with plain blits.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "media/graphics/surface_data.h"
#include "platform/gfx/d3dx.h"

class RasterFont;

struct FONTINFO {
  char szFace[256];
  int nCharWidth;
  int nHeight;
  int nCellWidth;
  int nCellHeight;
  int nColor;  // palette number
  int bShadow;
  int nSkinSlot;    // surface table slot of the box skin
  int nFrame;       // frame thickness
  int nFrameColor;  // palette number
  int nIconSlot;    // surface table slot of the a-z icon sheet
  int nCacheMode;   // 0 off, 1 on, 2 the back end's font-cache setting (resolved by start-up)
};

// One glyph of the full-width sheet.
struct GLYPHENTRY {
  char szChar[4];
  int nIndex;
  int nCellX;
  int nCellY;
};

// A sheet of glyph cells.
struct cGlyphSheet {
  int nKind = 0;  // 0 half-width (codes 16-255), 1 full-width
  int nCellWidth = 0, nCellHeight = 0;
  int nColumns = 0, nRows = 0, nCapacity = 0;
  DDSURFACEDATA sd{};
  std::list<GLYPHENTRY> glyphs;
  int nCount = 0;
  std::unordered_map<uint16_t, int> index;  // character code -> entry index (cell)
};

class cFont {
 public:
  cFont();
  ~cFont();
  cFont(const cFont&) = delete;
  cFont& operator=(const cFont&) = delete;

  void Create(const char* face, int charWidth, int height, int cellWidth, int cellHeight, int colorNum, int bShadow,
              DDSURFACEDATA* skin, int frame, int frameColor, DDSURFACEDATA* icons, int bCache);
  void DrawString(DDSURFACEDATA* dst, int x, int y, const char* text, int bNoIcons = 0);
  void DrawStringF(DDSURFACEDATA* dst, int x, int y, const char* format, ...) __attribute__((format(printf, 5, 6)));
  void DrawBox(DDSURFACEDATA* dst, int x, int y, int w, int h);
  void DrawBoxString(DDSURFACEDATA* dst, int x, int y, int w, int h, const char* text, int margin);
  void DrawBoxStringEx(DDSURFACEDATA* dst, int x, int y, int w, int h, const char* text, int margin);
  void DrawBoxStringF(DDSURFACEDATA* dst, int x, int y, int w, int h, const char* format, ...)
      __attribute__((format(printf, 7, 8)));
  // Width and height of a text as this font lays it out (lines split at "\n").
  void Measure(const char* text, int* w, int* h);
  void Restore();
  void OnLostDevice();
  void OnResetDevice();
  void Release();

  int m_nSerial = 0;
  std::unique_ptr<RasterFont> m_lpGdiFont;  // DirectDraw
  gfx::RefCounted* m_lpReserved[2] = {};
  gfx::Font* m_lpFont = nullptr;      // Direct3D
  gfx::Sprite* m_lpSprite = nullptr;  // Direct3D
  const char* m_szFace = "";
  int m_nCharWidth = 0, m_nHeight = 0, m_nCellWidth = 0, m_nCellHeight = 0;
  int m_nColorNum = 0;
  uint32_t m_dwColor = 0;
  int m_bShadow = 0;
  uint32_t m_dwShadowColor = 0;
  int m_bCentre = 0;
  DDSURFACEDATA m_WorkSD{};
  DDSURFACEDATA* m_lpSkin = nullptr;
  int m_nFrame = 0, m_nFrameColor = 0;
  DDSURFACEDATA* m_lpIcons = nullptr;
  int m_bIcons = 0;
  int m_bCache = 0;
  cGlyphSheet* m_lpFastFont_Half = nullptr;
  cGlyphSheet* m_lpFastFont_Full = nullptr;

 private:
  struct Target;
  bool UsesIcons(int bNoIcons) const;
  // Glyphs are copied from the sheets: the cache flag is set and the sheets were made.
  bool Caching() const { return m_bCache && m_nCellWidth && m_lpFastFont_Half; }
  void MeasureGlyph(const char* ch, int len, int* w, int* h);
  void DrawWrapped(DDSURFACEDATA* target, int x, int y, const char* text, int len);
  void DrawBody(DDSURFACEDATA* target, int x, int y, const char* text, bool useIcons, DDSURFACEDATA* finalDst,
                int finalX, int finalY);
  void DrawIcons(DDSURFACEDATA* dst, int x, int y, const char* text);
  void DrawChar(DDSURFACEDATA* target, int x, int y, const char* ch, int len, bool wrapScene);
  void DrawTextRaw(DDSURFACEDATA* target, int x, int y, const char* text, int len);
  int LineWidth(const char* text, int len);
  bool CacheFullWidth(const char* ch, DDSURFACEDATA* finalDst, int dx, int dy);
  void DrawSheet(cGlyphSheet* sheet, bool first);
  void DeleteSheets();
};

constexpr int kFontCount = 3;
extern cFont g_Font[kFontCount];
extern FONTINFO g_FontInfo[kFontCount];
extern std::list<cFont*> g_FontList;
extern DDSURFACEDATA g_FastFontSurface[kFontCount];
extern DDSURFACEINFO g_FastFontInfo[kFontCount];
// The full-width characters pre-cached in this order.
extern const char* const g_szFullWidthTable;

int CreateFonts(cFont* fonts, FONTINFO* infos, int count);
int CreateFastFonts(DDSURFACEDATA* strips, DDSURFACEINFO* stripInfos, int count, cFont* fonts, FONTINFO* infos);
void MakeDigitStrip(DDSURFACEDATA* strip, cFont* font);
void ReleaseFont(cFont* font);
// Width and height of a text as font 1 draws it.
void MeasureText(const char* text, int* w, int* h);
// Characters of a line: a double-byte character counts one.
int CountLineChars(const char* text, int len);
// Width and height in pixels of a multi-line text on the font's grid (lines split at line feeds):
// the widest line's character count times the cell width, the number of lines times the line
// height. A text without a line feed is one line, an empty text one empty line.
void GetTextBlockSize(const cFont* font, int* width, int* height, const char* text);
