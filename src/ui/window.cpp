#include "ui/window.h"

#include <cstdio>

#include "core/log.h"
#include "platform/dialog/dialog_box.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"

namespace {
constexpr int32_t kPictureWidth = 640, kPictureHeight = 480;

constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_GETMINMAXINFO = 0x0024;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
}  // namespace

int GetSystemMetrics(int metric) {
  // The frame parts as the dialogs are drawn in the game picture.
  switch (metric) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 14;
    case SM_CYCAPTION: return 20;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 1;
    case SM_CYMENU: return 20;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    default: return 0;
  }
}

cRect DesktopWorkRect() { return cRect{0, 0, kPictureWidth, kPictureHeight}; }

void cWindow::SetCreateInfo(uint16_t resourceId, HWND parent, void* param) {
  m_nResourceId = resourceId;
  m_hParent = parent;
  m_lpCreateParam = param;
}

void cWindow::InitLayout(int32_t clientW, int32_t clientH, int32_t minW, int32_t minH, int32_t maxW, int32_t maxH,
                         uint32_t style, int32_t menu, int32_t topBar, int32_t bottomBar, uint32_t exStyle,
                         int32_t scrollFlags) {
  cWindowLayout& l = m_Layout;
  l.nClientW = clientW;
  l.nClientH = clientH;
  l.nMinW = minW;
  l.nMinH = minH;
  l.nMaxW = maxW;
  l.nMaxH = maxH;
  l.nStyle = style;
  l.bMenu = menu;
  l.bTopBar = topBar;
  l.bBottomBar = bottomBar;
  l.nExStyle = exStyle;
  l.nScrollFlags = scrollFlags;
  l.nInnerR = (scrollFlags & 2) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  l.nInnerB = ((scrollFlags & 1) ? GetSystemMetrics(SM_CYHSCROLL) : 0) + (bottomBar ? l.nBottomBarHeight : 0);
  l.nInnerT = topBar ? l.nTopBarHeight : 0;
  // A dialog's size comes from its template.
  if (!m_bDialog) ComputeLayout();
}

void cWindow::ComputeLayout() {
  cWindowLayout& l = m_Layout;
  l.nFrameL = l.nFrameR = l.nFrameT = l.nFrameB = 0;
  if ((l.nStyle & WS_CAPTION) == WS_CAPTION) l.nFrameT += GetSystemMetrics(SM_CYCAPTION);
  if (l.nStyle & WS_THICKFRAME) {
    l.nFrameL += GetSystemMetrics(SM_CXFRAME);
    l.nFrameR += GetSystemMetrics(SM_CXFRAME);
    l.nFrameT += GetSystemMetrics(SM_CYFRAME);
    l.nFrameB += GetSystemMetrics(SM_CYFRAME);
  } else if (l.nStyle & WS_DLGFRAME) {
    l.nFrameL += GetSystemMetrics(SM_CXDLGFRAME);
    l.nFrameR += GetSystemMetrics(SM_CXDLGFRAME);
    l.nFrameT += GetSystemMetrics(SM_CYDLGFRAME);
    l.nFrameB += GetSystemMetrics(SM_CYDLGFRAME);
  }
  if (l.nStyle & WS_HSCROLL) l.nFrameB += GetSystemMetrics(SM_CYHSCROLL);
  if (l.nStyle & WS_VSCROLL) l.nFrameR += GetSystemMetrics(SM_CXVSCROLL);
  // A dialog's menu would be measured from its window; no dialog of the program has one.
  if (l.bMenu && !m_bDialog) l.nFrameT += GetSystemMetrics(SM_CYMENU);
  l.nInnerR = (l.nScrollFlags & 2) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  l.nInnerB = ((l.nScrollFlags & 1) ? GetSystemMetrics(SM_CYHSCROLL) : 0) + (l.bBottomBar ? l.nBottomBarHeight : 0);
  l.nInnerT = l.bTopBar ? l.nTopBarHeight : 0;
  l.nFrameW = l.nFrameL + l.nFrameR;
  l.nFrameH = l.nFrameT + l.nFrameB;
  l.nInnerW = l.nInnerR;
  l.nInnerH = l.nInnerT + l.nInnerB;
  l.nOuterW = l.nClientW + l.nFrameW;
  l.nOuterH = l.nClientH + l.nFrameH;
  const int32_t top = l.bTopBar ? l.nTopBarHeight : 0;
  l.usable = cRect{0, top, l.nClientW - l.nInnerW, top + l.nClientH - l.nInnerH};
}

void cWindow::FillMinMaxInfo(cMinMaxInfo& info) const {
  const cWindowLayout& l = m_Layout;
  info.nMinTrackW = l.nMinW + l.nFrameW + l.nInnerW;
  info.nMinTrackH = l.nMinH + l.nFrameH + l.nInnerH;
  info.nMaxTrackW = l.nMaxW + l.nFrameW + l.nInnerW;
  info.nMaxTrackH = l.nMaxH + l.nFrameH + l.nInnerH;
}

void cWindow::CurrentRect(int32_t* x, int32_t* y, int32_t* clientW, int32_t* clientH) const {
  int w = kPictureWidth, h = kPictureHeight, px = 0, py = 0;
  if (m_hWnd && IsDialogWindow(m_hWnd)) {
    GetDialogPos(m_hWnd, &px, &py);
    GetDialogSize(m_hWnd, &w, &h);
  }
  if (x) *x = px;
  if (y) *y = py;
  if (clientW) *clientW = w;
  if (clientH) *clientH = h;
}

