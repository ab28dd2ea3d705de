#pragma once
// The file selection: a hidden host dialog whose initialisation runs the open or save chooser and
// ends with its outcome. Mode 0 picks a stage file, 1 a replay file, 2 a name to save a replay under
// (the result string enters holding the proposed path).
#include <string>

#include "ui/dialog.h"

struct FileChooserRequest;

class cFileDialog : public cDialog, public cDialogInstance<cFileDialog> {
 public:
  cFileDialog(uint16_t resourceId, HWND parent, void* param, std::string* result, int32_t mode);
  ~cFileDialog() override;

  void OnInitDialog(WPARAM wParam, LPARAM lParam) override;
  const DialogTemplate& Template() const override;
  WNDPROC DialogProc() const override { return &cDialogInstance<cFileDialog>::Proc; }

  std::string* m_lpResult;
  int32_t m_nMode;
};

// The chooser of a mode, in the English or the Japanese texts.
FileChooserRequest FileDialogRequest(int32_t mode, int32_t english, const std::string& proposed);
// The open and save choosers; 1 with the chosen path in buffer, 0 otherwise (buffer emptied). In
// 8-bit DirectDraw mode palette entry 0 of the screen is black while a chooser is open.
int OpenFileDialog(const FileChooserRequest& request, std::string& buffer);
int SaveFileDialog(const FileChooserRequest& request, std::string& buffer);
