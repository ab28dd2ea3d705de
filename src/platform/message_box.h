#pragma once
// Message boxes. The text and caption are CP932 bytes. The shell installs the real handler (an SDL
// message box on the UI thread, or scripted answers when headless); until then boxes are written to
// standard error and answered with their default button.
#include <cstdint>
#include <functional>
#include <string>

constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_TYPEMASK = 0xF;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

using MessageBoxHandler = std::function<int(const char* text, const char* caption, unsigned type)>;

// Replaces the handler; an empty function restores the default one.
void SetMessageBoxHandler(MessageBoxHandler handler);
// Shows a box through the current handler and returns the button pressed (IDOK, IDYES, ...).
int ShowMessageBox(const char* text, const char* caption, unsigned type);

// The boxes shown so far and the text of the last one (CP932): what a run that gives up can repeat
// on standard error.
uint64_t MessageBoxCount();
std::string LastMessageBoxText();
