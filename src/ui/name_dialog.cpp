#include "ui/name_dialog.h"

#include "data/option_data.h"
#include "data/play_mode.h"
#include "platform/dialog_items.h"
#include "shell/system_ini.h"
#include "ui/dialog_place.h"
#include "ui/dialog_resources.h"
#include "ui/dialog_sources.h"

namespace {
// The size the placement is computed from: 100 x 65 dialog units, 175 x 97 pixels.
constexpr int32_t kHalfWidth = 87, kHalfHeight = 48;
}  // namespace

cNameDialog::cNameDialog(uint16_t resourceId, HWND parent, void* param) {
  s_lpLive = this;
  SetCreateInfo(resourceId, parent, param);
  CentredDialogPos(kHalfWidth, kHalfHeight, &m_nReqX, &m_nReqY);
  MoveCursorTo(m_nReqX + kHalfWidth, m_nReqY + kHalfHeight + 20);
  std::string* name = nullptr;
  if (g_nPlayMode == kPlayModeOptions)
    name = &g_OptionData.m_strRankingName;
  else if (DialogSourceHooks().stageRankingName)
    name = DialogSourceHooks().stageRankingName();
  if (name) m_Edits.push_back(std::make_unique<cEditCtrl>(1003, name, kNameMaxLength, kNameChars, 1, 1));
}

cNameDialog::~cNameDialog() {
  if (s_lpLive == this) s_lpLive = nullptr;
}

const DialogTemplate& cNameDialog::Template() const { return NameDialogTemplate(); }

void cNameDialog::OnInitDialog(WPARAM wParam, LPARAM lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  for (auto& edit : m_Edits) AddControl(*edit);
  UpdateControls();
  if (!m_Edits.empty()) {
    SetDlgFocus(m_hWnd, m_Edits.front()->m_nId);
    SetDlgItemSel(m_hWnd, m_Edits.front()->m_nId, 0, 0x7fffffff);
  }
  if (g_IniSettings.English) SetDlgItemTextA(m_hWnd, 1007, "     Name");
  m_bFocusGuard = 1;
}

void cNameDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  cDialog::OnCommand(wParam, lParam);
  switch (wParam & 0xFFFF) {
    case 1000:
      ApplyControls();
      EndDialogWith(1);
      break;
    case 1001: EndDialogWith(0); break;
    default: break;
  }
}
