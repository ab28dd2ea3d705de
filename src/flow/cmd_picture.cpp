// "ピクチャーの表示": shows a database picture on the stage screen (a numbered one replaces the
// picture of its number in place, keeping the surface when the file is the same), erases pictures,
// and waits for a picture when asked. The stage keeps the pictures and their surfaces in two
// parallel lists (and the surfaces' descriptors in a third).
#include <cstdint>
#include <cstring>
#include <iterator>
#include <list>
#include <string>

#include "core/containers.h"
#include "core/log.h"
#include "data/database.h"
#include "flow/flow_stage.h"
#include "flow/object_cmds.h"
#include "media/graphics/display.h"
#include "media/graphics/surface.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "objects/stage_hooks.h"

namespace {

// Picture wait modes (P8).
constexpr int kWaitForKey = 0;
constexpr int kWaitForTime = 2;

// The three lists move together: one position in each.
struct cPictureSlot {
  std::list<cScreenPicture>::iterator picture;
  std::list<DDSURFACEDATA>::iterator surface;
  std::list<DDSURFACEINFO>::iterator info;
};

// The first picture, with its surface, that is numbered with the number; end when none is. Older
// lists may lack descriptors: their iterator is then end.
bool FindNumbered(cFlowStage& stage, int number, cPictureSlot& slot) {
  auto surface = stage.m_PictureSurfaces.begin();
  auto info = stage.m_PictureSurfaceInfos.begin();
  for (auto it = stage.m_Pictures.begin(); it != stage.m_Pictures.end(); ++it) {
    if (it->m_bNumbered && it->m_nNumber == number) {
      slot = {it, surface, info};
      return true;
    }
    if (surface != stage.m_PictureSurfaces.end()) ++surface;
    if (info != stage.m_PictureSurfaceInfos.end()) ++info;
  }
  return false;
}

void RemoveSlot(cFlowStage& stage, const cPictureSlot& slot) {
  stage.m_Pictures.erase(slot.picture);
  if (slot.surface != stage.m_PictureSurfaces.end()) {
    DDReleaseSurface(&*slot.surface);
    stage.m_PictureSurfaces.erase(slot.surface);
  }
  if (slot.info != stage.m_PictureSurfaceInfos.end()) stage.m_PictureSurfaceInfos.erase(slot.info);
}

void RemoveAll(cFlowStage& stage) {
  DDReleaseSurfaceList(stage.m_PictureSurfaces);
  stage.m_PictureSurfaces.clear();
  stage.m_PictureSurfaceInfos.clear();
  stage.m_Pictures.clear();
}

// The picture's surface from its file, colour-keyed. A file that cannot be read is reported and the
// picture left out: a game whose picture went missing plays on.
bool LoadPictureSurface(DDSURFACEDATA& surface, const std::string& file) {
  DDInitSurfaceData(&surface);
  if (DDCreateSurfaceFromFile(&surface, file.c_str(), 1, g_nDisplayBpp, 0, 0, 0, 0, 0, 0, 0) == 0) return true;
  DDReleaseSurface(&surface);
  LogPrintf("%s 読み込み失敗！", file.c_str());
  return false;
}

DDSURFACEINFO PictureInfo(const DDSURFACEDATA& surface, const std::string& file) {
  DDSURFACEINFO info{};
  std::strncpy(info.szPath, file.c_str(), sizeof info.szPath - 1);
  info.bColorKey = 1;
  info.nWidth = surface.nWidth;
  info.nHeight = surface.nHeight;
  return info;
}

// The character id a picture follows (anchors 1 the actor, 2 the hero), or 0.
int AnchorId(const cCharaBase& actor, int anchor) {
  if (anchor == 1) return actor.m_nNumber;
  if (anchor == 2 && !g_HeroList.empty()) return g_HeroList[0].m_nNumber;
  return 0;
}

// Removes the picture that waited, when the stage still shows it.
void RemoveWaitedPicture(cFlowStage& stage, const cScreenPicture* shown) {
  auto surface = stage.m_PictureSurfaces.begin();
  auto info = stage.m_PictureSurfaceInfos.begin();
  for (auto it = stage.m_Pictures.begin(); it != stage.m_Pictures.end(); ++it) {
    if (&*it == shown) {
      RemoveSlot(stage, {it, surface, info});
      return;
    }
    if (surface != stage.m_PictureSurfaces.end()) ++surface;
    if (info != stage.m_PictureSurfaceInfos.end()) ++info;
  }
}

}  // namespace