void cWindow::ApplyPlace(int32_t x, int32_t y) {
  if (m_hWnd && IsDialogWindow(m_hWnd)) SetDialogPos(m_hWnd, x, y);
  m_nPosX = x;
  m_nPosY = y;
}

void cWindow::MoveWindowTo(int32_t x, int32_t y) {
  ApplyPlace(x, y);
  m_nReqX = x;
  m_nReqY = y;
  ComputeLayout();
}

void cWindow::SetClientSize(int32_t x, int32_t y, int32_t width, int32_t height) {
  m_Layout.nClientW = width + m_Layout.nInnerW;
  m_Layout.nClientH = height + m_Layout.nInnerH;
  ApplyPlace(x, y);
  ComputeLayout();
}

void cWindow::ResizeClient(int32_t width, int32_t height) { SetClientSize(m_nPosX, m_nPosY, width, height); }

void cWindow::CentreOnDesktop() {
  const cRect desk = DesktopWorkRect();
  MoveWindowTo((desk.right - desk.left - m_Layout.nOuterW) / 2, (desk.bottom - desk.top - m_Layout.nOuterH) / 2);
}

void cWindow::SetStyleBits(uint32_t bits) {
  m_Layout.nStyle |= bits;
  RefreshStyle();
}

void cWindow::ClearStyleBits(uint32_t bits) {
  m_Layout.nStyle &= ~bits;
  RefreshStyle();
}

void cWindow::RefreshStyle() {
  if (m_hWnd && IsDialogWindow(m_hWnd)) {
    int x = 0, y = 0, w = 0, h = 0;
    CurrentRect(&x, &y, &w, &h);
    m_Layout.nClientW = w;
    m_Layout.nClientH = h;
  }
  ComputeLayout();
}

void cWindow::GetWindowPos(int32_t* x, int32_t* y) const {
  if (x) *x = m_nPosX;
  if (y) *y = m_nPosY;
}

void cWindow::PlaceWindow() {
  if (m_nReqX == kNoPosition || m_nReqY == kNoPosition) return;
  const cRect work = DesktopWorkRect();
  const int32_t w = m_Layout.nOuterW, h = m_Layout.nOuterH;
  int32_t x = m_nReqX, y = m_nReqY;
  if (x < work.left) x = work.left;
  if (x + w >= work.right) x = work.right - w;
  if (y < work.top) y = work.top;
  if (y + h >= work.bottom) y = work.bottom - h;
  MoveWindowTo(x, y);
}

void cWindow::RefreshMouse() {
  int cx = 0, cy = 0;
  if (!GetDialogCursorPos(&cx, &cy)) {
    ECLogPuts("GetCursorPos失敗！");
    return;
  }
  int32_t wx = 0, wy = 0;
  CurrentRect(&wx, &wy, nullptr, nullptr);
  const cRect& u = m_Layout.usable;
  const int32_t x = cx - wx - m_Layout.nFrameL - u.left, y = cy - wy - m_Layout.nFrameT - u.top;
  if (x < 0 || y < 0 || x >= u.right - u.left || y >= u.bottom - u.top) return;
  m_Mouse.nX = x;
  m_Mouse.nY = y;
  const int32_t left = GetAsyncKeyState(VK_LBUTTON) != 0, right = GetAsyncKeyState(VK_RBUTTON) != 0;
  m_Mouse.bLeftPressed = left && !m_Mouse.bLeftHeld;
  m_Mouse.bRightPressed = right && !m_Mouse.bRightHeld;
  m_Mouse.bLeftReleased = !left && m_Mouse.bLeftHeld;
  m_Mouse.bRightReleased = !right && m_Mouse.bRightHeld;
  m_Mouse.bLeftHeld = left;
  m_Mouse.bRightHeld = right;
}

int cWindow::DefWindowMsg(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  m_hWnd = hwnd;
  if (msg == WM_COMMAND) {
    if (m_bInCommand) return 0;
    m_bInCommand = 1;
  }
  // The status and tool bars and the message trace are never switched on (see window.h).
  RefreshMouse();
  switch (msg) {
    case WM_DESTROY: m_hWnd = nullptr; return 1;
    case WM_MOVE: GetWindowPos(&m_nPosX, &m_nPosY); return 1;
    case WM_SIZE: RefreshStyle(); return 1;
    case WM_ACTIVATEAPP: return 1;
    case WM_PAINT: OnPaint(); return 1;
    case WM_GETMINMAXINFO:
      if (lParam) FillMinMaxInfo(*reinterpret_cast<cMinMaxInfo*>(lParam));
      return 1;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      m_bInCommand = 0;
      return 1;
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 1;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, lParam); return 1;
    case WM_LBUTTONUP: OnLButtonUp(wParam, lParam); return 1;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(wParam, lParam); return 1;
    case WM_RBUTTONDOWN: OnRButtonDown(wParam, lParam); return 1;
    case WM_RBUTTONUP: OnRButtonUp(wParam, lParam); return 1;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(wParam, lParam); return 1;
    default: return 0;
  }
}
