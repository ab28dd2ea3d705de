#include "shell/program.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "core/log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/headless/input_script.h"
#include "platform/window/game_window.h"
#include "platform/window/message_boxes.h"
#include "shell/app_init.h"
#include "shell/game_loop.h"
#include "shell/win_main.h"

int RunProgram(const cCommandLine& cl) {
  // Files named on the command line are this system's paths (UTF-8), relative to where qc4 was
  // started, not to the game folder.
  const std::string dumpPath = AbsoluteHostPath(cl.dumpFrame);
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

  UseInputScript(script);
  SetFrameLimit(cl.frames);
  if (cl.headless) {
    SetVirtualClock(true);
    // A box nobody answers would wait forever: the run stops instead, and fails.
    InstallHeadlessMessageBoxes([](const std::string&) { FatalStop(); });
  }
  if (!GameWindowInit(cl.headless)) {
    std::fprintf(stderr, "qc4: the window system cannot start\n");
    return kExitCannotRun;
  }
  if (!cl.headless) InstallWindowMessageBoxes();

  int code = WinMain(stage.c_str(), cl.testPlay ? SW_SHOW : SW_SHOWNORMAL);

  if (!cl.headless) RemoveWindowMessageBoxes();
  GameWindowShutdown();
  if (!dumpPath.empty()) {
    if (auto frame = gfx::TheFrameMailbox().Latest()) {
      std::string why;
      if (!gfx::WriteFramePng(*frame, dumpPath, &why)) {
        std::fprintf(stderr, "qc4: cannot write %s (%s)\n", cl.dumpFrame.c_str(), why.c_str());
        if (code == kExitNormal) code = kExitCannotRun;
      }
    } else {
      std::fprintf(stderr, "qc4: no frame was shown; %s not written\n", dumpPath.c_str());
    }
  }
  if (cl.headless && HeadlessBoxUnanswered()) return kExitUnansweredBox;
  return code;
}
