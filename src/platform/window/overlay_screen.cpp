#include "platform/window/overlay_screen.h"

#include "platform/window/game_window.h"
#include "platform/window/game_window_sdl.h"

namespace {
constexpr int kWidth = 640, kHeight = 480;  // the picture's size, as the game window shows it
}  // namespace

OverlayScreen::OverlayScreen(const char* captionUtf8) {
  if (GameWindowHeadless() || !SDL_WasInit(SDL_INIT_VIDEO)) return;
  m_pWindow = GameWindowSdlWindow();
  m_pRenderer = GameWindowSdlRenderer();
  if (m_pWindow && m_pRenderer) {
    // A window not shown yet (start-up) is shown for the while and hidden again after it.
    m_bHideAfter = (SDL_GetWindowFlags(m_pWindow) & SDL_WINDOW_SHOWN) == 0;
    SDL_ShowWindow(m_pWindow);
  } else {
    m_pRenderer = nullptr;
    m_pWindow = SDL_CreateWindow(captionUtf8 ? captionUtf8 : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth,
                                 kHeight, 0);
    if (m_pWindow) m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, 0);
    if (m_pWindow && !m_pRenderer) m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, SDL_RENDERER_SOFTWARE);
    if (m_pRenderer) SDL_RenderSetLogicalSize(m_pRenderer, kWidth, kHeight);
    m_bOwnWindow = true;
  }
  if (m_pWindow) SDL_RaiseWindow(m_pWindow);
}

OverlayScreen::~OverlayScreen() {
  if (m_bOwnWindow) {
    if (m_pRenderer) SDL_DestroyRenderer(m_pRenderer);
    if (m_pWindow) SDL_DestroyWindow(m_pWindow);
  } else if (m_pWindow) {
    if (m_bHideAfter) SDL_HideWindow(m_pWindow);
    GameWindowRedrawFrame();  // the game's picture comes back
  }
}
