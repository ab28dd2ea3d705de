#pragma once
// Versioned records: the base of every game and player file.
//
// A record declares its numeric fields and strings in file order for a given file version
// (DeclareFields); one generic reader and writer move them. On disk a record body is:
//   int32 N, then each numeric field's count x size raw bytes (little-endian), in declaration order;
//   int32 M, then each string as int32 L (text length + 1) and, when L != 1, L bytes (text + NUL).
// A data file is a u32 version header followed by the top record's stream. Old files are read with
// the table of their own version, then the record re-declares for the current version and upgrades.
//
// Descriptors hold offsets from the record itself, so a copied record always describes its own
// members (a copy never points into its source).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

constexpr uint32_t kDataVersion = 986;

// The file-version state of a run: this library's part of the per-run state. The game-data context
// (data/game_data.h) resets it with the rest of the run's data; the g_ names are references into it.
struct cFileVersions {
  // The system's data version (986), set by start-up before any file is touched.
  uint32_t m_nDataVersion = kDataVersion;
  // Version header of the file opened last for reading; class upgrades test it.
  uint32_t m_nFileVersion = 0;
  // 1 when the last read open refused a file newer than the data version.
  int m_bFileTooNew = 0;
  // Every string loaded loses its CR bytes while set (always at run time).
  int m_bStripCR = 1;

  void Reset() { *this = cFileVersions{}; }
};
extern cFileVersions g_FileVersions;
inline uint32_t& g_nDataVersion = g_FileVersions.m_nDataVersion;
inline uint32_t& g_nFileVersion = g_FileVersions.m_nFileVersion;
inline int& g_bFileTooNew = g_FileVersions.m_bFileTooNew;
inline int& g_bStripCR = g_FileVersions.m_bStripCR;

// Why a data file was refused, for tools that name the cause beside the game's message.
enum class eReadFault {
  None,
  Missing,          // no such file (error: the system's errno)
  Unreadable,       // a folder, a device, or a file the system would not read (error: errno)
  TooLarge,         // larger than kMaxDataFileBytes
  NoHeader,         // too short for the version header
  TooNew,           // value: the file's version, newer than g_nDataVersion
  CutShort,         // value: the bytes a read needed at offset
  CountPastEnd,     // value: a count whose elements cannot fit in the rest of the file
  LengthPastEnd,    // value: a text length running past the end of the file
  TooManyElements,  // the elements described would take more memory than the file may cost
  BadValue,         // value: a number the format does not allow there (a count beyond a table, ...)
  BeyondLimit,      // value: a number the format allows but no game file can hold (a map side, ...)
};
struct cReadFault {
  eReadFault kind = eReadFault::None;
  size_t offset = 0;    // where the refused read or value starts
  int64_t value = 0;    // see eReadFault
  size_t fileSize = 0;  // bytes in the file
  int error = 0;        // errno of Missing and Unreadable
};
// The first fault of the data file read last on this thread (None when it loaded). Set by
// OpenDataFileR and by every failing read of a cDataFile.
cReadFault LastReadFault();

// Bounds-checked reader over a whole file in memory, or writer into memory that replaces the target
// file atomically when it is closed. After the first short read the file is failed: later reads fail
// too and fill nothing.
class cDataFile {
 public:
  static std::unique_ptr<cDataFile> FromBytes(std::vector<uint8_t> bytes, std::string name = "");
  static std::unique_ptr<cDataFile> ForWriting(std::string path);

  bool IsWriter() const { return m_bWriter; }
  const std::string& Path() const { return m_strPath; }
  bool Failed() const { return m_bFailed; }
  // Fails the file; the first fault is kept (and made this thread's LastReadFault) with its offset,
  // by default the current position.
  void Fail(eReadFault why = eReadFault::BadValue, int64_t value = 0, size_t offset = SIZE_MAX);
  const cReadFault& Fault() const { return m_fault; }
  // Set on a record's own snapshot read back after a broken load: there a count of 0 means an
  // empty list, so that readers which keep a list on a 0 count in files put an empty one back.
  bool ExactCounts() const { return m_bExactCounts; }
  void SetExactCounts(bool on) { m_bExactCounts = on; }

