#include "data/stage_data.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/containers.h"
#include "data/data_queries.h"
#include "data/field_names.h"
#include "data/palette.h"

// ---- keep areas and background layers ----

cStageQuad::cStageQuad() {}

void cStageQuad::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_bLeftOn);
  if (version >= 125) {
    QC4_DECLARE(m_bRightOn);
    QC4_DECLARE(m_bTopOn);
    QC4_DECLARE(m_bBottomOn);
  }
  QC4_DECLARE(m_nLeft);
  QC4_DECLARE(m_nRight);
  QC4_DECLARE(m_nTop);
  QC4_DECLARE(m_nBottom);
}

void cStageQuad::Set(int32_t on, int32_t margin) {
  m_bLeftOn = m_bRightOn = m_bTopOn = m_bBottomOn = on;
  m_nLeft = m_nRight = m_nTop = m_nBottom = margin;
}

cBackLayer::cBackLayer() {}

void cBackLayer::DeclareFields(uint32_t v) {
  ClearFieldTables();
  if (v >= 62) QC4_DECLARE(m_bShown);
  QC4_DECLARE(m_bColourFill);
  QC4_DECLARE(m_nColour);
  QC4_DECLARE(m_nGroup);
  if (v <= 60) {
    // 4-byte values in place of the two scroll factors; nothing for the later fields.
    DeclareInt(&m_anOldValues[0], 1, "old factor x");
    DeclareInt(&m_anOldValues[1], 1, "old factor y");
  } else {
    QC4_DECLARE(m_dFactorX);
    QC4_DECLARE(m_dFactorY);
    QC4_DECLARE(m_bAutoScrollX);
    QC4_DECLARE(m_bAutoScrollY);
    if (v >= 876) {
      QC4_DECLARE(m_dAutoSpeedX);
      QC4_DECLARE(m_dAutoSpeedY);
    }
    if (v >= 62) {
      QC4_DECLARE(m_dAutoOffsetX);
      QC4_DECLARE(m_dAutoOffsetY);
    } else {
      DeclareInt(&m_anOldValues[2], 1, "old offset x");
      DeclareInt(&m_anOldValues[3], 1, "old offset y");
    }
  }
  QC4_DECLARE(m_strPicture);
}

// ---- the stage ----

cStageData::cStageData() { ResetStageData(); }

