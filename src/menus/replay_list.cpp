#include "menus/replay_list.h"

#include <algorithm>
#include <cstddef>
#include <ctime>

#include "core/file_helpers.h"
#include "core/strings.h"
#include "data/replay_file.h"
#include "platform/files.h"
#include "shell/list_positions.h"

namespace {
// Seconds from 1601-01-01 (the file times' origin) to 1970-01-01.
constexpr uint64_t kFileTimeToUnixSeconds = 11644473600ull;
constexpr uint64_t kFileTimeUnitsPerSecond = 10000000ull;
constexpr const char* kReplayPattern = "rpl4*";
constexpr const char* kClearedMark = "_CLEAR_";

char FoldAscii(unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); }

// The next character of a name from i: its code (a double-byte character as lead x 256 + trail) and,
// for the case pass, its code with ASCII capitals folded.
unsigned NextChar(const std::string& s, size_t& i, bool fold) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (IsSjisDoubleByte(s.c_str() + i)) {
    const unsigned code = c * 256u + static_cast<unsigned char>(s[i + 1]);
    i += 2;
    return code;
  }
  ++i;
  return fold ? static_cast<unsigned char>(FoldAscii(c)) : c;
}

int ComparePass(const std::string& a, const std::string& b, bool fold) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const unsigned ca = NextChar(a, i, fold);
    const unsigned cb = NextChar(b, j, fold);
    if (ca == cb) continue;
    // Without folding only the case differs here: the lower-case letter comes first.
    if (!fold) return ca > cb ? -1 : 1;
    return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}
}  // namespace

int32_t ValidReplaySort(int32_t order) { return order >= 0 && order < kReplaySortCount ? order : kReplaySortOldest; }

int32_t NextReplaySort(int32_t order) {
  const int32_t next = ValidReplaySort(order) + 1;
  return next < kReplaySortCount ? next : kReplaySortOldest;
}

bool IsClearedReplayPath(const std::string& path) {
  std::string stem = path;
  RemoveExtensionStr(stem);
  // A second cleared replay of the same second carries its number after the mark: " (2)".
  const size_t open = stem.rfind(" (");
  if (open != std::string::npos && stem.size() > open + 3 && stem.back() == ')' &&
      std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(open) + 2, stem.end() - 1,
                  [](char c) { return c >= '0' && c <= '9'; }))
    stem.erase(open);
  const std::string mark = kClearedMark;
  return stem.size() >= mark.size() && stem.compare(stem.size() - mark.size(), mark.size(), mark) == 0;
}

int CompareReplayNames(const std::string& a, const std::string& b) {
  const int folded = ComparePass(a, b, true);
  return folded != 0 ? folded : ComparePass(a, b, false);
}

void ReplayTimeKeys(uint64_t fileTime, uint32_t* date, uint32_t* time) {
  *date = 0;
  *time = 0;
  const uint64_t seconds = fileTime / kFileTimeUnitsPerSecond;
  if (seconds < kFileTimeToUnixSeconds) return;
  const std::time_t unixTime = static_cast<std::time_t>(seconds - kFileTimeToUnixSeconds);
  std::tm local{};
  if (!localtime_r(&unixTime, &local)) return;
  *date = static_cast<uint32_t>((local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday);
  *time = static_cast<uint32_t>(local.tm_hour * 10000 + local.tm_min * 100 + local.tm_sec);
}

void SortReplayRows(std::vector<cReplayRow>& rows, int32_t order) {
  // First by name in byte order: the ties of every order below then come out the same each time.
  std::sort(rows.begin(), rows.end(),
            [](const cReplayRow& a, const cReplayRow& b) { return a.strFileName < b.strFileName; });
  const auto older = [](const cReplayRow& a, const cReplayRow& b) {
    return a.nDate != b.nDate ? a.nDate < b.nDate : a.nTime < b.nTime;
  };
  switch (ValidReplaySort(order)) {
    case kReplaySortOldest: std::stable_sort(rows.begin(), rows.end(), older); break;
    case kReplaySortNewest:
      std::stable_sort(rows.begin(), rows.end(), [&](const cReplayRow& a, const cReplayRow& b) { return older(b, a); });
      break;
    case kReplaySortName:
      std::stable_sort(rows.begin(), rows.end(), [](const cReplayRow& a, const cReplayRow& b) {
        return CompareReplayNames(a.strFileName, b.strFileName) < 0;
      });
      break;
    default:
      std::stable_sort(rows.begin(), rows.end(), [](const cReplayRow& a, const cReplayRow& b) {
        return CompareReplayNames(a.strFileName, b.strFileName) > 0;
      });
      break;
  }
}

std::vector<cReplayRow> BuildReplayRows(bool clearedOnly, int32_t order) {
  std::vector<cReplayRow> rows;
  std::vector<std::string> paths;
  ListFilesByExt(paths, kReplayFolder, kReplayPattern);
  for (const std::string& path : paths) {
    if (clearedOnly && !IsClearedReplayPath(path)) continue;
    // A folder whose name looks like a replay is no replay.
    if (IsFolder(path)) continue;
    cReplayRow row;
    row.strPath = path;
    row.strFileName = path;
    PathToFileNameStr(row.strFileName);
    // Times that cannot be read leave both keys 0; the file is still listed.
    uint64_t written = 0;
    if (GetFileTimes(path.c_str(), nullptr, nullptr, &written)) ReplayTimeKeys(written, &row.nDate, &row.nTime);
    rows.push_back(std::move(row));
  }
  SortReplayRows(rows, order);
  return rows;
}

void PublishReplayRows(const std::vector<cReplayRow>& rows) {
  g_ReplayList.clear();
  g_ReplayList.reserve(rows.size());
  for (const cReplayRow& row : rows) g_ReplayList.push_back({row.strFileName, row.strFileName});
}
