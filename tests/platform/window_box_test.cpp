// The message box drawn inside the game window when the system's box cannot be shown: its layout,
// picture and answers, and the whole route from a box that SDL fails to show to an answer given in
// the window (SDL's dummy video driver, input pushed as window-system events).
#include "platform/window/window_box.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/gfx/frame_mailbox.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/png_writer.h"
#include "platform/window/game_window.h"
#include "platform/window/message_boxes.h"

namespace {

// The quit question of the game, with its trailing line feed.
const std::string kQuestion = "終了しますか？\n";
const std::string kCaption = "終了確認";

int Brightness(uint32_t p) { return static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)); }

// Pixels inside the rectangle darker than half grey: the text drawn there.
int DarkPixels(const gfx::Frame& f, const cBoxRect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += Brightness(f.At(x, y)) < 3 * 128;
  return n;
}

TEST(WindowBox, LaysOutTheTextAndTheButtonsOfItsType) {
  struct Case {
    unsigned type;
    std::vector<int> ids;
    int escape;
  };
  const Case cases[] = {
      {MB_OK, {IDOK}, IDOK},
      {MB_OKCANCEL | MB_ICONWARNING, {IDOK, IDCANCEL}, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, IDNO},
  };
  for (const Case& c : cases) {
    cWindowBox box(kQuestion, kCaption, c.type);
    std::vector<int> ids;
    for (const auto& b : box.Buttons()) {
      ids.push_back(b.id);
      EXPECT_GE(b.rect.left, box.Frame().left);
      EXPECT_LE(b.rect.right, box.Frame().right);
      EXPECT_LE(b.rect.bottom, box.Frame().bottom);
    }
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(box.EscapeAnswer(), c.escape);
    EXPECT_EQ(box.Lines(), std::vector<std::string>{"終了しますか？"});  // no empty line for the last line feed
  }
  // A long text is wrapped inside the box, at spaces where it has them, and keeps every character.
  std::string longText;
  for (int i = 0; i < 12; ++i) longText += "The file could not be read. ";
  longText +=
      "\nデータベースの読み込みに失敗しました。データベースの読み込みに失敗しました。データベースの読み込みに失敗しまし"
      "た。";
  cWindowBox box(longText, "Error", MB_OK);
  ASSERT_GT(box.Lines().size(), 3u);
  EXPECT_LE(box.Frame().right, 640);
  EXPECT_GE(box.Frame().left, 0);
  std::string joined;
  for (const std::string& line : box.Lines()) joined += line;
  std::string expected = longText;
  std::erase(expected, '\n');
  EXPECT_EQ(joined, expected);
  EXPECT_EQ(box.Lines()[0].back(), ' ');
}

TEST(WindowBox, DrawsOverTheDimmedPicture) {
  gfx::Frame backdrop;
  backdrop.width = 640;
  backdrop.height = 480;
  backdrop.pixels.assign(640 * 480, 0xFFFFFF);
  cWindowBox box(kQuestion, kCaption, MB_YESNO);
  const gfx::Frame f = box.Draw(&backdrop);
  ASSERT_EQ(f.width, 640);
  ASSERT_EQ(f.height, 480);
  EXPECT_EQ(f.At(0, 0), 0x7F7F7Fu);  // outside the box: the picture, dimmed
  const cBoxRect& frame = box.Frame();
  // The text stands in the box below its caption bar, each button has its label.
  EXPECT_GT(DarkPixels(f, {frame.left + 4, frame.top + 30, frame.right - 4, box.Buttons()[0].rect.top}), 40);
  for (const auto& b : box.Buttons())
    EXPECT_GT(DarkPixels(f, {b.rect.left + 3, b.rect.top + 3, b.rect.right - 3, b.rect.bottom - 3}), 10) << b.label;
  // Without a picture of the window's size the box stands on black.
  EXPECT_EQ(box.Draw(nullptr).At(0, 0), 0u);
  if (const char* dump = std::getenv("QC4_WINDOW_BOX_PNG"))
    WritePngRgb32(dump, f.pixels.data(), f.width, f.height, f.width);
}

