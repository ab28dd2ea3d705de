#include "data/load_error.h"

#include "core/log.h"
#include "core/read_fault.h"
#include "core/record.h"

std::string LoadErrorText(const char* path) {
  std::string text;
  if (g_bFileTooNew)
    FormatStr(text, "%s の読み込みに失敗しました！\n実行ファイル(.exe)より上位のバージョンのファイルは使用できません。",
              path ? path : "");
  else
    FormatStr(text, "%s の読み込みに失敗しました！", path ? path : "");
  return text;
}

void ShowLoadError(const char* path) {
  LogErrorBoxf("%s", LoadErrorText(path).c_str());
  ReportReadFault(path, LastReadFault());
}
