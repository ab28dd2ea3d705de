#include "shell/program.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "core/file_helpers.h"
#include "core/log.h"
#include "platform/clock.h"
#include "platform/dialog/dialog_box.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/headless/input_script.h"
#include "platform/host_file_stream.h"
#include "platform/message_box.h"
#include "platform/stop_signals.h"
#include "platform/window/game_window.h"
#include "platform/window/message_boxes.h"
#include "shell/app_globals.h"
#include "shell/app_init.h"
#include "shell/audio_dump_run.h"
#include "shell/game_loop.h"
#include "shell/main_window.h"
#include "shell/win_main.h"

namespace {
// The start-up's direct start as stage play installed it, and what the command line asked of it.
bool (*s_startDirectly)(const std::string& path) = nullptr;
std::string s_strNamedStart;  // "--test-play STAGE" or "--play-replay FILE", for the messages
std::atomic<bool> s_bStartRefused{false};

// A stage or replay named on the command line that does not load ends start-up, as any direct start
// that fails does; the run says why on standard error (the game's own message, a box, repeated) and
// ends with its own status.
bool StartNamedPlay(const std::string& path) {
  const uint64_t boxes = MessageBoxCount();
  if (s_startDirectly && s_startDirectly(path)) return true;
  std::string why = "see the report log Report_Game.txt";
  if (MessageBoxCount() != boxes) why = Cp932ToUtf8(LastMessageBoxText());
  std::fprintf(stderr, "qc4: %s did not load: %s\n", s_strNamedStart.c_str(), why.c_str());
  s_bStartRefused.store(true);
  return false;
}

void WatchNamedPlay(const cCommandLine& cl) {
  s_bStartRefused.store(false);
  if (!cl.playReplay.empty())
    s_strNamedStart = "--play-replay " + cl.playReplay;
  else if (cl.testPlay)
    s_strNamedStart = "--test-play " + cl.testPlayStage;
  else
    return;
  cUiHooks hooks = UiHooks();
  s_startDirectly = hooks.startStageDirectly;
  hooks.startStageDirectly = StartNamedPlay;
  SetUiHooks(hooks);
}

void UnwatchNamedPlay() {
  if (s_strNamedStart.empty()) return;
  cUiHooks hooks = UiHooks();
  hooks.startStageDirectly = s_startDirectly;
  SetUiHooks(hooks);
  s_strNamedStart.clear();
}
}  // namespace

int RunProgram(const cCommandLine& cl, bool (*openOutputs)(std::string* error)) {
  // Files named on the command line are this system's paths (UTF-8), relative to where qc4 was
  // started, not to the game folder.
  const std::string dumpPath = AbsoluteHostPath(cl.dumpFrame);
  const std::string audioPath = AbsoluteHostPath(cl.dumpAudio);
  cInputScript script;
  std::string error;
  if (!cl.inputScript.empty() && !LoadInputScript(AbsoluteHostPath(cl.inputScript), script, &error)) {
    std::fprintf(stderr, "qc4: %s: %s\n", cl.inputScript.c_str(), error.c_str());
    return kExitBadCommandLine;
  }
  // The test-play stage is the game's own text, as the editor would hand it over: a path in the game
  // folder, in Shift-JIS.
  std::string stage;
  if (cl.testPlay && !GamePathFromHost(cl.testPlayStage, stage)) {
    std::fprintf(stderr, "qc4: --test-play %s: the path holds characters the game cannot name\n",
                 cl.testPlayStage.c_str());
    return kExitBadCommandLine;
  }
  if (chdir(cl.gameDir.c_str()) != 0) {
    std::perror(("qc4: " + cl.gameDir).c_str());
    return kExitBadCommandLine;
  }
  // A test play plays the newest numbered variant of its stage; without one there is nothing to play.
  std::string found;
  if (cl.testPlay && cl.playReplay.empty() && !FindLastNumberedFileStr(found, stage, "stg4")) {
    std::fprintf(stderr,
                 "qc4: --test-play %s: no stage file to play: %s holds none of its numbered files (extension "
                 "stg4, then _000 to _999)\n",
                 cl.testPlayStage.c_str(), cl.gameDir.c_str());
    return kExitStageRefused;
  }
  // Every output is checked before anything runs, so that a run never ends in a file it cannot write.
  std::string why;
  if (!dumpPath.empty() && !CanWriteHostFile(dumpPath, &why)) {
    std::fprintf(stderr, "qc4: cannot write %s (%s)\n", cl.dumpFrame.c_str(), why.c_str());
    return kExitCannotRun;
  }
  if (openOutputs && !openOutputs(&error)) {
    std::fprintf(stderr, "qc4: %s\n", error.c_str());
    return kExitCannotRun;
  }
  if (!audioPath.empty() && !StartAudioDump(audioPath, &why)) {
    std::fprintf(stderr, "qc4: cannot write %s (%s)\n", cl.dumpAudio.c_str(), why.c_str());
    return kExitCannotRun;
  }

  InstallStopSignals();
  UseInputScript(script);
  SetFrameLimit(cl.frames);
  if (cl.headless) {
    SetVirtualClock(true);
    // A box nobody answers would wait forever: the run stops instead, and fails.
    InstallHeadlessMessageBoxes([](const std::string&) { FatalStop(); });
    SetDialogUnansweredHandler([] { FatalStop(); });
  }
  if (!GameWindowInit(cl.headless, &why)) {
    std::fprintf(stderr, "qc4: the window system cannot start: %s\n", why.c_str());
    return kExitCannotRun;
  }
  if (!cl.headless) InstallWindowMessageBoxes();

  WatchNamedPlay(cl);
  int code = WinMain(stage.c_str(), cl.testPlay ? SW_SHOW : SW_SHOWNORMAL);
  UnwatchNamedPlay();

  if (!cl.headless) RemoveWindowMessageBoxes();
  GameWindowShutdown();
  if (!FinishAudioDump(&why)) {
    std::fprintf(stderr, "qc4: cannot write %s (%s)\n", cl.dumpAudio.c_str(), why.c_str());
    if (code == kExitNormal) code = kExitCannotRun;
  }
  if (!dumpPath.empty()) {
    if (auto frame = gfx::TheFrameMailbox().Latest()) {
      if (!gfx::WriteFramePng(*frame, dumpPath, &why)) {
        std::fprintf(stderr, "qc4: cannot write %s (%s)\n", cl.dumpFrame.c_str(), why.c_str());
        if (code == kExitNormal) code = kExitCannotRun;
      }
    } else {
      std::fprintf(stderr, "qc4: no frame was shown; %s not written\n", dumpPath.c_str());
    }
  }
  if (s_bStartRefused.load()) return kExitStageRefused;
  if (cl.headless && (HeadlessBoxUnanswered() || HeadlessDialogUnanswered())) return kExitUnansweredBox;
  if (const int signal = StopSignalReceived(); signal != 0 && code == kExitNormal) return kExitSignalBase + signal;
  return code;
}
