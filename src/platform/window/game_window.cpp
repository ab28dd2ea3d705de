#include "platform/window/game_window.h"

#include <SDL.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/encoding.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/input/joystick.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/window/game_window_sdl.h"

namespace {
constexpr uint32_t kWmMove = 0x0003;
constexpr uint32_t kWmSize = 0x0005;
constexpr uint32_t kWmKeyUp = WM_KEYUP;
constexpr uint32_t kWmLButtonDown = 0x0201;

struct State {
  bool initialised = false;
  bool headless = false;
  HWND target = nullptr;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int textureWidth = 0, textureHeight = 0;
  uint64_t shownSerial = 0;
  int zoomKeys = 0;  // Alt+1 .. Alt+zoomKeys choose a zoom
  // The virtual window of headless runs.
  bool exists = false;
  bool shown = false;
  bool fullscreen = false;
  bool sizable = false;  // the player may drag the window's size
  bool maximized = false;
  bool minimized = false;
  int x = 0, y = 0, width = 0, height = 0;
};
State s_window;

// Geometry of the virtual desktop of headless runs.
constexpr QcRect kHeadlessDesktop{0, 0, 1920, 1080};
constexpr QcRect kHeadlessWorkArea{0, 0, 1920, 1040};

LPARAM packPoint(int a, int b) {
  return static_cast<LPARAM>((static_cast<uint32_t>(a) & 0xFFFF) | ((static_cast<uint32_t>(b) & 0xFFFF) << 16));
}

void post(uint32_t msg, WPARAM w, LPARAM l) {
  if (s_window.target) PostMessage(s_window.target, msg, w, l);
}

void borders(int* top, int* left, int* bottom, int* right) {
  *top = *left = *bottom = *right = 0;
  if (s_window.window && !s_window.fullscreen) SDL_GetWindowBordersSize(s_window.window, top, left, bottom, right);
}

bool EnvironmentSet(const char* name) {
  const char* value = SDL_getenv(name);
  return value && *value;
}

// A display to open the window on, or a video driver the user chose (which may need none).
bool HasDisplay() {
  return EnvironmentSet("SDL_VIDEODRIVER") || EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY");
}

std::string utf8(const char* cp932) {
  std::string out;
  Cp932ToUtf8(cp932 ? cp932 : "", out);
  return out;
}
}  // namespace

bool GameWindowInit(bool headless, std::string* why) {
  if (s_window.initialised) return true;
  s_window = State{};
  s_window.headless = headless;
  // Set before any part of SDL starts (the sound starts later).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (!headless) {
    if (!HasDisplay()) {
      if (why)
        *why =
            "there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set); run with --headless, or choose a "
            "video driver with SDL_VIDEODRIVER";
      return false;
    }
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) != 0) {
      if (why) *why = SDL_GetError();
      return false;
    }
  }
  s_window.initialised = true;
  return true;
}

void GameWindowShutdown() {
  if (!s_window.initialised) return;
  GameWindowDestroy();
  if (!s_window.headless) {
    CloseAllJoysticks();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK);
  }
  s_window.initialised = false;
}

bool GameWindowHeadless() { return s_window.headless; }

bool GameWindowCreate(HWND target, int x, int y, int clientWidth, int clientHeight) {
  s_window.target = target;
  s_window.x = x;
  s_window.y = y;
  s_window.width = clientWidth;
  s_window.height = clientHeight;
  if (s_window.headless) {
    s_window.exists = true;
    return true;
  }
  s_window.window = SDL_CreateWindow("", x, y, clientWidth, clientHeight,
                                     SDL_WINDOW_HIDDEN | (s_window.sizable ? SDL_WINDOW_RESIZABLE : 0));
  if (!s_window.window) return false;
  SDL_SetWindowMinimumSize(s_window.window, 100, 100);
  s_window.renderer = SDL_CreateRenderer(s_window.window, -1, 0);
  if (!s_window.renderer) s_window.renderer = SDL_CreateRenderer(s_window.window, -1, SDL_RENDERER_SOFTWARE);
  if (!s_window.renderer) {
    SDL_DestroyWindow(s_window.window);
    s_window.window = nullptr;
    return false;
  }
  // Full screen shows the 4:3 picture scaled into the desktop with bars.
  SDL_RenderSetLogicalSize(s_window.renderer, 640, 480);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  s_window.exists = true;
  return true;
}

void GameWindowDestroy() {
  if (s_window.texture) SDL_DestroyTexture(s_window.texture);
  if (s_window.renderer) SDL_DestroyRenderer(s_window.renderer);
  if (s_window.window) SDL_DestroyWindow(s_window.window);
  s_window.texture = nullptr;
  s_window.renderer = nullptr;
  s_window.window = nullptr;
  s_window.exists = false;
  s_window.target = nullptr;
  s_window.shownSerial = 0;
}