  // A writer's position is the end of what it wrote, and its size the bytes written.
  size_t Position() const { return m_nPos; }
  size_t Size() const { return m_bWriter ? m_nPos : m_aBytes.size(); }
  size_t Remaining() const { return m_bWriter ? 0 : m_aBytes.size() - m_nPos; }

  bool Read(void* dst, size_t n);
  // The next n bytes where they lie in the file (valid while the file lives), skipped over; null
  // (and the file failed) when fewer are left.
  const char* Take(size_t n);
  // Copies the next n bytes without moving past them; false (and nothing else happens) when fewer
  // are left or the file is failed.
  bool Peek(void* dst, size_t n) const;
  bool ReadInt32(int32_t& v) { return Read(&v, 4); }
  bool ReadUInt32(uint32_t& v) { return Read(&v, 4); }
  // Reads an int32 count and checks that count elements of at least minElementBytes each can still
  // be in the file; fails the file otherwise. A negative count is returned as is.
  bool ReadCount(int32_t& count, size_t minElementBytes);
  // Counts memory that loading makes for the file's elements. A hostile file can describe many
  // elements in a few bytes each (empty bodies that load as defaults); the load fails once the
  // elements would take more than a fixed multiple of the file's own size.
  bool ChargeMemory(size_t bytes);

  void Write(const void* src, size_t n);
  void WriteInt32(int32_t v) { Write(&v, 4); }
  void WriteUInt32(uint32_t v) { Write(&v, 4); }

  // The file's bytes; a writer's are those written so far.
  const std::vector<uint8_t>& Bytes();
  // Writer only: replaces the target file with the bytes written (temporary file and rename).
  bool Commit();

 private:
  cDataFile() = default;
  // A writer's room: the bytes written (m_nPos of them), then room for more, cut off by Bytes.
  std::vector<uint8_t> m_aBytes;
  size_t m_nPos = 0;
  bool m_bWriter = false;
  bool m_bFailed = false;
  bool m_bExactCounts = false;
  cReadFault m_fault;
  size_t m_nCharged = 0;
  std::string m_strPath;
};

// Opens a data file for reading and reads its version into g_nFileVersion. Refuses (null) a missing
// file and one newer than g_nDataVersion (then g_bFileTooNew is 1). A null or empty path reads "err".
std::unique_ptr<cDataFile> OpenDataFileR(const char* path);
// The same over the bytes of a whole file already in memory (a replay handed over, a fuzz input):
// the header is read and checked as from disk; name stands for the path in messages.
std::unique_ptr<cDataFile> OpenDataBytesR(std::vector<uint8_t> bytes, std::string name = "");
// Opens a data file for writing with the header g_nDataVersion; null while g_bQuit is set.
std::unique_ptr<cDataFile> OpenDataFileW(const char* path);
// Closes the file; a writer is committed to disk here. false when the commit failed.
bool CloseDataFile(std::unique_ptr<cDataFile>& file);
// Largest data file the readers accept. Real game and player files are a few megabytes at most.
constexpr size_t kMaxDataFileBytes = 64u << 20;
// Memory the elements of one file may take: this many times the file's size, plus a fixed allowance.
constexpr size_t kElementMemoryFactor = 16;
constexpr size_t kElementMemoryAllowance = 64u << 20;

struct cFieldDesc {
  std::ptrdiff_t offset;  // from the record
  int32_t count;
  int8_t size;  // 1, 2, 4 or 8
  const char* name;
};

struct cStringDesc {
  std::ptrdiff_t offset;
  const char* name;
};

// A record's field tables for one file version, made by its DeclareFields.
struct cFieldTables {
  std::vector<cFieldDesc> fields;
  std::vector<cStringDesc> strings;
  // For each field, how many fields from it on lie back to back in the record (at least 1): a run is
  // read, written and cleared as one block of bytes, not field by field.
  std::vector<uint32_t> runs;
};

// The tables are made when a body is read, written, reset or copied, and dropped afterwards: a
// record keeps no table of its own, so large lists of records cost only their members, and a copied
// record can never describe its source.
class cRecord {
 public:
  cRecord() = default;
  cRecord(const cRecord&) {}
  cRecord& operator=(const cRecord&) { return *this; }
  virtual ~cRecord() = default;

