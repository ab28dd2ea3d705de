#include "json_writer.h"

#include <cmath>
#include <cstdio>

#include "platform/encoding.h"

void cJsonWriter::NewLine() {
  m_strOut += '\n';
  m_strOut.append(m_aLevels.size() * 2, ' ');
}

void cJsonWriter::BeforeValue() {
  if (m_bAfterKey) {
    m_bAfterKey = false;
    return;
  }
  if (m_aLevels.empty()) return;
  cLevel& level = m_aLevels.back();
  if (level.hasMembers) m_strOut += ',';
  level.hasMembers = true;
  NewLine();
}

void cJsonWriter::Key(std::string_view name) {
  cLevel& level = m_aLevels.back();
  if (level.hasMembers) m_strOut += ',';
  level.hasMembers = true;
  NewLine();
  WriteEscaped(name);
  m_strOut += ": ";
  m_bAfterKey = true;
}

void cJsonWriter::BeginObject() {
  BeforeValue();
  m_strOut += '{';
  m_aLevels.push_back({true, false});
}

void cJsonWriter::EndObject() {
  const bool had = m_aLevels.back().hasMembers;
  m_aLevels.pop_back();
  if (had) NewLine();
  m_strOut += '}';
  if (m_aLevels.empty()) m_strOut += '\n';
}

void cJsonWriter::BeginArray() {
  BeforeValue();
  m_strOut += '[';
  m_aLevels.push_back({false, false});
}

void cJsonWriter::EndArray() {
  const bool had = m_aLevels.back().hasMembers;
  m_aLevels.pop_back();
  if (had) NewLine();
  m_strOut += ']';
}

void cJsonWriter::Int(int64_t value) {
  BeforeValue();
  m_strOut += std::to_string(value);
}

void cJsonWriter::UInt(uint64_t value) {
  BeforeValue();
  m_strOut += std::to_string(value);
}

void cJsonWriter::Double(double value) {
  if (std::isnan(value)) return Utf8Text("NaN");
  if (std::isinf(value)) return Utf8Text(value > 0 ? "Infinity" : "-Infinity");
  BeforeValue();
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  m_strOut += buffer;
}

void cJsonWriter::Bool(bool value) {
  BeforeValue();
  m_strOut += value ? "true" : "false";
}

void cJsonWriter::Null() {
  BeforeValue();
  m_strOut += "null";
}

void cJsonWriter::Text(std::string_view cp932) {
  BeforeValue();
  WriteEscaped(Cp932ToUtf8(cp932));
}

void cJsonWriter::Utf8Text(std::string_view utf8) {
  BeforeValue();
  WriteEscaped(utf8);
}

void cJsonWriter::WriteEscaped(std::string_view utf8) {
  m_strOut += '"';
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': m_strOut += "\\\""; break;
      case '\\': m_strOut += "\\\\"; break;
      case '\n': m_strOut += "\\n"; break;
      case '\r': m_strOut += "\\r"; break;
      case '\t': m_strOut += "\\t"; break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          m_strOut += buffer;
        } else {
          m_strOut += static_cast<char>(c);
        }
    }
  }
  m_strOut += '"';
}