void cStageData::DeclareFields(uint32_t v) {
  ClearFieldTables();
  // Every header value is a field of its own, arrays included.
  auto ints = [&](int32_t* first, int count, const char* name) {
    for (int i = 0; i < count; ++i) DeclareInt(first + i, 1, IndexedFieldName(name, i));
  };
  QC4_DECLARE(m_nWidth);
  QC4_DECLARE(m_nEditor2);
  QC4_DECLARE(m_nEditor3);
  QC4_DECLARE(m_nHeight);
  ints(m_abScrollLimitOn, 4, "m_abScrollLimitOn");
  ints(m_anScrollLimit, 4, "m_anScrollLimit");
  QC4_DECLARE(m_nFps);
  QC4_DECLARE(m_bTimeLimit);
  QC4_DECLARE(m_nTimeLimit);
  QC4_DECLARE(m_nTimeWarning);
  QC4_DECLARE(m_bAutoScrollX);
  QC4_DECLARE(m_bAutoScrollY);
  QC4_DECLARE(m_nAutoScrollSpeedX);
  QC4_DECLARE(m_nAutoScrollSpeedY);
  QC4_DECLARE(m_dGravity);
  QC4_DECLARE(m_nHitCheckLevel);
  QC4_DECLARE(m_nShotHitChecks);
  QC4_DECLARE(m_nBgm);
  if (v >= 166) QC4_DECLARE(m_bBgmLoop);
  if (v >= 199) QC4_DECLARE(m_bBgmKeep);
  QC4_DECLARE(m_bDrawByLayer);
  QC4_DECLARE(m_bCarryOver);
  QC4_DECLARE(m_nStageOpt29);
  if (v >= 183) QC4_DECLARE(m_bStatusDisplay);
  if (v >= 184) QC4_DECLARE(m_bAutoResultEnd);
  if (v >= 968) QC4_DECLARE(m_bReplayAllowed);
  QC4_DECLARE(m_bCaption1);
  if (v >= 225) QC4_DECLARE(m_bCaption2);
  QC4_DECLARE(m_nStageEndOpt35);
  QC4_DECLARE(m_bKeyWaitCaption);
  if (v >= 200) ints(m_anHeroHitBox, 4, "m_anHeroHitBox");
  ints(m_anHeroCharaBoxWalk, 2, "m_anHeroCharaBoxWalk");
  if (v >= 155) ints(m_anHeroCharaBoxFly, 2, "m_anHeroCharaBoxFly");
  ints(m_anHeroShotBox, 2, "m_anHeroShotBox");
  ints(m_anHeroItemBox, 2, "m_anHeroItemBox");
  if (v >= 200) ints(m_anHeroHitBoxBottom, 2, "m_anHeroHitBoxBottom");
  if (v >= 155) ints(m_anHeroCharaBoxAlign, 2, "m_anHeroCharaBoxAlign");
  if (v >= 200) QC4_DECLARE(m_nHeroHitBoxShow);
  ints(m_anHeroBoxShow, 3, "m_anHeroBoxShow");
  if (v >= 200) QC4_DECLARE(m_nHeroHitBoxColour);
  ints(m_anHeroBoxColour, 3, "m_anHeroBoxColour");
  if (v >= 200) ints(m_anCharaHitBox, 4, "m_anCharaHitBox");
  ints(m_anCharaBoxWalk, 2, "m_anCharaBoxWalk");
  if (v >= 155) ints(m_anCharaBoxFly, 2, "m_anCharaBoxFly");
  ints(m_anCharaShotBox, 2, "m_anCharaShotBox");
  if (v >= 200) ints(m_anCharaHitBoxBottom, 2, "m_anCharaHitBoxBottom");
  if (v >= 155) ints(m_anCharaBoxAlign, 2, "m_anCharaBoxAlign");
  ints(m_anItemHitBox, 2, "m_anItemHitBox");
  ints(m_anShotCharaBox, 2, "m_anShotCharaBox");
  ints(m_anShotBoxes, 6, "m_anShotBoxes");
  QC4_DECLARE(m_bActiveOnlyHits);
  QC4_DECLARE(m_nScrollAxisX);
  QC4_DECLARE(m_nScrollAxisY);
  QC4_DECLARE(m_nSubSteps);
  QC4_DECLARE(m_dSubSteps);
  QC4_DECLARE(m_dSubStepsSq);
  QC4_DECLARE(m_dSpeedLimit);
  QC4_DECLARE(m_dGravityPerStep);
  QC4_DECLARE(m_dSpeedLimitPerStep);
  QC4_DECLARE(m_nSubSteps8);
  QC4_DECLARE(m_bNearestOnScreen);
  QC4_DECLARE(m_nHeroInvSame);
  QC4_DECLARE(m_nHeroInvDamage);
  QC4_DECLARE(m_nCharaInvSame);
  QC4_DECLARE(m_nCharaInvDamage);
  QC4_DECLARE(m_strName);
}

void cStageData::SetDefaultHitBoxes() {
  auto set = [](int32_t* a, std::initializer_list<int32_t> values) { std::copy(values.begin(), values.end(), a); };
  set(m_anHeroHitBox, {16, 24, 16, 16});
  set(m_anHeroCharaBoxWalk, {16, 24});
  set(m_anHeroCharaBoxFly, {16, 16});
  set(m_anHeroShotBox, {12, 8});
  set(m_anHeroItemBox, {16, 16});
  set(m_anHeroHitBoxBottom, {1, 0});
  set(m_anHeroCharaBoxAlign, {1, 0});
  m_nHeroHitBoxShow = 0;
  set(m_anHeroBoxShow, {0, 0, 0});
  m_nHeroHitBoxColour = 0;
  set(m_anHeroBoxColour, {0, 0, 0});
  set(m_anCharaHitBox, {16, 24, 16, 16});
  set(m_anCharaBoxWalk, {12, 24});
  set(m_anCharaBoxFly, {12, 16});
  set(m_anCharaShotBox, {30, 30});
  set(m_anCharaHitBoxBottom, {1, 0});
  set(m_anCharaBoxAlign, {1, 0});
  set(m_anItemHitBox, {28, 28});
  set(m_anShotCharaBox, {16, 16});
  set(m_anShotBoxes, {16, 16, 16, 16, 16, 16});
}

