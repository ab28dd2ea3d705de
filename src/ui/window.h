#pragma once
// The window base of the dialogs: one window handle, the window's outer size from the wanted client
// size and the style, its place (clamped into the work area), the dispatch of the common window
// messages to virtual handlers, and a record of the mouse.
//
// Dialogs are drawn inside the game window: their desktop is the game's 640 x 480 picture, and the
// frame parts (caption, borders, scroll bars) have the sizes of the table below.
#include <cstdint>
#include <string>

#include "platform/messages.h"

// Window styles (the bits the layout reads).
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_HSCROLL = 0x00100000;
constexpr uint32_t WS_DLGFRAME = 0x00400000;
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_CAPTION = 0x00C00000;  // border and dialog frame
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_DISABLED = 0x08000000;
constexpr uint32_t WS_POPUP = 0x80000000;

// The sizes of the frame parts, in picture pixels.
enum eSystemMetric {
  SM_CXVSCROLL = 2,
  SM_CYHSCROLL = 3,
  SM_CYCAPTION = 4,
  SM_CXDLGFRAME = 7,
  SM_CYDLGFRAME = 8,
  SM_CYMENU = 15,
  SM_CXFRAME = 32,
  SM_CYFRAME = 33,
};
int GetSystemMetrics(int metric);

// "No requested position".
constexpr int32_t kNoPosition = -1000;

struct cRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The layout record.
struct cWindowLayout {
  uint32_t nStyle = 0, nExStyle = 0;
  int32_t bMenu = 0, bTopBar = 0, bBottomBar = 0, nScrollFlags = 0;
  int32_t nTopBarHeight = 0, nBottomBarHeight = 0;  // no window of the program has these bars: 0
  int32_t nClientW = 0, nClientH = 0;
  int32_t nMinW = 0, nMinH = 0, nMaxW = 0, nMaxH = 0;
  int32_t nFrameL = 0, nFrameR = 0, nFrameT = 0, nFrameB = 0;
  int32_t nInnerR = 0, nInnerT = 0, nInnerB = 0;
  int32_t nFrameW = 0, nFrameH = 0, nInnerW = 0, nInnerH = 0;
  int32_t nOuterW = 0, nOuterH = 0;
  cRect usable;  // origin (0, top-bar height), client size less the inner extents
};

// The tracking sizes a window may be given.
struct cMinMaxInfo {
  int32_t nMinTrackW = 0, nMinTrackH = 0, nMaxTrackW = 0, nMaxTrackH = 0;
};

// The mouse record: the cursor relative to the usable area and the left and right buttons.
struct cMouseRecord {
  int32_t nX = 0, nY = 0;
  int32_t bLeftHeld = 0, bRightHeld = 0;
  int32_t bLeftPressed = 0, bRightPressed = 0;
  int32_t bLeftReleased = 0, bRightReleased = 0;
};

class cWindow {
 public:
  cWindow() = default;
  virtual ~cWindow() = default;
  cWindow(const cWindow&) = delete;
  cWindow& operator=(const cWindow&) = delete;

  virtual void Reserved1() {}
  virtual void OnCommand(WPARAM, LPARAM) {}
  virtual void OnMouseMove(WPARAM, LPARAM) {}
  virtual void OnLButtonDown(WPARAM, LPARAM) {}
  virtual void OnRButtonDown(WPARAM, LPARAM) {}
  virtual void OnLButtonDblClk(WPARAM, LPARAM) {}
  virtual void OnRButtonDblClk(WPARAM, LPARAM) {}
  virtual void OnLButtonUp(WPARAM, LPARAM) {}
  virtual void OnRButtonUp(WPARAM, LPARAM) {}
  virtual int HandleMessage(HWND, uint32_t, WPARAM, LPARAM) { return 0; }
  virtual int DefWindowMsg(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam);
  virtual void Reserved12() {}
  virtual void OnPaint() {}

  void SetCreateInfo(uint16_t resourceId, HWND parent, void* param);

  // Layout.
  void InitLayout(int32_t clientW, int32_t clientH, int32_t minW, int32_t minH, int32_t maxW, int32_t maxH,
                  uint32_t style, int32_t menu, int32_t topBar, int32_t bottomBar, uint32_t exStyle,
                  int32_t scrollFlags);
  void ComputeLayout();
  void FillMinMaxInfo(cMinMaxInfo& info) const;
  void MoveWindowTo(int32_t x, int32_t y);
  void SetClientSize(int32_t x, int32_t y, int32_t width, int32_t height);
  void ResizeClient(int32_t width, int32_t height);
  void CentreOnDesktop();
  void SetStyleBits(uint32_t bits);
  void ClearStyleBits(uint32_t bits);
  void RefreshStyle();
  void GetWindowPos(int32_t* x, int32_t* y) const;
  cRect GetClientArea() const { return m_Layout.usable; }
  void PlaceWindow();

  // Refreshes the mouse record from the cursor (unchanged while the cursor is outside the usable area).
  void RefreshMouse();

  HWND m_hWnd = nullptr;
  uint16_t m_nResourceId = 0;
  HWND m_hParent = nullptr;
  void* m_lpCreateParam = nullptr;
  int32_t m_bDialog = 0;
  int32_t m_nReqX = kNoPosition, m_nReqY = kNoPosition;  // the requested position
  int32_t m_nPosX = 0, m_nPosY = 0;                      // the last known position
  cWindowLayout m_Layout;
  int32_t m_bInCommand = 0;  // a WM_COMMAND is being handled
  int32_t m_bTrace = 0;      // no window switches the message trace on
  std::string m_strTraceName;
  cMouseRecord m_Mouse, m_PrevMouse;

 protected:
  // The window's current place and client size in the picture (a dialog's own, else the picture).
  void CurrentRect(int32_t* x, int32_t* y, int32_t* clientW, int32_t* clientH) const;
  void ApplyPlace(int32_t x, int32_t y);
};

// The area windows are placed in: the game picture.
cRect DesktopWorkRect();
