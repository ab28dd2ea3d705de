#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/encoding.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Names

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Upper-cases the ASCII letters of a CP932 name, leaving both bytes of double-byte characters alone
// (their trail bytes include the ASCII letter codes).
std::string foldName(std::string_view name) {
  std::string out(name);
  for (size_t pos = 0; pos < out.size();) {
    size_t n = Cp932CharLength(out, pos);
    if (n == 1 && out[pos] >= 'a' && out[pos] <= 'z') out[pos] = static_cast<char>(out[pos] - 'a' + 'A');
    pos += n;
  }
  return out;
}

struct SplitPath {
  bool absolute = false;
  std::vector<std::string_view> parts;
};

// Splits at separators that stand at character boundaries; empty components are dropped.
SplitPath splitGamePath(std::string_view path) {
  SplitPath out;
  out.absolute = !path.empty() && isSeparator(path[0]);
  size_t start = 0;
  for (size_t pos = 0; pos < path.size();) {
    size_t n = Cp932CharLength(path, pos);
    if (n == 1 && isSeparator(path[pos])) {
      if (pos > start) out.parts.push_back(path.substr(start, pos - start));
      start = pos + 1;
    }
    pos += n;
  }
  if (start < path.size()) out.parts.push_back(path.substr(start));
  return out;
}

// The name to create on disk for a CP932 name: UTF-8 when the bytes are valid CP932, else the raw
// bytes (they can still be found again, since raw names are matched too).
std::string diskNameFor(std::string_view gameName) {
  std::string utf8;
  if (Cp932ToUtf8(gameName, utf8)) return utf8;
  return std::string(gameName);
}

// The name the game sees for a name on disk.
std::string gameNameFor(std::string_view diskName) {
  if (IsValidUtf8(diskName)) return Utf8ToCp932(diskName);
  return std::string(diskName);
}

std::string joinDisk(const std::string& base, std::string_view name) {
  if (base.empty()) return std::string(name);
  if (base.back() == '/') return base + std::string(name);
  return base + "/" + std::string(name);
}

std::string parentOf(const std::string& diskPath) {
  size_t slash = diskPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return diskPath.substr(0, slash);
}

// Upper case for ordering, as Windows file systems order names: letters of the scripts CP932 holds.
char16_t upcaseForOrder(char32_t ch) {
  if ((ch >= 'a' && ch <= 'z') || (ch >= 0x3B1 && ch <= 0x3C9 && ch != 0x3C2) || (ch >= 0x430 && ch <= 0x44F) ||
      (ch >= 0xFF41 && ch <= 0xFF5A))
    return static_cast<char16_t>(ch - 0x20);
  if (ch == 0x451) return 0x401;
  if (ch >= 0x2170 && ch <= 0x2179) return static_cast<char16_t>(ch - 0x10);
  return static_cast<char16_t>(ch);
}

std::u16string orderKey(std::string_view gameName) {
  std::u32string chars;
  Cp932ToUnicode(gameName, chars);
  std::u16string key;
  key.reserve(chars.size());
  for (char32_t ch : chars) key += upcaseForOrder(ch);
  return key;
}

// ---------------------------------------------------------------------------------------------
// Folder listings

struct DiskEntry {
  std::string diskName;
  std::string gameName;
  bool isFolder = false;
  bool isSymlink = false;
  std::u16string order;
};

struct Listing {
  dev_t dev = 0;
  ino_t ino = 0;
  timespec mtime{};
  bool trusted = false;  // the folder had not changed for a while when it was read
  std::vector<DiskEntry> entries;
  std::unordered_multimap<std::string, size_t> byKey;  // folded game name (and folded raw name)
};

// A listing is reused only while the folder's identity and modification time stay the same, and
// only when that time lay well before the reading: a change within the same timestamp tick as the
// reading could otherwise go unseen.
constexpr time_t kTrustAfterSeconds = 2;
constexpr size_t kMaxCachedFolders = 4096;