bool GameWindowExists() { return s_window.exists; }

SDL_Window* GameWindowSdlWindow() { return s_window.window; }

SDL_Renderer* GameWindowSdlRenderer() { return s_window.renderer; }

void GameWindowRedrawFrame() { s_window.shownSerial = 0; }

void GameWindowSetTitle(const char* cp932Title) {
  if (s_window.window) SDL_SetWindowTitle(s_window.window, utf8(cp932Title).c_str());
}

void GameWindowShow() {
  s_window.shown = true;
  if (s_window.window) {
    SDL_ShowWindow(s_window.window);
    SDL_RaiseWindow(s_window.window);
  }
  // A newly shown window is the active one; later focus changes arrive as events.
  if (s_window.exists) post(WM_ACTIVATEAPP, 1, 0);
}

void GameWindowSetFullscreen(bool fullscreen) {
  s_window.fullscreen = fullscreen;
  if (s_window.window) SDL_SetWindowFullscreen(s_window.window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

bool GameWindowIsFullscreen() { return s_window.fullscreen; }

void GameWindowSetSizable(bool sizable) {
  s_window.sizable = sizable;
  if (s_window.window) SDL_SetWindowResizable(s_window.window, sizable ? SDL_TRUE : SDL_FALSE);
}

bool GameWindowIsSizable() { return s_window.sizable; }

bool GameWindowIsMaximized() {
  if (s_window.window) return (SDL_GetWindowFlags(s_window.window) & SDL_WINDOW_MAXIMIZED) != 0;
  return s_window.maximized;
}

bool GameWindowIsMinimized() {
  if (s_window.window) return (SDL_GetWindowFlags(s_window.window) & SDL_WINDOW_MINIMIZED) != 0;
  return s_window.minimized;
}

void GameWindowRestore() {
  s_window.maximized = s_window.minimized = false;
  if (s_window.window) SDL_RestoreWindow(s_window.window);
}

void GameWindowMaximize() {
  s_window.maximized = true;
  if (s_window.window) SDL_MaximizeWindow(s_window.window);
}

QcRect GameWindowRect() {
  int x = s_window.x, y = s_window.y, w = s_window.width, h = s_window.height;
  int top, left, bottom, right;
  borders(&top, &left, &bottom, &right);
  if (s_window.window) {
    SDL_GetWindowPosition(s_window.window, &x, &y);
    SDL_GetWindowSize(s_window.window, &w, &h);
  }
  return QcRect{x - left, y - top, x + w + right, y + h + bottom};
}

void GameWindowClientSize(int* width, int* height) {
  int w = s_window.width, h = s_window.height;
  if (s_window.window) SDL_GetWindowSize(s_window.window, &w, &h);
  if (width) *width = w;
  if (height) *height = h;
}

void GameWindowPlace(int x, int y, int clientWidth, int clientHeight) {
  int top, left, bottom, right;
  borders(&top, &left, &bottom, &right);
  s_window.x = x + left;
  s_window.y = y + top;
  s_window.width = clientWidth;
  s_window.height = clientHeight;
  if (s_window.window) {
    SDL_SetWindowSize(s_window.window, clientWidth, clientHeight);
    SDL_SetWindowPosition(s_window.window, s_window.x, s_window.y);
  } else if (s_window.exists) {
    post(kWmMove, 0, packPoint(s_window.x, s_window.y));
    post(kWmSize, 0, packPoint(clientWidth, clientHeight));
  }
}

void GameWindowMove(int x, int y) {
  int w, h;
  GameWindowClientSize(&w, &h);
  GameWindowPlace(x, y, w, h);
}

void GameWindowCentre() {
  QcRect desk = DesktopBounds();
  QcRect r = GameWindowRect();
  GameWindowMove(desk.left + (desk.Width() - r.Width()) / 2, desk.top + (desk.Height() - r.Height()) / 2);
}

QcRect DesktopWorkArea() {
  if (s_window.headless || !s_window.initialised) return kHeadlessWorkArea;
  SDL_Rect r;
  int display = s_window.window ? SDL_GetWindowDisplayIndex(s_window.window) : 0;
  if (display < 0 || SDL_GetDisplayUsableBounds(display, &r) != 0) return DesktopBounds();
  return QcRect{r.x, r.y, r.x + r.w, r.y + r.h};
}

QcRect DesktopBounds() {
  if (s_window.headless || !s_window.initialised) return kHeadlessDesktop;
  SDL_Rect r;
  int display = s_window.window ? SDL_GetWindowDisplayIndex(s_window.window) : 0;
  if (display < 0 || SDL_GetDisplayBounds(display, &r) != 0) return kHeadlessDesktop;
  return QcRect{r.x, r.y, r.x + r.w, r.y + r.h};
}

int DesktopBitsPerPixel() {
  int bits = 32;
  if (!s_window.headless && s_window.initialised) {
    SDL_DisplayMode mode;
    int display = s_window.window ? SDL_GetWindowDisplayIndex(s_window.window) : 0;
    if (display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0) bits = SDL_BITSPERPIXEL(mode.format);
  }
  // 24-bit desktops keep their pixels in 32 bits; a window on them draws as on a 32-bit desktop.
  return bits == 24 ? 32 : bits;
}

void SetZoomKeyCount(int count) { s_window.zoomKeys = std::clamp(count, 0, 9); }

int ZoomKeyCount() { return s_window.zoomKeys; }

void PumpWindowEvents() {
  if (s_window.headless || !s_window.initialised) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT: post(WM_CLOSE, 0, 0); break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE: post(WM_CLOSE, 0, 0); break;
          case SDL_WINDOWEVENT_FOCUS_GAINED: post(WM_ACTIVATEAPP, 1, 0); break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            ReleaseAllKeys();
            post(WM_ACTIVATEAPP, 0, 0);
            break;
          case SDL_WINDOWEVENT_MOVED: post(kWmMove, 0, packPoint(e.window.data1, e.window.data2)); break;
          case SDL_WINDOWEVENT_SIZE_CHANGED: post(kWmSize, 0, packPoint(e.window.data1, e.window.data2)); break;
          case SDL_WINDOWEVENT_EXPOSED: s_window.shownSerial = 0; break;
          default: break;
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        int vk = VirtualKeyFromScancode(e.key.keysym.scancode);
        if (!vk) break;
        bool down = e.type == SDL_KEYDOWN;
        SetKeyState(vk, down);
        if (down && e.key.repeat) break;
        if (down && (e.key.keysym.mod & KMOD_ALT) && vk >= '1' && vk < '1' + s_window.zoomKeys) {
          post(WM_SYSCOMMAND, static_cast<WPARAM>(vk - '0'), 0);
          break;
        }
        post(down ? WM_KEYDOWN : kWmKeyUp, static_cast<WPARAM>(vk), 0);
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        if (e.button.button == SDL_BUTTON_LEFT) {
          SetKeyState(VK_LBUTTON, down);
          if (down) post(kWmLButtonDown, 0, packPoint(e.button.x, e.button.y));
        } else if (e.button.button == SDL_BUTTON_RIGHT) {
          SetKeyState(VK_RBUTTON, down);
          if (down) post(WM_RBUTTONDOWN, 0, packPoint(e.button.x, e.button.y));
        }
        break;
      }
      case SDL_JOYDEVICEADDED: JoystickDeviceAdded(e.jdevice.which); break;
      case SDL_JOYDEVICEREMOVED: JoystickDeviceRemoved(e.jdevice.which); break;
      default: break;
    }
  }
  RefreshJoysticks();
}

