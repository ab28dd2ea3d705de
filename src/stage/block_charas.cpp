// Block characters as obstacles: candidates, overlaps and the riding, embedding and place queries.
#include "stage/block_charas.h"

#include "objects/chara.h"
#include "objects/play_objects.h"
#include "stage/contact_rules.h"
#include "stage/map_sampling.h"

namespace {

// Height of the strip under a rider's feet in which its ride still counts.
constexpr double kRideStrip = 5.0;

cDblRect StripUnderFeet(const cCharaBase& chara) {
  return {chara.m_dX, chara.m_dY2, chara.m_dX2, chara.m_dY2 + kRideStrip};
}

bool Contains(const cDblRect& r, double x, double y) {
  return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom;
}

// The corner points the embedding test asks about, in the order top-left, top-right, bottom-left,
// bottom-right.
void CornerPoints(const cDblRect& r, bool legacy, double (&x)[4], double (&y)[4]) {
  const double right = legacy ? r.right : r.right - 1;
  const double bottom = r.bottom - 1;
  x[0] = r.left;
  y[0] = r.top;
  x[1] = right;
  y[1] = r.top;
  x[2] = r.left;
  y[2] = bottom;
  x[3] = right;
  y[3] = bottom;
}

}  // namespace

cOverlapWidths OverlapWidthsOf(const cDblRect& a, const cDblRect& b) {
  if (!IsOverlapRect(a, b)) return {};
  cOverlapWidths w;
  w.dX = b.left > a.left ? a.right - b.left + 1 : b.right - a.left + 1;
  w.dY = b.top > a.top ? a.bottom - b.top + 1 : b.bottom - a.top + 1;
  return w;
}

cDblRect RectOf(const cObject& object) { return {object.m_dX, object.m_dY, object.m_dX2, object.m_dY2}; }

bool IsBlockCharaFor(const cChara& q, int ownNumber) {
  return q.m_Type.m_bBlockChara && q.m_bActive && !q.m_bDead && q.m_nNumber != ownNumber;
}

cChara* FindCharaByNumber(std::list<cChara>& list, int number) {
  for (cChara& q : list)
    if (q.m_nNumber == number) return &q;
  return nullptr;
}

bool OverlapsBlockChara(const cCharaBase& chara, std::list<cChara>& list) {
  return OverlapsBlockCharaExcept(RectOf(chara), chara.m_nNumber, chara.m_nNumber, list);
}

bool OverlapsBlockCharaExcept(const cDblRect& rect, int ownNumber, int exceptNumber, std::list<cChara>& list) {
  for (const cChara& q : list)
    if (IsBlockCharaFor(q, ownNumber) && q.m_nNumber != exceptNumber && IsOverlapRect(rect, RectOf(q))) return true;
  return false;
}

bool IsStillOnRiddenChara(const cCharaBase& chara, std::list<cChara>& list) {
  const cDblRect strip = StripUnderFeet(chara);
  for (const cChara& q : list)
    if (IsBlockCharaFor(q, chara.m_nNumber) && q.m_nNumber == chara.m_nRiddenId && IsOverlapRect(strip, RectOf(q)))
      return true;
  return false;
}

cChara* FindBlockCharaUnderFeet(const cCharaBase& chara, std::list<cChara>& list) {
  const cDblRect strip = StripUnderFeet(chara);
  for (cChara& q : list)
    if (IsBlockCharaFor(q, chara.m_nNumber) && IsOverlapRect(strip, RectOf(q))) return &q;
  return nullptr;
}

bool IsEmbeddedInBlockCharas(const cCharaBase& chara, const cDblRect& start, std::list<cChara>& list) {
  const bool legacy = LegacyContactRule();
  double nowX[4], nowY[4], startX[4], startY[4];
  CornerPoints(RectOf(chara), legacy, nowX, nowY);
  CornerPoints(start, legacy, startX, startY);
  for (int corner = 0; corner < 4; ++corner) {
    bool covered = false;
    for (const cChara& q : list) {
      if (!IsBlockCharaFor(q, chara.m_nNumber)) continue;
      const cDblRect r = RectOf(q);
      if (Contains(r, nowX[corner], nowY[corner]) || Contains(r, startX[corner], startY[corner])) {
        covered = true;
        break;
      }
    }
    if (!covered) return false;
  }
  return true;
}

bool IsCharaPlaceTaken(cCharaBase& chara) {
  if (FliesThroughBlocks(chara)) return false;
  const int cell =
      FindCornerContactCell(chara.m_nCellX, chara.m_nCellY, chara.m_nCellX2, chara.m_nCellY2, chara.m_nKind);
  return CellContact(cell, chara.m_nKind) != 0 || OverlapsBlockChara(chara, g_CharaList);
}
