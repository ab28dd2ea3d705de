// Seeds of the player files, replays and played stages, written by the game's own writers (beside the
// byte-built seeds of the old file versions in seeds/generated_seeds.h).
#include <cstring>

#include "core/record.h"
#include "data/flow.h"
#include "data/game_data.h"
#include "data/input_log.h"
#include "data/option_data.h"
#include "data/replay_file.h"
#include "data/save_data.h"
#include "data/stage_data.h"
#include "fuzz_targets.h"
#include "seeds/generated_seeds.h"
#include "shell/key_config.h"
#include "shell/window_data.h"

namespace {

std::vector<uint8_t> Picked(uint8_t which, const std::vector<uint8_t>& file) {
  std::vector<uint8_t> bytes{which};
  bytes.insert(bytes.end(), file.begin(), file.end());
  return bytes;
}

// An option file of an older version: the fields that version stored, then the ranking name.
std::vector<uint8_t> OldOptions(uint32_t version) {
  cByteBuilder b;
  b.U32(version);
  std::vector<int32_t> fields;
  if (version >= 952) fields.push_back(0);                  // gamepad
  fields.insert(fields.end(), {3, 1, 6, 2});                // colour, music, sound, ranking entry
  if (version >= 932) fields.insert(fields.end(), {1, 2});  // replay saving and order
  if (version >= 934) fields.push_back(5);                  // message seconds
  b.I32(static_cast<int32_t>(fields.size()));
  for (int32_t f : fields) b.I32(f);
  b.I32(1).Str("abc");
  return b.Get();
}

std::vector<uint8_t> KeyTable(bool enabled, int32_t device) {
  cByteBuilder b;
  for (int i = 0; i < 12; ++i) b.I32(i < 4 ? 8 : device).I16(static_cast<int16_t>(37 + i)).I16(0);
  b.I32(12).I32(1).I32(enabled ? 1 : 0);
  return b.Get();
}

void AddPlayerFiles(std::vector<cGeneratedSeed>& seeds) {
  cOptionData options;
  seeds.push_back({"Option_default", Picked(kFuzzOptionData, options.SaveToBytes())});
  options.m_nColour = 2;
  options.m_nReplayAutoSave = kReplayAutoSaveCleared;
  options.m_strRankingName = "player";
  seeds.push_back({"Option_set", Picked(kFuzzOptionData, options.SaveToBytes())});
  for (uint32_t v : {931u, 933u, 951u})
    seeds.push_back({"Option_" + std::to_string(v), Picked(kFuzzOptionData, OldOptions(v))});
  cWindowData window;
  window.m_nX = 100;
  window.m_nY = 80;
  window.m_nWidth = 1280;
  window.m_nHeight = 960;
  window.m_bZoomed = 1;
  seeds.push_back({"Window", Picked(kFuzzWindowData, window.SaveToBytes())});
  seeds.push_back({"KeyConfig_off", Picked(kFuzzKeyConfig, KeyTable(false, 8))});
  seeds.push_back({"KeyConfig_pad", Picked(kFuzzKeyConfig, KeyTable(true, 0))});
  cSaveData progress;
  seeds.push_back({"Save_default", Picked(kFuzzSaveData, progress.SaveToBytes())});
  progress.m_aCarryOver.resize(2);
  progress.m_aStageResults.resize(2);
  progress.m_aStageResults[1].m_strKey = "c01-1";
  progress.m_aChallenge.resize(3);
  progress.m_anWorldFlags.assign(4, 1);
  progress.m_anCommonVars.assign(8, 7);
  seeds.push_back({"Save_lists", Picked(kFuzzSaveData, progress.SaveToBytes())});
}

// The generated stage with a floor, an enemy whose flow runs code, and an item beside the hero.
std::vector<uint8_t> PlayedStage() {
  cStageData stage;
  stage.LoadFromBytes(generated_seeds::Stage(kDataVersion));
  for (int c = 0; c < 20; ++c) {
    cBlockType floor = stage.m_aPalBlocks.size() > 1 ? stage.m_aPalBlocks[1] : cBlockType();
    floor.m_nCellX = static_cast<int16_t>(c);
    floor.m_nCellY = 28;
    stage.m_aBlocks.push_back(floor);
  }
  cCharaType enemy = stage.m_aCharas.empty() ? cCharaType() : stage.m_aCharas[0];
  enemy.m_nControl = 1;
  enemy.m_nCellX = 8;
  cFlowCmd code;
  code.m_nKind = 37;  // code execution
  code.m_strText = "C1 = C1 + 1";
  cFlow flow;
  flow.m_aCmds = {code};
  enemy.m_aFlows = {flow};
  stage.m_aCharas.push_back(enemy);
  return stage.SaveToBytes();
}

std::vector<uint8_t> Replay(const std::vector<uint8_t>& stageBytes, int frames) {
  cStageData stage, settings;
  stage.LoadFromBytes(stageBytes);
  CopyStageSettings(settings, stage);
  cInputLog log;
  log.m_nSeed = 12345;
  for (int f = 0; f < frames; ++f)
    log.RecordInputFrame(static_cast<int16_t>(f / 3 % 2 ? 2 : 1), static_cast<int16_t>(f % 4));
  log.RecordInputValue(1);
  cSaveData progress;
  return ReplayFileBytes(log, stage, settings, progress);
}

}  // namespace

std::vector<cGeneratedSeed> FuzzSeeds(const std::string& target) {
  std::vector<cGeneratedSeed> seeds = GeneratedSeeds(target);
  // The game's writers work on the run's file versions, as start-up sets them.
  g_FileVersions.Reset();
  if (target == "player_files") {
    AddPlayerFiles(seeds);
  } else if (target == "stage_play") {
    for (uint32_t v : {124u, 876u, kDataVersion})
      seeds.push_back({"stage_" + std::to_string(v), generated_seeds::Stage(v)});
    seeds.push_back({"stage_flows", PlayedStage()});
  } else if (target == "replay") {
    seeds.push_back({"replay_short", Replay(generated_seeds::Stage(kDataVersion), 6)});
    seeds.push_back({"replay_flows", Replay(PlayedStage(), 30)});
  }
  return seeds;
}
