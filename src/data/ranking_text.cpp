// The number texts of the ranking and play-totals panels.
#include <cstdio>
#include <cstdlib>

#include "data/ranking.h"

int CountDigits(int32_t value) {
  // The magnitude of the smallest int32 does not fit an int32.
  int64_t magnitude = std::llabs(static_cast<int64_t>(value)) / 10;
  int digits = 1;
  while (magnitude > 0 && digits < 10) {
    ++digits;
    magnitude /= 10;
  }
  return digits;
}

void NumToStr(std::string& out, int32_t value, int width, int zeroFill, int plus) {
  const int digits = CountDigits(value);
  if (width < digits) width = digits;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, std::llabs(static_cast<int64_t>(value)));
  std::string text = buffer;
  if (!zeroFill)
    for (size_t i = 0; i + 1 < text.size() && text[i] == '0'; ++i) text[i] = ' ';
  if (value < 0)
    out = "-" + text;
  else if (plus)
    out = "+" + text;
  else
    out = text;
}

void FormatTime(std::string& out, int32_t hundredths) {
  std::string minutes, seconds, rest;
  NumToStr(minutes, hundredths / 6000, 2, 1, 0);
  NumToStr(seconds, hundredths / 100 % 60, 2, 1, 0);
  NumToStr(rest, hundredths % 100, 2, 1, 0);
  out = minutes + ":" + seconds + "." + rest;
}
