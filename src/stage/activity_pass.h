#pragma once
// The passes of a play frame's sub-step around the characters' moves that stage play owns: the
// activity pass at the start of every sub-step (who is present, on screen and acting) and the keep
// areas on the first sub-step (characters and items far outside the view go).
class cStageState;
class cCharaBase;
class cItem;

// The hero is always present; each character and item is present when its appearance conditions
// hold, on screen by its rectangle; the characters raise their group's activity flag and act when
// IsActiveNow says so; every shot is present.
void StepActivity(cStageState& stage);
// Keep areas 1 (characters), 2 (block characters), 3 (items), each when any of its sides is on; only
// on sub-step 1 and while the hero lives.
void StepKeepAreas(int subStep);
// The appearance conditions of a character or an item, with the once-latch of its type.
bool AppearanceHolds(cCharaBase& chara);
bool AppearanceHolds(cItem& item);
