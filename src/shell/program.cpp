#include "shell/program.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "core/log.h"
#include "platform/clock.h"
#include "platform/gfx/frame_mailbox.h"
#include "platform/headless/input_script.h"
#include "platform/window/game_window.h"
#include "platform/window/message_boxes.h"
#include "shell/app_init.h"
#include "shell/game_loop.h"
#include "shell/win_main.h"

namespace {
// Absolute form of a path given relative to where qc4 was started.
std::string fromStartFolder(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}
}  // namespace

int RunProgram(const cCommandLine& cl) {
  // Files named on the command line are relative to where qc4 was started, not to the game folder.
  const std::string dumpPath = fromStartFolder(cl.dumpFrame);
  cInputScript script;
  std::string error;
  if (!cl.inputScript.empty() && !LoadInputScript(fromStartFolder(cl.inputScript), script, &error)) {
    std::fprintf(stderr, "qc4: %s: %s\n", cl.inputScript.c_str(), error.c_str());
    return 2;
  }
  if (chdir(cl.gameDir.c_str()) != 0) {
    std::perror(("qc4: " + cl.gameDir).c_str());
    return 2;
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
    return 2;
  }
  if (!cl.headless) InstallWindowMessageBoxes();

  int code = WinMain(cl.testPlay ? cl.testPlayStage.c_str() : "", cl.testPlay ? SW_SHOW : SW_SHOWNORMAL);

  if (!cl.headless) RemoveWindowMessageBoxes();
  GameWindowShutdown();
  if (!dumpPath.empty()) {
    if (auto frame = gfx::TheFrameMailbox().Latest()) {
      std::string why;
      if (!gfx::WriteFramePng(*frame, dumpPath, &why)) {
        std::fprintf(stderr, "qc4: cannot write %s: %s\n", dumpPath.c_str(), why.c_str());
        if (code == 0) code = 2;
      }
    } else {
      std::fprintf(stderr, "qc4: no frame was shown; %s not written\n", dumpPath.c_str());
    }
  }
  if (cl.headless && HeadlessBoxUnanswered()) return 1;
  return code;
}
