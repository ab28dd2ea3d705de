// The stage's picture surfaces: the stage's rows of the surface table, the background pictures, the
// shot cell sheets and the database's picture collections.
#include "stage/stage_pictures.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include "core/containers.h"
#include "core/log.h"
#include "data/database.h"
#include "flow/effect_obj.h"
#include "media/graphics/bitmap_copy.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_table.h"
#include "objects/chara_exc_surfaces.h"
#include "objects/graphic_source.h"
#include "objects/shot.h"
#include "stage/back_layers.h"
#include "stage/scene_stage.h"

namespace {

constexpr uint32_t kTransparentColour = 0;

// One surface of a collection entry: which of the entry's files it shows, the DirectDraw memory
// type, the surface of the entry it draws from in Direct3D mode (-1: its own texture) and whether it
// is mirrored by the entry's cell width.
struct cEntrySurface {
  int file;
  int memoryType;
  int drawsFrom;
  bool mirrored;
};

constexpr cEntrySurface kCharaExcSurfaces[] = {{0, 0, -1, false}, {0, 0, 0, true}, {0, 1, 0, false}, {0, 1, 0, true}};
constexpr cEntrySurface kSwordSurfaces[] = {{0, 0, -1, false}, {1, 0, -1, false}, {0, 1, 0, false}, {1, 1, 1, false}};
constexpr cEntrySurface kEffectSurfaces[] = {{0, 0, -1, false}, {0, 1, 0, false}};

// Appends one entry's surfaces to a collection (which has room for them, so that the surfaces the
// later ones draw from stay where they are), creates them and links them.
void LoadEntry(cSurfaceCollection& collection, const cEntrySurface* surfaces, int count, const std::string* files,
               int mirrorX, int optional, const char* failure) {
  const size_t first = collection.m_aSurfaces.size();
  for (int i = 0; i < count; ++i) {
    const cEntrySurface& s = surfaces[i];
    collection.m_aSurfaces.push_back(DDSURFACEDATA{});
    DDSURFACEINFO info{};
    std::snprintf(info.szPath, sizeof info.szPath, "%s", files[s.file].c_str());
    info.bColorKey = 1;
    info.nMemoryType = s.memoryType;
    info.nMemoryKind = 0;
    info.bAlias = lpDTCon && s.drawsFrom >= 0 ? 1 : 0;
    info.bPalMap = 0;
    info.bOptional = optional;
    info.nMirrorX = s.mirrored ? mirrorX : 0;
    info.nMirrorY = 0;
    collection.m_aInfos.push_back(info);
  }
  for (int i = 0; i < count; ++i) {
    DDSURFACEDATA& surface = collection.m_aSurfaces[first + static_cast<size_t>(i)];
    const DDSURFACEINFO& info = collection.m_aInfos[first + static_cast<size_t>(i)];
    const int code =
        DDCreateSurfaceFromFile(&surface, info.szPath, info.bColorKey, g_nDisplayBpp, info.nMemoryType,
                                info.nMemoryKind, info.bAlias, info.bPalMap, info.nMirrorX, info.nMirrorY, 0);
    if (!DDCheckResult(code)) ECLogPrintf(failure, files[surfaces[i].file].c_str());
  }
  for (int i = 0; i < count; ++i) {
    if (surfaces[i].drawsFrom < 0) continue;
    collection.m_aSurfaces[first + static_cast<size_t>(i)].lpAlias =
        &collection.m_aSurfaces[first + static_cast<size_t>(surfaces[i].drawsFrom)];
  }
}

// Releases what the collection held and makes room for `surfaces` entries of the new load.
void StartCollection(cSurfaceCollection& collection, size_t surfaces) {
  collection.Release();
  collection.m_aSurfaces.reserve(surfaces);
  collection.m_aInfos.reserve(surfaces);
}

std::vector<int> RowsOf(std::initializer_list<std::pair<int, int>> ranges) {
  std::vector<int> rows;
  for (const auto& [from, to] : ranges)
    for (int row = from; row <= to; ++row) rows.push_back(row);
  return rows;
}

}  // namespace

void cSurfaceCollection::Release() {
  DDReleaseSurfaceVec(m_aSurfaces);
  m_aSurfaces.clear();
  m_aInfos.clear();
}

// Every row a stage draws from: the block, character, shot and item sheets with their copies, the
// marks, the windows, the status bar, the accessory, symbol and word sheets, the background rows
// and the blank rows (shot cell sheets, view mask and its hole, screen-colour and effect work
// surfaces). The title, menu and world-map rows stay as the menus left them.
const std::vector<int>& StageSurfaceRows() {
  static const std::vector<int> rows = RowsOf({{2, 44}, {46, 47}, {50, 52}, {56, 71}});
  return rows;
}

const std::vector<int>& BackLayerSurfaceRows() {
  static const std::vector<int> rows = RowsOf({{kSlotBackLayer, kSlotBackLayer + kBackLayerSlots - 1}});
  return rows;
}

