#pragma once
// What the flow, condition, type and stage records ask of the rest of the game's data while they
// load and normalise: the lengths of the database lists their references point into, the durations
// of a sword type's entries, the parameter count of a command kind, and whether flows flagged for
// test play are kept.
#include <cstdint>
#include <vector>

enum class eDbList {
  AnimeSet,
  Anime,
  BmpCharaExc,
  SwordType,
  Effect,
  CharaEffect,
  ScrEffect,
  Picture,
  Sound,
  Bgm,
};

// Number of entries of a database list.
int DbCount(eDbList list);

// Field 10 (duration in tenths of a second) of every entry of sword type n, in entry order; empty
// when n is not a row of the sword-type list.
std::vector<int32_t> DbSwordDurations(int swordType);

// Parameter count of a command kind of a context (0 character context, any other value the item
// context); -1 when the kind is not a row of that context's table.
int CmdKindParamCount(int context, int kind);

// Whether test-play-only flows survive loading: in a test play (the context's setting, which the
// shell sets at start-up), or when the project keeps them.
bool KeepTestPlayFlows();

// A reference into a list of count entries, checked as unsigned so that a negative value counts as
// too large: returns value when it names an entry, else resetTo when that names one, else 0.
int32_t ClampRef(int32_t value, int32_t count, int32_t resetTo);