void cStageData::ResetStageData() {
  ResetFields();
  m_aBlocks.clear();
  m_aCharas.clear();
  m_aItems.clear();
  ResetVector(m_aPalBlocks, 1);
  ResetVector(m_aPalCharas, 1);
  ResetVector(m_aPalItems, 1);
  m_nFps = 60;
  m_bTimeLimit = 0;
  m_nTimeLimit = 200;
  m_nTimeWarning = 20;
  m_dGravity = 0.4;
  m_nHitCheckLevel = 10;
  m_bDrawByLayer = 1;
  m_bStatusDisplay = 1;
  m_bCaption2 = 1;
  m_nStageEndOpt35 = 1;
  m_bKeyWaitCaption = 1;
  m_bNearestOnScreen = 1;
  m_nHeroInvSame = 30;
  m_nHeroInvDamage = 0;
  m_nCharaInvSame = 30;
  m_nCharaInvDamage = 0;
  SetDefaultHitBoxes();
  m_bActiveOnlyHits = 1;
  m_anTotalsLines.assign(5, 1);
  for (int i = 0; i < 3; ++i) m_aKeepAreas[i].Set(0, 0);
  m_aKeepAreas[3].Set(1, 0);
  m_aKeepAreas[4].Set(1, 10);
  ResetVector(m_aLayers, 1);
  m_aLayers[0].m_bColourFill = 1;
  m_aTexts.clear();
  m_nSubSteps6 = 0;
}

namespace {
// Placed entries: int32 count, then per entry an int32 (written 0, ignored) and the type's body. As
// every counted list, the entries are all made before the first one loads.
template <class T>
bool LoadPlacedList(cDataFile& file, std::vector<T>& list) {
  int32_t n = 0;
  if (!ReadListCount(file, n, 4 + 8, sizeof(T))) return false;
  list.clear();
  list.resize(static_cast<size_t>(std::max<int32_t>(n, 0)));
  for (T& e : list) {
    int32_t ignored = 0;
    if (!file.ReadInt32(ignored) || !e.Load(file)) return false;
  }
  return true;
}

// A map side of 0 to kMaxMapCells cells; any other fails the file at the field's place.
bool IsMapSideAllowed(cDataFile& file, int32_t cells, size_t at) {
  if (cells >= 0 && cells <= kMaxMapCells) return true;
  file.Fail(eReadFault::BeyondLimit, cells, at);
  return false;
}

template <class T>
bool SavePlacedList(cDataFile& file, std::vector<T>& list) {
  file.WriteInt32(static_cast<int32_t>(list.size()));
  for (T& e : list) {
    file.WriteInt32(0);
    if (!e.Save(file)) return false;
  }
  return true;
}
}  // namespace

bool cStageData::Load(cDataFile& file) {
  // The map's width and height are header fields 1 and 4 in every version, after the field count.
  const size_t widthAt = file.Position() + 4;
  const size_t heightAt = widthAt + 12;
  if (!cRecord::Load(file)) return false;
  if (!IsMapSideAllowed(file, m_nWidth, widthAt) || !IsMapSideAllowed(file, m_nHeight, heightAt)) return false;
  if (!LoadValueList(file, m_anTotalsLines)) return false;
  for (cStageQuad& area : m_aKeepAreas)
    if (!area.Load(file)) return false;
  if (!LoadRecordList(file, m_aPalBlocks)) return false;
  if (!LoadRecordList(file, m_aPalCharas)) return false;
  if (!LoadRecordList(file, m_aPalItems)) return false;
  if (!m_aPalBlocks.empty()) m_aPalBlocks[0].ResetBlockType();
  if (!m_aPalCharas.empty()) m_aPalCharas[0].ResetCharaType();
  if (!m_aPalItems.empty()) m_aPalItems[0].ResetItemType();
  if (!LoadPlacedList(file, m_aBlocks)) return false;
  if (!LoadPlacedList(file, m_aCharas)) return false;
  if (!LoadPlacedList(file, m_aItems)) return false;
  if (!LoadRecordList(file, m_aLayers)) return false;
  if (!LoadRecordList(file, m_aTexts)) return false;
  if (g_nFileVersion >= kStageTrailerReadVersion) {
    int32_t trailer = 0;
    if (!file.ReadInt32(trailer)) return false;  // the value is checked before play
  }
  if (g_nFileVersion < kDataVersion) Upgrade(g_nFileVersion);
  NormaliseStage();
  return true;
}