std::mutex g_cacheMutex;
std::unordered_map<std::string, std::shared_ptr<const Listing>> g_cache;

bool sameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

std::shared_ptr<const Listing> readListing(const std::string& folder, const struct stat& st) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return nullptr;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  auto listing = std::make_shared<Listing>();
  listing->dev = st.st_dev;
  listing->ino = st.st_ino;
  listing->mtime = st.st_mtim;
  listing->trusted = st.st_mtim.tv_sec + kTrustAfterSeconds < now.tv_sec;
  while (dirent* d = readdir(dir)) {
    std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    DiskEntry e;
    e.diskName = name;
    e.gameName = gameNameFor(name);
    unsigned char type = d->d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
      std::string full = joinDisk(folder, name);
      struct stat est;
      if (lstat(full.c_str(), &est) != 0) continue;  // gone since the folder was read
      if (S_ISLNK(est.st_mode)) {
        e.isSymlink = true;
        e.isFolder = stat(full.c_str(), &est) == 0 && S_ISDIR(est.st_mode);
      } else {
        e.isFolder = S_ISDIR(est.st_mode);
      }
    } else {
      e.isFolder = type == DT_DIR;
    }
    e.order = orderKey(e.gameName);
    listing->entries.push_back(std::move(e));
  }
  closedir(dir);
  std::sort(listing->entries.begin(), listing->entries.end(), [](const DiskEntry& a, const DiskEntry& b) {
    if (a.order != b.order) return a.order < b.order;
    if (a.gameName != b.gameName) return a.gameName < b.gameName;
    return a.diskName < b.diskName;
  });
  for (size_t i = 0; i < listing->entries.size(); ++i) {
    const DiskEntry& e = listing->entries[i];
    std::string key = foldName(e.gameName);
    listing->byKey.emplace(key, i);
    if (e.diskName != e.gameName) {
      std::string rawKey = foldName(e.diskName);
      if (rawKey != key) listing->byKey.emplace(rawKey, i);
    }
  }
  return listing;
}

std::shared_ptr<const Listing> getListing(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  {
    std::lock_guard lock(g_cacheMutex);
    auto it = g_cache.find(folder);
    if (it != g_cache.end()) {
      const Listing& l = *it->second;
      if (l.trusted && l.dev == st.st_dev && l.ino == st.st_ino && sameTime(l.mtime, st.st_mtim)) return it->second;
      g_cache.erase(it);
    }
  }
  auto listing = readListing(folder, st);
  if (listing && listing->trusted) {
    std::lock_guard lock(g_cacheMutex);
    if (g_cache.size() >= kMaxCachedFolders) g_cache.clear();
    g_cache[folder] = listing;
  }
  return listing;
}

// Drops the listings of the folder holding diskPath, of diskPath itself and of everything below it.
void forgetAround(const std::string& diskPath) {
  std::lock_guard lock(g_cacheMutex);
  g_cache.erase(parentOf(diskPath));
  std::string below = diskPath + "/";
  for (auto it = g_cache.begin(); it != g_cache.end();) {
    if (it->first == diskPath || it->first.compare(0, below.size(), below) == 0) {
      it = g_cache.erase(it);
    } else {
      ++it;
    }
  }
}

// Finds name in the folder: the exact name first, then the first entry, in listing order, whose
// name is equal ignoring ASCII case (as a UTF-8 name or as raw bytes).
bool findInFolder(const std::string& base, std::string_view gameName, std::string& diskName) {
  struct stat st;
  std::string utf8;
  if (Cp932ToUtf8(gameName, utf8) && lstat(joinDisk(base, utf8).c_str(), &st) == 0) {
    diskName = utf8;
    return true;
  }
  if (utf8 != gameName && lstat(joinDisk(base, gameName).c_str(), &st) == 0) {
    diskName = gameName;
    return true;
  }
  auto listing = getListing(base.empty() ? "." : base);
  if (!listing) return false;
  auto range = listing->byKey.equal_range(foldName(gameName));
  size_t best = SIZE_MAX;
  for (auto it = range.first; it != range.second; ++it) best = std::min(best, it->second);
  if (best == SIZE_MAX) return false;
  diskName = listing->entries[best].diskName;
  return true;
}

