#include "shell/command_line.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/input/virtual_keys.h"

namespace {
// Plain ASCII, the same bytes in every encoding.
const char* const kUsageHead =
    "Usage: qc4 [options] [GAME_DIR]\n"
    "\n"
    "Plays the game in GAME_DIR (default: the current directory). qc4 runs inside that folder, so\n"
    "the game's data, settings and saves are found and written there, and so is its report log\n"
    "Report_Game.txt (Shift-JIS text: read it with iconv -f CP932).\n"
    "\n"
    "Options:\n"
    "  --test-play STAGE  play the stage file STAGE at once, as a test play started from the editor\n"
    "                     (relative to GAME_DIR, or absolute; the demo's stages are\n"
    "                     data/stg4/c01-1.stg4, c02-1.stg4 and c03-1.stg4)\n"
    "  --headless         run without a window, sound device or real time: frames run as fast as\n"
    "                     the machine allows on a virtual clock that only the frames move, so the\n"
    "                     same input gives the same run; message boxes and dialogs are answered by\n"
    "                     the input script, and one without an answer fails the run (needed on a\n"
    "                     machine without a display, unless SDL_VIDEODRIVER names a video driver)\n"
    "  --frames N         stop after N frames, closing the game the normal way (no quit question)\n"
    "  --input FILE       scripted input: per-frame key and pad states, message-box answers and\n"
    "                     what is done in dialogs (lines \"FRAME press KEY...\", \"FRAME release\n"
    "                     KEY...\", \"FRAME pad X Y [POV [BUTTONS]]\", \"FRAME nopad\",\n"
    "                     \"answer yes|no|ok|cancel\", and for dialogs \"type TEXT\", \"paste TEXT\",\n"
    "                     \"compose TEXT\", \"key KEY\", \"click ID\", \"answer file NAME\"); pad axes\n"
    "                     0..65535 (32768 centred), POV in hundredths of a degree (65535 centred),\n"
    "                     BUTTONS a bit mask (button 1 = 1); the lines without a frame are taken\n"
    "                     in order, each dialog taking them until it closes\n"
    "  --dump-frame FILE  at the end, write the last frame shown as a PNG file\n"
    "  --record-replay FILE\n"
    "                     at the end, write the replay of the run's last stage play (its input,\n"
    "                     seed, stage and starting progress) to FILE, whatever the game's replay\n"
    "                     setting\n"
    "  --play-replay FILE play the replay file FILE (as the replay list would)\n"
    "  --trace FILE       write one JSON line per stage play frame after the frame's logic, as the\n"
    "                     frames come: frame (numbered as --input counts), play_frame (the play's\n"
    "                     own count from its first play frame), hero x, y, vx, vy, hp, sp, the\n"
    "                     numbers of characters, shots and items, score, timer, common and stage\n"
    "                     variables 0-15, the generator state and a hash of every object's state\n"
    "                     (hex text); decimals with 17 significant digits. A replay gives the lines\n"
    "                     of its recording but for frame\n"
    "  --dump-audio FILE  headless runs only: write what the sound mixer played (sound effects and\n"
    "                     music) as a 16-bit stereo WAVE file at 48000 Hz, exactly 1/60 s (800\n"
    "                     sample frames) per frame of the run, at the end\n"
    "  --help             show this text\n"
    "\n"
    "FILE paths are relative to the folder qc4 was started in. An output FILE that cannot be written\n"
    "is refused before the run starts. Ctrl-C and SIGTERM close the game the normal way, and the run\n"
    "still writes its trace, replay, frame dump and sound dump.\n"
    "\n";

const char* const kUsageTail =
    "\n"
    "Window keys: Esc closes the game, asking first whether to quit only in a window, outside the\n"
    "title screen and not in a test play (the loading picture counts as the title screen). A right\n"
    "click steps the window zoom from 100% up to the largest size that fits the desktop, then back;\n"
    "in Direct3D mode Alt+1 .. Alt+9 choose a zoom (100%, 200%, ...) among the sizes that fit.\n"
    "\n"
    "Exit status: 0 after a normal run; 1 when a headless run met a message box or a dialog without\n"
    "a scripted answer; 2 for a bad command line or a GAME_DIR that does not exist; 3 when the window\n"
    "system cannot start (also: no display), the report log cannot be written, the frame dump, trace,\n"
    "replay or sound dump cannot be written, or --record-replay found no stage play to record; 4\n"
    "when the --test-play stage or the --play-replay file is not found or does not load; 128 + the\n"
    "signal's number (130, 143) when Ctrl-C or SIGTERM closed the run.\n";

// Letters, digits, numpad digits and function keys are given as ranges; every other named key by name.
bool keyInRange(int vk) {
  return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) ||
         (vk >= VK_F1 && vk <= VK_F24);
}

// The key names of --input, wrapped to the help text's width.
std::string keyNameLines() {
  std::vector<std::string> names = {"A..Z", "0..9", "F1..F24", "NUMPAD0..NUMPAD9"};
  for (int vk = 1; vk <= 255; ++vk) {
    const char* name = VirtualKeyName(vk);
    if (*name && !keyInRange(vk)) names.push_back(name);
  }
  std::string text =
      "Key names of --input (case is ignored; ESC and ENTER also name ESCAPE and RETURN, and a\n"
      "code such as 0x25 names any key):\n";
  std::string line = " ";
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string word = " " + names[i] + (i + 1 < names.size() ? "," : "");
    if (line.size() + word.size() > 96) {
      text += line;
      text += '\n';
      // Cleared and refilled rather than assigned from a literal: GCC 12 at -O3 reports a false
      // overlapping-copy warning for the assignment, and warnings are errors.
      line.clear();
      line += ' ';
    }
    line += word;
  }
  return text + line + "\n";
}
}  // namespace

std::string UsageText() { return kUsageHead + keyNameLines() + kUsageTail; }

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
    } else if (a == "--record-replay") {
      if (!value(out.recordReplay)) return fail("--record-replay needs a file");
    } else if (a == "--play-replay") {
      if (!value(out.playReplay)) return fail("--play-replay needs a file");
    } else if (a == "--trace") {
      if (!value(out.trace)) return fail("--trace needs a file");
    } else if (a == "--dump-audio") {
      if (!value(out.dumpAudio)) return fail("--dump-audio needs a file");
    } else if (a.size() > 1 && a[0] == '-') {
      return fail("unknown option " + a);
    } else {
      if (haveDir) return fail("only one GAME_DIR may be given");
      out.gameDir = a;
      haveDir = true;
    }
  }
  // Only a headless run's mix is pulled in step with its frames; a sound device plays in real time.
  if (!out.dumpAudio.empty() && !out.headless && !out.help) return fail("--dump-audio needs --headless");
  return true;
}
