// Character links: target slots with their back-links, parent and child links, and the shots that
// refer to a character. Every link is kept from both ends, so that a character going away can clear
// every pointer to it.
#include <algorithm>

#include "core/containers.h"
#include "objects/chara_base.h"
#include "objects/play_objects.h"
#include "objects/shot.h"

namespace {

template <class T>
void AddOnce(std::vector<T>& list, const T& entry) {
  if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}

template <class T>
void RemoveAll(std::vector<T>& list, const T& entry) {
  list.erase(std::remove(list.begin(), list.end(), entry), list.end());
}

}  // namespace

void cCharaBase::LinkHeroAndParent(cCharaBase* parent) {
  SetTarget(0, g_HeroList.empty() ? nullptr : &g_HeroList[0]);
  m_lpParent = parent;
  if (parent) AddOnce(parent->m_aLinks, cCharaLink{this, kLinkChild});
}

// A slot outside the target vector is a range error; nothing is written (a write into the checked
// accessor's stand-in element would leave a pointer that nothing clears).
void cCharaBase::SetTarget(int slot, cCharaBase* target) {
  if (slot < 0 || static_cast<size_t>(slot) >= m_apTargets.size()) {
    ReportRangeError('V', slot, static_cast<int32_t>(m_apTargets.size()), static_cast<int32_t>(sizeof(cCharaBase*)));
    return;
  }
  cCharaBase*& held = m_apTargets[static_cast<size_t>(slot)];
  if (held) RemoveAll(held->m_aLinks, cCharaLink{this, slot});
  held = target;
  if (target) AddOnce(target->m_aLinks, cCharaLink{this, slot});
}

// A link entry is only acted on while the pointer it names still points at this character: a copy
// of a character carries the original's entries, and must not clear what points at the original.
void cCharaBase::UnlinkAll() {
  for (const cCharaLink& link : m_aLinks) {
    cCharaBase* other = link.lpChara;
    if (!other) continue;
    if (link.nSlot == kLinkChild) {
      if (other->m_lpParent == this) other->m_lpParent = nullptr;
    } else if (link.nSlot >= 0 && static_cast<size_t>(link.nSlot) < other->m_apTargets.size() &&
               other->m_apTargets[static_cast<size_t>(link.nSlot)] == this) {
      other->m_apTargets[static_cast<size_t>(link.nSlot)] = nullptr;
    }
  }
  m_aLinks.clear();
  for (size_t slot = 0; slot < m_apTargets.size(); ++slot) {
    cCharaBase* target = m_apTargets[slot];
    if (!target) continue;
    RemoveAll(target->m_aLinks, cCharaLink{this, static_cast<int32_t>(slot)});
    m_apTargets[slot] = nullptr;
  }
  if (m_lpParent) {
    RemoveAll(m_lpParent->m_aLinks, cCharaLink{this, kLinkChild});
    m_lpParent = nullptr;
  }
  for (const cShotLink& link : m_aShotLinks) {
    cShot* shot = link.lpShot;
    if (!shot) continue;
    if (link.nKind == kShotLinkTarget && shot->m_lpTarget == this) shot->m_lpTarget = nullptr;
    if (link.nKind == kShotLinkOwner && shot->m_lpOwner == this) shot->m_lpOwner = nullptr;
  }
  m_aShotLinks.clear();
}
