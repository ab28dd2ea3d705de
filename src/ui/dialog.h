#pragma once
// The dialog base: a window of the window base run modally from its template, with a list of control
// wrappers bound to program values, the keyboard hook of its own, and optional scroll bars. A dialog
// is created by its opener, run once with DoModal on the user-interface thread (the game thread waits
// meanwhile) and deleted after it returns.
#include <cstdint>
#include <vector>

#include "platform/dialog/dialog_box.h"
#include "ui/controls.h"
#include "ui/hook.h"
#include "ui/window.h"

// Scroll-bar codes of WM_HSCROLL / WM_VSCROLL.
constexpr uint32_t SB_LINEUP = 0, SB_LINELEFT = 0;
constexpr uint32_t SB_LINEDOWN = 1, SB_LINERIGHT = 1;
constexpr uint32_t SB_PAGEUP = 2, SB_PAGELEFT = 2;
constexpr uint32_t SB_PAGEDOWN = 3, SB_PAGERIGHT = 3;
constexpr uint32_t SB_THUMBTRACK = 5;
constexpr uint32_t SB_TOP = 6;
constexpr uint32_t SB_BOTTOM = 7;
// The item numbers of a dialog's own scroll bars (lParam of their scroll messages).
constexpr uint16_t kHScrollBarId = 0xFFF1;
constexpr uint16_t kVScrollBarId = 0xFFF2;

// The create parameter of every dialog: windows to hide or disable while a dialog runs. No part of
// the program adds members, so both lists stay empty.
class cChildWindow {
 public:
  // The style operations of a child window: no layout is recomputed.
  void AddCtrlStyle(uint32_t bits) { m_nStyle |= bits; }
  void RemoveCtrlStyle(uint32_t bits) { m_nStyle &= ~bits; }
  HWND m_hWnd = nullptr;
  uint32_t m_nStyle = 0;
  int32_t m_bShown = 1;
};

class cWindowGroup {
 public:
  void Show(int32_t flag);
  void Enable(int32_t flag);
  std::vector<cWindow*> m_Windows;
  std::vector<cChildWindow*> m_Children;
};

class cDialog : public cWindow {
 public:
  cDialog();
  ~cDialog() override = default;

  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  // The shared dialog message handler of every dialog of the program.
  int HandleMessage(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) override;
  virtual int DefDialogMsg(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam);
  virtual void RefreshCombos();
  virtual void OnScroll() {}
  virtual void OnInitDialog(WPARAM wParam, LPARAM lParam);

  // Runs the dialog; returns its result (0 at once while it is showing).
  int DoModal(int32_t flags);
  void EndDialogWith(int32_t result);
  void UpdateControls();
  void ApplyControls();
  // The control of that id in the list; without one, a developer message and the fatal stop (null).
  cControl* FindControlById(const std::vector<cControl*>& list, uint16_t id);
  // Attaches the control and adds it to the control list.
  void AddControl(cControl& control);

  // The dialog's template and its class's static dialog procedure.
  virtual const DialogTemplate& Template() const = 0;
  virtual WNDPROC DialogProc() const = 0;

  cHook m_Hook;
  cCanvasCtrl m_Canvas;
  cScrollBarCtrl m_HScroll{kHScrollBarId}, m_VScroll{kVScrollBarId};
  std::vector<cControl*> m_Controls;
  int32_t m_bUpdating = 0;
  int32_t m_bFocusGuard = 0;
  int32_t m_nResult = 0;
  int32_t m_nModalFlags = 0;

 private:
  void OnScrollMessage(uint32_t msg, WPARAM wParam, LPARAM lParam);
};

// One live instance per dialog class, and the class's static dialog procedure forwarding to it.
template <class T>
class cDialogInstance {
 public:
  static LRESULT Proc(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
    return s_lpLive ? s_lpLive->HandleMessage(hwnd, msg, wParam, lParam) : 0;
  }
  static inline T* s_lpLive = nullptr;
};
