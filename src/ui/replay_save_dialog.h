#pragma once
// The question under which name a play is saved as a replay: as a cleared replay, as a not-cleared
// one, or not at all. The result string takes the chosen full path.
#include <string>

#include "ui/dialog.h"

class cReplaySaveDialog : public cDialog, public cDialogInstance<cReplaySaveDialog> {
 public:
  // whichPlay: 0 this play, 1 the previous play.
  cReplaySaveDialog(uint16_t resourceId, HWND parent, void* param, std::string* result, int32_t whichPlay);
  ~cReplaySaveDialog() override;

  void OnInitDialog(WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  const DialogTemplate& Template() const override;
  WNDPROC DialogProc() const override { return &cDialogInstance<cReplaySaveDialog>::Proc; }

  cStaticCtrl m_Static{1012};
  cButtonCtrl m_Buttons[3] = {cButtonCtrl{1011}, cButtonCtrl{1002}, cButtonCtrl{1001}};
  std::vector<cControl*> m_StaticList;
  std::string* m_lpResult;
  int32_t m_nWhichPlay;
  // The two candidate paths and their file names while the dialog is open.
  std::string m_strClearedPath, m_strClearedName, m_strFailedPath, m_strFailedName;
};
