#pragma once
// The input script of headless runs and tests (`--input FILE`): per-frame key and pad states and the
// answers to message boxes, in a small text format, one command per line ("#" starts a comment):
//
//   FRAME press KEY...      keys held from that frame on (names as VirtualKeyName: LEFT, Z, ESCAPE,
//   FRAME release KEY...    F1, SPACE, ... or a code such as 0x25)
//   FRAME pad X Y [POV [BUTTONS]]   joystick 0 reading from that frame on: axes 0..65535 (32768
//                           centred), hat angle in hundredths of a degree (65535 centred), button
//                           mask (button 1 = 1)
//   FRAME nopad             joystick 0 unplugged
//   answer yes|no|ok|cancel the answer to the next message box, in order of the boxes; in a dialog,
//                           ok presses its default button and cancel closes it
//   answer file NAME        the file chosen in a file dialog (a name in the dialog's folder, or a
//                           game path with a folder); answer cancel cancels the file dialog
//   type TEXT               TEXT (UTF-8, the rest of the line) typed into the dialog's focused edit
//                           box, one character at a time
//   paste TEXT              TEXT pasted into it at once
//   compose TEXT            TEXT composed with an input method and confirmed with Enter
//   key KEY                 KEY pressed and released in the dialog
//   click ID                the dialog's control number ID clicked (a button, radio or check box)
//
// The lines without a frame are taken in file order: a message box takes the next line when it is
// an answer, a dialog takes lines until it has ended.
//
// Frames count the game frames run, from 1: the state given for frame n is what the input poll of
// the n-th frame reads. A press or release also reaches the game window as its key message, so
// ESCAPE asks to quit as it does in a window.
#include <cstdint>
#include <string>
#include <vector>

struct cInputScriptEvent {
  uint64_t frame = 0;
  enum class Kind { Press, Release, Pad, NoPad } kind = Kind::Press;
  int vk = 0;
  uint32_t x = 32768, y = 32768, pov = 0xFFFF, buttons = 0;
};

// One line without a frame: a message-box answer or a step in a dialog.
struct cScriptAnswer {
  enum class Kind { Answer, File, Type, Paste, Compose, Key, Click } kind = Kind::Answer;
  int value = 0;     // Answer: IDYES, IDNO, IDOK, IDCANCEL; Key: the virtual key; Click: the control
  std::string text;  // File: the name (CP932); Type, Paste, Compose: the text (UTF-8)
};

struct cInputScript {
  std::vector<cInputScriptEvent> events;  // in file order; applied by frame
  std::vector<cScriptAnswer> answers;     // in file order
};

// Parses a script; false with a message naming the line when it is malformed.
bool ParseInputScript(const std::string& text, cInputScript& script, std::string* error);
bool LoadInputScript(const std::string& path, cInputScript& script, std::string* error);

// Makes the script the input of this run: its answers answer message boxes, its events are applied
// by ApplyInputScript.
void UseInputScript(cInputScript script);
// Applies every event of the given frame to the keyboard snapshot and the joystick records.
void ApplyInputScript(uint64_t frame);
// Takes the next scripted answer of a message box; false when none is left or the next line is a
// dialog step (which is left for its dialog).
bool TakeScriptedAnswer(int* answer);
// Takes the next line for a dialog, whatever it is; false when none is left.
bool TakeScriptedDialogStep(cScriptAnswer* step);
