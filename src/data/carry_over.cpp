// The hero's status carried from stage to stage: 25 items, each enabled by the project, stored into
// a carry-over slot at a stage end and put back at the next stage set-up.
#include "core/containers.h"
#include "data/chara_type.h"
#include "data/flow.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "data/system_data.h"

namespace {
// Items with a rule of their own, and those that are not members of the character type.
constexpr int kItemGraphic = 0;
constexpr int kItemEffect = 4;  // the running character effect, into the effect members
constexpr int kItemHp = 11;
constexpr int kItemSp = 12;
constexpr int kItemTime = 22;
constexpr int kItemLives = 23;
constexpr int kItemMusic = 24;

using cTypeCopy = void (*)(cCharaType& to, const cCharaType& from);

template <auto... Members>
void CopyMembers(cCharaType& to, const cCharaType& from) {
  ((to.*Members = from.*Members), ...);
}

void CopyFlows(cCharaType& to, const cCharaType& from) { AssignFlowVector(to.m_aFlows, from.m_aFlows); }

// The type members of each item, in both directions (null: the item is not a type member, or is
// copied by hand). The original numbers the type's members with its name first, so its member n is
// the n - 1st numeric field of the type's record.
const cTypeCopy kTypeItems[kCarryOverItems] = {
    CopyMembers<&cCharaType::m_nGraphic, &cCharaType::m_nGraphicKind, &cCharaType::m_nGraphicSub>,  // 0
    CopyMembers<&cCharaType::m_nAnimeSet>,                                                          // 1
    CopyMembers<&cCharaType::m_nLayer>,                                                             // 2
    CopyMembers<&cCharaType::m_nOpt18>,                                                             // 3
    nullptr,                                                                                        // 4
    CopyMembers<&cCharaType::m_nOpt31>,                                                             // 5
    CopyMembers<&cCharaType::m_nMoveMode>,                                                          // 6
    CopyMembers<&cCharaType::m_nOpt32>,                                                             // 7
    CopyMembers<&cCharaType::m_nScale>,                                                             // 8
    CopyMembers<&cCharaType::m_nOpt36>,                                                             // 9
    CopyMembers<&cCharaType::m_nViewMode, &cCharaType::m_nViewRange>,                               // 10
    nullptr,                                                                                        // 11
    nullptr,                                                                                        // 12
    CopyMembers<&cCharaType::m_nMaxHp>,                                                             // 13
    CopyMembers<&cCharaType::m_nMaxSp>,                                                             // 14
    CopyMembers<&cCharaType::m_nSizeMode>,                                                          // 15
    CopyMembers<&cCharaType::m_nBodyPower>,                                                         // 16
    CopyMembers<&cCharaType::m_nBodyImpact>,                                                        // 17
    CopyMembers<&cCharaType::m_nDefence>,                                                           // 18
    CopyMembers<&cCharaType::m_nImpactResist>,                                                      // 19
    CopyMembers<&cCharaType::m_nStopEase>,                                                          // 20
    CopyFlows,                                                                                      // 21
    nullptr,                                                                                        // 22
    nullptr,                                                                                        // 23
    nullptr,                                                                                        // 24
};

bool ItemEnabled(int item) {
  const std::vector<uint8_t>& enabled = g_SystemData.m_abCarryOver;
  return static_cast<size_t>(item) < enabled.size() && enabled[static_cast<size_t>(item)] != 0;
}

// The carry-over slot, or null (with the range error) for a slot the progress does not have.
template <class Slots>
auto* CarrySlot(Slots& slots, int slot) {
  if (slot < 0 || static_cast<size_t>(slot) >= slots.size()) {
    ReportRangeError('V', slot, static_cast<int32_t>(slots.size()), static_cast<int32_t>(sizeof(cSaveHero)));
    return static_cast<decltype(&slots[0])>(nullptr);
  }
  return &slots[static_cast<size_t>(slot)];
}
}  // namespace

bool cSaveData::CarryItemStored(int item) const {
  return ItemEnabled(item) && static_cast<size_t>(item) < m_abCarryStored.size() &&
         m_abCarryStored[static_cast<size_t>(item)] != 0;
}

void cSaveData::StoreCarryOver(int slot, const cCharaType& type, int32_t hp, int32_t sp, int16_t effect1,
                               int8_t effect2, int8_t effect3, int32_t time, int32_t lives, int32_t music) {
  cSaveHero* hero = CarrySlot(m_aCarryOver, slot);
  if (!hero) return;
  m_bCarryOverValid = 1;
  // A progress whose file held fewer flags still has a flag for every item.
  if (m_abCarryStored.size() < static_cast<size_t>(kCarryOverItems)) m_abCarryStored.resize(kCarryOverItems, 0);
  for (int item = 0; item < kCarryOverItems; ++item) {
    if (!ItemEnabled(item)) continue;
    cCharaType& kept = hero->m_CharaType;
    switch (item) {
      case kItemEffect:
        kept.m_nCharaEffect = effect1;
        kept.m_nCharaEffectOptA = effect2;
        kept.m_nCharaEffectOptB = effect3;
        break;
      case kItemHp: hero->m_nItem11 = hp; break;
      case kItemSp: hero->m_nItem12 = sp; break;
      case kItemTime: hero->m_nTimeLimit = time; break;
      case kItemLives: hero->m_nProgress = lives; break;
      case kItemMusic: hero->m_nBgm = music; break;
      default: kTypeItems[item](kept, type);
    }
    m_abCarryStored[static_cast<size_t>(item)] = 1;
  }
}

void cSaveData::ApplyCarryOver(int slot, cCharaType& type, cStageData& stage) {
  if (!m_bCarryOverValid) return;
  const cSaveHero* hero = CarrySlot(m_aCarryOver, slot);
  if (!hero) return;
  const cCharaType& kept = hero->m_CharaType;
  for (int item = 0; item < kCarryOverItems; ++item) {
    if (!CarryItemStored(item)) continue;
    switch (item) {
      case kItemEffect:
        type.m_nCharaEffect = kept.m_nCharaEffect;
        type.m_nCharaEffectOptA = kept.m_nCharaEffectOptA;
        type.m_nCharaEffectOptB = kept.m_nCharaEffectOptB;
        break;
      case kItemGraphic:
        kTypeItems[item](type, kept);
        // A hero kept without a graphic would not be drawn and could not be found as the hero.
        if (type.m_nGraphic == 0) type.m_nGraphic = 1;
        break;
      case kItemHp:
      case kItemSp: break;  // handed back by ApplyCarryOverValues
      case kItemTime: stage.m_nTimeLimit = hero->m_nTimeLimit; break;
      case kItemLives: m_nLives = hero->m_nProgress; break;
      case kItemMusic: stage.m_nBgm = hero->m_nBgm; break;
      default: kTypeItems[item](type, kept);
    }
  }
}

void cSaveData::ApplyCarryOverValues(int slot, int32_t& hp, int32_t& sp) const {
  if (!m_bCarryOverValid) return;
  const cSaveHero* hero = CarrySlot(m_aCarryOver, slot);
  if (!hero) return;
  if (CarryItemStored(kItemHp)) hp = hero->m_nItem11;
  if (CarryItemStored(kItemSp)) sp = hero->m_nItem12;
}

void cSaveData::ClearCarryOverFlags() {
  const std::vector<uint8_t>& clearing = g_SystemData.m_abCarryOverClear;
  for (size_t item = 0; item < clearing.size() && item < m_abCarryStored.size(); ++item)
    if (clearing[item]) m_abCarryStored[item] = 0;
}
