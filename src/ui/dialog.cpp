#include "ui/dialog.h"

#include "core/log.h"
#include "platform/input/virtual_keys.h"

namespace {
constexpr uint32_t kVkPageUp = 0x21, kVkPageDown = 0x22;
}  // namespace

void cWindowGroup::Show(int32_t flag) {
  for (cChildWindow* child : m_Children)
    if (child && child->m_hWnd) child->m_bShown = flag ? 1 : 0;
}

void cWindowGroup::Enable(int32_t flag) {
  for (cWindow* window : m_Windows) {
    if (!window) continue;
    if (flag)
      window->ClearStyleBits(WS_DISABLED);
    else
      window->SetStyleBits(WS_DISABLED);
  }
  for (cChildWindow* child : m_Children) {
    if (!child || !child->m_hWnd) continue;
    if (flag)
      child->RemoveCtrlStyle(WS_DISABLED);
    else
      child->AddCtrlStyle(WS_DISABLED);
  }
}

cDialog::cDialog() {
  m_bDialog = 1;
  // Every dialog: its size comes from its template.
  InitLayout(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
}

int cDialog::DoModal(int32_t flags) {
  if (m_hWnd) return 0;
  m_nResult = 0;
  m_Controls.clear();
  m_nModalFlags = flags;
  const bool hadHook = HookInstalled();
  auto* group = static_cast<cWindowGroup*>(m_lpCreateParam);
  if (group && (flags & 2)) group->Show(0);
  if (group && (flags & 4)) group->Enable(0);
  DialogBoxParam(Template(), m_hParent, DialogProc(), 0);
  m_hWnd = nullptr;
  if (group && (flags & 2)) group->Show(1);
  if (group && (flags & 4)) group->Enable(1);
  if (!hadHook) Unhook();
  return m_nResult;
}

void cDialog::EndDialogWith(int32_t result) {
  m_nResult = result;
  m_Controls.clear();
  if (m_hWnd) EndDialog(m_hWnd, result);
}

void cDialog::UpdateControls() {
  m_bUpdating = 1;
  for (cControl* control : m_Controls) control->ToWindow();
  m_bUpdating = 0;
}

void cDialog::ApplyControls() {
  for (cControl* control : m_Controls) control->FromWindow();
}

cControl* cDialog::FindControlById(const std::vector<cControl*>& list, uint16_t id) {
  for (cControl* control : list)
    if (control && control->m_nId == id) return control;
  DebugErrorBoxf("コントロールID 【%u】 が見つかりません！", static_cast<unsigned>(id));
  FatalStop();
  return nullptr;
}

void cDialog::AddControl(cControl& control) {
  control.Attach(*this);
  m_Controls.push_back(&control);
}

void cDialog::RefreshCombos() {
  for (cControl* control : m_Controls)
    if (control->m_nKind == 8) control->RefreshList();
}

int cDialog::HandleMessage(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  const int handled = DefDialogMsg(hwnd, msg, wParam, lParam);
  if (msg == WM_DESTROY) return 1;
  if (msg == WM_CLOSE) {
    EndDialogWith(0);
    return 1;
  }
  return handled ? 1 : 0;
}

int cDialog::DefDialogMsg(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  const int result = DefWindowMsg(hwnd, msg, wParam, lParam);
  // The focus guard would move a focus on a scroll bar to the canvas: no dialog of the program has a
  // canvas window, and the scroll bars here never take the focus.
  switch (msg) {
    case WM_DESTROY: {
      auto* group = static_cast<cWindowGroup*>(m_lpCreateParam);
      if (group && (m_nModalFlags & 2)) group->Show(1);
      if (group && (m_nModalFlags & 4)) group->Enable(1);
      break;
    }
    case WM_KEYDOWN: {
      const LPARAM h = m_HScroll.m_bAttached ? kHScrollBarId : 0, v = m_VScroll.m_bAttached ? kVScrollBarId : 0;
      switch (wParam) {
        case kVkPageUp: PostMessage(hwnd, WM_VSCROLL, SB_PAGEUP, v); break;
        case kVkPageDown: PostMessage(hwnd, WM_VSCROLL, SB_PAGEDOWN, v); break;
        case VK_END: PostMessage(hwnd, WM_HSCROLL, SB_PAGERIGHT, h); break;
        case VK_HOME: PostMessage(hwnd, WM_HSCROLL, SB_PAGELEFT, h); break;
        case VK_LEFT: PostMessage(hwnd, WM_HSCROLL, SB_LINELEFT, h); break;
        case VK_UP: PostMessage(hwnd, WM_VSCROLL, SB_LINEUP, v); break;
        case VK_RIGHT: PostMessage(hwnd, WM_HSCROLL, SB_LINERIGHT, h); break;
        case VK_DOWN: PostMessage(hwnd, WM_VSCROLL, SB_LINEDOWN, v); break;
        default: break;
      }
      for (cControl* control : m_Controls) control->OnKey(wParam, lParam, HookCtrlHeld());
      break;
    }
    case WM_INITDIALOG: OnInitDialog(wParam, lParam); break;
    case WM_HSCROLL:
    case WM_VSCROLL: OnScrollMessage(msg, wParam, lParam); break;
    case WM_DIALOG_NAVKEY: SendMessage(hwnd, WM_KEYDOWN, wParam, lParam); break;
    default: break;
  }
  return result;
}

void cDialog::OnScrollMessage(uint32_t msg, WPARAM wParam, LPARAM lParam) {
  cScrollBarCtrl& bar = msg == WM_HSCROLL ? m_HScroll : m_VScroll;
  const LPARAM own = msg == WM_HSCROLL ? kHScrollBarId : kVScrollBarId;
  if (!bar.m_bAttached || lParam != own) return;
  const int32_t old = bar.m_nPos;
  int32_t pos = old;
  switch (wParam & 0xFFFF) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= bar.m_nPage; break;
    case SB_PAGEDOWN: pos += bar.m_nPage; break;
    case SB_THUMBTRACK: pos = static_cast<int32_t>(wParam >> 16); break;
    case SB_TOP: pos = bar.m_nMin; break;
    case SB_BOTTOM: pos = bar.m_nMax; break;
    default: break;
  }
  bar.SetPos(pos);
  if (bar.m_nPos != old) OnScroll();
}

