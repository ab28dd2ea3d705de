// The number texts of the ranking and play-totals panels.
#include <algorithm>
#include <cstdlib>
#include <string>

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
  // The digits, then filled on the left to the width (no wider than a panel line can show).
  constexpr int kWidestText = 64;
  std::string text = std::to_string(std::llabs(static_cast<int64_t>(value)));
  const int digits = static_cast<int>(text.size());
  width = std::min(std::max(width, digits), std::max(kWidestText, digits));
  text.insert(0, static_cast<size_t>(width - digits), zeroFill ? '0' : ' ');
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
