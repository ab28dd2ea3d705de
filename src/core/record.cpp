#include "core/record.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <typeinfo>
#include <unordered_map>

#include "core/containers.h"
#include "core/log.h"
#include "core/no_coverage.h"
#include "core/sjis.h"
#include "platform/files.h"

cFileVersions g_FileVersions;

namespace {
thread_local cReadFault t_lastReadFault;
constexpr size_t kWriterStartBytes = 1024;
}  // namespace

cReadFault LastReadFault() { return t_lastReadFault; }

// ---- cDataFile ----

std::unique_ptr<cDataFile> cDataFile::FromBytes(std::vector<uint8_t> bytes, std::string name) {
  std::unique_ptr<cDataFile> f(new cDataFile);
  f->m_aBytes = std::move(bytes);
  f->m_strPath = std::move(name);
  return f;
}

std::unique_ptr<cDataFile> cDataFile::ForWriting(std::string path) {
  std::unique_ptr<cDataFile> f(new cDataFile);
  f->m_bWriter = true;
  f->m_strPath = std::move(path);
  // Room for a small record at once: the first writes do not grow the buffer one step at a time.
  f->m_aBytes.resize(kWriterStartBytes);
  return f;
}

void cDataFile::Fail(eReadFault why, int64_t value, size_t offset) {
  if (m_bFailed) return;
  m_bFailed = true;
  m_fault = cReadFault{why, offset == SIZE_MAX ? m_nPos : offset, value, Size(), 0};
  if (!m_bWriter) t_lastReadFault = m_fault;
}

bool cDataFile::Read(void* dst, size_t n) {
  if (m_bFailed || m_bWriter || n > Remaining()) {
    Fail(eReadFault::CutShort, static_cast<int64_t>(n));
    return false;
  }
  if (n) std::memcpy(dst, m_aBytes.data() + m_nPos, n);
  m_nPos += n;
  return true;
}

bool cDataFile::Peek(void* dst, size_t n) const {
  if (m_bFailed || m_bWriter || n > Remaining()) return false;
  if (n) std::memcpy(dst, m_aBytes.data() + m_nPos, n);
  return true;
}

const char* cDataFile::Take(size_t n) {
  if (m_bFailed || m_bWriter || n > Remaining()) {
    Fail(eReadFault::CutShort, static_cast<int64_t>(n));
    return nullptr;
  }
  const char* at = reinterpret_cast<const char*>(m_aBytes.data()) + m_nPos;
  m_nPos += n;
  return at;
}

bool cDataFile::ReadCount(int32_t& count, size_t minElementBytes) {
  if (!ReadInt32(count)) return false;
  if (count > 0 && minElementBytes > 0 && static_cast<uint64_t>(count) * minElementBytes > Remaining()) {
    Fail(eReadFault::CountPastEnd, count, m_nPos - 4);
    return false;
  }
  return true;
}

bool cDataFile::ChargeMemory(size_t bytes) {
  m_nCharged += bytes;
  if (m_nCharged > m_aBytes.size() * kElementMemoryFactor + kElementMemoryAllowance) Fail(eReadFault::TooManyElements);
  return !m_bFailed;
}

// Out of the fuzzers' coverage: its tests depend on no byte of a file read.
QC4_NO_COVERAGE void cDataFile::Write(const void* src, size_t n) {
  if (!m_bWriter || n == 0) return;
  // Copied into the room, which doubles when short: most writes are of a few bytes, where the
  // vector's own insertion at the end costs several times the copy.
  if (m_aBytes.size() - m_nPos < n) m_aBytes.resize(std::max(m_aBytes.size() * 2, m_nPos + n));
  std::memcpy(m_aBytes.data() + m_nPos, src, n);
  m_nPos += n;
}

const std::vector<uint8_t>& cDataFile::Bytes() {
  // The room beyond the bytes written goes; a later write makes it again.
  if (m_bWriter) m_aBytes.resize(m_nPos);
  return m_aBytes;
}

bool cDataFile::Commit() {
  if (!m_bWriter || m_bFailed) return false;
  return WriteFileAtomically(m_strPath, Bytes());
}

// ---- file operations ----

namespace {
// Reads the version header of a file opened for reading. Every header read sets g_nFileVersion; a
// header newer than g_nDataVersion (compared unsigned) is refused with g_bFileTooNew set, any other
// with it cleared. A file too short to hold a header is refused as well, but not as too new, so that
// the load error does not blame the version.
bool readDataFileHeader(cDataFile& file) {
  uint32_t version = 0;
  if (file.Size() < 4) {
    file.Fail(eReadFault::NoHeader, 4);
    g_bFileTooNew = 0;
    return false;
  }
  file.ReadUInt32(version);
  g_nFileVersion = version;
  if (version > g_nDataVersion) {
    file.Fail(eReadFault::TooNew, version, 0);
    g_bFileTooNew = 1;
    return false;
  }
  g_bFileTooNew = 0;
  return true;
}
}  // namespace

