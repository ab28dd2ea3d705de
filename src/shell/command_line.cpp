#include "shell/command_line.h"

#include <cstdlib>

// Plain ASCII, the same bytes in every encoding.
const char* const kUsageText =
    "Usage: qc4 [options] [GAME_DIR]\n"
    "\n"
    "Plays the game in GAME_DIR (default: the current directory). qc4 runs inside that folder, so\n"
    "the game's data, settings and saves are found and written there.\n"
    "\n"
    "Options:\n"
    "  --test-play STAGE  play the stage file STAGE at once, as a test play started from the editor\n"
    "                     (the path is taken verbatim, relative to GAME_DIR)\n"
    "  --headless         run without a window, sound device or real time: frames run as fast as\n"
    "                     the machine allows on a virtual clock; message boxes are answered by the\n"
    "                     input script, and a box without an answer fails the run\n"
    "  --frames N         stop after N frames, closing the game the normal way (no quit question)\n"
    "  --input FILE       scripted input: per-frame key and pad states and message-box answers\n"
    "                     (lines \"FRAME press KEY...\", \"FRAME release KEY...\",\n"
    "                     \"FRAME pad X Y [POV [BUTTONS]]\", \"FRAME nopad\", \"answer yes|no|ok|cancel\")\n"
    "  --dump-frame FILE  at the end, write the last frame shown as a PNG file\n"
    "  --help             show this text\n"
    "\n"
    "Window keys: Esc asks to quit; a right click steps the window zoom; in Direct3D mode\n"
    "Alt+1 .. Alt+9 choose the zoom (100%, 200%, ...).\n"
    "\n"
    "Exit status: 0 after a normal run, 1 when a headless run met a message box without a scripted\n"
    "answer, 2 for a bad command line or game folder.\n";

bool ParseCommandLine(const std::vector<std::string>& args, cCommandLine& out, std::string* error) {
  out = cCommandLine{};
  bool haveDir = false;
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      out.help = true;
    } else if (a == "--headless") {
      out.headless = true;
    } else if (a == "--test-play") {
      if (!value(out.testPlayStage)) return fail("--test-play needs a stage file");
      out.testPlay = true;
    } else if (a == "--frames") {
      std::string n;
      if (!value(n)) return fail("--frames needs a number");
      char* end = nullptr;
      unsigned long long v = std::strtoull(n.c_str(), &end, 10);
      if (n.empty() || n[0] == '-' || !end || *end || v == 0) return fail("--frames needs a number from 1");
      out.frames = v;
    } else if (a == "--input") {
      if (!value(out.inputScript)) return fail("--input needs a file");
    } else if (a == "--dump-frame") {
      if (!value(out.dumpFrame)) return fail("--dump-frame needs a file");
    } else if (a.size() > 1 && a[0] == '-') {
      return fail("unknown option " + a);
    } else {
      if (haveDir) return fail("only one GAME_DIR may be given");
      out.gameDir = a;
      haveDir = true;
    }
  }
  return true;
}
