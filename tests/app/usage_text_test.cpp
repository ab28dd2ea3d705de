// The key names that --help and the README give for input scripts: every named key is there, and
// every name given is one the script reader takes.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/input/virtual_keys.h"
#include "shell/command_line.h"

namespace {

// The names listed after `marker` up to the next empty line, after the list's "):" opening; ranges
// such as "F1..F24" are expanded.
std::set<std::string> ListedKeyNames(const std::string& text, const std::string& marker) {
  std::set<std::string> names;
  size_t start = text.find(marker);
  if (start == std::string::npos) return names;
  start = text.find("):", start);
  if (start == std::string::npos) return names;
  const size_t end = text.find("\n\n", start);
  std::string list = text.substr(start + 2, end - start - 2);
  for (char& c : list)
    if (c == ',' || c == '\n') c = ' ';
  std::istringstream words(list);
  std::string word;
  while (words >> word) {
    const size_t dots = word.find("..");
    if (dots == std::string::npos && word.back() == '.') word.pop_back();  // the sentence's end
    if (dots == std::string::npos) {
      names.insert(word);
      continue;
    }
    // "A..Z", "0..9", "F1..F24", "NUMPAD0..NUMPAD9": a shared prefix and the first and last value.
    const std::string first = word.substr(0, dots), last = word.substr(dots + 2);
    size_t prefix = 0;
    while (prefix < first.size() && !std::isdigit(static_cast<unsigned char>(first[prefix]))) ++prefix;
    if (first.size() == 1) {
      for (char c = first[0]; c <= last[0]; ++c) names.insert(std::string(1, c));
    } else {
      const int from = std::stoi(first.substr(prefix)), to = std::stoi(last.substr(prefix));
      for (int i = from; i <= to; ++i) names.insert(first.substr(0, prefix) + std::to_string(i));
    }
  }
  return names;
}

std::set<std::string> NamedKeys() {
  std::set<std::string> names;
  for (int vk = 1; vk <= 255; ++vk)
    if (*VirtualKeyName(vk)) names.insert(VirtualKeyName(vk));
  return names;
}

TEST(UsageText, ListsEveryKeyNameOfInputScripts) {
  const std::set<std::string> listed = ListedKeyNames(UsageText(), "Key names of --input");
  EXPECT_EQ(listed, NamedKeys());
  for (const std::string& name : listed) EXPECT_GT(VirtualKeyFromName(name.c_str()), 0) << name;
  EXPECT_GT(VirtualKeyFromName("ESC"), 0);
  EXPECT_GT(VirtualKeyFromName("ENTER"), 0);
}

TEST(UsageText, TheReadmeListsTheSameKeyNames) {
  std::ifstream in(std::string(QC4_SOURCE_DIR) + "/README.md", std::ios::binary);
  const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(readme.empty());
  std::string list = readme;
  std::erase(list, '`');
  EXPECT_EQ(ListedKeyNames(list, "Key names of --input"), NamedKeys());
}

}  // namespace
