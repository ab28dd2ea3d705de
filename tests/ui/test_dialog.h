#pragma once
// A dialog of the tests' own: one edit box with given limits, two radios, a check box, OK and
// Cancel, and optional scroll bars; it records what reaches it.
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog.h"

class cTestDialog : public cDialog, public cDialogInstance<cTestDialog> {
 public:
  explicit cTestDialog(int32_t lineChars = 3, int32_t maxLines = 1, int32_t doubleByte = 1, int32_t scrollFlags = 0)
      : m_Edit(10, &m_strText, 4096, lineChars, maxLines, doubleByte),
        m_RadioA(11, &m_nChoice, 1),
        m_RadioB(12, &m_nChoice, 0),
        m_Check(13, &m_nFlag) {
    s_lpLive = this;
    m_Layout.nScrollFlags = scrollFlags;
    m_Template.id = 900;
    m_Template.caption = "test";
    m_Template.width = 200;
    m_Template.height = 100;
    m_Template.items = {{10, DialogItemKind::Edit, "", 10, 10, 100, 14},
                        {11, DialogItemKind::Radio, "A", 10, 30, 40, 10},
                        {12, DialogItemKind::Radio, "B", 60, 30, 40, 10},
                        {13, DialogItemKind::Check, "C", 10, 45, 40, 10},
                        {1, DialogItemKind::DefaultButton, "OK", 10, 70, 50, 18},
                        {2, DialogItemKind::Button, "Cancel", 70, 70, 50, 18}};
  }
  ~cTestDialog() override {
    if (s_lpLive == this) s_lpLive = nullptr;
  }

  void OnInitDialog(WPARAM wParam, LPARAM lParam) override {
    cDialog::OnInitDialog(wParam, lParam);
    AddControl(m_Edit);
    AddControl(m_RadioA);
    AddControl(m_RadioB);
    AddControl(m_Check);
    if (m_Layout.nScrollFlags & 2) m_VScroll.SetInfo(0, 100, 10);
    m_VScroll.SetPos(m_nStartPos);
    UpdateControls();
    m_bFocusGuard = 1;
  }
  void OnCommand(WPARAM wParam, LPARAM lParam) override {
    cDialog::OnCommand(wParam, lParam);
    ++m_nCommands;
    if ((wParam & 0xFFFF) == 1) {
      ApplyControls();
      EndDialogWith(1);
    }
    if ((wParam & 0xFFFF) == 2) EndDialogWith(0);
  }
  int DefDialogMsg(HWND hwnd, uint32_t msg, WPARAM wParam, LPARAM lParam) override {
    m_Messages.push_back({hwnd, msg, wParam, lParam});
    return cDialog::DefDialogMsg(hwnd, msg, wParam, lParam);
  }
  void OnScroll() override { ++m_nScrolls; }
  const DialogTemplate& Template() const override { return m_Template; }
  WNDPROC DialogProc() const override { return &cDialogInstance<cTestDialog>::Proc; }

  DialogTemplate m_Template;
  std::string m_strText;
  int32_t m_nChoice = 1, m_nFlag = 0;
  cEditCtrl m_Edit;
  cRadioCtrl m_RadioA, m_RadioB;
  cCheckCtrl m_Check;
  std::vector<MSG> m_Messages;
  int m_nCommands = 0, m_nScrolls = 0;
  int32_t m_nStartPos = 0;
};