int CmdShowPicture(cCharaBase& actor, cFlowCmd& cmd) {
  cFlowStage* stage = FlowStage();
  if (!stage || stage->m_bAbort) return 0;
  const int picture = Param(cmd, 0);
  const bool numbered = Param(cmd, 12) != 0;
  const int number = Param(cmd, 13);

  cPictureSlot replaced;
  const bool replacing = numbered && FindNumbered(*stage, number, replaced);
  if (picture == 0) {
    if (!numbered)
      RemoveAll(*stage);
    else if (replacing)
      RemoveSlot(*stage, replaced);
    return 0;
  }
  if (picture < 0 || static_cast<size_t>(picture) >= g_Database.m_aPicture.size()) {
    LogPrintf("picture %d does not exist (%zu entries): not shown", picture, g_Database.m_aPicture.size());
    return 0;
  }
  const std::string& file = g_Database.m_aPicture[static_cast<size_t>(picture)].m_strFileName;

  // The new picture takes the replaced one's place in the lists, or goes last.
  auto picturePos = stage->m_Pictures.end();
  auto surfacePos = stage->m_PictureSurfaces.end();
  auto infoPos = stage->m_PictureSurfaceInfos.end();
  bool reused = false;
  if (replacing) {
    picturePos = stage->m_Pictures.erase(replaced.picture);
    if (replaced.surface != stage->m_PictureSurfaces.end()) {
      reused = file == replaced.surface->szPath;
      if (reused) {
        surfacePos = replaced.surface;
      } else {
        DDReleaseSurface(&*replaced.surface);
        surfacePos = stage->m_PictureSurfaces.erase(replaced.surface);
      }
    }
    if (replaced.info != stage->m_PictureSurfaceInfos.end()) {
      infoPos = reused ? replaced.info : stage->m_PictureSurfaceInfos.erase(replaced.info);
    }
  }
  if (!reused) {
    // Made in its list node: the graphics layer keeps the record's address.
    surfacePos = stage->m_PictureSurfaces.emplace(surfacePos);
    if (!LoadPictureSurface(*surfacePos, file)) {
      stage->m_PictureSurfaces.erase(surfacePos);
      return 0;
    }
    infoPos = stage->m_PictureSurfaceInfos.insert(infoPos, PictureInfo(*surfacePos, file));
  }
  DDSURFACEDATA& surface = *surfacePos;

  const int displayTime = Param(cmd, 14) ? 1 : Param(cmd, 9) * 6;
  const int anchor = Param(cmd, 1);
  const int anchorId = AnchorId(actor, anchor);
  cScreenPicture shown(picture, anchor, Param(cmd, 15), Param(cmd, 2), Param(cmd, 3), Param(cmd, 4), Param(cmd, 5),
                       surface.nWidth, surface.nHeight, Param(cmd, 11), Param(cmd, 6), Param(cmd, 7), Param(cmd, 8),
                       displayTime, Param(cmd, 10), anchorId, numbered ? 1 : 0, number);
  // A picture that follows a character starts at the character's centre.
  if (anchor == 1 || anchor == 2) shown.GetScreenPictureAnchor(shown.m_nX, shown.m_nY);
  const cScreenPicture* placed = &*stage->m_Pictures.insert(picturePos, shown);

  if (Param(cmd, 10)) {
    // A picture shown until the stage ends ("ステージ終了まで表示", or any other mode) arms no wait
    // of its own: waiting would run on whatever wait was armed last. It stays, as without the wait.
    const int mode = Param(cmd, 8);
    if (mode != kWaitForKey && mode != kWaitForTime) return 0;
    if (mode == kWaitForKey)
      SetupGameWait(kWaitPicture, 1, 0, 0, nullptr);
    else
      SetupGameWait(kWaitPicture, 0, displayTime, 0, nullptr);
    RunModalWait(0);
    RemoveWaitedPicture(*stage, placed);
  }
  return 0;
}
