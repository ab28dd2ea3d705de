// Stage files for stage play's tests, built with the data layer's byte builders, and a scratch game
// folder to play them in.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/stage_bytes.h"
#include "platform/message_box.h"
#include "test_support/temp_dir.h"

// A placed character: graphic 1 at a cell; control 0 makes it the hero.
inline std::vector<uint8_t> PlacedChara(int control, int16_t column, int16_t row, uint32_t version = 986) {
  cTypeBytes t;
  t.fields = {{13, 1}, {26, control}, {35, 1}, {39, 10}};  // graphic 1, control, scale 1, 10 HP
  t.cellX = column;
  t.cellY = row;
  t.cellValue = -1;  // carries no item, as the stage editor writes it
  return TypeBody('c', version, t);
}

inline std::vector<uint8_t> PlacedBlock(int16_t column, int16_t row, uint32_t version = 986) {
  cTypeBytes t;
  t.fields = {{5, 1}, {12, 1}};  // graphic 1, contact "当たる"
  t.cellX = column;
  t.cellY = row;
  return TypeBody('b', version, t);
}

// A stage of columns x rows cells with a hero at (1, 1) on a floor along the bottom row.
inline cStageBytes SmallStage(int columns = 8, int rows = 4, uint32_t version = 986) {
  cStageBytes s;
  s.header = {{1, columns}, {4, rows}, {22, 1}};
  s.charas.push_back(PlacedChara(0, 1, static_cast<int16_t>(rows - 2), version));
  for (int c = 0; c < columns; ++c)
    s.blocks.push_back(PlacedBlock(static_cast<int16_t>(c), static_cast<int16_t>(rows - 1), version));
  return s;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The test runs inside a game folder of its own ("data/stg4" made); message boxes are collected as
// "caption|text".
class cGameFolder {
 public:
  cGameFolder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    m_Root = TestTempDir() / (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(m_Root);
    std::filesystem::create_directories(m_Root / "data" / "stg4");
    m_OldCwd = std::filesystem::current_path();
    std::filesystem::current_path(m_Root);
    SetMessageBoxHandler([this](const char* text, const char* caption, unsigned) {
      m_Boxes.push_back(std::string(caption ? caption : "") + "|" + (text ? text : ""));
      return 1;
    });
  }
  ~cGameFolder() {
    SetMessageBoxHandler(nullptr);
    std::filesystem::current_path(m_OldCwd);
  }
  // Writes a stage file under data/stg4.
  void Stage(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteBytes(m_Root / "data" / "stg4" / name, bytes);
  }
  const std::vector<std::string>& Boxes() const { return m_Boxes; }

 private:
  std::filesystem::path m_Root;
  std::filesystem::path m_OldCwd;
  std::vector<std::string> m_Boxes;
};

#include "data/flow_bytes.h"

// A hero whose flow clears the stage once button 1 has been held for a few frames (a key step of
// button 1 pressed, then "ステージクリア" naming the following stage); moreFlows follow that flow.
inline std::vector<uint8_t> HeroClearingOnButton1(int16_t column, int16_t row,
                                                  const std::vector<std::vector<uint8_t>>& moreFlows = {}) {
  std::vector<uint8_t> states(19, 0);
  states[11] = 1;  // the log of button 1
  cCmdBytes clear;
  clear.kind = 17;
  clear.params.assign(11, 0);
  cFlowBytes flow;
  flow.trigger = 0;
  flow.keyConds = {KeyCondBody(states)};
  flow.cmds = {CmdBody(986, clear)};
  cTypeBytes t;
  t.fields = {{13, 1}, {26, 0}, {35, 1}, {39, 10}};
  t.cellX = column;
  t.cellY = row;
  t.tail = {FlowBody(986, flow)};
  t.tail.insert(t.tail.end(), moreFlows.begin(), moreFlows.end());
  return TypeBody('c', 986, t);
}
