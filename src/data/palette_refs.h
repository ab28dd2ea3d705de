#pragma once
// The palette lists that type records and commands refer to by (palette kind, index): kind 1 is
// the common palette (g_CommonPalette), kind 2 the palette of the stage being played (g_StageFile).
#include <cstdint>
#include <vector>

class cBlockType;
class cCharaType;
class cItemType;

enum class ePalList { Block, Chara, Item };

constexpr int kPaletteCommon = 1;
constexpr int kPaletteStage = 2;

// The lists of the palette a kind names; null for any other kind.
std::vector<cBlockType>* PaletteBlockList(int paletteKind);
std::vector<cCharaType>* PaletteCharaList(int paletteKind);
std::vector<cItemType>* PaletteItemList(int paletteKind);
// Length of one list of the palette a kind names; -1 for any other kind.
int PaletteListSize(int paletteKind, ePalList list);

// Entry index of a palette list, or null when kind names no palette or index is not an entry
// (checked as unsigned, so a negative index is no entry either).
template <class T>
T* PaletteEntry(std::vector<T>* list, int32_t index) {
  if (!list || static_cast<uint32_t>(index) >= list->size()) return nullptr;
  return &(*list)[static_cast<uint32_t>(index)];
}
