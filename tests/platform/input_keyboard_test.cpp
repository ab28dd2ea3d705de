// Keyboard snapshot: scancodes by US position, and the generic modifier codes.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"

namespace {
TEST(Keyboard, ScancodesMapToVirtualKeys) {
  struct {
    int scancode, vk;
  } cases[] = {{SDL_SCANCODE_Z, 'Z'},
               {SDL_SCANCODE_LEFT, VK_LEFT},
               {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
               {SDL_SCANCODE_F1, VK_F1},
               {SDL_SCANCODE_0, '0'},
               {SDL_SCANCODE_SEMICOLON, VK_OEM_1},
               {SDL_SCANCODE_GRAVE, VK_OEM_3},
               {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5},
               {SDL_SCANCODE_KP_ENTER, VK_RETURN},
               {SDL_SCANCODE_SPACE, VK_SPACE},
               {SDL_SCANCODE_RSHIFT, VK_RSHIFT}};
  for (auto c : cases) EXPECT_EQ(VirtualKeyFromScancode(c.scancode), c.vk) << c.scancode;
}

TEST(Keyboard, GenericModifiersFollowBothSides) {
  ReleaseAllKeys();
  SetKeyState(VK_LSHIFT, true);
  SetKeyState(VK_RSHIFT, true);
  SetKeyState(VK_LSHIFT, false);
  EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
  SetKeyState(VK_RSHIFT, false);
  EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
  EXPECT_EQ(GetAsyncKeyState(0), 0);
  EXPECT_EQ(GetAsyncKeyState(256), 0);
  ReleaseAllKeys();
}
}  // namespace
