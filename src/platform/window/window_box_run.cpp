#include "platform/window/window_box_run.h"

#include <SDL.h>

#include <string>

#include "platform/encoding.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/window/game_window.h"
#include "platform/window/game_window_sdl.h"
#include "platform/window/window_box.h"

namespace {
constexpr int kBoxWidth = 640, kBoxHeight = 480;  // the picture's size, as the game window shows it

// Where the box is drawn: the game window, or a window made for the box alone.
class BoxScreen {
 public:
  explicit BoxScreen(const char* captionCp932) {
    if (GameWindowHeadless() || !SDL_WasInit(SDL_INIT_VIDEO)) return;
    m_pWindow = GameWindowSdlWindow();
    m_pRenderer = GameWindowSdlRenderer();
    if (m_pWindow && m_pRenderer) {
      // A window not shown yet (start-up) is shown for the box and hidden again after it.
      m_bHideAfter = (SDL_GetWindowFlags(m_pWindow) & SDL_WINDOW_SHOWN) == 0;
      SDL_ShowWindow(m_pWindow);
    } else {
      std::string caption;
      Cp932ToUtf8(captionCp932 ? captionCp932 : "", caption);
      m_pWindow =
          SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kBoxWidth, kBoxHeight, 0);
      if (m_pWindow) m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, 0);
      if (m_pWindow && !m_pRenderer) m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, SDL_RENDERER_SOFTWARE);
      if (m_pRenderer) SDL_RenderSetLogicalSize(m_pRenderer, kBoxWidth, kBoxHeight);
      m_bOwnWindow = true;
    }
    if (m_pRenderer)
      m_pTexture =
          SDL_CreateTexture(m_pRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kBoxWidth, kBoxHeight);
    if (m_pWindow) SDL_RaiseWindow(m_pWindow);
  }

  ~BoxScreen() {
    if (m_pTexture) SDL_DestroyTexture(m_pTexture);
    if (m_bOwnWindow) {
      if (m_pRenderer) SDL_DestroyRenderer(m_pRenderer);
      if (m_pWindow) SDL_DestroyWindow(m_pWindow);
    } else {
      if (m_bHideAfter && m_pWindow) SDL_HideWindow(m_pWindow);
      GameWindowRedrawFrame();  // the game's picture comes back
    }
  }
  BoxScreen(const BoxScreen&) = delete;
  BoxScreen& operator=(const BoxScreen&) = delete;

  bool Ready() const { return m_pTexture != nullptr; }

  void Show(const gfx::Frame& frame) {
    SDL_UpdateTexture(m_pTexture, nullptr, frame.pixels.data(), frame.width * 4);
    SDL_SetRenderDrawColor(m_pRenderer, 0, 0, 0, 255);
    SDL_RenderClear(m_pRenderer);
    SDL_RenderCopy(m_pRenderer, m_pTexture, nullptr, nullptr);
    SDL_RenderPresent(m_pRenderer);
  }

 private:
  SDL_Window* m_pWindow = nullptr;
  SDL_Renderer* m_pRenderer = nullptr;
  SDL_Texture* m_pTexture = nullptr;
  bool m_bOwnWindow = false;
  bool m_bHideAfter = false;
};

// One window-system event given to the box: the answer when it answers it, else 0; *redraw is set
// when the box must be drawn again.
int handleEvent(const SDL_Event& e, cWindowBox& box, bool* redraw) {
  switch (e.type) {
    case SDL_QUIT: return box.EscapeAnswer();
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) return box.EscapeAnswer();
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys();
      *redraw = true;
      return 0;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const int vk = VirtualKeyFromScancode(e.key.keysym.scancode);
      if (!vk) return 0;
      SetKeyState(vk, e.type == SDL_KEYDOWN);
      if (e.type == SDL_KEYUP) return 0;
      *redraw = true;
      return box.OnKey(vk);
    }
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.button != SDL_BUTTON_LEFT) return 0;
      *redraw = true;
      return box.OnMouseDown(e.button.x, e.button.y);
    case SDL_MOUSEBUTTONUP:
      if (e.button.button != SDL_BUTTON_LEFT) return 0;
      return box.OnMouseUp(e.button.x, e.button.y);
    case SDL_JOYDEVICEADDED: JoystickDeviceAdded(e.jdevice.which); return 0;
    case SDL_JOYDEVICEREMOVED: JoystickDeviceRemoved(e.jdevice.which); return 0;
    default: return 0;
  }
}
}  // namespace

int RunWindowBox(const char* textCp932, const char* captionCp932, unsigned type) {
  BoxScreen screen(captionCp932);
  if (!screen.Ready()) return 0;
  cWindowBox box(textCp932 ? textCp932 : "", captionCp932 ? captionCp932 : "", type, kBoxWidth, kBoxHeight);
  const auto backdrop = gfx::TheFrameMailbox().Latest();
  int answer = 0;
  bool redraw = true;
  while (answer == 0) {
    if (redraw) screen.Show(box.Draw(backdrop.get()));
    redraw = false;
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 100)) answer = handleEvent(e, box, &redraw);
  }
  return answer;
}