void SetBackLayerPictures(const std::vector<cBackLayer>& layers) {
  for (int i = 0; i < kBackLayerSlots; ++i) {
    DDSURFACEINFO& info = g_SurfaceInfo[kSlotBackLayer + i];
    const bool picture = static_cast<size_t>(i) < layers.size() && !layers[static_cast<size_t>(i)].m_bColourFill;
    if (!picture) {
      info.szPath[0] = '\0';
      continue;
    }
    std::snprintf(info.szPath, sizeof info.szPath, "%s", layers[static_cast<size_t>(i)].m_strPicture.c_str());
    DDCheckBitmapSize(&info.nMemoryType, info.szPath, 640, 480);
  }
}

void BuildShotCellSheets() {
  DDSURFACEDATA* sheets[2] = {&g_SurfaceData[kSlotShotCells], &g_SurfaceData[kSlotShotCellsMirrored]};
  DDSURFACEDATA* sources[2] = {&g_SurfaceData[kSlotShotSheet], &g_SurfaceData[kSlotShotSheet + 1]};
  for (DDSURFACEDATA* sheet : sheets) DDFillRect(sheet, 0, 0, sheet->nWidth, sheet->nHeight, kTransparentColour);
  for (int c = 0; c < 30; ++c) {
    for (int d = 0; d < 4; ++d) {
      for (int k = 0; k < 2; ++k) {
        DDBlt(sheets[k], 8 + 64 * d, 8 + 32 * c, 16, 16, sources[k], 32 * d, 16 * c, 1);
        DDBlt(sheets[k], 40 + 64 * d, 8 + 32 * c, 16, 16, sources[k], 32 * d + 16, 16 * c, 1);
      }
    }
  }
}

void LoadCharaExcBitmaps(cSurfaceCollection& collection) {
  const std::vector<cBmpCharaExcData>& list = g_Database.m_aBmpCharaExc;
  const int n = static_cast<int>(list.size());
  StartCollection(collection, n > 1 ? 4 * static_cast<size_t>(n - 1) : 0);
  for (int k = 1; k < n; ++k) {
    const cBmpCharaExcData& entry = VecAt(list, k);
    // The cell width the mirrored surfaces turn by; a unit count from a damaged file that gives no
    // cell turns by single blocks.
    const int64_t units = entry.m_nCellUnits;
    const int mirrorX = entry.m_bCellSize && units > 0 && units <= 64 ? static_cast<int>(32 * units) : 32;
    LoadEntry(collection, kCharaExcSurfaces, 4, &entry.m_strFileName, mirrorX, 0, "専用bmp %s 読み込み失敗！");
  }
}

void LoadSwordBitmaps(cSurfaceCollection& collection) {
  const std::vector<cSwordTypeData>& list = g_Database.m_aSwordType;
  StartCollection(collection, 4 * list.size());
  for (int k = 0; k < static_cast<int>(list.size()); ++k) {
    const cSwordTypeData& entry = VecAt(list, k);
    // The record's two picture files: the second and the third of its texts.
    const std::string files[2] = {entry.m_strText2, entry.m_strPicture};
    LoadEntry(collection, kSwordSurfaces, 4, files, 0, 0, "ソード %s 読み込み失敗！");
  }
}

void LoadEffectBitmaps(cSurfaceCollection& collection) {
  const std::vector<cEffectData>& list = g_Database.m_aEffect;
  const int n = static_cast<int>(list.size());
  StartCollection(collection, n > 1 ? 2 * static_cast<size_t>(n - 1) : 0);
  for (int k = 1; k < n; ++k) {
    const cEffectData& entry = VecAt(list, k);
    LoadEntry(collection, kEffectSurfaces, 2, &entry.m_strPicture, 0, 1, "エフェクト %s 読み込み失敗！");
  }
}

bool cSceneStage::LoadStagePictures(bool again) {
  SelectIconSurfaces();
  SetBackLayerPictures(g_StageFile.m_aLayers);
  m_BackTiles.Release();
  const std::vector<int>& rows = again ? BackLayerSurfaceRows() : StageSurfaceRows();
  if (!DDLoadSurfaces(g_SurfaceData, rows.data(), static_cast<int>(rows.size()))) {
    FatalStop();
    return false;
  }
  if (again) return true;
  BuildShotCellSheets();
  LoadCharaExcBitmaps(m_CharaExcPictures);
  LoadSwordBitmaps(m_SwordPictures);
  LoadEffectBitmaps(m_EffectPictures);
  UseCharaExcSurfaces(&m_CharaExcPictures.m_aSurfaces);
  UseSwordSurfaces(&m_SwordPictures.m_aSurfaces);
  UseEffectSurfaces(&m_EffectPictures.m_aSurfaces);
  m_bPicturesInUse = 1;
  return true;
}

void cSceneStage::ClearScreenPictures() {
  DDReleaseSurfaceList(m_PictureSurfaces);
  m_PictureSurfaces.clear();
  m_PictureSurfaceInfos.clear();
  m_Pictures.clear();
}

void cSceneStage::ClearMesPictures() {
  // The windows that drew from these surfaces are gone already.
  DDReleaseSurfaceList(m_MesSurfaces);
  m_MesSurfaces.clear();
  m_MesSurfaceInfos.clear();
}
