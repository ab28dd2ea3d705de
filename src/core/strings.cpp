#include "core/strings.h"

#include <cstdint>
#include <cstring>

#include "core/sjis.h"
#include "platform/dialog_items.h"

namespace {
constexpr size_t kDlgItemBufferSize = 5120;
}  // namespace

void StrAssign(std::string& dst, const char* src) {
  if (!src || !*src) {
    dst.clear();
    return;
  }
  dst = src;
}

void StrAssign(std::string& dst, const std::string& src) { dst = src; }

const char* CStr(const std::string& s) { return s.empty() ? "" : s.c_str(); }

void AppendChar(std::string& s, char c) { s += c; }

std::string SubStrClamped(const std::string& s, int start, int length) {
  const int64_t size = static_cast<int64_t>(std::strlen(s.c_str()));
  int64_t from = start;
  int64_t count = length;
  bool rest = length < 0;
  if (from < 0) {
    if (!rest) count += from;
    from = 0;
  }
  if (from >= size) return std::string();
  if (rest || from + count > size) count = size - from;
  if (count <= 0) return std::string();
  return s.substr(static_cast<size_t>(from), static_cast<size_t>(count));
}

bool IsSjisDoubleByte(const char* p) {
  return IsSjisLeadByte(static_cast<unsigned char>(p[0])) && IsSjisTrailByte(static_cast<unsigned char>(p[1]));
}

int CountSjisChars(const char* text) {
  if (!text) return 0;
  int count = 0;
  for (const char* p = text; *p;) {
    if (IsSjisDoubleByte(p)) {
      p += 2;
      ++count;
    } else {
      if (*p != '\n') ++count;
      ++p;
    }
  }
  return count;
}

void GetDlgItemString(cMsgWindow* dialog, int item, std::string& out, int maximum) {
  char buffer[kDlgItemBufferSize];
  // A maximum beyond the buffer would let the copy run past it.
  const int count = maximum < static_cast<int>(sizeof buffer) ? maximum : static_cast<int>(sizeof buffer);
  if (GetDlgItemTextA(dialog, item, buffer, count) == 0 && count > 0) buffer[0] = '\0';
  out = count > 0 ? buffer : "";
}

void SetDlgItemString(cMsgWindow* dialog, int item, const std::string& text) {
  SetDlgItemTextA(dialog, item, CStr(text));
}
