// The scripted host: a headless run's dialogs are answered by the dialog lines of its input script
// (platform/headless/input_script.h), taken in order until the dialog has ended.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/dialog/dialog_hosts.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/headless/input_script.h"
#include "platform/input/keyboard.h"
#include "platform/input/virtual_keys.h"
#include "platform/message_box.h"

namespace {
// The UTF-8 characters of a text, one string each.
std::vector<std::string> characters(const std::string& utf8) {
  std::vector<std::string> out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    n = std::min(n, utf8.size() - i);
    out.push_back(utf8.substr(i, n));
    i += n;
  }
  return out;
}

void pressKey(HWND dialog, int vk) {
  SetKeyState(vk, true);
  DialogKey(dialog, vk, true);
  if (!DialogEnded(dialog)) {
    // What the focused control does with the key (the dialog manager's part).
    if (vk == VK_TAB) {
      DialogFocusNext(dialog, GetAsyncKeyState(VK_SHIFT) != 0);
    } else if (vk == VK_SPACE && !DialogComposing(dialog)) {
      const int focus = GetDlgFocus(dialog);
      if (const DialogTemplate* tpl = DialogTemplateOf(dialog))
        for (const auto& item : tpl->items)
          if (item.id == focus && item.kind != DialogItemKind::Edit) DialogClick(dialog, focus);
    } else {
      DialogEditKey(dialog, vk, GetAsyncKeyState(VK_CONTROL) != 0);
    }
  }
  SetKeyState(vk, false);
  if (!DialogEnded(dialog)) DialogKey(dialog, vk, false);
}

std::string utf8(const std::string& cp932) { return Cp932ToUtf8(cp932); }

class ScriptedDialogHost : public DialogHost {
 public:
  void Run(HWND dialog) override {
    std::fprintf(stderr, "[%s] dialog\n", utf8(GetDialogCaption(dialog)).c_str());
    // A key held when the dialog opened is let go while it is open, as a player's key is.
    struct ReleaseKeysAtEnd {
      ~ReleaseKeysAtEnd() { ReleaseAllKeys(); }
    } release;
    while (!DialogEnded(dialog)) {
      cScriptAnswer step;
      if (!TakeScriptedDialogStep(&step)) {
        std::fprintf(stderr, "[%s] dialog -> no scripted answer\n", utf8(GetDialogCaption(dialog)).c_str());
        NoteDialogUnanswered();
        return;
      }
      switch (step.kind) {
        case cScriptAnswer::Kind::Answer:
          pressKey(dialog, step.value == IDOK || step.value == IDYES ? VK_RETURN : VK_ESCAPE);
          break;
        case cScriptAnswer::Kind::Type:
          for (const std::string& c : characters(step.text)) DialogInsertText(dialog, c);
          break;
        case cScriptAnswer::Kind::Paste: DialogInsertText(dialog, step.text); break;
        case cScriptAnswer::Kind::Compose:
          // The composition is confirmed with Enter, which the dialog never sees as a key press.
          DialogSetComposition(dialog, step.text);
          DialogKey(dialog, VK_RETURN, true);
          DialogSetComposition(dialog, "");
          DialogInsertText(dialog, step.text);
          DialogKey(dialog, VK_RETURN, false);
          break;
        case cScriptAnswer::Kind::Key: pressKey(dialog, step.value); break;
        case cScriptAnswer::Kind::Click: DialogClick(dialog, step.value); break;
        case cScriptAnswer::Kind::File:
          std::fprintf(stderr, "[%s] dialog: a file answer outside a file dialog is ignored\n",
                       utf8(GetDialogCaption(dialog)).c_str());
          break;
      }
    }
  }

  bool ChooseFile(const FileChooserRequest& request, std::string& path) override {
    std::fprintf(stderr, "[%s] file dialog\n", utf8(request.title).c_str());
    struct ReleaseKeysAtEnd {
      ~ReleaseKeysAtEnd() { ReleaseAllKeys(); }
    } release;
    for (;;) {
      cScriptAnswer step;
      if (!TakeScriptedDialogStep(&step)) {
        std::fprintf(stderr, "[%s] file dialog -> no scripted answer\n", utf8(request.title).c_str());
        NoteDialogUnanswered();
        return false;
      }
      std::string name;
      if (step.kind == cScriptAnswer::Kind::File) {
        name = step.text;
      } else if (step.kind == cScriptAnswer::Kind::Answer && (step.value == IDOK || step.value == IDYES)) {
        name = request.initialName;  // the proposed name, as it stands
      } else if (step.kind == cScriptAnswer::Kind::Answer) {
        std::fprintf(stderr, "[%s] file dialog -> cancelled\n", utf8(request.title).c_str());
        return false;
      } else {
        continue;
      }
      const std::string target = FileChooserTarget(request, name);
      if (target.empty()) {
        std::fprintf(stderr, "[%s] file dialog: no file '%s'\n", utf8(request.title).c_str(), utf8(name).c_str());
        continue;
      }
      if (request.save && !MayChooseForSave(target)) continue;
      path = FileChooserFullPath(target);
      std::fprintf(stderr, "[%s] file dialog -> %s\n", utf8(request.title).c_str(), utf8(path).c_str());
      return true;
    }
  }
};
}  // namespace

std::unique_ptr<DialogHost> MakeScriptedDialogHost() { return std::make_unique<ScriptedDialogHost>(); }
