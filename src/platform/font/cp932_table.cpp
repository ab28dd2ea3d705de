// CP932 decoding table, filled once through iconv.
#include "platform/font/cp932_table.h"

#include <iconv.h>

#include <array>
#include <mutex>

namespace {

constexpr int kFirstLead = 0x81;
constexpr int kLeadCount = 0xFC - kFirstLead + 1;
constexpr int kFirstTrail = 0x40;
constexpr int kTrailCount = 0xFC - kFirstTrail + 1;

struct Cp932Table {
  std::array<char32_t, 256> single{};
  std::array<char32_t, kLeadCount * kTrailCount> pairs{};
};

// Converts one byte sequence with an open converter; kCp932Undefined when iconv refuses it.
char32_t ConvertOne(iconv_t converter, const char* bytes, size_t length) {
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
  char input[2] = {bytes[0], length > 1 ? bytes[1] : '\0'};
  unsigned char output[8] = {};
  char* in = input;
  size_t inLeft = length;
  char* out = reinterpret_cast<char*>(output);
  size_t outLeft = sizeof output;
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
      sizeof output - outLeft != 4) {
    return kCp932Undefined;
  }
  return static_cast<char32_t>(output[0] | output[1] << 8 | output[2] << 16 | output[3] << 24);
}

const Cp932Table& Table() {
  static Cp932Table table;
  static std::once_flag built;
  std::call_once(built, [] {
    table.single.fill(kCp932Undefined);
    table.pairs.fill(kCp932Undefined);
    // ASCII and the half-width katakana need no converter.
    for (int byte = 0; byte < 0x80; ++byte) table.single[byte] = static_cast<char32_t>(byte);
    for (int byte = 0xA1; byte <= 0xDF; ++byte) table.single[byte] = static_cast<char32_t>(0xFF61 + byte - 0xA1);
    iconv_t converter = iconv_open("UTF-32LE", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return;  // double-byte text then shows as "・"
    for (int lead = kFirstLead; lead <= 0xFC; ++lead) {
      if (!IsCp932LeadByte(static_cast<uint8_t>(lead))) continue;
      for (int trail = kFirstTrail; trail <= 0xFC; ++trail) {
        if (!IsCp932TrailByte(static_cast<uint8_t>(trail))) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        table.pairs[(lead - kFirstLead) * kTrailCount + (trail - kFirstTrail)] = ConvertOne(converter, pair, 2);
      }
    }
    iconv_close(converter);
  });
  return table;
}

}  // namespace

char32_t Cp932PairToUnicode(uint8_t lead, uint8_t trail) {
  if (!IsCp932LeadByte(lead) || !IsCp932TrailByte(trail)) return kCp932Undefined;
  return Table().pairs[(lead - kFirstLead) * kTrailCount + (trail - kFirstTrail)];
}

char32_t DecodeCp932Char(const char* text, size_t size, size_t& length) {
  const uint8_t first = static_cast<uint8_t>(text[0]);
  if (IsCp932LeadByte(first)) {
    if (size >= 2 && IsCp932TrailByte(static_cast<uint8_t>(text[1]))) {
      length = 2;
      return Cp932PairToUnicode(first, static_cast<uint8_t>(text[1]));
    }
    length = 1;
    return kCp932Undefined;
  }
  length = 1;
  return Table().single[first];
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
