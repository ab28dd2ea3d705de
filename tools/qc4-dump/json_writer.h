// A small JSON writer for the dump: objects keep their members in the order written, texts are
// converted from the game's CP932 to UTF-8 (bytes without a character become U+FFFD).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class cJsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The name of the next member of the current object.
  void Key(std::string_view name);

  void Int(int64_t value);
  void UInt(uint64_t value);
  void Double(double value);  // NaN and the infinities are written as the strings "NaN", ...
  void Bool(bool value);
  void Null();
  void Text(std::string_view cp932);     // a game text
  void Utf8Text(std::string_view utf8);  // a text already in UTF-8

  const std::string& Result() const { return m_strOut; }

 private:
  void BeforeValue();
  void NewLine();
  void WriteEscaped(std::string_view utf8);

  std::string m_strOut;
  struct cLevel {
    bool isObject;
    bool hasMembers;
  };
  std::vector<cLevel> m_aLevels;
  bool m_bAfterKey = false;
};
