#include "ui/start_dialog.h"

#include "core/log.h"
#include "data/system_data.h"
#include "platform/dialog_items.h"
#include "shell/boot_data.h"
#include "shell/system_ini.h"
#include "ui/dialog_place.h"
#include "ui/dialog_resources.h"

cStartDialog::cStartDialog(uint16_t resourceId, HWND parent, void* param, cBootData& boot)
    : m_lpBoot(&boot),
      m_Direct3D(1002, &boot.m_nDrawMode, 1),
      m_DirectDraw(1003, &boot.m_nDrawMode, 0),
      m_NoAsk(1004, &boot.m_bNoAsk) {
  s_lpLive = this;
  SetCreateInfo(resourceId, parent, param);
  int32_t mainX = 0, mainY = 0;
  const cRect main = MainWindowRect();
  mainX = main.left;
  mainY = main.top;
  m_nReqX = static_cast<int32_t>(mainX + 320.0 - 187.0);
  m_nReqY = static_cast<int32_t>(mainY + 240.0 - 136.0);
  MoveCursorTo(static_cast<int32_t>(m_nReqX + 181.9), static_cast<int32_t>(m_nReqY + 198.9));
  m_Radios = {&m_Direct3D, &m_DirectDraw};
  m_Checks = {&m_NoAsk};
  m_Statics = {&m_Note};
}

cStartDialog::~cStartDialog() {
  if (s_lpLive == this) s_lpLive = nullptr;
}

const DialogTemplate& cStartDialog::Template() const { return StartDialogTemplate(); }

void cStartDialog::OnInitDialog(WPARAM wParam, LPARAM lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  // The caption is the game's title, as the main window's.
  SetDialogCaption(m_hWnd, g_SystemData.m_strTitle.c_str());
  for (cRadioCtrl* radio : m_Radios) AddControl(*radio);
  for (cControl* check : m_Checks) AddControl(*check);
  for (cControl* note : m_Statics) AddControl(*note);
  UpdateControls();
  if (g_IniSettings.English) {
    SetDlgItemTextA(m_hWnd, 1006, "Drawing mode");
    SetDlgItemTextA(m_hWnd, 1000, "Start");
    SetDlgItemTextA(m_hWnd, 1001, "Cancel");
    if (cControl* note = FindControlById(m_Statics, 1005))
      SetDlgItemTextA(m_hWnd, note->m_nId, "Configure the detail settings at \"System.ini\".");
    if (cControl* check = FindControlById(m_Checks, 1004))
      SetDlgItemTextA(m_hWnd, check->m_nId, "Do not ask this dialog again");
  }
  m_bFocusGuard = 1;
}

void cStartDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  cDialog::OnCommand(wParam, lParam);
  switch (wParam & 0xFFFF) {
    case 1000:
      ApplyControls();
      // A failed save is not reported: the answer holds for this start.
      m_lpBoot->SaveFile(kBootDataPath);
      EndDialogWith(1);
      break;
    case 1001: EndDialogWith(0); break;
    default: break;
  }
}

int RunStartDialog(cBootData& boot) {
  // A drawing mode other than Direct3D is DirectDraw: the dialog shows it checked.
  if (boot.m_nDrawMode != 1) boot.m_nDrawMode = 0;
  auto* dialog = new cStartDialog(kResStartDialog, g_hMainWnd.load(), nullptr, boot);
  const int result = dialog->DoModal(0);
  delete dialog;
  return result == 1 ? 1 : 0;
}