std::unique_ptr<cDataFile> OpenDataFileR(const char* path) {
  // The path is kept whole: there is no fixed buffer to overrun, and a cut path would name another
  // file.
  std::string name = (path && *path) ? path : "err";
  std::vector<uint8_t> bytes;
  t_lastReadFault = cReadFault{};
  eReadFail why = eReadFail::None;
  if (!ReadWholeFile(name, kMaxDataFileBytes, bytes, &why)) {
    const int error = errno;
    t_lastReadFault.kind = why == eReadFail::Missing    ? eReadFault::Missing
                           : why == eReadFail::TooLarge ? eReadFault::TooLarge
                                                        : eReadFault::Unreadable;
    t_lastReadFault.error = error;
    return nullptr;
  }
  return OpenDataBytesR(std::move(bytes), std::move(name));
}

std::unique_ptr<cDataFile> OpenDataBytesR(std::vector<uint8_t> bytes, std::string name) {
  t_lastReadFault = cReadFault{};
  auto file = cDataFile::FromBytes(std::move(bytes), std::move(name));
  if (!readDataFileHeader(*file)) return nullptr;
  return file;
}

std::unique_ptr<cDataFile> OpenDataFileW(const char* path) {
  if (g_bQuit.load() || !path || !*path) return nullptr;
  auto file = cDataFile::ForWriting(path);
  file->WriteUInt32(g_nDataVersion);
  return file;
}

bool CloseDataFile(std::unique_ptr<cDataFile>& file) {
  if (!file) return false;
  bool ok = true;
  if (file->IsWriter()) ok = !g_bQuit.load() && file->Commit();
  file.reset();
  return ok;
}

// ---- cRecord ----

namespace {
void removeCR(std::string& s) {
  // Most texts hold no CR: one search of the bytes, and nothing moved.
  const size_t first = s.find('\r');
  if (first == std::string::npos) return;
  s.erase(std::remove(s.begin() + static_cast<std::ptrdiff_t>(first), s.end(), '\r'), s.end());
}

// A text stored as int32 L (length + 1) and, when L is not 1, L bytes; the text is what comes
// before the first NUL. A length below 1 or beyond the file fails it.
bool readCountedBytes(cDataFile& file, std::string& text) {
  int32_t len = 0;
  if (!file.ReadInt32(len)) return false;
  if (len < 1) {
    file.Fail(eReadFault::BadValue, len, file.Position() - 4);
    return false;
  }
  if (len > 1 && static_cast<size_t>(len) > file.Remaining()) {
    file.Fail(eReadFault::LengthPastEnd, len, file.Position() - 4);
    return false;
  }
  if (len == 1) {
    text.clear();
    return true;
  }
  const char* bytes = file.Take(static_cast<size_t>(len));
  if (!bytes) return false;
  text.assign(bytes, strnlen(bytes, static_cast<size_t>(len)));
  return true;
}
}  // namespace

void cRecord::AddField(void* p, int32_t count, int8_t size, const char* name) {
  if (!m_pDeclaring) return;
  m_pDeclaring->fields.push_back(
      cFieldDesc{reinterpret_cast<char*>(p) - reinterpret_cast<char*>(this), count, size, name});
}

void cRecord::DeclareString(std::string* p, int32_t count, const char* name) {
  if (!m_pDeclaring) return;
  for (int32_t i = 0; i < count; ++i)
    m_pDeclaring->strings.push_back(cStringDesc{reinterpret_cast<char*>(p) - reinterpret_cast<char*>(this), name});
}

namespace {
size_t fieldBytes(const cFieldDesc& d) { return static_cast<size_t>(d.count) * static_cast<size_t>(d.size); }

// The runs of back-to-back fields (cFieldTables::runs), counted from the last field down.
std::vector<uint32_t> fieldRuns(const std::vector<cFieldDesc>& fields) {
  std::vector<uint32_t> runs(fields.size(), 1);
  for (size_t i = fields.size(); i-- > 1;) {
    const cFieldDesc& d = fields[i - 1];
    if (d.offset + static_cast<std::ptrdiff_t>(fieldBytes(d)) == fields[i].offset) runs[i - 1] = runs[i] + 1;
  }
  return runs;
}

// The bytes of the fields first..first+n-1, which lie back to back.
size_t runBytes(const cFieldTables& tables, size_t first, size_t n) {
  const cFieldDesc& last = tables.fields[first + n - 1];
  return static_cast<size_t>(last.offset - tables.fields[first].offset) + fieldBytes(last);
}
}  // namespace

