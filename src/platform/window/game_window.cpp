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
  bool maximized = false;
  bool minimized = false;
  int x = 0, y = 0, width = 0, height = 0;
};
State g;

// Geometry of the virtual desktop of headless runs.
constexpr QcRect kHeadlessDesktop{0, 0, 1920, 1080};
constexpr QcRect kHeadlessWorkArea{0, 0, 1920, 1040};

LPARAM packPoint(int a, int b) {
  return static_cast<LPARAM>((static_cast<uint32_t>(a) & 0xFFFF) | ((static_cast<uint32_t>(b) & 0xFFFF) << 16));
}

void post(uint32_t msg, WPARAM w, LPARAM l) {
  if (g.target) PostMessage(g.target, msg, w, l);
}

void borders(int* top, int* left, int* bottom, int* right) {
  *top = *left = *bottom = *right = 0;
  if (g.window && !g.fullscreen) SDL_GetWindowBordersSize(g.window, top, left, bottom, right);
}

std::string utf8(const char* cp932) {
  std::string out;
  Cp932ToUtf8(cp932 ? cp932 : "", out);
  return out;
}
}  // namespace

bool GameWindowInit(bool headless) {
  if (g.initialised) return true;
  g = State{};
  g.headless = headless;
  if (!headless) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) != 0) return false;
  }
  g.initialised = true;
  return true;
}

void GameWindowShutdown() {
  if (!g.initialised) return;
  GameWindowDestroy();
  if (!g.headless) {
    CloseAllJoysticks();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK);
  }
  g.initialised = false;
}

bool GameWindowHeadless() { return g.headless; }

bool GameWindowCreate(HWND target, int x, int y, int clientWidth, int clientHeight) {
  g.target = target;
  g.x = x;
  g.y = y;
  g.width = clientWidth;
  g.height = clientHeight;
  if (g.headless) {
    g.exists = true;
    return true;
  }
  g.window = SDL_CreateWindow("", x, y, clientWidth, clientHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!g.window) return false;
  SDL_SetWindowMinimumSize(g.window, 100, 100);
  g.renderer = SDL_CreateRenderer(g.window, -1, 0);
  if (!g.renderer) g.renderer = SDL_CreateRenderer(g.window, -1, SDL_RENDERER_SOFTWARE);
  if (!g.renderer) {
    SDL_DestroyWindow(g.window);
    g.window = nullptr;
    return false;
  }
  // Full screen shows the 4:3 picture scaled into the desktop with bars.
  SDL_RenderSetLogicalSize(g.renderer, 640, 480);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  g.exists = true;
  return true;
}

void GameWindowDestroy() {
  if (g.texture) SDL_DestroyTexture(g.texture);
  if (g.renderer) SDL_DestroyRenderer(g.renderer);
  if (g.window) SDL_DestroyWindow(g.window);
  g.texture = nullptr;
  g.renderer = nullptr;
  g.window = nullptr;
  g.exists = false;
  g.target = nullptr;
  g.shownSerial = 0;
}

bool GameWindowExists() { return g.exists; }

SDL_Window* GameWindowSdlWindow() { return g.window; }

SDL_Renderer* GameWindowSdlRenderer() { return g.renderer; }

void GameWindowRedrawFrame() { g.shownSerial = 0; }

void GameWindowSetTitle(const char* cp932Title) {
  if (g.window) SDL_SetWindowTitle(g.window, utf8(cp932Title).c_str());
}

void GameWindowShow() {
  g.shown = true;
  if (g.window) {
    SDL_ShowWindow(g.window);
    SDL_RaiseWindow(g.window);
  }
  // A newly shown window is the active one; later focus changes arrive as events.
  if (g.exists) post(WM_ACTIVATEAPP, 1, 0);
}

