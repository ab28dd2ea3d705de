#pragma once
// Shared set-up of the character drawing tests: a stage-logic harness whose drawing is recorded,
// sheets of the surface table that "hold a picture" without a display (so that the graphic look-up
// finds its cells), a character placed on screen by hand, and the recorded calls written as text:
//   "DDBlt(BB<-S4: 100,200,32,32,96,64,1)"  (BB the back buffer, Sn slot n of the surface table).
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "data/database.h"
#include "media/graphics/display.h"
#include "media/graphics/surface_table.h"
#include "objects/chara.h"
#include "objects/chara_base.h"
#include "objects/draw_modes.h"
#include "objects/graphic_source.h"
#include "objects/hero.h"
#include "test_support/stage_harness.h"

namespace drawtest {

inline std::string SurfaceName(const DDSURFACEDATA* sd) {
  if (!sd) return "-";
  if (sd == &g_BackBufferSD) return "BB";
  if (sd >= g_SurfaceData && sd < g_SurfaceData + kSurfaceTableSize) return "S" + std::to_string(sd - g_SurfaceData);
  return "?";
}

inline std::string Describe(const DDTRACECALL& call) {
  std::ostringstream out;
  out << call.strName << "(";
  if (call.lpDst || call.lpSrc) {
    out << SurfaceName(call.lpDst);
    if (call.lpSrc) out << "<-" << SurfaceName(call.lpSrc);
    out << ": ";
  }
  for (size_t i = 0; i < call.adArgs.size(); ++i) out << (i ? "," : "") << call.adArgs[i];
  out << ")";
  return out.str();
}

inline std::vector<std::string> Describe(const std::vector<DDTRACECALL>& calls) {
  std::vector<std::string> out;
  for (const DDTRACECALL& call : calls) out.push_back(Describe(call));
  return out;
}

// A harness with a hero and a character; the character stands at screen (100, 200) with a 32 x 32
// graphic: character 2 of the first sheet (row 2, 64 dots down), pattern 0 unless a test sets one.
class CharaDrawTest : public ::testing::Test {
 protected:
  CharaDrawTest() : h({"H.C"}) {}
  void SetUp() override {
    ClearSlots();
    for (int slot : {4, 5, 6, 7, 22, 23}) Give(slot, 640, 480);
    Give(kSlotGaugeSheet, 256, 224);
    SelectIconSurfaces();
    Place(Chara());
    h.ClearTraces();
  }
  void TearDown() override {
    ClearSlots();
    SelectIconSurfaces();
  }
  static void ClearSlots() {
    for (DDSURFACEDATA& sd : g_SurfaceData) std::memset(&sd, 0, sizeof sd);
  }
  static void Give(int slot, int w, int h) {
    static DDRAWSURFACEDATA half;
    g_SurfaceData[slot].lpDD = &half;
    g_SurfaceData[slot].nWidth = w;
    g_SurfaceData[slot].nHeight = h;
  }
  static void Place(cCharaBase& c, int scale = 1) {
    c.m_ScreenRect = {100, 200, 100 + 32 * scale - 1, 200 + 32 * scale - 1};
    c.m_nGraphicWidth = c.m_nGraphicHeight = 32 * scale;
    c.m_nBaseGraphicWidth = c.m_nBaseGraphicHeight = 32;
    c.m_Type.m_nScale = static_cast<int8_t>(scale);
    c.m_Type.m_nGraphicKind = kGraphicKindChara;
    c.m_Type.m_nGraphic = 2;
    c.m_Type.m_nGraphicSub = 0;
    c.m_nAnimeSet = 0;
    c.m_nControl = 1;
    c.m_nFacing = 0;
  }
  // Starts an effect of the given kind and parameters (parameter 1 first) on a character, with its
  // value at v, running from 0 to 100 by 1 a frame.
  void StartEffect(cCharaBase& c, int kind, std::vector<int> params, double v) {
    m_Effect.m_nKind = kind;
    for (size_t i = 0; i < 5; ++i) m_Effect.m_anParams[i] = i < params.size() ? params[i] : 0;
    cCharaEffectPlay& e = c.m_CharaEffect;
    e = cCharaEffectPlay{};
    e.nEffect = 1;
    e.pEntry = &m_Effect;
    e.nStart = 0;
    e.nEnd = 100;
    e.dValue = v;
    e.dStep = 1.0;
    e.nDuration = params.empty() ? 10 : params[0];
  }
  std::vector<std::string> Draws() const { return Describe(h.Draws()); }
  cChara& Chara() { return h.Chara(0); }

  cStageHarness h;
  cCharaEffectData m_Effect;
};

}  // namespace drawtest
