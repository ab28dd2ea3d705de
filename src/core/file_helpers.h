#pragma once
// Path and file helpers of the game code. Paths keep their Windows form (Shift-JIS bytes, "\"
// separators, relative to the game folder; absolute ones start with "\" from the root of this
// system); the file layer resolves them on disk. A separator is a "\" or "/" at a character boundary:
// the trail byte of a double-byte character may be 0x5C and is never one.
//
// Path buffers hold at most 259 bytes and a NUL. The buffer forms take the buffer's size (the array
// forms pass it themselves); a result that does not fit makes the call fail and leaves the path as
// it was. Failures are reported by the result only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kPathBufferSize = 260;
constexpr size_t kExtensionBufferSize = 32;

// True when the path names an existing file or folder.
bool FileExists(const char* path);
bool FileExists(const std::string& path);

// Creation, last access and last write time of a file that can be opened for reading, as Windows file
// times (100-ns units since 1601). False for a folder or a file that cannot be read. Null outputs are
// skipped.
bool GetFileTimes(const char* path, uint64_t* creation, uint64_t* lastAccess, uint64_t* lastWrite);

// Deletes a folder with everything in it, depth first. A symbolic link is removed as a link; what it
// points to is never entered. At the first failure stops and returns false (what was deleted stays
// deleted).
bool DeleteFolderTree(const char* folder);

// An absolute path made relative to the current folder (".\" for a path below it, "..\" for each
// folder up); with dropDot a leading ".\" is removed. A relative path stays (true).
bool ToRelativePath(char* path, size_t size, bool dropDot);
template <size_t N>
bool ToRelativePath(char (&path)[N], bool dropDot) {
  return ToRelativePath(path, N, dropDot);
}
bool ToRelativePathStr(std::string& path, bool dropDot);

// A relative path made absolute against the current folder ("." and ".." folded, separators made
// "\"); an absolute path stays.
bool ToFullPath(char* path, size_t size);
template <size_t N>
bool ToFullPath(char (&path)[N]) {
  return ToFullPath(path, N);
}
bool ToFullPathStr(std::string& path);

// Keeps the text after the last separator (the last byte never counts as one); no separator: stays.
void PathToFileName(char* path);
void PathToFileNameStr(std::string& path);

// Keeps the text up to and including the last separator; "" without one.
void PathToFolder(char* path);
void PathToFolder(std::string& path);

// The extension is the text after the last "." of the path's last component (a dot in a folder name
// is not one).
// out = path with its extension replaced by ext; a null ext removes the "." too. False when the path
// has no extension (out then holds the path unchanged).
bool ChangeExtension(char* out, size_t outSize, const char* path, const char* ext);
template <size_t N>
bool ChangeExtension(char (&out)[N], const char* path, const char* ext) {
  return ChangeExtension(out, N, path, ext);
}
bool ChangeExtension(std::string& out, const std::string& path, const char* ext);

// Removes the last "." and what follows; false when there is none.
bool RemoveExtension(char* path);
bool RemoveExtensionStr(std::string& path);

// out = the extension (at most 31 bytes, cut at a character boundary); false when there is none.
bool GetExtension(char* out, size_t outSize, const char* path);
template <size_t N>
bool GetExtension(char (&out)[N], const char* path) {
  return GetExtension(out, N, path);
}
bool GetExtension(std::string& out, const std::string& path);

// Appends folder + name for every entry of the folder matching "*." + ext (ext may hold wildcards;
// folders included), in name order. A missing separator after the folder is added. False when the
// folder cannot be searched or nothing matches.
bool ListFilesByExt(std::vector<std::string>& list, const char* folder, const char* ext);

// "name.ext" -> "name (n).ext". False when the path has no extension.
bool MakeNumberedName(char* out, size_t outSize, const char* path, int n);
template <size_t N>
bool MakeNumberedName(char (&out)[N], const char* path, int n) {
  return MakeNumberedName(out, N, path, n);
}
bool MakeNumberedName(std::string& out, const std::string& path, int n);

// The newest numbered variant of basePath with its extension changed to ext: basePath's name + "." +
// ext + "_" + three digits, tried from 999 down to 000. The first that exists goes to out; false
// when none does.
bool FindLastNumberedFile(char* out, size_t outSize, const char* basePath, const char* ext);
template <size_t N>
bool FindLastNumberedFile(char (&out)[N], const char* basePath, const char* ext) {
  return FindLastNumberedFile(out, N, basePath, ext);
}
bool FindLastNumberedFileStr(std::string& out, const std::string& basePath, const char* ext);
