#include "shell/system_menu_draw.h"

#include "media/graphics/display.h"
#include "media/graphics/font.h"

namespace {
constexpr int kMenuFont = 1;
}

void DrawSystemMenu(const cSystemData& system, int x, int y, int first, int count, int cursor) {
  if (count <= 0) return;
  int width = 0, height = 0;
  const std::string text = system.BuildSystemMenuText(first, count, cursor, &width, &height);
  g_Font[kMenuFont].DrawBoxStringF(&g_BackBufferSD, x, y, width, height, "%s", text.c_str());
}
