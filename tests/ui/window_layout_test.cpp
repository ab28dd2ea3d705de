// The window base's layout arithmetic: frame and inner extents from the style and the scroll flags,
// outer size and usable area, tracking sizes, centring, placement clamped into the work area, and
// the mouse record.
#include "ui/window.h"

#include <gtest/gtest.h>

#include "platform/dialog/dialog_box.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"

namespace {
const int kCaption = GetSystemMetrics(SM_CYCAPTION);
const int kDlgX = GetSystemMetrics(SM_CXDLGFRAME), kDlgY = GetSystemMetrics(SM_CYDLGFRAME);
const int kThickX = GetSystemMetrics(SM_CXFRAME), kThickY = GetSystemMetrics(SM_CYFRAME);
const int kMenu = GetSystemMetrics(SM_CYMENU);
const int kVScroll = GetSystemMetrics(SM_CXVSCROLL), kHScroll = GetSystemMetrics(SM_CYHSCROLL);

struct LayoutCase {
  const char* name;
  uint32_t style;
  int32_t menu, scrollFlags, clientW, clientH;
  int32_t frameL, frameR, frameT, frameB;
  int32_t innerW, innerH;
};

class WindowLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(WindowLayout, FrameOuterSizeAndUsableArea) {
  const LayoutCase& c = GetParam();
  cWindow window;
  window.InitLayout(c.clientW, c.clientH, 100, 100, 640, 480, c.style, c.menu, 0, 0, 0, c.scrollFlags);
  const cWindowLayout& l = window.m_Layout;
  EXPECT_EQ(l.nFrameL, c.frameL);
  EXPECT_EQ(l.nFrameR, c.frameR);
  EXPECT_EQ(l.nFrameT, c.frameT);
  EXPECT_EQ(l.nFrameB, c.frameB);
  EXPECT_EQ(l.nFrameW, c.frameL + c.frameR);
  EXPECT_EQ(l.nFrameH, c.frameT + c.frameB);
  // The inner extents are not part of the outer size.
  EXPECT_EQ(l.nOuterW, c.clientW + c.frameL + c.frameR);
  EXPECT_EQ(l.nOuterH, c.clientH + c.frameT + c.frameB);
  EXPECT_EQ(l.usable.left, 0);
  EXPECT_EQ(l.usable.top, 0);
  EXPECT_EQ(l.usable.right, c.clientW - c.innerW);
  EXPECT_EQ(l.usable.bottom, c.clientH - c.innerH);
  cMinMaxInfo info;
  window.FillMinMaxInfo(info);
  EXPECT_EQ(info.nMinTrackW, 100 + c.frameL + c.frameR + c.innerW);
  EXPECT_EQ(info.nMinTrackH, 100 + c.frameT + c.frameB + c.innerH);
  EXPECT_EQ(info.nMaxTrackW, 640 + c.frameL + c.frameR + c.innerW);
  EXPECT_EQ(info.nMaxTrackH, 480 + c.frameT + c.frameB + c.innerH);
}

// WS_CAPTION holds the dialog-frame bit: a captioned window without a thick frame has a dialog frame.
INSTANTIATE_TEST_SUITE_P(
    Styles, WindowLayout,
    ::testing::Values(
        LayoutCase{"Caption", WS_CAPTION, 0, 0, 640, 480, kDlgX, kDlgX, kCaption + kDlgY, kDlgY, 0, 0},
        LayoutCase{"CaptionThickFrame", WS_CAPTION | WS_THICKFRAME, 0, 0, 640, 480, kThickX, kThickX,
                   kCaption + kThickY, kThickY, 0, 0},
        LayoutCase{"Zoomed", WS_CAPTION, 0, 0, 1280, 960, kDlgX, kDlgX, kCaption + kDlgY, kDlgY, 0, 0},
        LayoutCase{"Menu", WS_CAPTION, 1, 0, 640, 480, kDlgX, kDlgX, kCaption + kDlgY + kMenu, kDlgY, 0, 0},
        LayoutCase{"ScrollStyles", WS_CAPTION | WS_HSCROLL | WS_VSCROLL, 0, 0, 640, 480, kDlgX, kDlgX + kVScroll,
                   kCaption + kDlgY, kDlgY + kHScroll, 0, 0},
        LayoutCase{"OwnScrollBars", WS_CAPTION, 0, 3, 640, 480, kDlgX, kDlgX, kCaption + kDlgY, kDlgY, kVScroll,
                   kHScroll},
        LayoutCase{"PopupDialogFrame", WS_POPUP | WS_DLGFRAME, 0, 0, 175, 97, kDlgX, kDlgX, kDlgY, kDlgY, 0, 0},
        LayoutCase{"NoFrame", WS_POPUP, 0, 0, 320, 240, 0, 0, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowLayoutSizes, SetClientSizeAddsTheInnerExtents) {
  cWindow window;
  window.InitLayout(640, 480, 100, 100, 640, 480, WS_CAPTION, 0, 0, 0, 0, 3);
  window.SetClientSize(10, 20, 640, 480);
  EXPECT_EQ(window.m_Layout.nClientW, 640 + kVScroll);
  EXPECT_EQ(window.m_Layout.nClientH, 480 + kHScroll);
  EXPECT_EQ(window.m_Layout.nOuterW, 640 + kVScroll + 2 * kDlgX);
  EXPECT_EQ(window.m_Layout.usable.right, 640);
  EXPECT_EQ(window.m_Layout.usable.bottom, 480);
  int32_t x = 0, y = 0;
  window.GetWindowPos(&x, &y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  window.ResizeClient(320, 240);  // at the same place
  window.GetWindowPos(&x, &y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(window.m_Layout.usable.right, 320);
}

TEST(WindowLayoutSizes, CentreOnDesktop) {
  cWindow window;
  window.InitLayout(400, 300, 100, 100, 640, 480, WS_CAPTION, 0, 0, 0, 0, 0);
  window.CentreOnDesktop();
  int32_t x = 0, y = 0;
  window.GetWindowPos(&x, &y);
  const cRect desk = DesktopWorkRect();
  EXPECT_EQ(x, (desk.right - desk.left - (400 + 2 * kDlgX)) / 2);
  EXPECT_EQ(y, (desk.bottom - desk.top - (300 + kCaption + 2 * kDlgY)) / 2);
  // A window larger than the desktop: truncated toward zero.
  window.InitLayout(1281, 961, 100, 100, 640, 480, WS_POPUP, 0, 0, 0, 0, 0);
  window.CentreOnDesktop();
  window.GetWindowPos(&x, &y);
  EXPECT_EQ(x, (640 - 1281) / 2);
  EXPECT_EQ(y, (480 - 961) / 2);
}

struct PlaceCase {
  int32_t reqX, reqY, x, y;
};

class WindowPlacement : public ::testing::TestWithParam<PlaceCase> {};

// A 175 x 97 window in the 640 x 480 work area of the dialogs.
TEST_P(WindowPlacement, ClampedIntoTheWorkArea) {
  const PlaceCase& c = GetParam();
  cWindow window;
  window.InitLayout(175, 97, 100, 100, 640, 480, WS_POPUP, 0, 0, 0, 0, 0);
  window.m_nPosX = 5;
  window.m_nPosY = 6;
  window.m_nReqX = c.reqX;
  window.m_nReqY = c.reqY;
  window.PlaceWindow();
  int32_t x = 0, y = 0;
  window.GetWindowPos(&x, &y);
  EXPECT_EQ(x, c.x);
  EXPECT_EQ(y, c.y);
}

INSTANTIATE_TEST_SUITE_P(Requests, WindowPlacement,
                         ::testing::Values(PlaceCase{kNoPosition, kNoPosition, 5, 6},  // not moved
                                           PlaceCase{kNoPosition, 50, 5, 6}, PlaceCase{-50, 2000, 0, 480 - 97},
                                           PlaceCase{100, 100, 100, 100}, PlaceCase{600, 50, 640 - 175, 50},
                                           PlaceCase{640 - 175, 480 - 97, 640 - 175, 480 - 97},
                                           PlaceCase{640 - 176, 480 - 98, 640 - 176, 480 - 98}));

TEST(WindowMouse, RecordFollowsTheCursorInsideTheUsableArea) {
  cWindow window;
  window.InitLayout(200, 100, 100, 100, 640, 480, WS_POPUP, 0, 0, 0, 0, 0);
  NoteDialogCursor(30, 40);
  SetKeyState(VK_LBUTTON, true);
  window.RefreshMouse();
  EXPECT_EQ(window.m_Mouse.nX, 30);
  EXPECT_EQ(window.m_Mouse.nY, 40);
  EXPECT_EQ(window.m_Mouse.bLeftHeld, 1);
  EXPECT_EQ(window.m_Mouse.bLeftPressed, 1);
  window.RefreshMouse();
  EXPECT_EQ(window.m_Mouse.bLeftPressed, 0);  // a press counts once
  SetKeyState(VK_LBUTTON, false);
  window.RefreshMouse();
  EXPECT_EQ(window.m_Mouse.bLeftReleased, 1);
  NoteDialogCursor(300, 40);  // outside: the record stays
  SetKeyState(VK_RBUTTON, true);
  window.RefreshMouse();
  EXPECT_EQ(window.m_Mouse.nX, 30);
  EXPECT_EQ(window.m_Mouse.bRightHeld, 0);
  SetKeyState(VK_RBUTTON, false);
}

TEST(WindowMessages, DispatchAndAnswers) {
  struct cProbe : cWindow {
    void OnCommand(WPARAM, LPARAM) override { ++m_nCommands; }
    void OnLButtonDown(WPARAM, LPARAM) override { ++m_nClicks; }
    int m_nCommands = 0, m_nClicks = 0;
  } window;
  HWND h = reinterpret_cast<HWND>(0x10);
  EXPECT_EQ(window.DefWindowMsg(h, WM_COMMAND, 1, 0), 1);
  EXPECT_EQ(window.DefWindowMsg(h, WM_LBUTTONDOWN, 0, 0), 1);
  EXPECT_EQ(window.DefWindowMsg(h, WM_USER + 5, 0, 0), 0);
  EXPECT_EQ(window.m_nCommands, 1);
  EXPECT_EQ(window.m_nClicks, 1);
  EXPECT_EQ(window.m_hWnd, h);
  EXPECT_EQ(window.DefWindowMsg(h, WM_DESTROY, 0, 0), 1);
  EXPECT_EQ(window.m_hWnd, nullptr);
}
}  // namespace
