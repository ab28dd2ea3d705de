#pragma once
// The templates of the program's four dialogs (sizes and places in dialog units).
#include "platform/dialog/dialog_box.h"

constexpr int kResNameDialog = 102;
constexpr int kResStartDialog = 103;
constexpr int kResFileDialog = 104;
constexpr int kResReplaySaveDialog = 105;

const DialogTemplate& NameDialogTemplate();
const DialogTemplate& StartDialogTemplate();
const DialogTemplate& FileDialogTemplate();
const DialogTemplate& ReplaySaveDialogTemplate();