void cStageData::Upgrade(uint32_t v) {
  if (v < 155) {
    std::copy_n(m_anHeroCharaBoxWalk, 2, m_anHeroCharaBoxFly);
    std::copy_n(m_anCharaBoxWalk, 2, m_anCharaBoxFly);
    std::fill_n(m_anHeroCharaBoxAlign, 2, 0);
    std::fill_n(m_anCharaBoxAlign, 2, 0);
  }
  if (v < 166) m_bBgmLoop = 1;
  if (v < 181) {
    m_anTotalsLines.resize(5, 0);
    m_anTotalsLines[3] = 0;
    m_anTotalsLines[4] = 0;
  }
  if (v < 183) m_bStatusDisplay = 1;
  if (v < 184) m_bAutoResultEnd = 0;
  if (v < 199) m_bBgmKeep = 0;
  if (v < 200) {
    const int32_t hero[4] = {16, 24, 16, 16};
    const int32_t chara[4] = {16, 30, 16, 30};
    std::copy_n(hero, 4, m_anHeroHitBox);
    m_anHeroHitBoxBottom[0] = 1;
    m_anHeroHitBoxBottom[1] = 0;
    m_nHeroHitBoxShow = 0;
    m_nHeroHitBoxColour = 5;
    std::copy_n(chara, 4, m_anCharaHitBox);
    m_anCharaHitBoxBottom[0] = 1;
    m_anCharaHitBoxBottom[1] = 1;
  }
  if (v < 225) m_bCaption2 = 0;
  if (v < 754) m_aTexts.resize(kStageTextCount);
  if (v < 876) {
    for (cBackLayer& layer : m_aLayers) {
      if (layer.m_bAutoScrollX) {
        layer.m_dAutoSpeedX = layer.m_dFactorX;
        layer.m_dFactorX = 1.0;
      }
      if (layer.m_bAutoScrollY) {
        layer.m_dAutoSpeedY = layer.m_dFactorY;
        layer.m_dFactorY = 1.0;
      }
    }
  }
  if (v < 968) m_bReplayAllowed = 1;
}

namespace {
template <class T>
void ValidateTypes(std::vector<T>& list);

template <>
void ValidateTypes(std::vector<cBlockType>& list) {
  for (auto& t : list) {
    t.ValidateBlockType();
    t.ValidateBlockItem();
  }
}
template <>
void ValidateTypes(std::vector<cCharaType>& list) {
  for (auto& t : list) {
    t.ValidateCharaType();
    t.ValidateCharaTypeFlows();
  }
}
template <>
void ValidateTypes(std::vector<cItemType>& list) {
  for (auto& t : list) {
    t.ValidateItemType();
    t.ValidateItemCommands();
  }
}

// A level of 0 would divide by zero. Levels above 20 are legal (each is that many sub-steps); the
// upper bound only keeps an absurd value of a damaged file from stalling every frame.
constexpr int32_t kMinHitCheckLevel = 1;
constexpr int32_t kMaxHitCheckLevel = 1000;
// A frame rate of 0 runs the stage unthrottled (the pacing checks always pass) and is kept as it
// is, replays included; a negative rate paces the same way and becomes 0. A rate above 1000 cannot
// be paced in whole milliseconds, and would make every wait counted in frames endless.
constexpr int32_t kMaxStageFps = 1000;
// A hit box larger than the largest map means nothing; objects scale theirs by up to 127, which a
// damaged size near the int limit would overflow.
constexpr int32_t kMaxHitBoxDots = kMaxMapCells * 32;
}  // namespace

