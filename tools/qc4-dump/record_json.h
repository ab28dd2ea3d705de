// Writing records as JSON members: every declared numeric field and string under the name the code
// declares it with, in file order (numeric fields, then strings). A field of several elements is an
// array. Numbers are signed unless the member's name marks it unsigned ("m_by", "m_ab", "m_dw",
// "m_u" prefixes); 8-byte fields are doubles.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/record.h"
#include "json_writer.h"

// Writes the record's fields as members of the object being written.
void WriteRecordFields(cJsonWriter& out, const cRecord& record);

// Writes "key": [ {fields..., extra...}, ... ] for a list of records; extra writes the members an
// element keeps after its body (its nested lists).
template <class T>
void WriteRecordList(cJsonWriter& out, const char* key, const std::vector<T>& list,
                     const std::function<void(cJsonWriter&, const T&)>& extra = nullptr) {
  out.Key(key);
  out.BeginArray();
  for (const T& element : list) {
    out.BeginObject();
    WriteRecordFields(out, element);
    if (extra) extra(out, element);
    out.EndObject();
  }
  out.EndArray();
}

template <class T>
void WriteValueList(cJsonWriter& out, const char* key, const std::vector<T>& list) {
  out.Key(key);
  out.BeginArray();
  for (const T& v : list) {
    if constexpr (std::is_signed_v<T>)
      out.Int(v);
    else
      out.UInt(v);
  }
  out.EndArray();
}

void WriteTextList(cJsonWriter& out, const char* key, const std::vector<std::string>& list);

// Reads the version header of a file (the first four bytes); false when it cannot be read.
bool ReadVersionHeader(const std::string& path, uint32_t& version);
// Writes "version" (null when the header cannot be read) and "loaded".
void WriteVersionAndResult(cJsonWriter& out, const std::string& path, bool loaded);
