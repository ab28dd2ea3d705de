// Creating the project data folder from the default data.
#include <string>
#include <vector>

#include "core/file_helpers.h"
#include "core/log.h"
#include "data/fixed_tables.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace {

// Largest single file the default data may hold.
constexpr size_t kMaxCopiedFileBytes = size_t{1} << 30;

std::string WithoutTrailingSeparator(std::string path) {
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// Copies the folder tree from into the new folder to. false on the first failure.
bool CopyFolderTree(const std::string& from, const std::string& to) {
  if (!CreateFolder(to)) return false;
  std::vector<cFolderEntry> entries;
  if (!ListFolder(from, entries)) return false;
  for (const cFolderEntry& entry : entries) {
    const std::string source = from + "\\" + entry.name;
    const std::string target = to + "\\" + entry.name;
    if (entry.isSymlink) continue;  // links in the default data are not the game's own files
    if (entry.isFolder) {
      if (!CopyFolderTree(source, target)) return false;
      continue;
    }
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(source, kMaxCopiedFileBytes, bytes)) return false;
    if (!WriteFileAtomically(target, bytes)) return false;
  }
  return true;
}

}  // namespace

int EnsureDataFolder(const std::string& baseDir) {
  const std::string data = WithoutTrailingSeparator(baseDir + PathAt(kPathData));
  const std::string defaults = WithoutTrailingSeparator(baseDir + PathAt(kPathDefault));
  if (IsFolder(data)) return 1;
  if (!IsFolder(defaults)) return 0;
  if (AppMesBox(kDefaultDataQuestion, kDefaultDataCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
  // The copy goes to a folder beside "data" that takes its name only once it is whole.
  const std::string staging = data + ".copying";
  if (IsFolder(staging)) DeleteFolderTree(staging.c_str());
  if (CopyFolderTree(defaults, staging) && RenamePath(staging, data)) return 1;
  DeleteFolderTree(staging.c_str());
  return 0;
}
