#pragma once
// The file layer. The game names files with Windows paths relative to the game folder, in Shift-JIS
// (CP932) bytes and with backslashes: "bmp\Title.bmp", "data\stg4\c01-1.stg4_000". On disk the
// names may differ in ASCII case and may be stored as UTF-8 (the usual form on this system) or as
// the raw Shift-JIS bytes (archives unpacked without conversion). Every game path goes through
// ResolvePath before it reaches the system, and every file the game writes is replaced atomically.
//
// Paths: components are separated by "\" or "/", found only at Shift-JIS character boundaries (the
// trail byte of a double-byte character may be 0x5C). A path starting with a separator is absolute
// (from the root of this system); any other path is relative to the current directory. "." and ".."
// components are kept as they are. Drive letters are not supported.
//
// Folder listings are cached; the cache is dropped for a folder whenever this layer creates, deletes
// or renames something in it, and whenever the folder's modification time says it changed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Finds an existing file or folder. On success diskPath holds the path to give the system.
bool FindOnDisk(std::string_view gamePath, std::string& diskPath);

// The path to give the system for a game path: the existing entry when there is one; otherwise the
// path at which it would be created, with existing folders resolved and every missing component
// written as UTF-8 (or as its raw bytes when they are not valid Shift-JIS).
std::string ResolvePath(std::string_view gamePath);

// Times are Windows file times: 100-nanosecond units since 1601-01-01 UTC.
struct cFileInfo {
  bool isFolder = false;
  bool isSymlink = false;  // the entry itself is a symbolic link (isFolder tells what it points to)
  uint64_t size = 0;
  uint64_t creationTime = 0;  // birth time where the file system keeps one, else the change time
  uint64_t lastAccessTime = 0;
  uint64_t lastWriteTime = 0;
};
bool GetFileInfo(std::string_view gamePath, cFileInfo* info);
bool PathExists(std::string_view gamePath);
bool IsFolder(std::string_view gamePath);

// One entry of a folder: its name as the game sees it (CP932), and what it is.
struct cFolderEntry {
  std::string name;
  bool isFolder = false;
  bool isSymlink = false;
};

// Lists a folder, without "." and "..", sorted in the name order Windows file systems return
// (upper-cased UTF-16, then bytes). False when the folder cannot be read.
bool ListFolder(std::string_view gameFolder, std::vector<cFolderEntry>& entries);

// Windows-style search: the last component of gamePattern may hold "*" and "?" (ASCII case is
// ignored). Appends the matching entries of the folder in listing order. Like the Windows search it
// stands in for, false when the folder cannot be read or nothing matches.
bool FindFiles(std::string_view gamePattern, std::vector<cFolderEntry>& matches);
bool MatchWildcard(std::string_view pattern, std::string_view name);

// Case-insensitive comparison of two CP932 names: ASCII letters fold, the bytes of double-byte
// characters never do.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The current directory as a CP932 path with backslashes, starting with "\" (for example
// "\home\player\game"); empty when it cannot be read.
std::string GetCurrentFolder();

// Changes. Each returns false on failure and leaves errno set.
bool CreateFolder(std::string_view gamePath);  // true also when the folder already exists
bool RemoveFile(std::string_view gamePath);    // a file or a symbolic link, never followed
bool RemoveFolder(std::string_view gamePath);  // an empty folder
bool RenamePath(std::string_view fromGamePath, std::string_view toGamePath);  // replaces a file

// Replaces the file with the given bytes, all or nothing: the bytes go to a temporary file beside it
// (every write checked, then flushed to the disk), which is then renamed over the target. On any
// failure the temporary file is removed and the old file stays whole.
bool WriteFileAtomically(std::string_view gamePath, const void* data, size_t size);
bool WriteFileAtomically(std::string_view gamePath, std::string_view bytes);
bool WriteFileAtomically(std::string_view gamePath, const std::vector<uint8_t>& bytes);
bool WriteFileAtomically(std::string_view gamePath, const std::vector<char>& bytes);

// The same for a path of this system as it stands (UTF-8, "/" separators; a path given on the command
// line): no game-path resolution, no reading of its bytes as Shift-JIS.
bool WriteHostFileAtomically(const std::string& hostPath, const void* data, size_t size);

// A path of this system as the game names it: UTF-8 becomes CP932; bytes that are not UTF-8 are kept
// as they are (raw Shift-JIS names). False when a character has no CP932 form (gamePath then holds
// "?" in its place).
bool GamePathFromHost(std::string_view hostPath, std::string& gamePath);

// A path of this system made absolute against the current directory (unchanged when it is absolute,
// or when the current directory cannot be read).
std::string AbsoluteHostPath(const std::string& hostPath);

// Reads a whole file, refusing one larger than maxBytes before reading anything. On failure errno
// holds the system's reason (ENOENT for a missing file, EISDIR for a folder, EFBIG for a large one).
enum class eReadFail { None, Missing, TooLarge, Unreadable };
bool ReadWholeFile(std::string_view gamePath, size_t maxBytes, std::vector<uint8_t>& out, eReadFail* why = nullptr);
bool ReadWholeFile(std::string_view gamePath, size_t maxBytes, std::string& out, eReadFail* why = nullptr);

// Drops every cached listing (after changes made behind this layer's back).
void ForgetFolderListings();

// Tests only: makes the step-th write step of the next atomic writes fail (1 = creating the temporary
// file, 2 = writing, 3 = flushing, 4 = renaming); 0 switches it off.
void SetAtomicWriteFailStep(int step);

// Tests and fuzzing only: while set, atomic writes skip flushing the file and its folder to the disk
// (the temporary file and the rename stay), which makes writing many scratch files fast. Returns the
// previous setting, so that a caller can put it back.
bool SetSkipDiskFlush(bool skip);
