#include "test_support/unwritten_placeholders.h"

#include "flow/effect_obj.h"

__attribute__((weak))
cEffectObj::cEffectObj(int effect, double x, double y, int width, int height, int layer, int runWhileHeld)
    : m_nEffect(effect),
      m_dX(x),
      m_dY(y),
      m_nWidth(width),
      m_nHeight(height),
      m_nLayer(layer),
      m_bRunWhileHeld(runWhileHeld) {}
