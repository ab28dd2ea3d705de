// The stage's background layers: their own scrolling, the tiling of their pictures over the screen
// and the two drawing passes.
#include "stage/back_layers.h"

#include <algorithm>

#include "core/numbers.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/layer.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_table.h"
#include "stage/scene_stage.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kCell = 32;
constexpr uint32_t kTransparentColour = 0;

// v mod size, made non-negative (size > 0).
int Wrap(int v, int size) { return ((v % size) + size) % size; }

// The number of whole pictures to repeat along one axis of a work tile.
int Repeats(int size) { return size >= kBackTileMinSize ? 1 : (kBackTileMinSize + size - 1) / size; }

// The first eight layers of the stage's list.
int LayerCount(const std::vector<cBackLayer>& layers) {
  return static_cast<int>(std::min<size_t>(layers.size(), kBackLayerSlots));
}

bool HoldsPicture(const DDSURFACEDATA& surface) {
  return (surface.lpDT || surface.lpDD) && surface.nWidth > 0 && surface.nHeight > 0;
}

}  // namespace

int BackLayerStartX(const cBackLayer& layer, const cScrollAxis& axis) {
  const int left = TruncToInt(axis.m_dPosition + 0.5) - kCell * axis.m_nMarginCells;
  return TruncToInt(left * layer.m_dFactorX + (layer.m_bAutoScrollX ? layer.m_dAutoOffsetX : 0.0));
}

int BackLayerStartY(const cBackLayer& layer, const cScrollAxis& axis) {
  const int top = TruncToInt(axis.m_dPosition) - kCell * axis.m_nMarginCells;
  return TruncToInt(top * layer.m_dFactorY + (layer.m_bAutoScrollY ? layer.m_dAutoOffsetY : 0.0));
}

double ScrollBackOffset(double offset, double speed, int size) {
  offset -= speed;
  if (offset < 0) {
    offset += size;
  } else if (offset >= size) {
    offset -= size;
  }
  return offset;
}

int TileBackPicture(DDSURFACEDATA* dst, DDSURFACEDATA* src, int w, int h, int x0, int y0, int flags) {
  if (w <= 0 || h <= 0) return 0;
  int blits = 0;
  int sy = Wrap(y0, h);
  int rowHeight = h - sy;
  int y = 0;
  for (int row = 0; row < kBackTileLimit; ++row) {
    int sx = Wrap(x0, w);
    int tileWidth = w - sx;
    int x = 0;
    for (int tile = 0; tile < kBackTileLimit; ++tile) {
      DDBlt(dst, x, y, tileWidth, rowHeight, src, sx, sy, flags);
      ++blits;
      x += tileWidth;
      if (x >= kScreenWidth) break;
      sx = 0;
      tileWidth = w;
    }
    y += rowHeight;
    if (y >= kScreenHeight) break;
    sy = 0;
    rowHeight = h;
  }
  return blits;
}

DDSURFACEDATA* cBackTiles::Source(int layer, int& w, int& h) {
  if (layer < 0 || layer >= kBackLayerSlots) return nullptr;
  DDSURFACEDATA* picture = &g_SurfaceData[kSlotBackLayer + layer];
  if (!HoldsPicture(*picture)) return nullptr;
  w = picture->nWidth;
  h = picture->nHeight;
  const int across = Repeats(w);
  const int down = Repeats(h);
  if (across == 1 && down == 1) return picture;
  DDSURFACEDATA* tile = &m_aRepeated[layer];
  const bool current =
      HoldsPicture(*tile) && !tile->bContentsLost && m_anPictureW[layer] == w && m_anPictureH[layer] == h;
  if (!current) {
    DDReleaseSurface(tile);
    m_anPictureW[layer] = m_anPictureH[layer] = 0;
    // A keyed surface covered with copies of the picture that keep its transparent pixels. Textures
    // take keyed copies onto a tile cleared to transparent black; a DirectDraw surface takes plain
    // copies, since its transparent colour is the palette bitmap's corner pixel, which palette
    // colour 0 need not be.
    if (!DDCreateSurface(tile, across * w, down * h, 1, 1, 0, 0, 0)) return picture;
    const int copyFlags = lpDTCon ? 1 : 0;
    if (lpDTCon) DDFillRect(tile, 0, 0, across * w, down * h, kTransparentColour);
    for (int j = 0; j < down; ++j)
      for (int i = 0; i < across; ++i) DDBlt(tile, i * w, j * h, w, h, picture, 0, 0, copyFlags);
    tile->bContentsLost = 0;
    m_anPictureW[layer] = w;
    m_anPictureH[layer] = h;
  }
  w *= across;
  h *= down;
  return tile;
}

void cBackTiles::Release() {
  for (int i = 0; i < kBackLayerSlots; ++i) {
    DDReleaseSurface(&m_aRepeated[i]);
    m_anPictureW[i] = m_anPictureH[i] = 0;
  }
}

void cSceneStage::ScrollBackLayers() {
  if (m_nPhase == kStagePhasePauseMenu) return;
  std::vector<cBackLayer>& layers = g_StageFile.m_aLayers;
  for (int i = 0; i < LayerCount(layers); ++i) {
    cBackLayer& layer = layers[static_cast<size_t>(i)];
    const DDSURFACEDATA& picture = g_SurfaceData[kSlotBackLayer + i];
    if (layer.m_bAutoScrollX)
      layer.m_dAutoOffsetX = ScrollBackOffset(layer.m_dAutoOffsetX, layer.m_dAutoSpeedX, picture.nWidth);
    if (layer.m_bAutoScrollY)
      layer.m_dAutoOffsetY = ScrollBackOffset(layer.m_dAutoOffsetY, layer.m_dAutoSpeedY, picture.nHeight);
  }
}

void cSceneStage::DrawBackLayers(DDSURFACEDATA* surface, int group) {
  const std::vector<cBackLayer>& layers = g_StageFile.m_aLayers;
  const int count = LayerCount(layers);
  if (group == 0 &&
      std::none_of(layers.begin(), layers.begin() + count, [](const cBackLayer& layer) { return layer.m_bShown; })) {
    DDFillRect(surface, 0, 0, kScreenWidth, kScreenHeight, kBackdropColour);
    return;
  }
  int drawn = 0;
  for (int i = 0; i < count; ++i) {
    const cBackLayer& layer = layers[static_cast<size_t>(i)];
    if (!layer.m_bShown || layer.m_nGroup != group) continue;
    if (layer.m_bColourFill) {
      DDFillRect(surface, 0, 0, kScreenWidth, kScreenHeight, static_cast<uint32_t>(layer.m_nColour));
      ++drawn;
      continue;
    }
    int w = 0, h = 0;
    DDSURFACEDATA* source = m_BackTiles.Source(i, w, h);
    if (!source) continue;
    // The first layer drawn behind everything is copied opaque; every other one keeps its
    // transparent pixels.
    const int flags = group == 0 && drawn == 0 ? 0 : 1;
    DDBeginLayer(0);
    TileBackPicture(surface, source, w, h, BackLayerStartX(layer, m_ScrollX), BackLayerStartY(layer, m_ScrollY), flags);
    DDEndLayer();
    ++drawn;
  }
  if (group == 0 && drawn == 0) DDFillRect(surface, 0, 0, kScreenWidth, kScreenHeight, kBackdropColour);
}
