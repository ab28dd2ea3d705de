#pragma once
// String conveniences over the program's text type, std::string holding Shift-JIS (CP932) bytes.
// An absent text and an empty one are the same thing everywhere in the program.
#include <string>

// dst = src; a null or empty source leaves dst empty.
void StrAssign(std::string& dst, const char* src);
void StrAssign(std::string& dst, const std::string& src);

// The C string of s; "" when s is empty.
const char* CStr(const std::string& s);

void AppendChar(std::string& s, char c);

// The part of s (taken up to its first NUL) from start, length bytes long. A negative start moves to 0
// and shortens the length by as much; a start beyond the end gives ""; a negative length (-1) or one
// running past the end takes the rest; length 0 gives "".
std::string SubStrClamped(const std::string& s, int start, int length);

// True when p[0] is a Shift-JIS lead byte and p[1] a trail byte. p must point into a NUL-terminated
// text (the NUL is not a trail byte, so p[1] is never read beyond it).
bool IsSjisDoubleByte(const char* p);

// Characters in a NUL-terminated Shift-JIS text: a lead-and-trail pair counts 1, a line feed 0, any
// other byte 1. Used to lay out and centre text in character cells. Null counts 0.
int CountSjisChars(const char* text);

struct cMsgWindow;

// The text of a dialog item, read through a 5120-byte buffer with the caller's maximum count (at
// most 5120), and written back ("" for an empty string).
void GetDlgItemString(cMsgWindow* dialog, int item, std::string& out, int maximum);
void SetDlgItemString(cMsgWindow* dialog, int item, const std::string& text);