// Resolves as far as the path exists. Returns true when every component was found.
bool resolve(std::string_view gamePath, std::string& diskPath) {
  SplitPath split = splitGamePath(gamePath);
  std::string base = split.absolute ? "/" : "";
  size_t i = 0;
  bool found = !split.parts.empty() || split.absolute;
  for (; i < split.parts.size(); ++i) {
    std::string_view part = split.parts[i];
    std::string diskName;
    if (part == "." || part == "..") {
      base = joinDisk(base, part);
    } else if (findInFolder(base, part, diskName)) {
      base = joinDisk(base, diskName);
    } else {
      found = false;
      break;
    }
  }
  for (; i < split.parts.size(); ++i) base = joinDisk(base, diskNameFor(split.parts[i]));
  diskPath = std::move(base);
  return found;
}

// ---------------------------------------------------------------------------------------------
// Wildcards

bool matchFrom(std::string_view pattern, size_t p, std::string_view name, size_t n) {
  while (p < pattern.size()) {
    if (pattern[p] == '*') {
      while (p < pattern.size() && pattern[p] == '*') ++p;
      if (p == pattern.size()) return true;
      for (size_t k = n; k <= name.size(); k += (k < name.size() ? Cp932CharLength(name, k) : 1)) {
        if (matchFrom(pattern, p, name, k)) return true;
      }
      return false;
    }
    if (n >= name.size()) return false;
    size_t pn = Cp932CharLength(pattern, p);
    size_t nn = Cp932CharLength(name, n);
    if (pn == 1 && pattern[p] == '?') {
      p += 1;
      n += nn;
      continue;
    }
    if (pn != nn) return false;
    if (pn == 1) {
      char a = pattern[p], b = name[n];
      if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
      if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
      if (a != b) return false;
    } else if (pattern.substr(p, 2) != name.substr(n, 2)) {
      return false;
    }
    p += pn;
    n += nn;
  }
  return n == name.size();
}

// ---------------------------------------------------------------------------------------------
// Writing

std::atomic<int> g_failStep{0};
std::atomic<bool> g_skipDiskFlush{false};

bool injectedFailure(int step) {
  if (g_failStep.load() != step) return false;
  errno = EIO;
  return true;
}

bool writeAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

uint64_t toFileTime(int64_t sec, uint32_t nsec) {
  constexpr int64_t kUnixEpochIn1601 = 11644473600LL;
  int64_t t = (sec + kUnixEpochIn1601) * 10000000LL + nsec / 100;
  return t < 0 ? 0 : static_cast<uint64_t>(t);
}

