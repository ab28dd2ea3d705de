#include "platform/window/window_box_run.h"

#include <SDL.h>

#include <string>

#include "platform/encoding.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/window/game_window.h"
#include "platform/window/game_window_sdl.h"
#include "platform/window/overlay_screen.h"
#include "platform/window/window_box.h"

namespace {
constexpr int kBoxWidth = 640, kBoxHeight = 480;  // the picture's size, as the game window shows it

// Where the box is drawn, with the texture its picture goes through.
class BoxScreen {
 public:
  explicit BoxScreen(const char* captionCp932) : m_Screen(Utf8Caption(captionCp932).c_str()) {
    if (m_Screen.Renderer())
      m_pTexture = SDL_CreateTexture(m_Screen.Renderer(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                     kBoxWidth, kBoxHeight);
  }
  ~BoxScreen() {
    if (m_pTexture) SDL_DestroyTexture(m_pTexture);
  }
  BoxScreen(const BoxScreen&) = delete;
  BoxScreen& operator=(const BoxScreen&) = delete;

  bool Ready() const { return m_pTexture != nullptr; }

  void Show(const gfx::Frame& frame) {
    SDL_Renderer* renderer = m_Screen.Renderer();
    SDL_UpdateTexture(m_pTexture, nullptr, frame.pixels.data(), frame.width * 4);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, m_pTexture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
  }

 private:
  static std::string Utf8Caption(const char* captionCp932) {
    std::string caption;
    Cp932ToUtf8(captionCp932 ? captionCp932 : "", caption);
    return caption;
  }

  OverlayScreen m_Screen;
  SDL_Texture* m_pTexture = nullptr;
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
