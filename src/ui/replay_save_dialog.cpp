#include "ui/replay_save_dialog.h"

#include "core/file_helpers.h"
#include "core/log.h"
#include "data/replay_file.h"
#include "platform/dialog_items.h"
#include "shell/system_ini.h"
#include "ui/dialog_place.h"
#include "ui/dialog_resources.h"
#include "ui/dialog_sources.h"

namespace {
// The size the placement is computed from: 290 x 170 dialog units, 507 x 255 pixels.
constexpr int32_t kHalfWidth = 253, kHalfHeight = 127;

// The replay path of the stage being played, cleared or not, and its file name; both empty when no
// name can be built.
void buildCandidate(int cleared, std::string& path, std::string& name) {
  path.clear();
  name.clear();
  const std::string stage = DialogSourceHooks().playedStagePath ? DialogSourceHooks().playedStagePath() : std::string();
  if (MakeReplayFileName(path, stage, cleared) && !path.empty()) {
    name = path;
    PathToFileNameStr(name);
  } else {
    path.clear();
  }
}
}  // namespace

cReplaySaveDialog::cReplaySaveDialog(uint16_t resourceId, HWND parent, void* param, std::string* result,
                                     int32_t whichPlay)
    : m_lpResult(result), m_nWhichPlay(whichPlay) {
  s_lpLive = this;
  SetCreateInfo(resourceId, parent, param);
  CentredDialogPos(kHalfWidth, kHalfHeight, &m_nReqX, &m_nReqY);
  MoveCursorTo(m_nReqX + kHalfWidth, m_nReqY + kHalfHeight - 80);
  m_StaticList.push_back(&m_Static);
}

cReplaySaveDialog::~cReplaySaveDialog() {
  if (s_lpLive == this) s_lpLive = nullptr;
}

const DialogTemplate& cReplaySaveDialog::Template() const { return ReplaySaveDialogTemplate(); }

void cReplaySaveDialog::OnInitDialog(WPARAM wParam, LPARAM lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  AddControl(m_Static);
  for (cButtonCtrl& button : m_Buttons) AddControl(button);
  UpdateControls();
  buildCandidate(1, m_strClearedPath, m_strClearedName);
  buildCandidate(0, m_strFailedPath, m_strFailedName);

  const bool english = g_IniSettings.English != 0, previous = m_nWhichPlay == 1;
  std::string cleared, failed;
  if (english) {
    SetDialogCaption(m_hWnd, previous ? "Save the Previous Play" : "Save the Current Play");
    FormatStr(cleared, "Save as cleared replay (passed replay)\nFile name: %s", m_strClearedName.c_str());
    FormatStr(failed, "Save as not cleared replay (not passed replay)\nFile name: %s", m_strFailedName.c_str());
  } else {
    SetDialogCaption(m_hWnd, previous ? "1つ前のプレイを保存" : "今回のプレイを保存");
    FormatStr(cleared, "ステージクリアしたリプレイデータとして保存\nファイル名： %s", m_strClearedName.c_str());
    FormatStr(failed, "ステージクリアしていないリプレイデータとして保存\nファイル名： %s", m_strFailedName.c_str());
  }
  if (cControl* question = FindControlById(m_StaticList, 1012)) {
    const char* text = english ? (previous ? "Save the previous play?" : "Save the current play?")
                               : (previous ? "1つ前のプレイを保存しますか？" : "今回のプレイを保存しますか？");
    SetDlgItemTextA(m_hWnd, question->m_nId, text);
  }
  SetDlgItemTextA(m_hWnd, 1011, cleared.c_str());
  SetDlgItemTextA(m_hWnd, 1002, failed.c_str());
  SetDlgItemTextA(m_hWnd, 1001, english ? "Cancel" : "キャンセル");
  // A proposal that could not be built would save nothing: its button cannot be chosen.
  if (m_strClearedPath.empty()) m_Buttons[0].Enable(0);
  if (m_strFailedPath.empty()) m_Buttons[1].Enable(0);
  m_bFocusGuard = 1;
}

void cReplaySaveDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  cDialog::OnCommand(wParam, lParam);
  switch (wParam & 0xFFFF) {
    case 1001: EndDialogWith(0); break;
    case 1011:
    case 1002:
      if (m_lpResult) *m_lpResult = (wParam & 0xFFFF) == 1011 ? m_strClearedPath : m_strFailedPath;
      ApplyControls();
      EndDialogWith(1);
      break;
    default: break;
  }
}
