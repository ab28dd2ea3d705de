#pragma once
// The start-up question, when "System.ini" leaves the drawing mode open: Direct3D or DirectDraw, and
// whether to ask again. "ゲーム開始" saves the answer to "user_data\Boot.dat"; "ゲーム中止" ends the
// start without saving.
#include "ui/dialog.h"

class cStartDialog : public cDialog, public cDialogInstance<cStartDialog> {
 public:
  cStartDialog(uint16_t resourceId, HWND parent, void* param);
  ~cStartDialog() override;

  void OnInitDialog(WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  const DialogTemplate& Template() const override;
  WNDPROC DialogProc() const override { return &cDialogInstance<cStartDialog>::Proc; }

  std::vector<cRadioCtrl*> m_Radios;
  std::vector<cControl*> m_Checks;
  std::vector<cControl*> m_Statics;
  cRadioCtrl m_Direct3D, m_DirectDraw;
  cCheckCtrl m_NoAsk;
  cStaticCtrl m_Note{1005};
};

// The start-up's question: loads "user_data\Boot.dat" (a missing or damaged file leaves drawing mode
// 1 and do-not-ask 0), runs the dialog unless do-not-ask is set, and gives the drawing mode (1
// Direct3D, anything else DirectDraw). false when the player ended the start.
bool AskDrawingMode(int* drawingMode);