cFieldTables cRecord::DescribeFields(uint32_t version) const {
  cFieldTables tables;
  auto* self = const_cast<cRecord*>(this);
  cFieldTables* outer = self->m_pDeclaring;
  self->m_pDeclaring = &tables;
  self->DeclareFields(version);
  self->m_pDeclaring = outer;
  tables.runs = fieldRuns(tables.fields);
  return tables;
}

namespace {
// The tables of one class (its type_info, unique in the program) and version.
struct cTablesKey {
  const std::type_info* type;
  uint32_t version;
  bool operator==(const cTablesKey& other) const { return type == other.type && version == other.version; }
};
struct cTablesKeyHash {
  size_t operator()(const cTablesKey& key) const {
    return std::hash<const void*>()(key.type) ^ (static_cast<size_t>(key.version) * 0x9E3779B97F4A7C15ull);
  }
};
}  // namespace

const cFieldTables& cRecord::Tables(uint32_t version) const {
  // Per thread, so that the loader thread and the game thread never share one. Entries are never
  // dropped (a caller may hold one table while it asks for another); they stay few, as a file's
  // version is never above the data version. Lists hold records of one class: the last table asked
  // for is tried first.
  thread_local std::unordered_map<cTablesKey, cFieldTables, cTablesKeyHash> t_tables;
  thread_local cTablesKey t_lastKey{nullptr, 0};
  thread_local const cFieldTables* t_lastTables = nullptr;
  const cTablesKey key{&typeid(*this), version};
  if (t_lastTables && key == t_lastKey) return *t_lastTables;
  auto found = t_tables.find(key);
  if (found == t_tables.end()) found = t_tables.emplace(key, DescribeFields(version)).first;
  t_lastKey = key;
  t_lastTables = &found->second;
  return found->second;
}

bool cRecord::Load(cDataFile& file) {
  const cFieldTables& tables = Tables(g_nFileVersion);
  int32_t n = 0;
  if (!file.ReadInt32(n)) return false;
  if (n < 0 || static_cast<size_t>(n) > tables.fields.size()) {
    // More fields than this version of the class has: the rest of the file would be misread.
    ReportLogPrintf("err F[%d] ( %d )", n, static_cast<int>(tables.fields.size()));
    file.Fail(eReadFault::BadValue, n, file.Position() - 4);
    return false;
  }
  for (size_t i = 0; i < static_cast<size_t>(n);) {
    const size_t run = std::min<size_t>(tables.runs[i], static_cast<size_t>(n) - i);
    const size_t bytes = runBytes(tables, i, run);
    if (bytes <= file.Remaining() && !file.Failed()) {
      file.Read(FieldAddress(tables.fields[i]), bytes);
      i += run;
      continue;
    }
    // A run the file cuts short is read field by field, so that the fields before the cut are read
    // and the fault names the field where the file ends.
    for (size_t end = i + run; i < end; ++i)
      if (!file.Read(FieldAddress(tables.fields[i]), fieldBytes(tables.fields[i]))) return false;
  }
  return LoadStringsWith(tables, file);
}

bool cRecord::LoadStrings(cDataFile& file) { return LoadStringsWith(Tables(g_nFileVersion), file); }

bool cRecord::LoadStringsWith(const cFieldTables& tables, cDataFile& file) {
  int32_t m = 0;
  if (!file.ReadCount(m, 4)) return false;
  if (m < 0 || static_cast<size_t>(m) > tables.strings.size()) {
    ReportLogPrintf("err S[%d] ( %d )", m, static_cast<int>(tables.strings.size()));
    file.Fail(eReadFault::BadValue, m, file.Position() - 4);
    return false;
  }
  for (int32_t i = 0; i < m; ++i)
    if (!readCountedBytes(file, StringAt(tables.strings[static_cast<size_t>(i)]))) return false;
  // Every declared string loses its CR bytes, not only those the file held.
  if (g_bStripCR)
    for (const cStringDesc& d : tables.strings) removeCR(StringAt(d));
  return true;
}

bool cRecord::Save(cDataFile& file) {
  const cFieldTables& tables = Tables(g_nDataVersion);
  file.WriteInt32(static_cast<int32_t>(tables.fields.size()));
  for (size_t i = 0; i < tables.fields.size(); i += tables.runs[i])
    file.Write(FieldAddress(tables.fields[i]), runBytes(tables, i, tables.runs[i]));
  file.WriteInt32(static_cast<int32_t>(tables.strings.size()));
  for (const cStringDesc& d : tables.strings) SaveCountedText(file, StringAt(d));
  return true;
}

bool cRecord::SaveStrings(cDataFile& file) {
  const cFieldTables& tables = Tables(g_nDataVersion);
  file.WriteInt32(static_cast<int32_t>(tables.strings.size()));
  for (const cStringDesc& d : tables.strings) SaveCountedText(file, StringAt(d));
  return true;
}

