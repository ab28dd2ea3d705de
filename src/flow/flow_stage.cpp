#include "flow/flow_stage.h"

#include "media/graphics/surface.h"

cFlowStage::~cFlowStage() {
  DDReleaseSurfaceList(m_MesSurfaces);
  DDReleaseSurfaceList(m_PictureSurfaces);
}
