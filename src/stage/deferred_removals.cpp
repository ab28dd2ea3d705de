#include "stage/deferred_removals.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <vector>

#include "flow/flow_stage.h"
#include "media/graphics/surface.h"
#include "objects/chara.h"
#include "objects/play_objects.h"
#include "stage/chara_removal.h"

namespace {

// Only the thread that runs game frames touches these: the game thread sets the depth before it
// starts the waiting thread and clears it after that thread has ended.
int g_nDeferDepth = 0;

// What is marked. Characters and windows are named by their ids, which no later element reuses
// within a stage, so an element that a command removes meanwhile cannot be mistaken for a new one.
// Pictures have no id: a marked picture carries a display time no command gives (below), which a
// new picture at a reused address does not have.
std::vector<int32_t> g_anCharaIds;
std::vector<int32_t> g_anMesHandles;
std::vector<const cScreenPicture*> g_apPictures;

void AddOnce(std::vector<int32_t>& ids, int32_t id) {
  if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
}

bool Contains(const std::vector<int32_t>& ids, int32_t id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// A window or picture marked for removal reports itself finished on every later draw without
// drawing, also in frames outside play.
void MarkFinished(cMesWindow& window) {
  window.m_nCloseMode = 2;
  window.m_bCountWhileHeld = 1;
  window.m_nLife = INT32_MIN;
}
void MarkExpired(cScreenPicture& picture) {
  picture.m_nDisplayMode = 2;
  picture.m_bCountWhileHeld = 1;
  picture.m_nDisplayTime = INT32_MIN;
}
bool CarriesExpiryMark(const cScreenPicture& picture) {
  return picture.m_nDisplayMode == 2 && picture.m_bCountWhileHeld == 1 && picture.m_nDisplayTime == INT32_MIN;
}

}  // namespace

bool RemovalsDeferred() { return g_nDeferDepth > 0; }

cDeferRemovals::cDeferRemovals() { ++g_nDeferDepth; }
cDeferRemovals::~cDeferRemovals() { --g_nDeferDepth; }

std::list<cChara>::iterator RemoveDrawnChara(std::list<cChara>::iterator pos) {
  if (!RemovalsDeferred()) return RemoveCharaQuietly(pos);
  AddOnce(g_anCharaIds, pos->m_nNumber);
  return std::next(pos);
}

std::list<cMesWindow>::iterator RemoveFinishedMesWindow(cFlowStage& stage, std::list<cMesWindow>::iterator pos) {
  if (!RemovalsDeferred()) {
    pos->ReleaseMesSurface();
    return stage.m_MesWindows.erase(pos);
  }
  MarkFinished(*pos);
  AddOnce(g_anMesHandles, pos->m_nHandle);
  return std::next(pos);
}

std::list<cScreenPicture>::iterator RemoveExpiredPicture(cFlowStage& stage, std::list<cScreenPicture>::iterator pos,
                                                         DDSURFACEDATA* surface) {
  if (!RemovalsDeferred()) {
    if (surface) DDEraseSurface(stage.m_PictureSurfaces, stage.m_PictureSurfaceInfos, surface);
    return stage.m_Pictures.erase(pos);
  }
  MarkExpired(*pos);
  if (std::find(g_apPictures.begin(), g_apPictures.end(), &*pos) == g_apPictures.end()) g_apPictures.push_back(&*pos);
  return std::next(pos);
}

void FlushDeferredRemovals(cFlowStage& stage) {
  if (RemovalsDeferred()) return;  // still inside a wait: the boundary comes later
  if (!g_anCharaIds.empty()) {
    for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
      // Only a dead character was marked; one that is alive again is not removed.
      it = it->m_bDead && Contains(g_anCharaIds, it->m_nNumber) ? RemoveCharaQuietly(it) : std::next(it);
    }
  }
  if (!g_anMesHandles.empty()) {
    for (auto it = stage.m_MesWindows.begin(); it != stage.m_MesWindows.end();) {
      if (Contains(g_anMesHandles, it->m_nHandle)) {
        it->ReleaseMesSurface();
        it = stage.m_MesWindows.erase(it);
      } else {
        ++it;
      }
    }
  }
  if (!g_apPictures.empty()) {
    auto surface = stage.m_PictureSurfaces.begin();
    for (auto it = stage.m_Pictures.begin(); it != stage.m_Pictures.end();) {
      const bool hasSurface = surface != stage.m_PictureSurfaces.end();
      auto nextSurface = hasSurface ? std::next(surface) : surface;
      const bool marked = std::find(g_apPictures.begin(), g_apPictures.end(), &*it) != g_apPictures.end();
      if (marked && CarriesExpiryMark(*it)) {
        if (hasSurface) DDEraseSurface(stage.m_PictureSurfaces, stage.m_PictureSurfaceInfos, &*surface);
        it = stage.m_Pictures.erase(it);
      } else {
        ++it;
      }
      surface = nextSurface;
    }
  }
  ForgetDeferredRemovals();
}

void ForgetDeferredRemovals() {
  g_anCharaIds.clear();
  g_anMesHandles.clear();
  g_apPictures.clear();
}

int CountDeferredRemovals() {
  return static_cast<int>(g_anCharaIds.size() + g_anMesHandles.size() + g_apPictures.size());
}
