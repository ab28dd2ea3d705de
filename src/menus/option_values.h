#pragma once
// The items of the options screen: which option each kind stands for, its range, how its value is
// shown and where, and what changing it does at once. A value the options record brings from a
// damaged file is read back inside its range, so it never picks a name or a volume past its table.
#include <cstdint>
#include <string>

// Item kinds: the index of an item in the project's options list.
enum eOptionKind : int {
  kOptionColour = 0,
  kOptionGamepad = 1,
  kOptionBgmVolume = 2,
  kOptionSeVolume = 3,
  kOptionRankingEntry = 4,
  kOptionRankingName = 5,
  kOptionReplayAutoSave = 6,
  kOptionReplayOrder = 7,
  kOptionMessageAuto = 8,
  kOptionBack = 9,
  kOptionKindCount = 10,
};

// Whether the kind is a value edited in place with up and down (not the name, not "back").
bool IsSteppedOption(int kind);
// The edited value of a stepped kind in g_OptionData; null for the other kinds.
int32_t* OptionValueRef(int kind);
// The largest value of a stepped kind (every range starts at 0); 0 for the other kinds.
int32_t OptionMaximum(int kind);
// The value of a stepped kind brought into its range (0 for the other kinds).
int32_t OptionValueInRange(int kind);

// The value as the screen shows it: numbers, "ON"/"OFF", the project's names, the ranking name,
// the seconds of the message auto-advance; nothing for "back".
std::string OptionValueText(int kind);
// The seconds of the message auto-advance: "0.0", "0.5", ... "10.0", then "OFF".
std::string MessageAutoText(int32_t value);
// x of the value column of a kind: 16 dots per character of its caption plus six, at least 224.
int OptionValueX(int kind);
// The caption of a kind in the project's options list ("" past the list).
const char* OptionCaption(int kind);

// What takes effect as soon as a value changes: the colour loads its palette table (8-bit colour
// only), the sound-effect volume sets every buffer of every sound slot. The others take effect
// where they are read.
void ApplyOptionValue(int kind);
