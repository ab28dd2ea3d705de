#pragma once
// Modal dialogs, standing in for the window system's dialog manager. A dialog is made from a
// template (its items in dialog units), gets a window handle whose procedure is the caller's dialog
// procedure, receives WM_INITDIALOG, and then runs modally on the UI thread until EndDialog: its
// host shows it (drawn inside the game window over the last frame, or answered from the input script
// when headless) and turns the user's actions into the messages a dialog procedure expects:
// WM_COMMAND (control id | notification << 16) for clicks and text changes, WM_CLOSE for the close
// box and Esc, key presses through the keyboard hook (keyboard_hook.h) to the dialog's own queue.
//
// The values of the items (texts, check marks, selections) are kept here, by dialog window and item
// number; the program's dialog classes read and write them as they would a real dialog's controls.
// Texts are CP932. UI thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/messages.h"

struct FileChooserRequest;

enum class DialogItemKind { Icon, Static, Group, Button, DefaultButton, Edit, Radio, Check };

struct DialogItemTemplate {
  int id = 0;
  DialogItemKind kind = DialogItemKind::Static;
  std::string text;                         // CP932
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
};

struct DialogTemplate {
  int id = 0;
  std::string caption;        // CP932
  int width = 0, height = 0;  // dialog units
  bool hasCaption = true;
  bool visible = true;  // a hidden dialog is never drawn (a host that ends in WM_INITDIALOG)
  std::vector<DialogItemTemplate> items;
};

// Dialog units to pixels, as the program's dialogs compute their size (× 1.75 across, × 1.5 down,
// truncated).
constexpr int DialogUnitsToPixelsX(int units) { return units * 7 / 4; }
constexpr int DialogUnitsToPixelsY(int units) { return units * 3 / 2; }

// Notifications of WM_COMMAND's high word.
constexpr uint32_t BN_CLICKED = 0;
constexpr uint32_t EN_KILLFOCUS = 0x200;
constexpr uint32_t EN_UPDATE = 0x400;
constexpr uint32_t BST_UNCHECKED = 0;
constexpr uint32_t BST_CHECKED = 1;
// What the keyboard hook posts for the navigation keys (turned back into WM_KEYDOWN by the dialog).
constexpr uint32_t WM_DIALOG_NAVKEY = WM_USER + 1000;

// Runs the dialog modally and returns the result given to EndDialog (0 when it could not be shown:
// no window and no script answers it). Returns 0 at once when a dialog of the same template is open.
int DialogBoxParam(const DialogTemplate& tpl, HWND parent, WNDPROC proc, LPARAM param);
// Ends the dialog with the result once its current message has been handled; false for a window
// that is not an open dialog.
bool EndDialog(HWND dialog, int result);
bool IsDialogWindow(HWND dialog);
// The template of an open dialog (null when it is not one).
const DialogTemplate* DialogTemplateOf(HWND dialog);

// Items. An unknown item is ignored (false / 0).
bool HasDlgItem(HWND dialog, int id);
bool CheckDlgButton(HWND dialog, int id, uint32_t state);
uint32_t IsDlgButtonChecked(HWND dialog, int id);
// Selection of an edit box in bytes of its text, start <= end.
bool SetDlgItemSel(HWND dialog, int id, int start, int end);
bool GetDlgItemSel(HWND dialog, int id, int* start, int* end);
bool EnableDlgItem(HWND dialog, int id, bool enable);
bool IsDlgItemEnabled(HWND dialog, int id);
bool SetDlgFocus(HWND dialog, int id);
int GetDlgFocus(HWND dialog);  // 0: none
void SetDialogCaption(HWND dialog, const char* cp932);
std::string GetDialogCaption(HWND dialog);

// The dialog's place in the game picture (pixels; the game window's client area is the desktop
// dialogs are placed on) and its size in pixels.
void SetDialogPos(HWND dialog, int x, int y);
void GetDialogPos(HWND dialog, int* x, int* y);
void GetDialogSize(HWND dialog, int* width, int* height);

// Named properties of a window (the dialog classes keep their objects here).
void SetProp(HWND window, const char* name, void* value);
void* GetProp(HWND window, const char* name);
void RemoveProp(HWND window, const char* name);

// The mouse cursor in picture coordinates, as the host last saw it; false before it saw one.
bool GetDialogCursorPos(int* x, int* y);
void NoteDialogCursor(int x, int y);
// Moves the mouse cursor to a point of the picture (in the game window, when there is one).
void SetDialogCursorPos(int x, int y);

// The window that has the keyboard: the newest open dialog, else null (the game window).
HWND GetActiveWindow();
// Whether the input method holds an unfinished composition in the dialog.
bool DialogComposing(HWND dialog);

// The user's actions, as every host reports them. Each answers the dialog's messages and runs the
// posted ones before it returns.
//
// A key press or release: first the keyboard hook, then the dialog manager's own handling of a press
// (Enter presses the default button, Esc closes the dialog, Space presses the focused button).
void DialogKey(HWND dialog, int vk, bool down);
// A click on a button, radio button or check box (an automatic radio checks itself and unchecks the
// other radios, an automatic check box toggles), then WM_COMMAND (id | BN_CLICKED << 16).
void DialogClick(HWND dialog, int id);
// The text of an edit box as the user changed it, with its new selection: stored, then WM_COMMAND
// (id | EN_UPDATE << 16) lets the dialog accept or undo it. Returns the text the edit box shows
// afterwards (selection in *selStart, *selEnd).
std::string DialogEditChanged(HWND dialog, int id, const std::string& cp932, int* selStart, int* selEnd);
// Text typed, pasted or committed by the input method (UTF-8) at the focused edit box's selection.
// Text with a character CP932 lacks is refused whole with a message box (nothing is cut). false when
// refused or when no edit box has the focus.
bool DialogInsertText(HWND dialog, const std::string& utf8);
// An input-method composition begins (non-empty text) or is given up (empty).
void DialogSetComposition(HWND dialog, const std::string& utf8);
std::string DialogComposition(HWND dialog);
// The close box (WM_CLOSE).
void DialogCloseBox(HWND dialog);
// Answers sent messages and dispatches the messages posted to the dialog.
void PumpDialogMessages(HWND dialog);

// The text of the refusal of characters that CP932 lacks (CP932).
const char* RefusedTextMessage();

// A host shows an open dialog until it has ended.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Runs the dialog until EndDialog. A host that cannot go on (a headless run without answers)
  // closes the dialog (WM_CLOSE) and returns; a dialog still open then ends with 0.
  virtual void Run(HWND dialog) = 0;
  // Shows a file chooser (file_chooser.h); true with the chosen full path.
  virtual bool ChooseFile(const FileChooserRequest& request, std::string& path) = 0;
};
// Replaces the host (tests); null puts back the default (the scripted host when headless, else the
// one drawn in the game window). Returns the previous one set (null for the default).
DialogHost* SetDialogHost(DialogHost* host);
// What a headless dialog does when the script has no step left: the run fails (set by the program).
void SetDialogUnansweredHandler(void (*onUnanswered)());
bool HeadlessDialogUnanswered();
