// qc4: reads the command line and runs the program.
#include <cstdio>
#include <string>
#include <vector>

#include "menus/install_menu_scenes.h"
#include "menus/ranking_display.h"
#include "platform/files.h"
#include "shell/command_line.h"
#include "shell/program.h"
#include "stage/install_stage_play.h"
#include "stage/replay_play.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"
#include "stage/stage_start.h"
#include "ui/dialog_sources.h"
#include "ui/install_dialogs.h"

namespace {
// The replay and trace files of the command line, set up once the command line has passed its checks.
cReplayRunOptions s_Replays;

bool OpenReplayRunOutputs(std::string* error) { return SetReplayRunOptions(s_Replays, error); }

// The dialogs, and what they read from stage play.
void InstallUi() {
  InstallDialogs();
  cDialogSourceHooks sources;
  sources.playedStagePath = [] { return g_StagePath; };
  sources.stageRankingName = []() -> std::string* {
    cSceneStage* scene = SceneStage();
    return scene ? &scene->m_strRankName : nullptr;
  };
  SetDialogSourceHooks(sources);
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  cCommandLine commandLine;
  std::string error;
  if (!ParseCommandLine(args, commandLine, &error)) {
    std::fprintf(stderr, "qc4: %s\n\n%s", error.c_str(), UsageText().c_str());
    return kExitBadCommandLine;
  }
  if (commandLine.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  // The replay and trace files are this system's paths, relative to where qc4 was started (the run
  // changes into the game folder).
  if (!commandLine.recordReplay.empty()) s_Replays.strRecordPath = AbsoluteHostPath(commandLine.recordReplay);
  if (!commandLine.playReplay.empty()) s_Replays.strPlayPath = AbsoluteHostPath(commandLine.playReplay);
  if (!commandLine.trace.empty()) s_Replays.strTracePath = AbsoluteHostPath(commandLine.trace);
  InstallUi();
  InstallStagePlay();
  InstallMenuScenes();
  InstallRankingDisplay();
  int code = RunProgram(commandLine, OpenReplayRunOutputs);
  // A test play says how its stage ended, with the play frames of its last attempt.
  if (commandLine.testPlay) {
    const int outcome = LastStageOutcome();
    const char* what = outcome == kOutcomeCleared ? "cleared" : outcome == kOutcomeFailed ? "failed" : "not finished";
    std::printf("qc4: stage %s after %d frames\n", what, LastStageFrames());
  }
  if (!FinishReplayRun(&error)) {
    std::fprintf(stderr, "qc4: %s\n", error.c_str());
    if (code == kExitNormal) code = kExitCannotRun;
  }
  return code;
}
