#pragma once
// The start-up question, when "System.ini" leaves the drawing mode open: Direct3D or DirectDraw, and
// whether to ask again. "ゲーム開始" saves the answer to "user_data\Boot.dat"; "ゲーム中止" ends the
// start without saving.
#include "shell/boot_data.h"
#include "ui/dialog.h"

class cStartDialog : public cDialog, public cDialogInstance<cStartDialog> {
 public:
  cStartDialog(uint16_t resourceId, HWND parent, void* param, cBootData& boot = g_BootData);
  ~cStartDialog() override;

  void OnInitDialog(WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  const DialogTemplate& Template() const override;
  WNDPROC DialogProc() const override { return &cDialogInstance<cStartDialog>::Proc; }

  cBootData* m_lpBoot;  // the record the controls show and change
  std::vector<cRadioCtrl*> m_Radios;
  std::vector<cControl*> m_Checks;
  std::vector<cControl*> m_Statics;
  cRadioCtrl m_Direct3D, m_DirectDraw;
  cCheckCtrl m_NoAsk;
  cStaticCtrl m_Note{1005};
};

// The start-up's question over the boot record start-up loaded: shows it (a drawing mode other than
// 1 as DirectDraw), and on "ゲーム開始" stores the answer in it and saves it. 1: start; 0: the player
// ended the start, the record's file untouched.
int RunStartDialog(cBootData& boot);
