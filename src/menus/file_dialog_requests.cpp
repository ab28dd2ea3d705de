#include "menus/file_dialog_requests.h"

#include "shell/main_window.h"

bool RequestStageFileDialog() { return RequestFileDialog(g_nStageFileRequest) != 0; }
bool RequestReplayFileDialog() { return RequestFileDialog(g_nReplayFileRequest) != 0; }
