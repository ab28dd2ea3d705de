#include "objects/play_objects.h"

#include <new>

cPlayObjects g_PlayObjects;

void ResetPlayObjects() {
  g_PlayObjects.~cPlayObjects();
  new (&g_PlayObjects) cPlayObjects();
}