template <class Buffer>
bool readWhole(std::string_view gamePath, size_t maxBytes, Buffer& out, eReadFail* why) {
  // errno tells the system's reason to callers that name it.
  auto fail = [&](eReadFail reason, int error) {
    if (why) *why = reason;
    out.clear();
    errno = error;
    return false;
  };
  std::string disk;
  if (!FindOnDisk(gamePath, disk)) return fail(eReadFail::Missing, ENOENT);
  // Non-blocking open: a FIFO or device in place of a game file must be refused, not waited on.
  int fd = open(disk.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(errno == ENOENT ? eReadFail::Missing : eReadFail::Unreadable, errno);
  struct stat st {};
  const bool statted = fstat(fd, &st) == 0;
  if (!statted || !S_ISREG(st.st_mode)) {
    const int error = !statted ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    close(fd);
    return fail(eReadFail::Unreadable, error);
  }
  if (static_cast<uint64_t>(st.st_size) > maxBytes) {
    close(fd);
    return fail(eReadFail::TooLarge, EFBIG);
  }
  out.clear();
  out.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    // The file may grow while it is read: keep reading, one byte past the limit at most.
    if (got == out.size()) {
      if (out.size() > maxBytes) break;
      out.resize(std::min(maxBytes + 1, std::max<size_t>(out.size() * 2, 4096)));
    }
    ssize_t n = read(fd, reinterpret_cast<char*>(out.data()) + got, out.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      return fail(eReadFail::Unreadable, error);
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  if (got > maxBytes) return fail(eReadFail::TooLarge, EFBIG);
  out.resize(got);
  if (why) *why = eReadFail::None;
  return true;
}

}  // namespace

bool FindOnDisk(std::string_view gamePath, std::string& diskPath) {
  std::string path;
  if (!resolve(gamePath, path)) return false;
  diskPath = std::move(path);
  return true;
}

std::string ResolvePath(std::string_view gamePath) {
  std::string path;
  resolve(gamePath, path);
  return path;
}

bool GetFileInfo(std::string_view gamePath, cFileInfo* info) {
  std::string disk;
  if (!FindOnDisk(gamePath, disk)) return false;
  struct statx lx, fx;
  if (statx(AT_FDCWD, disk.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &lx) != 0) return false;
  bool isLink = S_ISLNK(lx.stx_mode);
  const struct statx& x =
      isLink && statx(AT_FDCWD, disk.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &fx) == 0 ? fx : lx;
  if (info) {
    info->isSymlink = isLink;
    info->isFolder = S_ISDIR(x.stx_mode);
    info->size = x.stx_size;
    const auto& birth = (x.stx_mask & STATX_BTIME) ? x.stx_btime : x.stx_ctime;
    info->creationTime = toFileTime(birth.tv_sec, birth.tv_nsec);
    info->lastAccessTime = toFileTime(x.stx_atime.tv_sec, x.stx_atime.tv_nsec);
    info->lastWriteTime = toFileTime(x.stx_mtime.tv_sec, x.stx_mtime.tv_nsec);
  }
  return true;
}

bool PathExists(std::string_view gamePath) {
  std::string disk;
  return FindOnDisk(gamePath, disk);
}

bool IsFolder(std::string_view gamePath) {
  cFileInfo info;
  return GetFileInfo(gamePath, &info) && info.isFolder;
}

bool ListFolder(std::string_view gameFolder, std::vector<cFolderEntry>& entries) {
  entries.clear();
  std::string disk;
  if (gameFolder.empty()) {
    disk = ".";
  } else if (!FindOnDisk(gameFolder, disk)) {
    return false;
  }
  auto listing = getListing(disk);
  if (!listing) return false;
  entries.reserve(listing->entries.size());
  for (const DiskEntry& e : listing->entries) entries.push_back(cFolderEntry{e.gameName, e.isFolder, e.isSymlink});
  return true;
}

bool FindFiles(std::string_view gamePattern, std::vector<cFolderEntry>& matches) {
  size_t cut = std::string_view::npos;  // the last separator at a character boundary
  for (size_t pos = 0; pos < gamePattern.size();) {
    size_t n = Cp932CharLength(gamePattern, pos);
    if (n == 1 && isSeparator(gamePattern[pos])) cut = pos;
    pos += n;
  }
  std::string_view folder = cut == std::string_view::npos ? std::string_view() : gamePattern.substr(0, cut + 1);
  std::string_view pattern = cut == std::string_view::npos ? gamePattern : gamePattern.substr(cut + 1);
  if (pattern.empty()) return false;
  std::vector<cFolderEntry> all;
  if (!ListFolder(folder, all)) return false;
  bool any = false;
  for (auto& e : all) {
    if (!MatchWildcard(pattern, e.name)) continue;
    matches.push_back(std::move(e));
    any = true;
  }
  return any;
}

bool MatchWildcard(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;  // Windows: every name, with or without a dot
  return matchFrom(pattern, 0, name, 0);
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && foldName(a) == foldName(b);
}

std::string GetCurrentFolder() {
  std::string buffer(PATH_MAX, '\0');
  if (!getcwd(buffer.data(), buffer.size())) return std::string();
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  std::string folder = gameNameFor(buffer);
  for (size_t pos = 0; pos < folder.size();) {
    size_t n = Cp932CharLength(folder, pos);
    if (n == 1 && folder[pos] == '/') folder[pos] = '\\';
    pos += n;
  }
  return folder;
}

bool CreateFolder(std::string_view gamePath) {
  std::string disk;
  if (FindOnDisk(gamePath, disk)) {
    struct stat st;
    if (stat(disk.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    errno = EEXIST;
    return false;
  }
  disk = ResolvePath(gamePath);
  bool ok = mkdir(disk.c_str(), 0777) == 0;
  int saved = errno;
  forgetAround(disk);
  errno = saved;
  return ok;
}

bool RemoveFile(std::string_view gamePath) {
  std::string disk;
  if (!FindOnDisk(gamePath, disk)) {
    errno = ENOENT;
    return false;
  }
  struct stat st;
  if (lstat(disk.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  bool ok = unlink(disk.c_str()) == 0;
  int saved = errno;
  forgetAround(disk);
  errno = saved;
  return ok;
}

bool RemoveFolder(std::string_view gamePath) {
  std::string disk;
  if (!FindOnDisk(gamePath, disk)) {
    errno = ENOENT;
    return false;
  }
  bool ok = rmdir(disk.c_str()) == 0;
  int saved = errno;
  forgetAround(disk);
  errno = saved;
  return ok;
}

bool RenamePath(std::string_view fromGamePath, std::string_view toGamePath) {
  std::string from;
  if (!FindOnDisk(fromGamePath, from)) {
    errno = ENOENT;
    return false;
  }
  std::string to = ResolvePath(toGamePath);
  bool ok = rename(from.c_str(), to.c_str()) == 0;
  int saved = errno;
  forgetAround(from);
  forgetAround(to);
  errno = saved;
  return ok;
}

namespace {
// The temporary files of the atomic writes: ".qc4-", six letters or digits, ".tmp" (mkstemps).
constexpr std::string_view kTempPrefix = ".qc4-";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kTempRandomChars = 6;
// A temporary file unchanged this long belongs to a write that was killed before its rename.
constexpr time_t kStaleTempSeconds = 60 * 60;

bool isTempName(std::string_view name) {
  if (name.size() != kTempPrefix.size() + kTempRandomChars + kTempSuffix.size()) return false;
  if (name.substr(0, kTempPrefix.size()) != kTempPrefix || name.substr(name.size() - kTempSuffix.size()) != kTempSuffix)
    return false;
  const std::string_view random = name.substr(kTempPrefix.size(), kTempRandomChars);
  return std::all_of(random.begin(), random.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// Removes from a folder the temporary files that writes killed before their rename left behind: only
// names of the writes' own pattern, only regular files unchanged for an hour, and only those no
// writer holds. Every write keeps its temporary file locked from its creation until it is renamed or
// removed, so a live write that is slow (of this process or of another one writing in the same
// folder) keeps its file; of two writers sweeping at once, the one that gets the lock first removes
// the file and the other then finds its name gone.
void removeStaleTemps(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (isTempName(entry->d_name)) names.emplace_back(entry->d_name);
    closedir(dir);
  }
  const time_t now = time(nullptr);
  for (const std::string& name : names) {
    const std::string path = joinDisk(folder, name);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat held;
    struct stat named;
    // The name must still be the file that was locked: a name may be gone or made anew meanwhile.
    if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && now - held.st_mtime >= kStaleTempSeconds &&
        flock(fd, LOCK_EX | LOCK_NB) == 0 && lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
        named.st_ino == held.st_ino)
      unlink(path.c_str());
    close(fd);
  }
}

// The atomic replacement of the file at a path of this system.
bool writeAtomicallyAt(std::string target, const void* data, size_t size) {
  if (target.empty()) {
    errno = ENOENT;
    return false;
  }
  // Writing through a symbolic link replaces the file it points to, as writing on Windows would.
  struct stat st;
  bool exists = lstat(target.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(target.c_str(), nullptr)) {
      target = real;
      free(real);
      exists = lstat(target.c_str(), &st) == 0;
    }
  }
  if (exists && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  std::string folder = parentOf(target);
  removeStaleTemps(folder);
  std::string temp = joinDisk(target.find('/') == std::string::npos ? "" : folder,
                              std::string(kTempPrefix) + std::string(kTempRandomChars, 'X') + std::string(kTempSuffix));

  int fd = injectedFailure(1) ? -1 : mkstemps(temp.data(), static_cast<int>(kTempSuffix.size()));
  if (fd < 0) return false;
  // Held until the file is renamed or removed (closed): a sweep of the folder leaves it alone. Where
  // the file system has no locks, its age still keeps it.
  flock(fd, LOCK_EX | LOCK_NB);
  auto fail = [&] {
    int saved = errno;
    if (fd >= 0) close(fd);
    unlink(temp.c_str());
    errno = saved;
    return false;
  };
  fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
  if (injectedFailure(2) || !writeAll(fd, static_cast<const uint8_t*>(data), size)) return fail();
  if (!g_skipDiskFlush.load() && (injectedFailure(3) || fsync(fd) != 0)) return fail();
  int closing = fd;
  fd = -1;
  if (close(closing) != 0) return fail();
  if (injectedFailure(4) || rename(temp.c_str(), target.c_str()) != 0) return fail();
  // Make the rename itself durable.
  if (!g_skipDiskFlush.load()) {
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      fsync(dirFd);
      close(dirFd);
    }
  }
  forgetAround(target);
  return true;
}
}  // namespace

bool WriteFileAtomically(std::string_view gamePath, const void* data, size_t size) {
  return writeAtomicallyAt(ResolvePath(gamePath), data, size);
}

bool WriteHostFileAtomically(const std::string& hostPath, const void* data, size_t size) {
  return writeAtomicallyAt(hostPath, data, size);
}

bool GamePathFromHost(std::string_view hostPath, std::string& gamePath) {
  if (!IsValidUtf8(hostPath)) {
    gamePath.assign(hostPath);
    return true;
  }
  return Utf8ToCp932(hostPath, gamePath);
}

std::string AbsoluteHostPath(const std::string& hostPath) {
  if (hostPath.empty() || hostPath[0] == '/') return hostPath;
  std::string folder(PATH_MAX, '\0');
  if (!getcwd(folder.data(), folder.size())) return hostPath;
  folder.resize(std::char_traits<char>::length(folder.c_str()));
  return joinDisk(folder, hostPath);
}

bool WriteFileAtomically(std::string_view gamePath, std::string_view bytes) {
  return WriteFileAtomically(gamePath, bytes.data(), bytes.size());
}

bool WriteFileAtomically(std::string_view gamePath, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(gamePath, bytes.data(), bytes.size());
}

bool WriteFileAtomically(std::string_view gamePath, const std::vector<char>& bytes) {
  return WriteFileAtomically(gamePath, bytes.data(), bytes.size());
}

bool ReadWholeFile(std::string_view gamePath, size_t maxBytes, std::vector<uint8_t>& out, eReadFail* why) {
  return readWhole(gamePath, maxBytes, out, why);
}

bool ReadWholeFile(std::string_view gamePath, size_t maxBytes, std::string& out, eReadFail* why) {
  return readWhole(gamePath, maxBytes, out, why);
}

void ForgetFolderListings() {
  std::lock_guard lock(g_cacheMutex);
  g_cache.clear();
}

void SetAtomicWriteFailStep(int step) { g_failStep.store(step); }

bool SetSkipDiskFlush(bool skip) { return g_skipDiskFlush.exchange(skip); }