void cRecord::ResetFields() {
  const cFieldTables& tables = Tables(g_nDataVersion);
  for (size_t i = 0; i < tables.fields.size(); i += tables.runs[i])
    std::memset(FieldAddress(tables.fields[i]), 0, runBytes(tables, i, tables.runs[i]));
  for (const cStringDesc& d : tables.strings) StringAt(d).clear();
}

void cRecord::CopyFields(const cRecord& source) {
  const cFieldTables& mine = Tables(g_nDataVersion);
  const cFieldTables& theirs = source.Tables(g_nDataVersion);
  size_t nf = std::min(mine.fields.size(), theirs.fields.size());
  for (size_t i = 0; i < nf; ++i) {
    const cFieldDesc& d = mine.fields[i];
    const cFieldDesc& s = theirs.fields[i];
    size_t bytes = std::min(static_cast<size_t>(d.count) * d.size, static_cast<size_t>(s.count) * s.size);
    std::memmove(FieldAddress(d), source.FieldAddress(s), bytes);
  }
  size_t ns = std::min(mine.strings.size(), theirs.strings.size());
  for (size_t i = 0; i < ns; ++i) StringAt(mine.strings[i]) = source.StringAt(theirs.strings[i]);
}

void cRecord::AssignRecord(const cRecord& source) {
  // The tables are made afresh for each use and describe the record that makes them, so the base
  // part of a copy has nothing to move; the source still hears of the copy.
  const_cast<cRecord&>(source).PrepareCopy(g_nDataVersion);
}

void cRecord::StripCR() {
  for (const cStringDesc& d : Tables(g_nDataVersion).strings) removeCR(StringAt(d));
}

std::vector<uint8_t> cRecord::SaveToBytes() {
  auto file = cDataFile::ForWriting("");
  file->WriteUInt32(g_nDataVersion);
  Save(*file);
  return file->Bytes();
}

int cRecord::LoadFromBytes(const std::vector<uint8_t>& bytes) {
  auto file = OpenDataBytesR(bytes);
  if (!file) return 0;
  return LoadOrRestore(*file);
}

int cRecord::LoadFile(const char* path) {
  auto file = OpenDataFileR(path);
  if (!file) return 0;
  int ok = LoadOrRestore(*file);
  CloseDataFile(file);
  return ok;
}

int cRecord::LoadFromBytes(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& saved) {
  auto file = OpenDataBytesR(bytes);
  if (!file) return 0;
  return LoadOrRestore(*file, &saved);
}

int cRecord::LoadOrRestore(cDataFile& file, const std::vector<uint8_t>* saved) {
  // Keep what the record held, to put it back when the file turns out to be broken.
  std::unique_ptr<cDataFile> snapshot;
  if (!saved) {
    snapshot = cDataFile::ForWriting("");
    Save(*snapshot);
  }
  if (Load(file) && !file.Failed()) return 1;
  auto restore = cDataFile::FromBytes(saved ? *saved : snapshot->Bytes());
  // A saved form begins with its version header, which the record's body follows.
  uint32_t header = 0;
  if (saved) restore->ReadUInt32(header);
  restore->SetExactCounts(true);
  uint32_t keptVersion = g_nFileVersion;
  g_nFileVersion = g_nDataVersion;
  Load(*restore);
  g_nFileVersion = keptVersion;
  return 0;
}

int cRecord::SaveFile(const char* path) {
  auto file = OpenDataFileW(path);
  if (!file) return 0;
  if (!Save(*file)) return 0;
  return CloseDataFile(file) ? 1 : 0;
}

// ---- counted additions ----

bool ReadListCount(cDataFile& file, int32_t& count, size_t minElementBytes, size_t elementBytes) {
  if (!file.ReadCount(count, minElementBytes)) return false;
  return count <= 0 || file.ChargeMemory(static_cast<size_t>(count) * elementBytes);
}

bool LoadByteArray(cDataFile& file, std::vector<uint8_t>& bytes) { return LoadValueList(file, bytes); }

void SaveByteArray(cDataFile& file, const std::vector<uint8_t>& bytes) { SaveValueList(file, bytes); }

bool LoadCountedText(cDataFile& file, std::string& text) {
  if (!readCountedBytes(file, text)) return false;
  if (g_bStripCR) removeCR(text);
  return true;
}

void SaveCountedText(cDataFile& file, std::string& text) {
  // The text is cut at its first NUL and at 5119 bytes (the copy buffer less its NUL), in memory too.
  // A cut never splits a double-byte character.
  size_t len = strnlen(text.c_str(), text.size());
  if (len > kFormatBufferSize - 1) len = SjisFitLength(text.data(), len, kFormatBufferSize - 1);
  text.resize(len);
  file.WriteInt32(static_cast<int32_t>(len + 1));
  if (len) file.Write(text.data(), len + 1);
}