void cStageData::NormaliseStage() {
  m_nHitCheckLevel = std::clamp(m_nHitCheckLevel, kMinHitCheckLevel, kMaxHitCheckLevel);
  m_nFps = std::clamp(m_nFps, 0, kMaxStageFps);
  // Lowered only; worked out wide so that a damaged size cannot overflow.
  auto lowerTo = [](int32_t& limit, int64_t most) {
    if (limit > most) limit = static_cast<int32_t>(std::max<int64_t>(most, INT32_MIN));
  };
  lowerTo(m_anScrollLimit[0], int64_t{m_nWidth} - 20);
  lowerTo(m_anScrollLimit[1], int64_t{m_nWidth} - 1);
  lowerTo(m_anScrollLimit[2], int64_t{m_nHeight} - 15);
  lowerTo(m_anScrollLimit[3], int64_t{m_nHeight} - 1);
  for (int32_t* sizes : {m_anHeroHitBox, m_anCharaHitBox})
    for (int i = 0; i < 4; ++i) sizes[i] = std::clamp(sizes[i], -kMaxHitBoxDots, kMaxHitBoxDots);
  for (int32_t& size : m_anItemHitBox) size = std::clamp(size, -kMaxHitBoxDots, kMaxHitBoxDots);
  // The derived values always live on the stage being played.
  g_StageFile.SetHitCheckLevel(g_StageFile.m_nHitCheckLevel);
  m_nBgm = ClampRef(m_nBgm, DbCount(eDbList::Bgm), 0);
  PadTypeList(m_aPalBlocks);
  PadTypeList(m_aPalCharas);
  PadTypeList(m_aPalItems);
  ValidateTypes(m_aPalBlocks);
  ValidateTypes(m_aPalCharas);
  ValidateTypes(m_aPalItems);
  ValidateTypes(m_aBlocks);
  ValidateTypes(m_aCharas);
  ValidateTypes(m_aItems);
}

void cStageData::SetHitCheckLevel(int32_t level) {
  level = std::clamp(level, kMinHitCheckLevel, kMaxHitCheckLevel);
  m_nHitCheckLevel = level;
  const bool fast = level >= 11 && level <= 19;
  const int32_t n = fast ? level - 10 : level;
  m_nSubSteps = n;
  m_dSubSteps = n;
  m_nSubSteps6 = 6 * n;
  m_dSubStepsSq = static_cast<double>(n) * n;
  m_dSpeedLimit = fast ? 60.0 : 6.0 * n;
  m_nSubSteps8 = 8 * n;
  m_dSpeedLimitPerStep = m_dSpeedLimit / n;
  m_dGravityPerStep = m_dGravity / m_dSubStepsSq;
}

bool cStageData::SaveBody(cDataFile& file, cStageData& settings) {
  if (!settings.cRecord::Save(file)) return false;
  SaveValueList(file, settings.m_anTotalsLines);
  for (cStageQuad& area : settings.m_aKeepAreas)
    if (!area.Save(file)) return false;
  if (!SaveRecordList(file, m_aPalBlocks)) return false;
  if (!SaveRecordList(file, m_aPalCharas)) return false;
  if (!SaveRecordList(file, m_aPalItems)) return false;
  if (!SavePlacedList(file, m_aBlocks)) return false;
  if (!SavePlacedList(file, m_aCharas)) return false;
  if (!SavePlacedList(file, m_aItems)) return false;
  if (!SaveRecordList(file, settings.m_aLayers)) return false;
  if (!SaveRecordList(file, settings.m_aTexts)) return false;
  file.WriteInt32(kStageTrailer);
  return true;
}

bool cStageData::Save(cDataFile& file) {
  NormaliseStage();
  return SaveBody(file, *this);
}

bool cStageData::WriteStageToReplay(cDataFile& file, cStageData& settings) {
  NormaliseStage();
  return SaveBody(file, settings);
}

void CopyStageSettings(cStageData& dst, const cStageData& src) {
  if (&dst == &src) return;
  dst.CopyFields(src);
  dst.m_nSubSteps6 = src.m_nSubSteps6;
  dst.m_anTotalsLines = src.m_anTotalsLines;
  for (int i = 0; i < kKeepAreaCount; ++i) dst.m_aKeepAreas[i] = src.m_aKeepAreas[i];
  AssignVector(dst.m_aLayers, src.m_aLayers);
  AssignVector(dst.m_aTexts, src.m_aTexts);
}

void TakeStageSettingsCopy() {
  CopyStageSettings(g_StageData, g_StageFile);
  g_StageData.m_aPalBlocks.clear();
  g_StageData.m_aPalCharas.clear();
  g_StageData.m_aPalItems.clear();
  g_StageData.m_aBlocks.clear();
  g_StageData.m_aCharas.clear();
  g_StageData.m_aItems.clear();
}

void RestoreStageSettings() { CopyStageSettings(g_StageFile, g_StageData); }

bool IsStageFileIntact(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 4) return false;
  uint32_t version = 0;
  std::memcpy(&version, bytes.data(), 4);
  if (version < kStageTrailerCheckVersion) return true;
  if (bytes.size() < 8) return false;
  int32_t trailer = 0;
  std::memcpy(&trailer, bytes.data() + bytes.size() - 4, 4);
  return trailer == kStageTrailer;
}
