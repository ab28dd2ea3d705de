#pragma once
// The texts of a dialog's items (edit boxes, labels), by dialog window and item number. The dialogs
// keep their controls' texts here, so that code outside a dialog reads and writes them the way the
// game does: whole texts in CP932 bytes, copied into a caller's buffer of a given size.
#include <string>

#include "platform/messages.h"

// Copies at most maxCount - 1 bytes of the item's text and a NUL into buffer (never splitting a
// double-byte character); returns the number of bytes copied. An unknown item gives "".
int GetDlgItemTextA(HWND dialog, int item, char* buffer, int maxCount);
// Sets the item's text; false when text is null.
bool SetDlgItemTextA(HWND dialog, int item, const char* text);
// The item's whole text ("" for an unknown item).
std::string DlgItemText(HWND dialog, int item);
// Forgets every item of a dialog (when it closes).
void ForgetDlgItems(HWND dialog);
