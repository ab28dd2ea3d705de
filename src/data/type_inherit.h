#pragma once
// What block, item and character types have in common: the inherit flags and conditions stored
// after their fields, taking inherited groups from another entry of the same palette list, and
// keeping their (palette kind, index) references pointing at entries that exist.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/record.h"
#include "data/cond.h"
#include "data/palette_refs.h"

// PaletteBlockList, PaletteCharaList or PaletteItemList.
template <class T>
using PaletteListOf = std::vector<T>* (*)(int paletteKind);

// A reference into the common or stage palette whose entry does not exist becomes "none" (kind
// and index 0), so nothing later follows it.
template <class T>
void DropMissingPaletteRef(int8_t& kind, int16_t& index, PaletteListOf<T> list) {
  if ((kind == kPaletteCommon || kind == kPaletteStage) && !PaletteEntry(list(kind), index)) {
    kind = 0;
    index = 0;
  }
}

// The entry a type takes its inherited groups from: null when it inherits nothing, the palette
// entry named by (kind, index), or the type itself for any other kind. A palette entry that
// does not exist clears kind and gives null.
template <class T>
const T* InheritSource(const T& self, int8_t& kind, int16_t index, PaletteListOf<T> list) {
  if (index == 0 || kind == 0) return nullptr;
  if (kind != kPaletteCommon && kind != kPaletteStage) return &self;
  const T* source = PaletteEntry(list(kind), index);
  if (!source) kind = 0;
  return source;
}

// The inherit groups shared by the types, each copied whole.
template <class T>
void InheritConds(T& type, const T& source) {
  AssignCondVector(type.m_aConds, source.m_aConds);
  type.m_nCondMode = source.m_nCondMode;
  type.m_bCondLatch = source.m_bCondLatch;
}

template <class T>
void InheritGraphic(T& type, const T& source) {
  type.m_nGraphicKind = source.m_nGraphicKind;
  type.m_nGraphic = source.m_nGraphic;
  type.m_nGraphicSub = source.m_nGraphicSub;
}

template <class T>
void InheritIcon(T& type, const T& source) {
  type.m_nIconDisplay = source.m_nIconDisplay;
  type.m_nIcon = source.m_nIcon;
}

// Files older than 219 number shot graphics (kind 3) from 0; shot graphic 0 became a new picture
// then, so older numbers move up one, capped at the last shot graphic.
inline void UpgradeShotGraphic(uint32_t fileVersion, int8_t graphicKind, int16_t& graphic) {
  if (fileVersion < 219 && graphicKind == 3) graphic = static_cast<int16_t>(std::min(graphic + 1, 119));
}

// The inherit flags and the conditions, stored in this order after a type's fields.
inline bool ReadInheritAndConds(cDataFile& file, std::vector<uint8_t>& inherit, std::vector<cCond>& conds) {
  return LoadByteArray(file, inherit) && ReadCondVector(file, conds);
}

inline bool WriteInheritAndConds(cDataFile& file, const std::vector<uint8_t>& inherit, std::vector<cCond>& conds) {
  SaveByteArray(file, inherit);
  return WriteCondVector(file, conds);
}
