// Dialogs drawn in the game window (SDL's dummy video driver, input pushed as window-system events):
// typed and composed text reach the edit box through the dialog manager, a character Shift-JIS lacks
// is refused, Enter presses the default button, a click presses a button, the close box closes.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "platform/dialog/dialog_box.h"
#include "platform/dialog/dialog_hosts.h"
#include "platform/dialog_items.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/window/game_window.h"

namespace {
std::string s_Stored;

// A dialog of one edit box (10), OK (1, default) and Cancel (2).
DialogTemplate testTemplate() {
  DialogTemplate t;
  t.id = 950;
  t.caption = "テスト";
  t.width = 200;
  t.height = 80;
  t.items = {{10, DialogItemKind::Edit, "", 10, 10, 120, 14},
             {1, DialogItemKind::DefaultButton, "OK", 10, 40, 50, 18},
             {2, DialogItemKind::Button, "Cancel", 70, 40, 50, 18}};
  return t;
}

LRESULT testProc(HWND h, uint32_t msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) SetDialogPos(h, 100, 100);
  if (msg == WM_COMMAND && (wParam & 0xFFFF) == 1) {
    s_Stored = DlgItemText(h, 10);
    EndDialog(h, 1);
  }
  if (msg == WM_COMMAND && (wParam & 0xFFFF) == 2) EndDialog(h, 2);
  if (msg == WM_CLOSE) EndDialog(h, 0);
  return 0;
}

void pushText(Uint32 type, const char* utf8) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_TEXTINPUT)
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
  else
    std::strncpy(e.edit.text, utf8, sizeof e.edit.text - 1);
  SDL_PushEvent(&e);
}

void pushKey(SDL_Scancode scancode) {
  for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = scancode;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&e);
  }
}

void pushClick(int x, int y) {
  SDL_Event move{};
  move.type = SDL_MOUSEMOTION;
  move.motion.x = x;
  move.motion.y = y;
  SDL_PushEvent(&move);
  for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
    SDL_Event e{};
    e.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
  }
}

class DialogWindowHost : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(GameWindowInit(false, &why)) << why;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    m_pHost = MakeWindowDialogHost();
    ASSERT_NE(m_pHost, nullptr);
    m_pOld = SetDialogHost(m_pHost.get());
    s_Stored.clear();
    SetMessageBoxHandler([this](const char* text, const char*, unsigned) {
      m_Boxes.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    SetMessageBoxHandler(nullptr);
    SetDialogHost(m_pOld);
    m_pHost.reset();
    GameWindowShutdown();
  }
  // Runs the dialog; `input` pushes the user's actions from another thread once it is drawn.
  // The input comes once the dialog has been drawn twice (a click needs a window under it); a dialog
  // still open after 20 s is closed, so that a missed click fails the test instead of hanging it.
  int Run(std::function<void()> input) {
    std::atomic<bool> done{false};
    const uint64_t start = WindowDialogFramesDrawn();
    std::thread user([input, start, &done] {
      for (int waited = 0; WindowDialogFramesDrawn() < start + 2 && waited < 20000; waited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      input();
      for (int waited = 0; !done.load() && waited < 20000; waited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      if (!done.load()) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
      }
    });
    const int result = DialogBoxParam(testTemplate(), nullptr, testProc, 0);
    done.store(true);
    user.join();
    return result;
  }

  std::unique_ptr<DialogHost> m_pHost;
  DialogHost* m_pOld = nullptr;
  std::vector<std::string> m_Boxes;
};

TEST_F(DialogWindowHost, TypedTextAndEnter) {
  EXPECT_EQ(Run([] {
              pushText(SDL_TEXTINPUT, "ab");
              pushText(SDL_TEXTINPUT, "\xE3\x81\x82");  // あ
              pushKey(SDL_SCANCODE_BACKSPACE);
              pushText(SDL_TEXTINPUT, "c");
              pushKey(SDL_SCANCODE_RETURN);
            }),
            1);
  EXPECT_EQ(s_Stored, "abc");
}

TEST_F(DialogWindowHost, EnterDuringCompositionOnlyConfirmsIt) {
  EXPECT_EQ(Run([] {
              pushText(SDL_TEXTEDITING, "\xE3\x81\x82");  // composing あ
              pushKey(SDL_SCANCODE_RETURN);               // confirms: no OK
              pushText(SDL_TEXTINPUT, "\xE3\x81\x82");
              pushKey(SDL_SCANCODE_RETURN);
            }),
            1);
  EXPECT_EQ(s_Stored, "あ");
}

TEST_F(DialogWindowHost, CharacterShiftJisLacksIsRefused) {
  EXPECT_EQ(Run([] {
              pushText(SDL_TEXTINPUT, "x");
              pushText(SDL_TEXTINPUT, "y\xF0\x9F\x98\x80");
              pushKey(SDL_SCANCODE_RETURN);
            }),
            1);
  EXPECT_EQ(s_Stored, "x");
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0], RefusedTextMessage());
}

TEST_F(DialogWindowHost, ClickOnAButton) {
  // Cancel at (70, 40) dialog units = (122, 60) pixels, below the caption bar, in a dialog at (100, 100).
  EXPECT_EQ(Run([] { pushClick(100 + 122 + 20, 100 + 60 + 14 + 20); }), 2);
}

TEST_F(DialogWindowHost, ClickInTheEditBoxPutsTheCaretThere) {
  // The edit box starts at (10, 10) dialog units = (17, 15) pixels below the caption bar.
  EXPECT_EQ(Run([] {
              pushText(SDL_TEXTINPUT, "ab");
              std::this_thread::sleep_for(std::chrono::milliseconds(100));
              pushClick(100 + 17 + 2, 100 + 15 + 18 + 10);
              std::this_thread::sleep_for(std::chrono::milliseconds(100));
              pushText(SDL_TEXTINPUT, "c");
              pushKey(SDL_SCANCODE_RETURN);
            }),
            1);
  EXPECT_EQ(s_Stored, "cab");
}

TEST_F(DialogWindowHost, EscAndTheCloseBoxClose) {
  EXPECT_EQ(Run([] { pushKey(SDL_SCANCODE_ESCAPE); }), 0);
  EXPECT_EQ(Run([] {
              SDL_Event e{};
              e.type = SDL_QUIT;
              SDL_PushEvent(&e);
            }),
            0);
}
}  // namespace
