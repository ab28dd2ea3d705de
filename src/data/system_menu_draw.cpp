// Drawing a menu of system texts. Kept apart from the settings record so that only programs that
// draw menus pull in the graphics layer.
#include "data/system_data.h"
#include "media/graphics/display.h"
#include "media/graphics/font.h"

namespace {
constexpr int kMenuFont = 1;  // the second game font
}

void cSystemData::DrawSystemMenu(int x, int y, int first, int count, int cursor) const {
  if (count <= 0) return;
  int width = 0, height = 0;
  const std::string text = BuildSystemMenuText(first, count, cursor, &width, &height);
  g_Font[kMenuFont].DrawBoxStringF(&g_BackBufferSD, x, y, width, height, "%s", text.c_str());
}
