#include "ui/file_dialog.h"

#include "core/log.h"
#include "core/record.h"
#include "media/graphics/display.h"
#include "media/graphics/palette.h"
#include "platform/dialog/file_chooser.h"
#include "platform/gfx/surface.h"
#include "shell/system_ini.h"
#include "ui/dialog_resources.h"

namespace {
// Palette entry 0 of an 8-bit DirectDraw screen is black while a chooser is open (the chooser is
// drawn over the picture), and comes back from the game palette afterwards.
class cBlackEntryZero {
 public:
  cBlackEntryZero() : m_bActive(g_bDisplayCreated && !lpDTCon && g_nDisplayBpp == 8 && g_lpDDPalette) {
    if (!m_bActive) return;
    const PALETTEENTRY black{0, 0, 0, 0};
    g_lpDDPalette->SetEntries(0, 1, &black);
  }
  ~cBlackEntryZero() {
    if (m_bActive) g_lpDDPalette->SetEntries(0, 1, &g_GamePalette[0]);
  }
  cBlackEntryZero(const cBlackEntryZero&) = delete;
  cBlackEntryZero& operator=(const cBlackEntryZero&) = delete;

 private:
  bool m_bActive;
};
}  // namespace

FileChooserRequest FileDialogRequest(int32_t mode, int32_t english, const std::string& proposed) {
  FileChooserRequest request;
  switch (mode) {
    case 0:
      request.title = english ? "load stage file" : "ステージファイルの読み込み";
      request.folder = "data\\stg4\\";
      request.description = "StageFile ( *.stg4_* )";
      request.pattern = "*.stg4_*";
      request.defaultExtension = "stg4_*";
      break;
    case 1:
      request.title = english ? "load replay file" : "リプレイファイルの読み込み";
      request.folder = "user_data\\rpl4\\";
      request.description = "ReplayFile ( *.rpl4_* )";
      request.pattern = "*.rpl4_*";
      request.defaultExtension = "rpl4_*";
      break;
    default: {
      request.save = true;
      request.title = english ? "save replay file" : "リプレイファイルの保存";
      request.folder = "user_data\\rpl4\\";
      std::string extension;
      FormatStr(extension, "rpl4_%u", kDataVersion);
      FormatStr(request.description, "ReplayFile ( *.%s )", extension.c_str());
      FormatStr(request.pattern, "*.%s", extension.c_str());
      request.defaultExtension = extension;
      request.initialName = proposed;
      break;
    }
  }
  return request;
}

int OpenFileDialog(const FileChooserRequest& request, std::string& buffer) {
  buffer.clear();
  cBlackEntryZero black;
  return ChooseFile(request, buffer) ? 1 : 0;
}

int SaveFileDialog(const FileChooserRequest& request, std::string& buffer) {
  cBlackEntryZero black;
  return ChooseFile(request, buffer) ? 1 : 0;
}

cFileDialog::cFileDialog(uint16_t resourceId, HWND parent, void* param, std::string* result, int32_t mode)
    : m_lpResult(result), m_nMode(mode) {
  s_lpLive = this;
  SetCreateInfo(resourceId, parent, param);
}

cFileDialog::~cFileDialog() {
  if (s_lpLive == this) s_lpLive = nullptr;
}

const DialogTemplate& cFileDialog::Template() const { return FileDialogTemplate(); }

void cFileDialog::OnInitDialog(WPARAM wParam, LPARAM lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  UpdateControls();
  const std::string proposed = m_lpResult ? *m_lpResult : std::string();
  const FileChooserRequest request = FileDialogRequest(m_nMode, g_IniSettings.English, proposed);
  std::string chosen;
  const int picked = request.save ? SaveFileDialog(request, chosen) : OpenFileDialog(request, chosen);
  if (!picked) chosen.clear();
  if (m_lpResult) *m_lpResult = chosen;
  EndDialogWith(picked ? 1 : 0);
  m_bFocusGuard = 1;
}
