// The real SDL path under a driver without a display (SDL's dummy video driver): a window is made,
// shows a frame from the mailbox, follows the zoom geometry and goes away again.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "platform/gfx/frame_mailbox.h"
#include "platform/messages.h"
#include "platform/window/game_window.h"

namespace {
TEST(WindowSmoke, CreatesShowsAndDestroysUnderTheDummyDriver) {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (!driver) setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::string why;
  ASSERT_TRUE(GameWindowInit(false, &why)) << why;
  HWND target = CreateMessageWindow([](HWND, uint32_t, WPARAM, LPARAM) -> LRESULT { return 0; });
  ASSERT_TRUE(GameWindowCreate(target, 100, 100, 640, 480));
  EXPECT_TRUE(GameWindowExists());
  GameWindowSetTitle("テスト");
  GameWindowShow();
  int w = 0, h = 0;
  GameWindowClientSize(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  GameWindowPlace(0, 0, 1280, 960);
  GameWindowClientSize(&w, &h);
  EXPECT_EQ(w, 1280);
  EXPECT_EQ(h, 960);
  int bits = DesktopBitsPerPixel();
  EXPECT_TRUE(bits == 16 || bits == 32 || bits == 8) << bits;

  gfx::Frame frame;
  frame.width = 640;
  frame.height = 480;
  frame.pixels.assign(640 * 480, 0x00FF8000);
  gfx::TheFrameMailbox().Post(frame);
  ShowLatestFrame();
  PumpWindowEvents();
  ShowLatestFrame();  // nothing newer: nothing to do

  GameWindowDestroy();
  EXPECT_FALSE(GameWindowExists());
  DestroyMessageWindow(target);
  GameWindowShutdown();
  gfx::TheFrameMailbox().Clear();
}

// Alt+digit chooses a zoom only among the sizes offered; any other Alt+digit stays a key press.
TEST(WindowSmoke, ZoomKeysOfferOnlyTheSizesGiven) {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (!driver) setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::string why;
  ASSERT_TRUE(GameWindowInit(false, &why)) << why;
  HWND target = CreateMessageWindow([](HWND, uint32_t, WPARAM, LPARAM) -> LRESULT { return 0; });
  ASSERT_TRUE(GameWindowCreate(target, 100, 100, 640, 480));
  MSG msg;
  while (PeekMessage(&msg, true)) {}
  auto pressAltDigit = [](SDL_Scancode scancode) {
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
      SDL_Event e{};
      e.type = type;
      e.key.keysym.scancode = scancode;
      e.key.keysym.mod = KMOD_LALT;
      e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
      SDL_PushEvent(&e);
    }
    PumpWindowEvents();
    // The first message posted for the press.
    std::pair<uint32_t, WPARAM> first{0, 0};
    MSG m;
    while (PeekMessage(&m, true))
      if (first.first == 0) first = {m.message, m.wParam};
    return first;
  };
  EXPECT_EQ(ZoomKeyCount(), 0);  // a start offers nothing until the window says so
  EXPECT_EQ(pressAltDigit(SDL_SCANCODE_1), std::make_pair(WM_KEYDOWN, WPARAM{'1'}));
  SetZoomKeyCount(2);
  EXPECT_EQ(pressAltDigit(SDL_SCANCODE_1), std::make_pair(WM_SYSCOMMAND, WPARAM{1}));
  EXPECT_EQ(pressAltDigit(SDL_SCANCODE_2), std::make_pair(WM_SYSCOMMAND, WPARAM{2}));
  EXPECT_EQ(pressAltDigit(SDL_SCANCODE_3), std::make_pair(WM_KEYDOWN, WPARAM{'3'}));
  SetZoomKeyCount(20);  // the digit keys end at 9
  EXPECT_EQ(ZoomKeyCount(), 9);
  EXPECT_EQ(pressAltDigit(SDL_SCANCODE_9), std::make_pair(WM_SYSCOMMAND, WPARAM{9}));
  GameWindowDestroy();
  DestroyMessageWindow(target);
  GameWindowShutdown();
}

TEST(WindowSmoke, HeadlessWindowKeepsTheGeometry) {
  MSG msg;
  while (PeekMessage(&msg, true)) {}  // whatever an earlier window left in this thread's queue
  ASSERT_TRUE(GameWindowInit(true));
  HWND target = CreateMessageWindow([](HWND, uint32_t, WPARAM, LPARAM) -> LRESULT { return 0; });
  ASSERT_TRUE(GameWindowCreate(target, 100, 100, 640, 480));
  GameWindowShow();
  ASSERT_TRUE(PeekMessage(&msg, true));  // a virtual window is active once shown
  EXPECT_EQ(msg.message, WM_ACTIVATEAPP);
  EXPECT_EQ(msg.wParam, 1u);
  GameWindowCentre();
  QcRect r = GameWindowRect();
  QcRect desk = DesktopBounds();
  EXPECT_EQ(r.left, (desk.Width() - 640) / 2);
  EXPECT_EQ(r.top, (desk.Height() - 480) / 2);
  EXPECT_EQ(DesktopBitsPerPixel(), 32);
  GameWindowDestroy();
  DestroyMessageWindow(target);
  while (PeekMessage(&msg, true)) {}
  GameWindowShutdown();
}
}  // namespace