TEST(WindowBox, KeysAndClicksAnswer) {
  struct Case {
    const char* name;
    unsigned type;
    std::vector<int> keys;
    int answer;  // after the last key
  };
  const Case cases[] = {
      {"Enter on the first button", MB_YESNO, {VK_RETURN}, IDYES},
      {"Esc", MB_YESNO, {VK_ESCAPE}, IDNO},
      {"Esc of a plain box", MB_OK, {VK_ESCAPE}, IDOK},
      {"Esc of OK/Cancel", MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
      {"focus moved right", MB_YESNO, {VK_RIGHT, VK_SPACE}, IDNO},
      {"focus wraps round", MB_YESNO, {VK_TAB, VK_TAB, VK_RETURN}, IDYES},
      {"focus moved left", MB_OKCANCEL, {VK_LEFT, VK_RETURN}, IDCANCEL},
      {"N names No", MB_YESNO, {'N'}, IDNO},
      {"C names Cancel", MB_OKCANCEL, {'C'}, IDCANCEL},
      {"other keys do nothing", MB_YESNO, {'Q', VK_F1}, 0},
  };
  for (const Case& c : cases) {
    cWindowBox box("?", "", c.type);
    int answer = 0;
    for (int vk : c.keys) {
      EXPECT_EQ(answer, 0) << c.name << ": answered before its last key";
      answer = box.OnKey(vk);
    }
    EXPECT_EQ(answer, c.answer) << c.name;
  }
  // A click is a press and a release on the same button.
  cWindowBox box(kQuestion, kCaption, MB_YESNO);
  const cBoxRect yes = box.Buttons()[0].rect, no = box.Buttons()[1].rect;
  EXPECT_EQ(box.OnMouseDown(yes.left + 2, yes.top + 2), 0);
  EXPECT_EQ(box.OnMouseUp(no.left + 2, no.top + 2), 0);  // slid off: nothing
  EXPECT_EQ(box.OnMouseDown(box.Frame().left + 2, box.Frame().top + 40), 0);
  EXPECT_EQ(box.OnMouseUp(box.Frame().left + 2, box.Frame().top + 40), 0);  // not on a button
  EXPECT_EQ(box.OnMouseDown(no.left + 2, no.top + 2), 0);
  EXPECT_EQ(box.Focus(), 1);
  EXPECT_EQ(box.OnMouseUp(no.right - 2, no.bottom - 2), IDNO);
}

// The system's box fails, as SDL's does on X11 without core fonts.
bool failingSystemBox(const char*, const char*, unsigned, int*) { return false; }

class WindowBoxRoute : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string why;
    ASSERT_TRUE(GameWindowInit(false, &why)) << why;
    m_previous = SetSystemMessageBox(failingSystemBox);
    InstallWindowMessageBoxes();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  void TearDown() override {
    RemoveWindowMessageBoxes();
    SetSystemMessageBox(m_previous);
    if (m_target) {
      GameWindowDestroy();
      DestroyMessageWindow(m_target);
    }
    MSG msg;
    while (PeekMessage(&msg, true)) {}
    GameWindowShutdown();
    gfx::TheFrameMailbox().Clear();
    ReleaseAllKeys();
  }
  void createGameWindow() {
    m_target = CreateMessageWindow([](HWND, uint32_t, WPARAM, LPARAM) -> LRESULT { return 0; });
    ASSERT_TRUE(GameWindowCreate(m_target, 100, 100, 640, 480));
    GameWindowShow();
  }
  static void pushKey(SDL_Scancode scancode) {
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
      SDL_Event e{};
      e.type = type;
      e.key.keysym.scancode = scancode;
      e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
      SDL_PushEvent(&e);
    }
  }
  static void pushClick(int x, int y) {
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
      SDL_Event e{};
      e.type = type;
      e.button.button = SDL_BUTTON_LEFT;
      e.button.x = x;
      e.button.y = y;
      SDL_PushEvent(&e);
    }
  }

  HWND m_target = nullptr;
  SystemMessageBoxFn m_previous = nullptr;
};

TEST_F(WindowBoxRoute, TheBoxIsAnsweredInTheGameWindow) {
  createGameWindow();
  // (Every answer but the close box's differs from the default answer a box nobody saw would get.)
  pushKey(SDL_SCANCODE_RIGHT);
  pushKey(SDL_SCANCODE_RIGHT);
  pushKey(SDL_SCANCODE_RETURN);
  EXPECT_EQ(ShowMessageBox(kQuestion.c_str(), kCaption.c_str(), MB_YESNO), IDYES);
  // The keys answered the box and did not reach the game as key presses; the release of the last one
  // comes after the box, and no key stays held.
  PumpWindowEvents();
  MSG msg;
  while (PeekMessage(&msg, true)) EXPECT_NE(msg.message, WM_KEYDOWN);
  EXPECT_EQ(GetAsyncKeyState(VK_RETURN), 0);

  // A click on a button, where the box lays it out.
  const cBoxRect ok = cWindowBox("Saved.", "", MB_OKCANCEL).Buttons()[0].rect;
  pushClick(ok.left + 4, ok.top + 4);
  EXPECT_EQ(ShowMessageBox("Saved.", "", MB_OKCANCEL), IDOK);
  // The close box gives the escape answer.
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  EXPECT_EQ(ShowMessageBox(kQuestion.c_str(), kCaption.c_str(), MB_YESNO), IDNO);
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 0);  // the box took it
}

TEST_F(WindowBoxRoute, ABoxAskedByAnotherThreadIsShownOnTheUiThread) {
  createGameWindow();
  pushKey(SDL_SCANCODE_Y);
  std::atomic<int> answer{0};  // written by the asking thread, polled here
  std::thread game([&] { answer = ShowMessageBox(kQuestion.c_str(), kCaption.c_str(), MB_YESNO); });
  // The UI thread's loop serves the request.
  for (int i = 0; i < 200000 && answer == 0; ++i) {
    MSG msg;
    if (PeekMessage(&msg, true)) DispatchMessage(&msg);
    std::this_thread::yield();
  }
  game.join();
  EXPECT_EQ(answer, IDYES);
}

TEST_F(WindowBoxRoute, ABoxBeforeTheGameWindowGetsAWindowOfItsOwn) {
  pushKey(SDL_SCANCODE_Y);
  EXPECT_EQ(ShowMessageBox("既に起動しています。", "二重起動", MB_YESNO), IDYES);
  EXPECT_FALSE(GameWindowExists());
}

}  // namespace