  // Called on the source of a copy; nothing to do in any class so far.
  virtual void PrepareCopy(uint32_t version) {}
  // Declares the fields and strings of the given file version, in file order. Every override starts
  // with ClearFieldTables(). Outside DescribeFields the declarations are not kept (a constructor has
  // no need to call it). What it declares depends on the class and the version alone: the readers
  // and writers keep the tables of each class and version once made (Tables).
  virtual void DeclareFields(uint32_t version) { ClearFieldTables(); }
  // Reads the record body (and, in classes, what follows it). false when the file is short or broken.
  virtual bool Load(cDataFile& file);
  virtual bool Save(cDataFile& file);

  bool LoadStrings(cDataFile& file);
  bool SaveStrings(cDataFile& file);

  // DeclareFields(986), then every numeric field zeroed and every string emptied.
  void ResetFields();
  // Copies every declared field and string from a record of the same class.
  void CopyFields(const cRecord& source);
  // The base part of a record copy: re-declares and moves the tables onto this record.
  void AssignRecord(const cRecord& source);
  void StripCR();

  // Whole-file load: header, Load. On any failure returns 0 and leaves the record as it was.
  int LoadFile(const char* path);
  int LoadFile(const std::string& path) { return LoadFile(path.c_str()); }
  // Whole-file save, replacing the file atomically; 0 while g_bQuit is set or when writing fails.
  int SaveFile(const char* path);
  int SaveFile(const std::string& path) { return SaveFile(path.c_str()); }
  // Load from bytes that begin with the version header (tests, replays, fuzzing).
  int LoadFromBytes(const std::vector<uint8_t>& bytes);
  // The same for a caller that holds what SaveToBytes gives for the record as it stands (`saved`, as
  // for every record made afresh of its class): a broken file puts that back, so the record is not
  // written first to keep it. Loading many files into fresh records saves a write of each.
  int LoadFromBytes(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& saved);
  // Load from a file opened for reading (OpenDataFileR, OpenDataBytesR), positioned after its
  // header; as LoadFile, a broken file leaves the record as it was.
  int LoadFromFile(cDataFile& file) { return LoadOrRestore(file); }
  // The bytes SaveFile would write.
  std::vector<uint8_t> SaveToBytes();

  // The tables of a file version (the current one by default), for the readers and for tools that
  // print records.
  cFieldTables DescribeFields(uint32_t version) const;
  // The same, made once per class and version on each thread and kept: a file of many records
  // declares each class's fields once, not once per record.
  const cFieldTables& Tables(uint32_t version) const;
  std::vector<cFieldDesc> FieldTable() const { return DescribeFields(g_nDataVersion).fields; }
  std::vector<cStringDesc> StringTable() const { return DescribeFields(g_nDataVersion).strings; }
  void* FieldAddress(const cFieldDesc& d) { return reinterpret_cast<char*>(this) + d.offset; }
  const void* FieldAddress(const cFieldDesc& d) const { return reinterpret_cast<const char*>(this) + d.offset; }
  std::string& StringAt(const cStringDesc& d) {
    return *reinterpret_cast<std::string*>(reinterpret_cast<char*>(this) + d.offset);
  }
  const std::string& StringAt(const cStringDesc& d) const {
    return *reinterpret_cast<const std::string*>(reinterpret_cast<const char*>(this) + d.offset);
  }

 protected:
  void ClearFieldTables() {
    if (!m_pDeclaring) return;
    m_pDeclaring->fields.clear();
    m_pDeclaring->strings.clear();
  }
  void DeclareInt(int32_t* p, int32_t count = 1, const char* name = nullptr) { AddField(p, count, 4, name); }
  void DeclareInt(uint32_t* p, int32_t count = 1, const char* name = nullptr) { AddField(p, count, 4, name); }
  void DeclareShort(int16_t* p, int32_t count = 1, const char* name = nullptr) { AddField(p, count, 2, name); }
  void DeclareShort(uint16_t* p, int32_t count = 1, const char* name = nullptr) { AddField(p, count, 2, name); }
  void DeclareByte(int8_t* p, int32_t count = 1, const char* name = nullptr) { AddField(p, count, 1, name); }
  void DeclareByte(uint8_t* p, int32_t count = 1, const char* name = nullptr) { AddField(p, count, 1, name); }
  void DeclareDouble(double* p, int32_t count = 1, const char* name = nullptr) { AddField(p, count, 8, name); }
  void DeclareString(std::string* p, int32_t count = 1, const char* name = nullptr);

