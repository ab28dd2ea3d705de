#include "dump_kind.h"

#include <algorithm>
#include <cctype>

namespace {
std::vector<cDumpKind>& Registry() {
  static std::vector<cDumpKind> kinds;
  return kinds;
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
}  // namespace

cDumpKindRegistrar::cDumpKindRegistrar(const cDumpKind& kind) {
  auto& kinds = Registry();
  kinds.push_back(kind);
  std::sort(kinds.begin(), kinds.end(),
            [](const cDumpKind& a, const cDumpKind& b) { return std::string_view(a.name) < b.name; });
}

const std::vector<cDumpKind>& DumpKinds() { return Registry(); }

bool SameFileName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && SameFileName(text.substr(text.size() - suffix.size()), suffix);
}

bool HasNumberedSuffix(std::string_view fileName, std::string_view ext) {
  if (fileName.size() < ext.size() + 5) return false;
  std::string_view digits = fileName.substr(fileName.size() - 3);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  // The name before "_000" ends with "." and ext (compared in place: no text is built).
  std::string_view rest = fileName.substr(0, fileName.size() - 4);
  return fileName[fileName.size() - 4] == '_' && rest[rest.size() - ext.size() - 1] == '.' &&
         EndsWithIgnoringCase(rest, ext);
}

const cDumpKind* FindDumpKindByName(std::string_view name) {
  for (const cDumpKind& kind : Registry())
    if (SameFileName(kind.name, name)) return &kind;
  return nullptr;
}

const cDumpKind* FindDumpKindForFile(std::string_view fileName) {
  for (const cDumpKind& kind : Registry())
    if (kind.matches(fileName)) return &kind;
  return nullptr;
}
