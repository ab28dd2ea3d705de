#pragma once
// Where a message box or a dialog is drawn: the game window (shown for the while if start-up has
// not shown it yet, and its picture put back afterwards), or a 640 x 480 window of its own when there
// is no game window yet. Nothing in a headless run.
#include <SDL.h>

class OverlayScreen {
 public:
  explicit OverlayScreen(const char* captionUtf8);
  ~OverlayScreen();
  OverlayScreen(const OverlayScreen&) = delete;
  OverlayScreen& operator=(const OverlayScreen&) = delete;

  SDL_Window* Window() const { return m_pWindow; }
  SDL_Renderer* Renderer() const { return m_pRenderer; }

 private:
  SDL_Window* m_pWindow = nullptr;
  SDL_Renderer* m_pRenderer = nullptr;
  bool m_bOwnWindow = false;
  bool m_bHideAfter = false;
};
