#include "platform/dialog/file_chooser.h"

#include <sys/stat.h>

#include <memory>

#include "platform/dialog/dialog_hosts.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace {
bool hasSeparator(const std::string& name) {
  for (size_t i = 0; i < name.size(); i += Cp932CharLength(name, i))
    if (name[i] == '\\' || name[i] == '/') return true;
  return false;
}

// The part after the last separator (at character boundaries).
std::string fileNamePart(const std::string& path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += Cp932CharLength(path, i))
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  return path.substr(start);
}
}  // namespace

std::string FileChooserTarget(const FileChooserRequest& request, const std::string& nameCp932) {
  std::string name = nameCp932;
  if (name.empty()) return {};
  std::string path = hasSeparator(name) ? name : request.folder + name;
  if (fileNamePart(path).empty()) return {};
  // A default extension with a wildcard is a filter, not a name part: it is never added.
  if (request.save && !request.defaultExtension.empty() && request.defaultExtension.find('*') == std::string::npos &&
      fileNamePart(path).find('.') == std::string::npos)
    path += "." + request.defaultExtension;
  if (!request.save && (!PathExists(path) || IsFolder(path))) return {};
  return path;
}

std::string FileChooserFullPath(const std::string& gamePath) {
  if (!gamePath.empty() && (gamePath[0] == '\\' || gamePath[0] == '/')) return gamePath;
  return GetCurrentFolder() + "\\" + gamePath;
}

bool ConfirmOverwrite(const std::string& gamePath) {
  const std::string text = fileNamePart(gamePath) + " は既に存在します。\n上書きしますか?";
  return ShowMessageBox(text.c_str(), "名前を付けて保存", MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool MayChooseForSave(const std::string& gamePath) {
  if (!PathExists(gamePath)) return true;
  // Read-only as the file's owner sees it (replays are saved without write permission).
  struct stat st {};
  if (stat(ResolvePath(gamePath).c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
    const std::string text = fileNamePart(gamePath) + " は読み取り専用のため、上書きできません。";
    ShowMessageBox(text.c_str(), "名前を付けて保存", MB_OK | MB_ICONWARNING);
    return false;
  }
  return ConfirmOverwrite(gamePath);
}

bool ChooseFile(const FileChooserRequest& request, std::string& path) {
  path.clear();
  std::unique_ptr<DialogHost> fallback;
  DialogHost* host = CurrentDialogHost();
  if (!host) {
    fallback = MakeDefaultDialogHost();
    host = fallback.get();
  }
  if (!host || !host->ChooseFile(request, path)) {
    path.clear();
    return false;
  }
  return true;
}
