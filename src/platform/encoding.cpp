#include "platform/encoding.h"

#include <iconv.h>

#include <array>
#include <memory>
#include <mutex>

namespace {

constexpr uint16_t kNone = 0xFFFF;  // neither a CP932 code nor a character CP932 has

// Both directions as flat tables: CP932 code -> BMP character, BMP character -> CP932 code. Every
// CP932 character lies in the Basic Multilingual Plane. Each is built on its first use: the start of
// the program reads CP932 paths and texts long before anything asks for the reverse direction, whose
// table takes several times longer to build.
using Cp932Table = std::array<uint16_t, 0x10000>;

// One character through an open iconv descriptor; false when iconv has no conversion for it.
bool convertOne(iconv_t cd, const char* in, size_t inSize, char* out, size_t outCapacity, size_t* outSize) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset any shift state
  char* inPtr = const_cast<char*>(in);
  char* outPtr = out;
  size_t inLeft = inSize, outLeft = outCapacity;
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return false;
  *outSize = outCapacity - outLeft;
  return true;
}

void buildToUnicode(Cp932Table& toUnicode) {
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return;
  auto put = [&](unsigned code, const char* bytes, size_t n) {
    unsigned char out[8];
    size_t outSize = 0;
    if (!convertOne(cd, bytes, n, reinterpret_cast<char*>(out), sizeof out, &outSize) || outSize != 4) return;
    uint32_t ch = out[0] | out[1] << 8 | out[2] << 16 | static_cast<uint32_t>(out[3]) << 24;
    if (ch < kNone) toUnicode[code] = static_cast<uint16_t>(ch);
  };
  for (unsigned b = 0; b < 0x100; ++b) {
    if (IsCp932LeadByte(static_cast<unsigned char>(b))) continue;
    char c = static_cast<char>(b);
    put(b, &c, 1);
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsCp932TrailByte(static_cast<unsigned char>(trail))) continue;
      char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      put(lead << 8 | trail, pair, 2);
    }
  }
  iconv_close(cd);
}

// The reverse direction asks iconv for every BMP character, so that characters CP932 holds twice
// (NEC and IBM extensions) and the ones iconv maps by best fit (yen sign, em dash) convert exactly as
// iconv converts them. It is built a page of 256 characters at a time, on the first use of a
// character of the page: the start of the program converts file names of plain ASCII, and the
// whole table takes tens of thousands of conversions.
void buildFromUnicodePage(Cp932Table& fromUnicode, uint32_t page) {
  iconv_t cd = iconv_open("CP932", "UTF-32LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return;
  for (uint32_t ch = page << 8; ch < (page + 1) << 8 && ch < kNone; ++ch) {
    if (ch >= 0xD800 && ch <= 0xDFFF) continue;
    unsigned char in[4] = {static_cast<unsigned char>(ch), static_cast<unsigned char>(ch >> 8), 0, 0};
    unsigned char out[8];
    size_t outSize = 0;
    if (!convertOne(cd, reinterpret_cast<char*>(in), 4, reinterpret_cast<char*>(out), sizeof out, &outSize)) continue;
    if (outSize == 1) {
      fromUnicode[ch] = out[0];
    } else if (outSize == 2) {
      fromUnicode[ch] = static_cast<uint16_t>(out[0] << 8 | out[1]);
    }
  }
  iconv_close(cd);
}

const Cp932Table& toUnicodeTable() {
  static std::once_flag once;
  static std::unique_ptr<Cp932Table> table;
  std::call_once(once, [] {
    auto built = std::make_unique<Cp932Table>();
    built->fill(kNone);
    buildToUnicode(*built);
    table = std::move(built);
  });
  return *table;
}

// The CP932 code of a BMP character below kNone, or kNone.
uint16_t fromUnicode(uint32_t ch) {
  struct Pages {
    Pages() { table.fill(kNone); }
    std::array<std::once_flag, 0x100> built;
    Cp932Table table;
  };
  static Pages pages;
  const uint32_t page = ch >> 8;
  std::call_once(pages.built[page], [page] { buildFromUnicodePage(pages.table, page); });
  return pages.table[ch];
}

void appendUtf8(std::string& out, char32_t ch) {
  if (ch < 0x80) {
    out += static_cast<char>(ch);
  } else if (ch < 0x800) {
    out += static_cast<char>(0xC0 | ch >> 6);
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    out += static_cast<char>(0xE0 | ch >> 12);
    out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ch >> 18);
    out += static_cast<char>(0x80 | (ch >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  }
}

// Decodes one UTF-8 character at text[pos]; advances pos. Returns false (advancing one byte) for a
// malformed sequence.
bool decodeUtf8(std::string_view text, size_t& pos, char32_t& ch) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ch = b0;
    ++pos;
    return true;
  }
  size_t n;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    n = 2, ch = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, ch = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, ch = b0 & 0x07, min = 0x10000;
  } else {
    ++pos;
    return false;
  }
  if (pos + n > text.size()) {
    ++pos;
    return false;
  }
  for (size_t i = 1; i < n; ++i) {
    unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return false;
    }
    ch = ch << 6 | (b & 0x3F);
  }
  if (ch < min || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
    ++pos;
    return false;
  }
  pos += n;
  return true;
}

// Walks CP932 text, calling emit(character) for each character; returns false when some bytes had
// no character (they are emitted as the replacement character).
template <class Emit>
bool walkCp932(std::string_view text, Emit emit) {
  const Cp932Table& toUnicode = toUnicodeTable();
  bool clean = true;
  for (size_t pos = 0; pos < text.size();) {
    size_t n = Cp932CharLength(text, pos);
    unsigned code = static_cast<unsigned char>(text[pos]);
    if (n == 2) code = code << 8 | static_cast<unsigned char>(text[pos + 1]);
    uint16_t ch = toUnicode[code];
    if (ch == kNone) {
      clean = false;
      emit(kReplacementChar);
    } else {
      emit(static_cast<char32_t>(ch));
    }
    pos += n;
  }
  return clean;
}

}  // namespace

char32_t Cp932CodeToUnicode(unsigned code) {
  if (code > 0xFFFF) return kReplacementChar;
  uint16_t ch = toUnicodeTable()[code];
  return ch == kNone ? kReplacementChar : ch;
}

int UnicodeToCp932Code(char32_t ch) {
  if (ch >= kNone) return -1;
  uint16_t code = fromUnicode(static_cast<uint32_t>(ch));
  return code == kNone ? -1 : code;
}

bool Cp932ToUnicode(std::string_view text, std::u32string& out) {
  out.clear();
  out.reserve(text.size());
  return walkCp932(text, [&](char32_t ch) { out += ch; });
}

bool Cp932ToUtf8(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size() * 3 / 2);
  return walkCp932(text, [&](char32_t ch) { appendUtf8(out, ch); });
}

std::string Cp932ToUtf8(std::string_view text) {
  std::string out;
  Cp932ToUtf8(text, out);
  return out;
}

bool Utf8ToCp932(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  bool clean = true;
  for (size_t pos = 0; pos < text.size();) {
    char32_t ch;
    int code = decodeUtf8(text, pos, ch) ? UnicodeToCp932Code(ch) : -1;
    if (code < 0) {
      clean = false;
      out += '?';
    } else if (code < 0x100) {
      out += static_cast<char>(code);
    } else {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
  }
  return clean;
}

std::string Utf8ToCp932(std::string_view text) {
  std::string out;
  Utf8ToCp932(text, out);
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t pos = 0; pos < text.size();) {
    char32_t ch;
    if (!decodeUtf8(text, pos, ch)) return false;
  }
  return true;
}