  // Declares a member by its own type and extent: QC4_DECLARE(m_anValues) for int32_t m_anValues[4]
  // is one descriptor of four 4-byte elements named "m_anValues".
  template <class T>
  void DeclareMember(T& member, const char* name) {
    using E = std::remove_all_extents_t<T>;
    if constexpr (std::is_same_v<E, std::string>) {
      DeclareString(reinterpret_cast<std::string*>(&member), 1, name);
    } else {
      static_assert(std::is_arithmetic_v<E> && (sizeof(E) == 1 || sizeof(E) == 2 || sizeof(E) == 4 || sizeof(E) == 8),
                    "record fields are 1, 2, 4 or 8-byte numbers");
      AddField(&member, static_cast<int32_t>(sizeof(T) / sizeof(E)), static_cast<int8_t>(sizeof(E)), name);
    }
  }

 private:
  // Load from a file positioned after its header; a broken file puts the previous contents back
  // (from saved, the record's SaveToBytes form, or else from its body written here first).
  int LoadOrRestore(cDataFile& file, const std::vector<uint8_t>* saved = nullptr);
  void AddField(void* p, int32_t count, int8_t size, const char* name);
  bool LoadStringsWith(const cFieldTables& tables, cDataFile& file);
  // The tables DescribeFields is filling, null at every other time.
  cFieldTables* m_pDeclaring = nullptr;
};

#define QC4_DECLARE(member) DeclareMember(member, #member)

// Reads the int32 count of a counted list whose elements take at least minElementBytes each in the
// file and elementBytes each in memory. The count must fit in the rest of the file and its elements
// in the file's memory allowance (ChargeMemory); otherwise the file fails. A negative count is
// returned as is and charges nothing.
bool ReadListCount(cDataFile& file, int32_t& count, size_t minElementBytes, size_t elementBytes);

// Counted list of records: int32 count, then each element's stream. Reading empties the list and
// fills it with count new elements (made as their class constructs them) before any of them loads,
// so that an element may refer to a later one of the same list while it loads (type records take
// inherited settings from another entry of their palette list); then each element loads in turn. A
// count <= 0 leaves the list empty. false when the count cannot fit in the rest of the file or in
// its memory allowance, or an element fails.
template <class T>
bool LoadRecordList(cDataFile& file, std::vector<T>& list) {
  int32_t n = 0;
  // Every record stream holds at least its two int32 counts.
  if (!ReadListCount(file, n, 8, sizeof(T))) return false;
  list.clear();
  list.resize(static_cast<size_t>(std::max<int32_t>(n, 0)));
  for (T& e : list)
    if (!e.Load(file)) return false;
  return true;
}

template <class T>
bool SaveRecordList(cDataFile& file, std::vector<T>& list) {
  file.WriteInt32(static_cast<int32_t>(list.size()));
  for (auto& e : list)
    if (!e.Save(file)) return false;
  return true;
}

// Counted byte array: int32 count, then the bytes. A count <= 0 leaves the array unchanged (empties it
// when the file has exact counts).
bool LoadByteArray(cDataFile& file, std::vector<uint8_t>& bytes);
void SaveByteArray(cDataFile& file, const std::vector<uint8_t>& bytes);

// Counted list of plain values of one size (int32 count, then count x sizeof(T) bytes). A count
// <= 0 leaves the list unchanged (empties it when the file has exact counts).
template <class T>
bool LoadValueList(cDataFile& file, std::vector<T>& list) {
  static_assert(std::is_trivially_copyable_v<T>);
  int32_t n = 0;
  if (!file.ReadCount(n, sizeof(T))) return false;
  if (n <= 0) {
    if (file.ExactCounts()) list.clear();
    return true;
  }
  std::vector<T> values(static_cast<size_t>(n));
  if (!file.Read(values.data(), values.size() * sizeof(T))) return false;
  list = std::move(values);
  return true;
}

template <class T>
void SaveValueList(cDataFile& file, const std::vector<T>& list) {
  file.WriteInt32(static_cast<int32_t>(list.size()));
  if (!list.empty()) file.Write(list.data(), list.size() * sizeof(T));
}

// A text stored as int32 length including the NUL, then the bytes (1 alone for an empty text).
bool LoadCountedText(cDataFile& file, std::string& text);
void SaveCountedText(cDataFile& file, std::string& text);
