#include "core/file_helpers.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/sjis.h"
#include "platform/files.h"

namespace {

constexpr size_t kNone = std::string_view::npos;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

size_t charLength(std::string_view s, size_t pos) {
  return pos + 1 < s.size() && IsSjisLeadByte(static_cast<unsigned char>(s[pos])) &&
                 IsSjisTrailByte(static_cast<unsigned char>(s[pos + 1]))
             ? 2
             : 1;
}

// Position of the last separator at a character boundary, scanning from the start; kNone without one.
size_t lastSeparator(std::string_view path, size_t end) {
  size_t found = kNone;
  for (size_t pos = 0; pos < end;) {
    size_t n = charLength(path, pos);
    if (n == 1 && isSeparator(path[pos])) found = pos;
    pos += n;
  }
  return found;
}

bool endsWithSeparator(std::string_view path) {
  return !path.empty() && lastSeparator(path, path.size()) == path.size() - 1;
}

// Position of the "." that starts the extension: the last one in the last component.
size_t extensionDot(std::string_view path) {
  size_t sep = lastSeparator(path, path.size());
  size_t from = sep == kNone ? 0 : sep + 1;
  size_t dot = path.rfind('.');
  return dot == kNone || dot < from ? kNone : dot;
}

// Copies s with its NUL into out when it fits.
bool putResult(char* out, size_t outSize, std::string_view s) {
  if (!out || outSize == 0) return false;
  if (s.size() + 1 > outSize) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, s.data(), s.size());
  out[s.size()] = '\0';
  return true;
}

std::vector<std::string_view> components(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t pos = 0; pos < path.size();) {
    size_t n = charLength(path, pos);
    if (n == 1 && isSeparator(path[pos])) {
      if (pos > start) parts.push_back(path.substr(start, pos - start));
      start = pos + 1;
    }
    pos += n;
  }
  if (start < path.size()) parts.push_back(path.substr(start));
  return parts;
}

bool isAbsolute(std::string_view path) { return !path.empty() && isSeparator(path[0]); }

bool fullPath(std::string_view path, std::string& out) {
  if (isAbsolute(path)) {
    out = path;
    return true;
  }
  std::string cwd = GetCurrentFolder();
  if (cwd.empty()) return false;
  std::vector<std::string_view> parts = components(cwd);
  for (std::string_view part : components(path)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  out.clear();
  for (std::string_view part : parts) {
    out += '\\';
    out += part;
  }
  if (out.empty() || endsWithSeparator(path)) out += '\\';
  return true;
}

bool relativePath(std::string_view path, bool dropDot, std::string& out) {
  if (!isAbsolute(path)) {
    out = path;
    return true;
  }
  std::string cwd = GetCurrentFolder();
  if (cwd.empty()) return false;
  std::vector<std::string_view> from = components(cwd);
  std::vector<std::string_view> to = components(path);
  size_t common = 0;
  while (common < from.size() && common < to.size() && SameNameIgnoringCase(from[common], to[common])) ++common;
  out.clear();
  if (common == from.size()) {
    out.push_back('.');
  } else {
    for (size_t i = common; i < from.size(); ++i) {
      if (i != common) out.push_back('\\');
      out.append(2, '.');
    }
  }
  for (size_t i = common; i < to.size(); ++i) {
    out += '\\';
    out += to[i];
  }
  if (dropDot && out.size() > 1 && out.compare(0, 2, ".\\") == 0) out.erase(0, 2);
  return true;
}

// Every candidate from 999 down to 000 would be one lookup each; one listing of the folder answers
// them all: the highest number present wins, as the first existing candidate would.
bool findLastNumbered(std::string_view basePath, const char* ext, std::string& out) {
  std::string name;
  ChangeExtension(name, std::string(basePath), ext);  // a base without "." keeps its name
  size_t sep = lastSeparator(name, name.size());
  std::string folder = sep == kNone ? std::string() : name.substr(0, sep + 1);
  std::string_view file = std::string_view(name).substr(folder.size());
  std::vector<cFolderEntry> entries;
  if (file.empty() || !ListFolder(folder, entries)) return false;
  int best = -1;
  for (const cFolderEntry& e : entries) {
    std::string_view entry = e.name;
    if (entry.size() != file.size() + 4 || entry[file.size()] != '_') continue;
    if (!SameNameIgnoringCase(entry.substr(0, file.size()), file)) continue;
    int number = 0;
    bool digits = true;
    for (char c : entry.substr(file.size() + 1)) {
      digits = digits && c >= '0' && c <= '9';
      number = number * 10 + (c - '0');
    }
    if (digits && number > best) best = number;
  }
  if (best < 0) return false;
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "_%03d", best);
  out = name + suffix;
  return true;
}

}  // namespace

bool FileExists(const char* path) { return path && PathExists(path); }
bool FileExists(const std::string& path) { return PathExists(path); }

bool GetFileTimes(const char* path, uint64_t* creation, uint64_t* lastAccess, uint64_t* lastWrite) {
  if (!path) return false;
  cFileInfo info;
  if (!GetFileInfo(path, &info) || info.isFolder) return false;
  int fd = open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  if (creation) *creation = info.creationTime;
  if (lastAccess) *lastAccess = info.lastAccessTime;
  if (lastWrite) *lastWrite = info.lastWriteTime;
  return true;
}

