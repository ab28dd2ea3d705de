// What the stage's contact tests share: small stages built from ASCII maps on the stage harness,
// characters whose boxes the tests set by hand, and block characters put in g_CharaList.
//
// On a stage of c x r cells the map has a margin of 10 cells on every side: stage cell (column, row)
// covers map dots CellDot(column) .. CellDot(column) + 31 across and CellDot(row) .. + 31 down.
#pragma once

#include <string>
#include <vector>

#include "core/numbers.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/play_objects.h"
#include "test_support/stage_harness.h"

// The first map dot of a stage column or row.
constexpr double CellDot(int cell) { return (cell + 10) * 32.0; }

// Characters whose after-move hooks keep the right and bottom edges and the recorded cells in step
// with x and y (clamped to the whole map), as the characters' own hooks do, without moving the view.
template <class Chara>
class cProbe : public Chara {
 public:
  int AfterMoveX() override {
    this->ClampToStageX(2);
    return 0;
  }
  int AfterMoveY() override {
    this->ClampToStageY(2);
    return 0;
  }
};
using cProbeChara = cProbe<cChara>;
using cProbeHero = cProbe<cHero>;

// A stage from an ASCII map whose letters add to the harness's: 'D' a block deadly to
// player-operated characters, 'E' a second kind of solid block (to tell floor blocks apart), 'P' a
// solid block that group 3 passes through.
inline cHarnessSetup BlockStage(std::vector<std::string> map) {
  cHarnessSetup setup;
  setup.map = std::move(map);
  setup.blocks['D'] = HarnessBlockType(2);
  cBlockType other = HarnessBlockType(1);
  other.m_nGraphic = 2;
  setup.blocks['E'] = other;
  cBlockType pass = HarnessBlockType(1);
  pass.m_nPassGroup = 3;
  setup.blocks['P'] = pass;
  return setup;
}

// v after n steps of step (as repeated settling moves it).
inline double Stepped(double v, double step, int n) {
  for (int i = 0; i < n; ++i) v += step;
  return v;
}

// Gives a character a hit box of base size w x h at (x, y) with a scale (1 normal size); its size,
// right and bottom edges and recorded cells follow.
inline void SetBox(cCharaBase& chara, double x, double y, int w, int h, int scale = 1) {
  chara.m_dX = x;
  chara.m_dY = y;
  chara.m_Type.m_nScale = static_cast<int8_t>(scale);
  chara.m_nBaseWidth = w;
  chara.m_nBaseHeight = h;
  chara.m_nWidth = w * scale;
  chara.m_nHeight = h * scale;
  chara.ClampToStageX(2);
  chara.ClampToStageY(2);
}

inline cDblRect BoxOf(const cObject& object) { return {object.m_dX, object.m_dY, object.m_dX2, object.m_dY2}; }

// The rectangle of the previous sub-step is the present one.
inline void KeepAsPrevious(cCharaBase& chara) { chara.m_PrevRect = BoxOf(chara); }

// Walking (gravity, colliding), or flying in one of the three flight modes: 0 through blocks,
// 1 colliding, 2 dying on blocks.
inline void SetWalking(cCharaBase& chara) {
  chara.m_bGravityFree = 0;
  chara.m_nFlightMode = 1;
}
inline void SetFlying(cCharaBase& chara, int mode) {
  chara.m_bGravityFree = 1;
  chara.m_nFlightMode = static_cast<uint8_t>(mode);
}

// A walking computer-operated character with a box at (x, y), object number 50, standing still
// since the previous sub-step (not in the air).
inline void MakeWalker(cCharaBase& chara, double x, double y, int w = 16, int h = 24) {
  chara.m_nNumber = 50;
  chara.m_nControl = 1;
  chara.m_bInAir = 0;
  SetWalking(chara);
  SetBox(chara, x, y, w, h);
  KeepAsPrevious(chara);
}

// A present block character of g_CharaList with a box at (x, y) that stood there in the previous
// sub-step.
inline cChara& AddBlockChara(int number, double x, double y, int w = 32, int h = 32) {
  cChara& q = g_CharaList.emplace_back();
  q.m_nNumber = number;
  q.m_nControl = 1;
  q.m_Type.m_bBlockChara = 1;
  q.m_bActive = 1;
  SetWalking(q);
  SetBox(q, x, y, w, h);
  KeepAsPrevious(q);
  return q;
}
