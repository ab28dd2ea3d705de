#pragma once
// The two message-box routes of the program (see platform/message_box.h).
#include <functional>
#include <string>

// SDL message boxes with the program's buttons, the texts converted from CP932 to UTF-8. Call on the UI
// thread; boxes asked for by other threads are shown on it (the asking thread waits, as for a sent
// message). When SDL cannot show a box (on X11 without core fonts), the box is drawn inside the game
// window and answered there (window_box_run.h). Only when no window can be had either, the text goes
// to standard error and the box counts as answered with its default button (No for a Yes/No question).
void InstallWindowMessageBoxes();
void RemoveWindowMessageBoxes();

// The system's box: shows it and sets *answer (IDOK, IDYES, ...); false when it cannot be shown.
using SystemMessageBoxFn = bool (*)(const char* utf8Text, const char* utf8Caption, unsigned type, int* answer);
// Replaces the system's box (tests make it fail); null puts SDL's back. Returns the previous one.
SystemMessageBoxFn SetSystemMessageBox(SystemMessageBoxFn box);

// Headless: every box is written to standard error and answered from the input script. A box without
// a scripted answer calls onUnanswered (which fails the run) and is answered with its default button.
void InstallHeadlessMessageBoxes(std::function<void(const std::string& utf8Text)> onUnanswered);

// Whether a box went unanswered in this headless run.
bool HeadlessBoxUnanswered();
