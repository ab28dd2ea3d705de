#pragma once
// A fresh run up to the objects layer for one test: the objects' context (objects/play_objects.h),
// and with it the game data below it, is rebuilt as at start when the test begins and again when it
// ends. Hold one as a member of a fixture, or as a local at the top of a test.
#include "objects/play_objects.h"

class cFreshPlayObjects {
 public:
  cFreshPlayObjects() { g_PlayObjects.Reset(); }
  ~cFreshPlayObjects() { g_PlayObjects.Reset(); }
  cFreshPlayObjects(const cFreshPlayObjects&) = delete;
  cFreshPlayObjects& operator=(const cFreshPlayObjects&) = delete;
};
