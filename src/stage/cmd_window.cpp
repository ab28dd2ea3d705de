#include "stage/cmd_window.h"

#include <algorithm>

#include "core/containers.h"
#include "core/strings.h"
#include "media/graphics/font.h"

namespace {

constexpr int kCell = 16;

// The widest enabled caption, in characters.
int WidestCaption(const std::vector<cCmd>& commands) {
  int widest = 0;
  for (const cCmd& cmd : commands)
    if (cmd.m_bEnabled) widest = std::max(widest, CountSjisChars(cmd.m_strCaption.c_str()));
  return widest;
}

}  // namespace

void DrawCmdWindow(DDSURFACEDATA* surface, int x, int y, const std::vector<cCmd>& commands) {
  const int widest = WidestCaption(commands);
  if (widest == 0) return;
  const int count = GetCmdCount(commands);
  cFont& font = g_Font[1];
  font.DrawBox(surface, x, y, (widest + 1) * kCell, count * kCell);
  for (int row = 0; row < count; ++row)
    font.DrawString(surface, x + kCell, y + row * kCell,
                    VecAt(commands, GetCmdNum(row, commands)).m_strCaption.c_str());
}

int GetCmdWindowLeft(int centreX, const std::vector<cCmd>& commands) {
  const int widest = WidestCaption(commands);
  if (widest == 0) return centreX;
  return centreX - ((widest + 1) * kCell) / 2;
}
