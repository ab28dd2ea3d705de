#pragma once
// Extra lives for the score at a stage's end: one per score step crossed by the score total.
#include <cstdint>

#include "data/save_data.h"

// Lives stop here.
constexpr int32_t kMaxLives = 99;

// The extra lives a raise of the score total from oldTotal to newTotal brings, given to progress:
// none with unlimited lives, without the project's extra lives by score or with a step of 0 or
// below. Lives stop at 99, and so does the count: a huge raise (or a tiny step) shows at most the
// lives that still fit, instead of one display per step crossed. showLife is called once per life
// given (its display); it may be null.
int GrantExtraLives(cSaveData& progress, int64_t oldTotal, int64_t newTotal, void (*showLife)());
