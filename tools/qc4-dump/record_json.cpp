#include "record_json.h"

#include <cstring>

#include "platform/files.h"

namespace {

bool IsUnsignedName(const char* name) {
  if (!name) return false;
  for (const char* prefix : {"m_by", "m_ab", "m_dw", "m_u"})
    if (std::strncmp(name, prefix, std::strlen(prefix)) == 0) return true;
  return false;
}

void WriteElement(cJsonWriter& out, const uint8_t* p, int8_t size, bool isUnsigned) {
  switch (size) {
    case 1: {
      uint8_t v;
      std::memcpy(&v, p, 1);
      if (isUnsigned)
        out.UInt(v);
      else
        out.Int(static_cast<int8_t>(v));
      break;
    }
    case 2: {
      uint16_t v;
      std::memcpy(&v, p, 2);
      if (isUnsigned)
        out.UInt(v);
      else
        out.Int(static_cast<int16_t>(v));
      break;
    }
    case 4: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      if (isUnsigned)
        out.UInt(v);
      else
        out.Int(static_cast<int32_t>(v));
      break;
    }
    case 8: {
      double v;
      std::memcpy(&v, p, 8);
      out.Double(v);
      break;
    }
    default: out.Null();
  }
}

}  // namespace

void WriteRecordFields(cJsonWriter& out, const cRecord& record) {
  int unnamed = 0;
  for (const cFieldDesc& d : record.FieldTable()) {
    const std::string name = d.name ? d.name : "field" + std::to_string(unnamed++);
    out.Key(name);
    const auto* p = static_cast<const uint8_t*>(record.FieldAddress(d));
    const bool isUnsigned = IsUnsignedName(d.name);
    if (d.count == 1) {
      WriteElement(out, p, d.size, isUnsigned);
      continue;
    }
    out.BeginArray();
    for (int32_t i = 0; i < d.count; ++i) WriteElement(out, p + static_cast<size_t>(i) * d.size, d.size, isUnsigned);
    out.EndArray();
  }
  for (const cStringDesc& d : record.StringTable()) {
    out.Key(d.name ? d.name : "string" + std::to_string(unnamed++));
    out.Text(record.StringAt(d));
  }
}

void WriteTextList(cJsonWriter& out, const char* key, const std::vector<std::string>& list) {
  out.Key(key);
  out.BeginArray();
  for (const std::string& text : list) out.Text(text);
  out.EndArray();
}

bool ReadVersionHeader(const std::string& path, uint32_t& version) {
  std::vector<uint8_t> bytes;
  // Only the header is needed, but the file layer reads whole files; data files are small.
  if (!ReadWholeFile(path, kMaxDataFileBytes, bytes) || bytes.size() < 4) return false;
  std::memcpy(&version, bytes.data(), 4);
  return true;
}

void WriteVersionAndResult(cJsonWriter& out, const std::string& path, bool loaded) {
  uint32_t version = 0;
  out.Key("version");
  if (ReadVersionHeader(path, version))
    out.UInt(version);
  else
    out.Null();
  out.Key("loaded");
  out.Bool(loaded);
}
