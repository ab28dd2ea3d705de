// Setting up a message window: its values, its formatted and measured text and its surface in the
// stage's message surface pool; finding a window again by its handle; the rising item picture.
#include "flow/mes_window.h"

#include <algorithm>
#include <iterator>

#include "core/containers.h"
#include "core/log.h"
#include "flow/flow_stage.h"
#include "media/graphics/blit.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"
#include "media/graphics/surface.h"
#include "media/graphics/surface_table.h"
#include "objects/chara_base.h"

namespace {

// Life of the rising item picture, in frames.
constexpr int kItemMesLife = 30;

// Text surfaces go to system memory when less than a fifth of the video memory is free.
int MesSurfaceMemoryKind() {
  if (!lpDTCon) return DTMEMORYTYPE_VIDEO_RT;
  int total = 0, free = 0;
  GetVideoMemoryMB(&total, &free);
  return free * 5 < total ? DTMEMORYTYPE_SYSTEM : DTMEMORYTYPE_VIDEO_RT;
}

}  // namespace

cMesWindow::cMesWindow(const MESWINDOWARGS& args) {
  if (cFlowStage* stage = FlowStage()) m_nHandle = ++stage->m_nLastMesHandle;
  SetupMes(args, 1);
}

void cMesWindow::ResetMesWindow(const MESWINDOWARGS& args) { SetupMes(args, 0); }

void cMesWindow::SetupMes(const MESWINDOWARGS& args, int firstSetup) {
  m_nKind = args.nKind;
  m_strText = args.strText;
  m_strSource = args.strText;
  std::copy(std::begin(args.anGraphic), std::end(args.anGraphic), m_anGraphic);
  m_nAnchor = args.nAnchor;
  m_nUnit = args.nUnit;
  m_nPosX = args.nPosX;
  m_nPosY = args.nPosY;
  m_nOffsetX = args.nOffsetX;
  m_nOffsetY = args.nOffsetY;
  m_bClampToScreen = args.bClampToScreen;
  m_bFixed = args.bFixed;
  m_nCloseMode = args.nCloseMode;
  m_nLife = args.nLifeFrames;
  m_bCountWhileHeld = args.bCountWhileHeld;
  m_nTarget = args.nTarget;
  m_bExpandCodes = args.bExpandCodes;
  m_bRefresh = args.bRefresh;
  m_nRefreshFrames = args.nRefreshFrames;
  m_bBox = args.bBox;
  m_bNumbered = args.bNumbered;
  m_nNumber = args.nNumber;
  // Only a window closed by a key offers choices.
  m_bChoices = m_nCloseMode == 0 ? args.bChoices : 0;
  m_bPlaced = false;

  if (m_bExpandCodes || m_bChoices) FormatMesText(m_strText, m_bExpandCodes, m_bChoices, args.lpChoices, 0);
  if (m_nKind == kMesText) {
    MeasureText(m_strText, m_nWidth, m_nHeight);
  } else if (m_nKind == kMesGraphic || m_nKind == kMesExtraLife) {
    m_nWidth = 16;
    m_nHeight = 16;
  }
  m_dOpen = 0.0;
  m_bOpening = m_nCloseMode == 0 && !args.bNoOpening;

  if (m_nKind != kMesText) return;
  if (firstSetup) {
    cFlowStage* stage = FlowStage();
    AllocMesSurface(stage ? static_cast<int>(stage->m_MesSurfaces.size()) : 0);
  }
  RenderMesText(m_lpSurface);
}

void cMesWindow::AllocMesSurface(int slot) {
  cFlowStage* stage = FlowStage();
  if (!stage) return;
  std::list<DDSURFACEDATA>& pool = stage->m_MesSurfaces;
  std::list<DDSURFACEINFO>& infos = stage->m_MesSurfaceInfos;
  const int kind = MesSurfaceMemoryKind();
  bool made = false;
  if (slot >= static_cast<int>(pool.size()) || slot < 0) {
    made = DDPushSurfaceList(pool, infos, m_nWidth, m_nHeight, 1, 0, kind, 0);
    m_lpSurface = &pool.back();
    m_lpSurfaceInfo = &infos.back();
  } else {
    DDSURFACEDATA& surface = ListAtSurfaceData(pool, slot);
    DDReleaseSurface(&surface);
    made = DDCreateSurface(&surface, m_nWidth, m_nHeight, 1, 0, kind, 0, 0);
    m_lpSurface = &surface;
    m_lpSurfaceInfo = slot < static_cast<int>(infos.size()) ? &*std::next(infos.begin(), slot) : nullptr;
  }
  if (!made) FatalStop();
}

void cMesWindow::RenderMesText(DDSURFACEDATA* surface) {
  if (!surface) return;
  if (!(lpDTCon && g_nDisplayBpp == 8)) DDFillSurface(surface, 0);
  if (m_bBox) {
    g_Font[1].DrawBoxString(surface, 1, 1, 0, 0, m_strText.c_str(), 0);
  } else {
    g_Font[1].DrawString(surface, 1, 1, m_strText.c_str(), 0);
  }
}

void cMesWindow::ReleaseMesSurface() {
  if (!m_lpSurface) return;
  if (cFlowStage* stage = FlowStage()) DDEraseSurface(stage->m_MesSurfaces, stage->m_MesSurfaceInfos, m_lpSurface);
  m_lpSurface = nullptr;
  m_lpSurfaceInfo = nullptr;
}

std::list<cMesWindow>::iterator FindMesWindow(std::list<cMesWindow>& windows, int32_t handle) {
  return std::find_if(windows.begin(), windows.end(), [&](const cMesWindow& w) { return w.m_nHandle == handle; });
}

void AppendItemMesWindow(const cCharaBase& hero, int kind, int number, int pattern) {
  cFlowStage* stage = FlowStage();
  if (!stage) return;
  MESWINDOWARGS args;
  args.nKind = kMesGraphic;
  args.anGraphic[0] = kind;
  args.anGraphic[1] = number;
  args.anGraphic[2] = pattern;
  args.nAnchor = 4;
  args.bFixed = 1;
  args.nCloseMode = 2;
  args.nLifeFrames = kItemMesLife;
  args.bCountWhileHeld = 0;
  args.nTarget = hero.m_nNumber;
  stage->m_MesWindows.emplace_back(args);
}
