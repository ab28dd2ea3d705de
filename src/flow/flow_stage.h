#pragma once
// The stage state as flows see it: the objects' part (cStageState) and what only flows, messages
// and pictures use: the message windows with their surface pool, the running effects, the shown
// pictures with their surfaces, the screen effect and the modal wait. The stage-play scene derives
// from it (the flow layer's test harness plays on one); whoever owns one publishes it in g_lpSceneStage
// while it is played.
#include <list>

#include "data/anim_scripts.h"
#include "flow/effect_obj.h"
#include "flow/game_wait.h"
#include "flow/mes_window.h"
#include "flow/screen_picture.h"
#include "media/graphics/surface_data.h"
#include "objects/stage_state.h"

class cFlowStage : public cStageState {
 public:
  cFlowStage() = default;
  // Releases the surfaces of the message pool and of the pictures.
  ~cFlowStage() override;

  std::list<cMesWindow> m_MesWindows;              // message windows in draw order
  std::list<DDSURFACEDATA> m_MesSurfaces;          // the message surface pool shared by the text windows
  std::list<DDSURFACEINFO> m_MesSurfaceInfos;      // its descriptors
  std::list<cEffectObj> m_Effects;                 // running effect objects
  std::list<cScreenPicture> m_Pictures;            // shown pictures
  std::list<DDSURFACEDATA> m_PictureSurfaces;      // their surfaces, in the same order
  std::list<DDSURFACEINFO> m_PictureSurfaceInfos;  // their descriptors
  cScrEffectPlay m_ScrEffect;                      // the running screen effect
  cGameWait m_GameWait;                            // the modal wait (its selection is the chosen choice)
  int32_t m_nLastMesHandle = 0;                    // handle of the last message window made
};

// The published stage as the flow layer's stage: null outside stage play, and while the published
// stage is only the objects' part (the objects' tests).
inline cFlowStage* FlowStage() { return dynamic_cast<cFlowStage*>(g_lpSceneStage); }