void cDialog::OnInitDialog(WPARAM, LPARAM) {
  m_Controls.clear();
  SetProp(m_hWnd, "DLG_CLASS", this);
  // The dialog's style from its template: a caption, else a modal frame only.
  m_Layout.nStyle = WS_POPUP | (Template().hasCaption ? WS_CAPTION : WS_DLGFRAME);
  RefreshStyle();
  if (m_Layout.nScrollFlags & 1) m_HScroll.Attach(*this);
  if (m_Layout.nScrollFlags & 2) m_VScroll.Attach(*this);
  PlaceWindow();
  if (!m_Hook.Attach(m_hWnd, 0)) ErrorBoxf("KeyboardHookに失敗!");
  RefreshMouse();
  m_PrevMouse = m_Mouse;
}

void cDialog::OnCommand(WPARAM wParam, LPARAM) {
  const uint16_t id = static_cast<uint16_t>(wParam & 0xFFFF);
  const uint32_t code = static_cast<uint32_t>((wParam >> 16) & 0xFFFF);
  for (cControl* control : m_Controls) {
    if (control->m_nId != id) continue;
    const int32_t kind = control->m_nKind;
    if ((kind == 2 || kind == 3) && code == EN_UPDATE) {
      control->OnChange();
      break;
    }
    if ((kind == 2 || kind == 3) && code == EN_KILLFOCUS) {
      control->OnKillFocus();
      break;
    }
    if ((kind == 7 || kind == 8) && code == 1) {
      control->OnChange();
      break;
    }
    if (kind == 8 && code == 5) {
      control->OnKillFocus();
      break;
    }
  }
  for (cControl* control : m_Controls)
    if (control->m_nKind == 8) control->AfterCommand();
}
