// CP932 decoding for drawing, over the file layer's code page table.
#include "platform/font/cp932_chars.h"

namespace {

char32_t Drawable(char32_t ch) { return ch == kReplacementChar ? kCp932Undefined : ch; }

}  // namespace

char32_t Cp932PairToUnicode(unsigned char lead, unsigned char trail) {
  if (!IsCp932LeadByte(lead) || !IsCp932TrailByte(trail)) return kCp932Undefined;
  return Drawable(Cp932CodeToUnicode(static_cast<unsigned>(lead) << 8 | trail));
}

char32_t DecodeCp932Char(const char* text, size_t size, size_t& length) {
  const unsigned char first = static_cast<unsigned char>(text[0]);
  length = Cp932CharLength(std::string_view(text, size), 0);
  if (length == 2) return Cp932PairToUnicode(first, static_cast<unsigned char>(text[1]));
  if (IsCp932LeadByte(first)) return kCp932Undefined;
  return Drawable(Cp932CodeToUnicode(first));
}

std::u32string Cp932ToUtf32(std::string_view text) {
  std::u32string result;
  result.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    size_t length = 1;
    result.push_back(DecodeCp932Char(text.data() + pos, text.size() - pos, length));
    pos += length;
  }
  return result;
}
