#pragma once
// What the dialog tests share: dialogs answered from an input script (as in a headless run), message
// boxes answered from the same script and counted, and a scratch game folder to run in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/dialog_box.h"
#include "platform/dialog/dialog_hosts.h"
#include "platform/dialog/file_chooser.h"
#include "platform/dialog_items.h"
#include "platform/encoding.h"
#include "platform/headless/input_script.h"
#include "platform/message_box.h"
#include "platform/window/message_boxes.h"
#include "test_support/temp_dir.h"

// Runs the dialogs of a test from script lines; every message box is written down.
class cScriptedDialogs {
 public:
  cScriptedDialogs() : m_Host(this) {
    m_pOld = SetDialogHost(&m_Host);
    SetDialogUnansweredHandler([] { s_nUnanswered++; });
    s_nUnanswered = 0;
    InstallHeadlessMessageBoxes([](const std::string&) {});
    SetMessageBoxHandler([this](const char* text, const char* caption, unsigned type) {
      m_Boxes.push_back(text ? text : "");
      (void)caption;
      int answer = 0;
      if (TakeScriptedAnswer(&answer)) return answer;
      return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    });
  }
  ~cScriptedDialogs() {
    SetDialogHost(m_pOld);
    SetMessageBoxHandler(nullptr);
    SetDialogUnansweredHandler(nullptr);
    UseInputScript({});
  }
  cScriptedDialogs(const cScriptedDialogs&) = delete;
  cScriptedDialogs& operator=(const cScriptedDialogs&) = delete;

  // The dialog lines the next dialogs take (one string, lines separated by "\n"), written in the
  // program's text (CP932) as the test's literals are; ScriptUtf8 takes them as a script file has them.
  void Script(const std::string& cp932Lines) { ScriptUtf8(Cp932ToUtf8(cp932Lines)); }
  void ScriptUtf8(const std::string& lines) {
    cInputScript script;
    std::string error;
    ASSERT_TRUE(ParseInputScript(lines, script, &error)) << error;
    UseInputScript(script);
  }
  int Unanswered() const { return s_nUnanswered; }

  std::vector<std::string> m_Boxes;  // CP932 texts of the boxes shown
  // Called with each dialog as it opens, before the script answers it.
  std::function<void(HWND)> m_OnOpen;
  // The choosers asked for.
  std::vector<FileChooserRequest> m_Choosers;

 private:
  class cHost : public DialogHost {
   public:
    explicit cHost(cScriptedDialogs* owner) : m_pOwner(owner), m_pScripted(MakeScriptedDialogHost()) {}
    void Run(HWND dialog) override {
      if (m_pOwner->m_OnOpen) m_pOwner->m_OnOpen(dialog);
      m_pScripted->Run(dialog);
    }
    bool ChooseFile(const FileChooserRequest& request, std::string& path) override {
      m_pOwner->m_Choosers.push_back(request);
      return m_pScripted->ChooseFile(request, path);
    }

   private:
    cScriptedDialogs* m_pOwner;
    std::unique_ptr<DialogHost> m_pScripted;
  };
  static inline int s_nUnanswered = 0;
  cHost m_Host;
  DialogHost* m_pOld = nullptr;
};

// A scratch game folder, made the current folder for the test's time.
class cScratchGameFolder {
 public:
  explicit cScratchGameFolder(const std::string& name) : m_Path(TestTempDir() / name) {
    std::filesystem::remove_all(m_Path);
    std::filesystem::create_directories(m_Path / "user_data" / "rpl4");
    std::filesystem::create_directories(m_Path / "data" / "stg4");
    m_Old = std::filesystem::current_path();
    std::filesystem::current_path(m_Path);
  }
  ~cScratchGameFolder() { std::filesystem::current_path(m_Old); }
  cScratchGameFolder(const cScratchGameFolder&) = delete;
  cScratchGameFolder& operator=(const cScratchGameFolder&) = delete;

  const std::filesystem::path& Path() const { return m_Path; }
  void Touch(const std::string& relative, const std::string& bytes = "x") const {
    std::filesystem::create_directories((m_Path / relative).parent_path());
    FILE* f = std::fopen((m_Path / relative).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  // Every file below the folder with its size, to show that nothing was written.
  std::vector<std::string> Listing() const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(m_Path))
      out.push_back(e.path().string() + (e.is_regular_file() ? ":" + std::to_string(e.file_size()) : "/"));
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  std::filesystem::path m_Path, m_Old;
};
