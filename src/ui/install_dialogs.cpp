#include "ui/install_dialogs.h"

#include "core/log.h"
#include "shell/main_window.h"
#include "ui/dialog_resources.h"
#include "ui/file_dialog.h"
#include "ui/name_dialog.h"
#include "ui/replay_save_dialog.h"
#include "ui/start_dialog.h"

namespace {
// The create parameter every dialog is given; no part of the program adds members.
cWindowGroup s_WindowGroup;
}  // namespace

void RunNameDialog() {
  auto* dialog = new cNameDialog(kResNameDialog, g_hMainWnd.load(), &s_WindowGroup);
  dialog->DoModal(0);
  delete dialog;
}

bool RunFileDialog(int mode, const std::string& proposed, std::string& chosen) {
  chosen = proposed;
  auto* dialog = new cFileDialog(kResFileDialog, g_hMainWnd.load(), &s_WindowGroup, &chosen, mode);
  const int result = dialog->DoModal(0);
  delete dialog;
  if (!result) chosen.clear();
  return result == 1;
}

bool RunReplaySaveDialog(int whichPlay, std::string& name) {
  name.clear();
  auto* dialog = new cReplaySaveDialog(kResReplaySaveDialog, g_hMainWnd.load(), &s_WindowGroup, &name, whichPlay);
  const int result = dialog->DoModal(0);
  delete dialog;
  return result == 1;
}

void InstallDialogs() {
  cUiHooks ui = UiHooks();
  ui.runNameDialog = RunNameDialog;
  ui.runFileDialog = RunFileDialog;
  ui.runReplaySaveDialog = RunReplaySaveDialog;
  ui.runStartupDialog = RunStartDialog;
  SetUiHooks(ui);
}