bool DeleteFolderTree(const char* folder) {
  if (!folder || !*folder) return false;
  cFileInfo info;
  if (!GetFileInfo(folder, &info)) return false;
  if (info.isSymlink) return RemoveFile(folder);  // the link goes, its target stays untouched
  std::vector<cFolderEntry> entries;
  if (!ListFolder(folder, entries)) return false;
  std::string prefix = folder;
  if (!endsWithSeparator(prefix)) prefix += '\\';
  for (const cFolderEntry& e : entries) {
    std::string child = prefix + e.name;
    bool ok = e.isFolder && !e.isSymlink ? DeleteFolderTree(child.c_str()) : RemoveFile(child);
    if (!ok) return false;
  }
  return RemoveFolder(folder);
}

bool ToRelativePath(char* path, size_t size, bool dropDot) {
  if (!path) return false;
  std::string result;
  if (!relativePath(path, dropDot, result) || result.size() + 1 > size) return false;
  return putResult(path, size, result);
}

bool ToRelativePathStr(std::string& path, bool dropDot) {
  std::string result;
  if (!relativePath(path, dropDot, result) || result.size() + 1 > kPathBufferSize) return false;
  path = std::move(result);
  return true;
}

bool ToFullPath(char* path, size_t size) {
  if (!path) return false;
  std::string result;
  if (!fullPath(path, result) || result.size() + 1 > size) return false;
  return putResult(path, size, result);
}

bool ToFullPathStr(std::string& path) {
  std::string result;
  if (!fullPath(path, result) || result.size() + 1 > kPathBufferSize) return false;
  path = std::move(result);
  return true;
}

void PathToFileName(char* path) {
  if (!path) return;
  std::string name = path;
  PathToFileNameStr(name);
  std::memmove(path, name.c_str(), name.size() + 1);
}

void PathToFileNameStr(std::string& path) {
  if (path.empty()) return;
  size_t sep = lastSeparator(path, path.size() - 1);  // the last byte never counts
  if (sep != kNone) path.erase(0, sep + 1);
}

void PathToFolder(char* path) {
  if (!path) return;
  size_t len = std::strlen(path);
  size_t sep = lastSeparator(std::string_view(path, len), len);
  path[sep == kNone ? 0 : sep + 1] = '\0';
}

void PathToFolder(std::string& path) {
  size_t sep = lastSeparator(path, path.size());
  path.resize(sep == kNone ? 0 : sep + 1);
}

bool ChangeExtension(std::string& out, const std::string& path, const char* ext) {
  out = path;
  size_t dot = extensionDot(out);
  if (dot == kNone) return false;
  if (ext) {
    out.replace(dot + 1, kNone, ext);
  } else {
    out.resize(dot);
  }
  return true;
}

bool ChangeExtension(char* out, size_t outSize, const char* path, const char* ext) {
  if (!path) return false;
  std::string result;
  bool changed = ChangeExtension(result, path, ext);
  if (!putResult(out, outSize, result)) return false;
  return changed;
}

bool RemoveExtension(char* path) {
  if (!path) return false;
  size_t dot = extensionDot(path);
  if (dot == kNone) return false;
  path[dot] = '\0';
  return true;
}

bool RemoveExtensionStr(std::string& path) {
  size_t dot = extensionDot(path);
  if (dot == kNone) return false;
  path.resize(dot);
  return true;
}

bool GetExtension(std::string& out, const std::string& path) {
  size_t dot = extensionDot(path);
  if (dot == kNone) return false;
  out = path.substr(dot + 1);
  return true;
}

bool GetExtension(char* out, size_t outSize, const char* path) {
  if (!out || outSize == 0) return false;
  out[0] = '\0';
  std::string ext;
  if (!path || !GetExtension(ext, path)) return false;
  size_t max = std::min(outSize, kExtensionBufferSize) - 1;
  ext.resize(SjisFitLength(ext.data(), ext.size(), max));
  return putResult(out, outSize, ext);
}

bool ListFilesByExt(std::vector<std::string>& list, const char* folder, const char* ext) {
  std::string prefix = folder ? folder : "";
  // An empty folder means the current one (a lone "\" would be the root).
  if (!prefix.empty() && !endsWithSeparator(prefix)) prefix += '\\';
  std::vector<cFolderEntry> found;
  if (!FindFiles(prefix + "*." + (ext ? ext : ""), found)) return false;
  for (const cFolderEntry& e : found) list.push_back(prefix + e.name);
  return true;
}

bool MakeNumberedName(std::string& out, const std::string& path, int n) {
  std::string ext;
  if (!GetExtension(ext, path)) return false;
  std::string name = path;
  RemoveExtensionStr(name);
  char number[24];
  std::snprintf(number, sizeof number, " (%d).", n);
  out = name + number + ext;
  return true;
}

bool MakeNumberedName(char* out, size_t outSize, const char* path, int n) {
  if (out && outSize) out[0] = '\0';
  std::string result;
  if (!path || !MakeNumberedName(result, path, n)) return false;
  return putResult(out, outSize, result);
}

bool FindLastNumberedFile(char* out, size_t outSize, const char* basePath, const char* ext) {
  std::string found;
  if (!basePath || !findLastNumbered(basePath, ext, found)) return false;
  return putResult(out, outSize, found);
}

bool FindLastNumberedFileStr(std::string& out, const std::string& basePath, const char* ext) {
  return findLastNumbered(basePath, ext, out);
}