void GameWindowSetFullscreen(bool fullscreen) {
  g.fullscreen = fullscreen;
  if (g.window) SDL_SetWindowFullscreen(g.window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

bool GameWindowIsFullscreen() { return g.fullscreen; }

bool GameWindowIsMaximized() {
  if (g.window) return (SDL_GetWindowFlags(g.window) & SDL_WINDOW_MAXIMIZED) != 0;
  return g.maximized;
}

bool GameWindowIsMinimized() {
  if (g.window) return (SDL_GetWindowFlags(g.window) & SDL_WINDOW_MINIMIZED) != 0;
  return g.minimized;
}

void GameWindowRestore() {
  g.maximized = g.minimized = false;
  if (g.window) SDL_RestoreWindow(g.window);
}

void GameWindowMaximize() {
  g.maximized = true;
  if (g.window) SDL_MaximizeWindow(g.window);
}

QcRect GameWindowRect() {
  int x = g.x, y = g.y, w = g.width, h = g.height;
  int top, left, bottom, right;
  borders(&top, &left, &bottom, &right);
  if (g.window) {
    SDL_GetWindowPosition(g.window, &x, &y);
    SDL_GetWindowSize(g.window, &w, &h);
  }
  return QcRect{x - left, y - top, x + w + right, y + h + bottom};
}

void GameWindowClientSize(int* width, int* height) {
  int w = g.width, h = g.height;
  if (g.window) SDL_GetWindowSize(g.window, &w, &h);
  if (width) *width = w;
  if (height) *height = h;
}

void GameWindowPlace(int x, int y, int clientWidth, int clientHeight) {
  int top, left, bottom, right;
  borders(&top, &left, &bottom, &right);
  g.x = x + left;
  g.y = y + top;
  g.width = clientWidth;
  g.height = clientHeight;
  if (g.window) {
    SDL_SetWindowSize(g.window, clientWidth, clientHeight);
    SDL_SetWindowPosition(g.window, g.x, g.y);
  } else if (g.exists) {
    post(kWmMove, 0, packPoint(g.x, g.y));
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
  if (g.headless || !g.initialised) return kHeadlessWorkArea;
  SDL_Rect r;
  int display = g.window ? SDL_GetWindowDisplayIndex(g.window) : 0;
  if (display < 0 || SDL_GetDisplayUsableBounds(display, &r) != 0) return DesktopBounds();
  return QcRect{r.x, r.y, r.x + r.w, r.y + r.h};
}

QcRect DesktopBounds() {
  if (g.headless || !g.initialised) return kHeadlessDesktop;
  SDL_Rect r;
  int display = g.window ? SDL_GetWindowDisplayIndex(g.window) : 0;
  if (display < 0 || SDL_GetDisplayBounds(display, &r) != 0) return kHeadlessDesktop;
  return QcRect{r.x, r.y, r.x + r.w, r.y + r.h};
}

int DesktopBitsPerPixel() {
  int bits = 32;
  if (!g.headless && g.initialised) {
    SDL_DisplayMode mode;
    int display = g.window ? SDL_GetWindowDisplayIndex(g.window) : 0;
    if (display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0) bits = SDL_BITSPERPIXEL(mode.format);
  }
  // 24-bit desktops keep their pixels in 32 bits; a window on them draws as on a 32-bit desktop.
  return bits == 24 ? 32 : bits;
}

void SetZoomKeyCount(int count) { g.zoomKeys = std::clamp(count, 0, 9); }

int ZoomKeyCount() { return g.zoomKeys; }

void PumpWindowEvents() {
  if (g.headless || !g.initialised) return;
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
          case SDL_WINDOWEVENT_EXPOSED: g.shownSerial = 0; break;
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
        if (down && (e.key.keysym.mod & KMOD_ALT) && vk >= '1' && vk < '1' + g.zoomKeys) {
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
  if (g.exists) post(down ? WM_KEYDOWN : kWmKeyUp, static_cast<WPARAM>(vk), 0);
}

void ShowLatestFrame() {
  if (!g.renderer) return;
  uint64_t serial = g.shownSerial;
  auto frame = gfx::TheFrameMailbox().TakeIfNewer(&serial);
  if (!frame) return;
  g.shownSerial = serial;
  if (frame->width <= 0 || frame->height <= 0) return;
  if (!g.texture || g.textureWidth != frame->width || g.textureHeight != frame->height) {
    if (g.texture) SDL_DestroyTexture(g.texture);
    g.texture = SDL_CreateTexture(g.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, frame->width,
                                  frame->height);
    if (!g.texture) return;
    SDL_SetTextureBlendMode(g.texture, SDL_BLENDMODE_NONE);
    g.textureWidth = frame->width;
    g.textureHeight = frame->height;
  }
  SDL_UpdateTexture(g.texture, nullptr, frame->pixels.data(), frame->width * 4);
  SDL_SetRenderDrawColor(g.renderer, 0, 0, 0, 255);
  SDL_RenderClear(g.renderer);
  SDL_RenderCopy(g.renderer, g.texture, nullptr, nullptr);
  SDL_RenderPresent(g.renderer);
}