void GameWindowPostKey(int vk, bool down) {
  if (s_window.exists) post(down ? WM_KEYDOWN : kWmKeyUp, static_cast<WPARAM>(vk), 0);
}

void ShowLatestFrame() {
  if (!s_window.renderer) return;
  uint64_t serial = s_window.shownSerial;
  auto frame = gfx::TheFrameMailbox().TakeIfNewer(&serial);
  if (!frame) return;
  s_window.shownSerial = serial;
  if (frame->width <= 0 || frame->height <= 0) return;
  if (!s_window.texture || s_window.textureWidth != frame->width || s_window.textureHeight != frame->height) {
    if (s_window.texture) SDL_DestroyTexture(s_window.texture);
    s_window.texture = SDL_CreateTexture(s_window.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                         frame->width, frame->height);
    if (!s_window.texture) return;
    SDL_SetTextureBlendMode(s_window.texture, SDL_BLENDMODE_NONE);
    s_window.textureWidth = frame->width;
    s_window.textureHeight = frame->height;
  }
  SDL_UpdateTexture(s_window.texture, nullptr, frame->pixels.data(), frame->width * 4);
  SDL_SetRenderDrawColor(s_window.renderer, 0, 0, 0, 255);
  SDL_RenderClear(s_window.renderer);
  SDL_RenderCopy(s_window.renderer, s_window.texture, nullptr, nullptr);
  SDL_RenderPresent(s_window.renderer);
}
