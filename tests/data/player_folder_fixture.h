#pragma once
// A fresh run in an empty game folder of its own (the current folder while a test runs) with the
// player's save folders, whose message boxes are kept instead of shown; a failed save or a fatal
// stop does not outlive the test.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/log.h"
#include "game_data_fixture.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "temp_folder.h"

class PlayerFolderTest : public GameDataTest {
 protected:
  void SetUp() override {
    g_bQuit = 0;
    m_OldFolder = std::filesystem::current_path();
    std::filesystem::current_path(m_Folder.Path());
    for (const char* f : {"story", "challenge", "free"})
      std::filesystem::create_directories(m_Folder.Path() / "user_data" / f);
    SetMessageBoxHandler([this](const char* text, const char*, unsigned) {
      m_Messages.emplace_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    SetMessageBoxHandler(nullptr);
    SetAtomicWriteFailStep(0);
    std::filesystem::current_path(m_OldFolder);
    g_bQuit = 0;
  }
  std::vector<uint8_t> ReadDisk(const std::string& relative) const {
    std::ifstream in(m_Folder.Path() / relative, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

  cTempFolder m_Folder;
  std::filesystem::path m_OldFolder;
  std::vector<std::string> m_Messages;
};
