#pragma once
// The ranking name entry: one edit box of at most 3 characters (a Shift-JIS double-byte character
// counts as one) bound to the options' fixed ranking name when opened from the options screen, else
// to the stage-play scene's ranking name. OK stores the name; closing keeps the old one.
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog.h"

class cNameDialog : public cDialog, public cDialogInstance<cNameDialog> {
 public:
  cNameDialog(uint16_t resourceId, HWND parent, void* param);
  ~cNameDialog() override;

  void OnInitDialog(WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  const DialogTemplate& Template() const override;
  WNDPROC DialogProc() const override { return &cDialogInstance<cNameDialog>::Proc; }

  std::vector<std::unique_ptr<cEditCtrl>> m_Edits;
};

// The play mode the options screen sets while it is open.
constexpr int32_t kPlayModeOptions = 5;
// The name's limits: 4 bytes long at most, 3 characters on one line, double-byte counting.
constexpr int32_t kNameMaxLength = 4;
constexpr int32_t kNameChars = 3;
