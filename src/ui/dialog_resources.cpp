#include "ui/dialog_resources.h"

namespace {
// Every dialog has an icon-style static without an icon at (7, 7).
DialogItemTemplate emptyIcon() { return {1075, DialogItemKind::Icon, "", 7, 7, 20, 21}; }
}  // namespace

const DialogTemplate& NameDialogTemplate() {
  static const DialogTemplate s_Template{kResNameDialog,
                                         "",
                                         110,
                                         65,
                                         false,
                                         true,
                                         {emptyIcon(),
                                          {1003, DialogItemKind::Edit, "", 75, 12, 24, 14},
                                          {1000, DialogItemKind::DefaultButton, "OK", 30, 35, 50, 18},
                                          {1007, DialogItemKind::Static, "登録名(3文字まで)", 15, 15, 56, 16}}};
  return s_Template;
}

const DialogTemplate& StartDialogTemplate() {
  static const DialogTemplate s_Template{
      kResStartDialog,
      "",
      222,
      171,
      true,
      true,
      {emptyIcon(),
       {1000, DialogItemKind::DefaultButton, "ゲーム開始", 80, 105, 50, 25},
       {1001, DialogItemKind::Button, "ゲーム中止", 80, 140, 50, 18},
       {1006, DialogItemKind::Group, "描画モード", 15, 15, 190, 55},
       {1002, DialogItemKind::Radio, "Direct3D", 20, 30, 42, 10},
       {1003, DialogItemKind::Radio, "DirectDraw", 80, 30, 45, 10},
       {1005, DialogItemKind::Static, "詳細な設定は環境設定ファイル「System.ini」で行って下さい。", 20, 50, 177, 12},
       {1004, DialogItemKind::Check, "次回からこのダイアログを表示しない", 50, 85, 120, 10}}};
  return s_Template;
}

const DialogTemplate& FileDialogTemplate() {
  static const DialogTemplate s_Template{kResFileDialog, "ファイルの選択", 53, 35, true, false, {emptyIcon()}};
  return s_Template;
}

const DialogTemplate& ReplaySaveDialogTemplate() {
  static const DialogTemplate s_Template{
      kResReplaySaveDialog,
      "リプレイの保存",
      290,
      170,
      true,
      true,
      {emptyIcon(),
       {1011, DialogItemKind::Button, "", 15, 40, 260, 36},
       {1002, DialogItemKind::Button, "", 15, 85, 260, 36},
       {1001, DialogItemKind::Button, "キャンセル", 15, 130, 260, 24},
       {1012, DialogItemKind::Static, "今回のプレイを保存しますか？", 20, 20, 243, 8}}};
  return s_Template;
}
