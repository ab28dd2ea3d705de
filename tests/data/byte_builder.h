// Builds data-file bytes by hand, straight from the file layouts, so that a fault in a writer
// cannot hide the same fault in its reader.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

class cByteBuilder {
 public:
  cByteBuilder& I32(int32_t v) { return Raw(&v, 4); }
  cByteBuilder& U32(uint32_t v) { return Raw(&v, 4); }
  cByteBuilder& I16(int16_t v) { return Raw(&v, 2); }
  cByteBuilder& U8(uint8_t v) { return Raw(&v, 1); }
  cByteBuilder& F64(double v) { return Raw(&v, 8); }
  cByteBuilder& I32s(std::initializer_list<int32_t> values) {
    for (int32_t v : values) I32(v);
    return *this;
  }
  // A string in the record format (also the counted-text format): int32 length with the NUL, then
  // the text and its NUL; an empty text is the length 1 alone.
  cByteBuilder& Str(const std::string& text) {
    I32(static_cast<int32_t>(text.size() + 1));
    if (!text.empty()) {
      Raw(text.data(), text.size());
      U8(0);
    }
    return *this;
  }
  cByteBuilder& Bytes(const std::vector<uint8_t>& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  cByteBuilder& Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
    return *this;
  }
  const std::vector<uint8_t>& Get() const { return m_bytes; }
  size_t Size() const { return m_bytes.size(); }

 private:
  std::vector<uint8_t> m_bytes;
};
