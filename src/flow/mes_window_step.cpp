// One frame of a message window as the stage draws it: age, refresh, place and draw, looking up the
// character the window stands by.
#include "flow/mes_window.h"
#include "objects/chara_base.h"
#include "objects/draw_modes.h"

int cMesWindow::StepMesWindow(DDSURFACEDATA* target, int hold) {
  if (AgeMesWindow(hold)) return 1;
  RefreshMesText();
  const cCharaBase* anchor = m_nAnchor >= 1 && m_nAnchor <= 6 ? FindCharaById(m_nTarget) : nullptr;
  int x = 0, y = 0;
  if (!PlaceMesWindow(anchor, x, y)) return 1;
  if (m_nKind == kMesGraphic) {
    DrawGraphicRef(target, x, y - RiseOffset(), m_anGraphic[0], m_anGraphic[1], m_anGraphic[2]);
  } else {
    DrawMesWindow(target, x, y);
  }
  return 0;
}
