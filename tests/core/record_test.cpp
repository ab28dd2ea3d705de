#include "core/record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/containers.h"
#include "core/log.h"

namespace {

// Little-endian byte builder, independent of the record code.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Bytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
  Bytes& i16(int16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
    return *this;
  }
  Bytes& u8(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  Bytes& f64(double d) {
    uint8_t raw[8];
    std::memcpy(raw, &d, 8);
    b.insert(b.end(), raw, raw + 8);
    return *this;
  }
  Bytes& str(const std::string& s) {
    if (s.empty()) return i32(1);
    i32(static_cast<int32_t>(s.size() + 1));
    b.insert(b.end(), s.begin(), s.end());
    return u8(0);
  }
};

// A record whose layout changed across versions: m_nNew arrived in version 500.
class cSample : public cRecord {
 public:
  int32_t m_nA = 0;
  int16_t m_asB[2] = {};
  int8_t m_cC = 0;
  double m_dD = 0;
  int32_t m_nNew = 0;
  std::string m_strName;
  std::string m_strNote;

  cSample() {
    ResetFields();
    m_nNew = 77;  // class default
  }
  void DeclareFields(uint32_t version) override {
    ClearFieldTables();
    QC4_DECLARE(m_nA);
    QC4_DECLARE(m_asB);
    QC4_DECLARE(m_cC);
    QC4_DECLARE(m_dD);
    if (version >= 500) QC4_DECLARE(m_nNew);
    QC4_DECLARE(m_strName);
    QC4_DECLARE(m_strNote);
  }
};

Bytes sampleBody(uint32_t version) {
  Bytes b;
  b.u32(version).i32(version >= 500 ? 5 : 4).i32(-3).i16(7).i16(-8).u8(0xFE).f64(2.5);
  if (version >= 500) b.i32(1234);
  b.i32(2).str("abc").str("");
  return b;
}

class RecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_FileVersions.Reset();
    g_bQuit = 0;
    dir = std::filesystem::temp_directory_path() / ("qc4_record_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    g_FileVersions.Reset();
    g_bQuit = 0;
  }
  std::filesystem::path dir;
};

TEST_F(RecordTest, ReadsByteBuiltFixtureFieldByField) {
  cSample r;
  ASSERT_EQ(r.LoadFromBytes(sampleBody(986).b), 1);
  EXPECT_EQ(r.m_nA, -3);
  EXPECT_EQ(r.m_asB[0], 7);
  EXPECT_EQ(r.m_asB[1], -8);
  EXPECT_EQ(r.m_cC, -2);
  EXPECT_EQ(r.m_dD, 2.5);
  EXPECT_EQ(r.m_nNew, 1234);
  EXPECT_EQ(r.m_strName, "abc");
  EXPECT_EQ(r.m_strNote, "");
}

TEST_F(RecordTest, OldVersionKeepsDefaultsOfNewFieldsAndSavesCurrentLayout) {
  cSample r;
  ASSERT_EQ(r.LoadFromBytes(sampleBody(499).b), 1);
  EXPECT_EQ(g_nFileVersion, 499u);
  EXPECT_EQ(r.m_nNew, 77);
  EXPECT_EQ(r.m_strName, "abc");
  auto saved = r.SaveToBytes();
  Bytes expected = sampleBody(986);
  // Same values, but the field the old file lacked carries its default.
  std::memcpy(expected.b.data() + 4 + 4 + 4 + 4 + 1 + 8, &r.m_nNew, 4);
  EXPECT_EQ(saved, expected.b);
}

TEST_F(RecordTest, SaveLoadSaveIsIdentical) {
  cSample r;
  r.m_nA = 5;
  r.m_strName = "表示";  // trail byte 0x5C inside
  auto first = r.SaveToBytes();
  cSample s;
  ASSERT_EQ(s.LoadFromBytes(first), 1);
  EXPECT_EQ(s.SaveToBytes(), first);
}

TEST_F(RecordTest, EmptyRecordAndStringEncodings) {
  cRecord empty;
  EXPECT_EQ(empty.SaveToBytes(), Bytes().u32(986).i32(0).i32(0).b);
  cSample r;
  r.m_strName = std::string("ab\0cd", 5);
  r.m_strNote = "";
  auto bytes = r.SaveToBytes();
  EXPECT_EQ(r.m_strName, "ab");  // cut in memory too
  std::vector<uint8_t> tail(bytes.end() - 4 - 3 - 4, bytes.end());
  EXPECT_EQ(tail, Bytes().i32(3).u8('a').u8('b').u8(0).i32(1).b);
}

TEST_F(RecordTest, StripsCarriageReturns) {
  Bytes b = sampleBody(986);
  b.b.resize(b.b.size() - 4 - 8);  // drop both strings
  b.str("a\r\nb").str("");
  cSample r;
  ASSERT_EQ(r.LoadFromBytes(b.b), 1);
  EXPECT_EQ(r.m_strName, "a\nb");
  // Every declared string loses its CR bytes, also one the file did not hold.
  Bytes one = sampleBody(986);
  one.b.resize(one.b.size() - 4 - 8);
  one.b.resize(one.b.size() - 4);
  one.i32(1).str("x\ry");
  r.m_strNote = "\rkept\r";
  ASSERT_EQ(r.LoadFromBytes(one.b), 1);
  EXPECT_EQ(r.m_strName, "xy");
  EXPECT_EQ(r.m_strNote, "kept");
}

TEST_F(RecordTest, BrokenInputIsRefusedAndLeavesRecordUnchanged) {
  std::vector<std::vector<uint8_t>> cases;
  auto full = sampleBody(986).b;
  for (size_t cut : {0u, 3u, 6u, 10u, 20u, 30u}) cases.emplace_back(full.begin(), full.begin() + cut);
  cases.emplace_back(full.begin(), full.end() - 1);  // string shorter than its length
  cases.push_back(Bytes().u32(986).i32(6).b);        // more fields than declared
  cases.push_back(Bytes().u32(986).i32(-1).b);       // negative count
  Bytes hugeString = sampleBody(986);
  hugeString.b.resize(hugeString.b.size() - 12);
  hugeString.i32(0x7FFFFFFF);
  cases.push_back(hugeString.b);
  Bytes zeroLength = sampleBody(986);
  zeroLength.b.resize(zeroLength.b.size() - 12);
  zeroLength.i32(0);
  cases.push_back(zeroLength.b);
  for (size_t i = 0; i < cases.size(); ++i) {
    cSample r;
    r.m_nA = 42;
    r.m_strName = "kept";
    EXPECT_EQ(r.LoadFromBytes(cases[i]), 0) << "case " << i;
    EXPECT_EQ(r.m_nA, 42) << "case " << i;
    EXPECT_EQ(r.m_strName, "kept") << "case " << i;
    EXPECT_EQ(r.FieldTable().size(), 5u);
    // The same when the caller hands over the record's saved form instead of its being written first.
    const std::vector<uint8_t> saved = r.SaveToBytes();
    EXPECT_EQ(r.LoadFromBytes(cases[i], saved), 0) << "case " << i;
    EXPECT_EQ(r.SaveToBytes(), saved) << "case " << i;
  }
  cSample fresh;
  ASSERT_EQ(fresh.LoadFromBytes(sampleBody(986).b, cSample().SaveToBytes()), 1);
  EXPECT_EQ(fresh.m_nA, -3);
  EXPECT_EQ(fresh.m_strName, "abc");
}

// Fields that lie back to back in the record are read as one block; a file that ends inside such a
// block still reads the fields before the cut and names the field it cuts (its offset, its size).
TEST_F(RecordTest, AFileCutInsideAFieldReadsTheFieldsBeforeItAndNamesTheCutOne) {
  const auto full = sampleBody(986).b;
  struct Case {
    size_t cut;          // bytes kept
    size_t faultOffset;  // where the cut field starts in the file
    int64_t faultValue;  // its size
    bool readA, readB, readC;
  };
  // Header 4, count 4, then m_nA at 8, m_asB at 12, m_cC at 16, m_dD at 17, m_nNew at 25.
  const Case cases[] = {
      {10, 8, 4, false, false, false},  // inside m_nA
      {14, 12, 4, true, false, false},  // inside m_asB
      {16, 16, 1, true, true, false},   // before m_cC
      {20, 17, 8, true, true, true},    // inside m_dD
  };
  for (const Case& c : cases) {
    auto file = OpenDataBytesR(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(c.cut)));
    ASSERT_TRUE(file);
    cSample r;
    EXPECT_FALSE(r.Load(*file)) << c.cut;
    const cReadFault fault = LastReadFault();
    EXPECT_EQ(fault.kind, eReadFault::CutShort) << c.cut;
    EXPECT_EQ(fault.offset, c.faultOffset) << c.cut;
    EXPECT_EQ(fault.value, c.faultValue) << c.cut;
    EXPECT_EQ(r.m_nA, c.readA ? -3 : 0) << c.cut;
    EXPECT_EQ(r.m_asB[1], c.readB ? -8 : 0) << c.cut;
    EXPECT_EQ(r.m_cC, c.readC ? -2 : 0) << c.cut;
    EXPECT_EQ(r.m_dD, 0.0) << c.cut;
  }
}

TEST_F(RecordTest, TooNewFilesAreRefused) {
  cSample r;
  for (uint32_t v : {987u, 0xFFFFFFFFu}) {
    g_bFileTooNew = 0;
    EXPECT_EQ(r.LoadFromBytes(sampleBody(986).b.size() ? Bytes().u32(v).b : std::vector<uint8_t>{}), 0);
    EXPECT_EQ(g_bFileTooNew, 1);
    EXPECT_EQ(g_nFileVersion, v);  // a refused header is still the last one read
  }
  std::string path = (dir / "new.dat").string();
  std::ofstream(path, std::ios::binary).write("\xdb\x03\x00\x00", 4);  // 987
  g_bFileTooNew = 0;
  EXPECT_EQ(OpenDataFileR(path.c_str()), nullptr);
  EXPECT_EQ(g_bFileTooNew, 1);
  EXPECT_EQ(r.LoadFile(path), 0);
  EXPECT_EQ(g_bFileTooNew, 1);
}

// Every open of a file for reading goes through the same header rules, whether the caller opens it
// itself or through LoadFile.
TEST_F(RecordTest, EveryHeaderReadSetsTheVersionAndTheTooNewFlag) {
  auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  };
  std::string tooNew = write("new.dat", Bytes().u32(987).b);
  std::string old = write("old.dat", sampleBody(499).b);
  std::string current = write("cur.dat", sampleBody(986).b);
  std::string stub = write("stub.dat", {0xDA, 0x03});  // too short for a header
  struct Case {
    std::string path;
    bool viaLoadFile;
    int opened;
    uint32_t version;
    int tooNew;
  } cases[] = {
      {tooNew, false, 0, 987, 1}, {old, false, 1, 499, 0},    {tooNew, true, 0, 987, 1},
      {old, true, 1, 499, 0},     {tooNew, false, 0, 987, 1}, {stub, false, 0, 987, 0},
      {tooNew, true, 0, 987, 1},  {stub, true, 0, 987, 0},    {current, true, 1, 986, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    int opened;
    if (c.viaLoadFile) {
      cSample r;
      opened = r.LoadFile(c.path);
    } else {
      auto f = OpenDataFileR(c.path.c_str());
      opened = f != nullptr;
      if (f) { EXPECT_EQ(f->Position(), 4u); }
    }
    EXPECT_EQ(opened, c.opened) << "case " << i;
    EXPECT_EQ(g_nFileVersion, c.version) << "case " << i;
    EXPECT_EQ(g_bFileTooNew, c.tooNew) << "case " << i;
  }
  // A missing file leaves both as they were.
  g_bFileTooNew = 1;
  EXPECT_EQ(OpenDataFileR((dir / "none.dat").string().c_str()), nullptr);
  EXPECT_EQ(cSample().LoadFile((dir / "none.dat").string()), 0);
  EXPECT_EQ(g_bFileTooNew, 1);
  EXPECT_EQ(g_nFileVersion, 986u);
}

TEST_F(RecordTest, LongStringsAreCutAtTheCopyBufferWithoutSplittingACharacter) {
  cSample r;
  r.m_strName = std::string(6000, 'a');
  r.m_strNote = std::string(5118, 'b') + "表";  // the double-byte character would straddle byte 5119
  auto bytes = r.SaveToBytes();
  EXPECT_EQ(r.m_strName, std::string(5119, 'a'));
  EXPECT_EQ(r.m_strNote, std::string(5118, 'b'));
  cSample back;
  ASSERT_EQ(back.LoadFromBytes(bytes), 1);
  EXPECT_EQ(back.m_strName, r.m_strName);
  EXPECT_EQ(back.m_strNote, r.m_strNote);
  // The stored lengths count the NUL.
  Bytes expected = sampleBody(986);
  expected.b.resize(expected.b.size() - 12);
  expected.str(std::string(5119, 'a')).str(std::string(5118, 'b'));
  std::memcpy(expected.b.data() + 4 + 4, bytes.data() + 8, 4 + 2 + 2 + 1 + 8 + 4);  // the numeric fields
  EXPECT_EQ(bytes, expected.b);
}

TEST_F(RecordTest, CopyFieldsAndRecordVectorsCopyValuesIntoTheirOwnMembers) {
  cSample a;
  a.m_nA = 3;
  a.m_asB[1] = -9;
  a.m_dD = 1.25;
  a.m_nNew = 8;
  a.m_strName = "名前";
  cSample b;
  b.CopyFields(a);
  EXPECT_EQ(b.m_nA, 3);
  EXPECT_EQ(b.m_asB[1], -9);
  EXPECT_EQ(b.m_dD, 1.25);
  EXPECT_EQ(b.m_nNew, 8);
  EXPECT_EQ(b.m_strName, "名前");
  b.m_nA = 4;
  EXPECT_EQ(a.m_nA, 3);
  b.CopyFields(b);  // onto itself: unchanged
  EXPECT_EQ(b.m_nA, 4);

  std::vector<cSample> five(5, a), empty;
  AssignVector(five, empty);
  EXPECT_TRUE(five.empty());
  std::vector<cSample> source(5, a);
  AssignVector(five, source);
  ASSERT_EQ(five.size(), 5u);
  for (cSample& e : five) {
    e.m_nA = 70;
    e.m_strName = "dst";
    // Saving writes the element's own values: its tables describe its own members.
    cSample check;
    ASSERT_EQ(check.LoadFromBytes(e.SaveToBytes()), 1);
    EXPECT_EQ(check.m_nA, 70);
    EXPECT_EQ(check.m_strName, "dst");
  }
  EXPECT_EQ(source[0].m_nA, 3);
}

TEST_F(RecordTest, CopiesDescribeTheirOwnMembers) {
  cSample a;
  a.m_nA = 1;
  a.m_strName = "source";
  cSample b = a;
  b.m_nA = 2;
  b.m_strName = "copy";
  EXPECT_EQ(cSample().LoadFromBytes(b.SaveToBytes()), 1);
  cSample c;
  c.LoadFromBytes(b.SaveToBytes());
  EXPECT_EQ(c.m_nA, 2);
  EXPECT_EQ(c.m_strName, "copy");
  std::vector<cSample> list(5, a), other;
  other = list;
  list.clear();
  other[3].m_nA = 9;
  c.LoadFromBytes(other[3].SaveToBytes());
  EXPECT_EQ(c.m_nA, 9);
}

TEST_F(RecordTest, SaveFileIsAtomicAndRefusedAfterFatalStop) {
  std::string path = (dir / "rec.dat").string();
  cSample r;
  r.m_nA = 11;
  ASSERT_EQ(r.SaveFile(path), 1);
  cSample back;
  ASSERT_EQ(back.LoadFile(path), 1);
  EXPECT_EQ(back.m_nA, 11);
  g_bQuit = 1;
  r.m_nA = 12;
  EXPECT_EQ(r.SaveFile(path), 0);
  ASSERT_EQ(back.LoadFile(path), 1);
  EXPECT_EQ(back.m_nA, 11);
  EXPECT_EQ(OpenDataFileW(path.c_str()), nullptr);
  // A file opened for writing before the stop is not committed after it.
  g_bQuit = 0;
  auto late = OpenDataFileW(path.c_str());
  ASSERT_NE(late, nullptr);
  r.Save(*late);
  g_bQuit = 1;
  EXPECT_FALSE(CloseDataFile(late));
  ASSERT_EQ(back.LoadFile(path), 1);
  EXPECT_EQ(back.m_nA, 11);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}

// Counts the elements made and notes how many there are when the first one loads.
class cCounted : public cSample {
 public:
  static inline int made = 0;
  static inline int madeAtFirstLoad = -1;
  cCounted() { ++made; }
  cCounted(const cCounted& other) : cSample(other) { ++made; }
  cCounted& operator=(const cCounted&) = default;
  bool Load(cDataFile& file) override {
    if (madeAtFirstLoad < 0) madeAtFirstLoad = made;
    return cSample::Load(file);
  }
};

TEST_F(RecordTest, EveryElementOfAListExistsBeforeTheFirstLoads) {
  // A count of 100000 that the file's length allows, but whose first element is broken: the whole
  // list is made first (an element may refer to a later one while it loads), then the load fails.
  Bytes b;
  b.i32(100000).i32(99);
  b.b.resize(b.b.size() + 8 * 100000);
  auto f = cDataFile::FromBytes(b.b);
  std::vector<cCounted> list;
  cCounted::made = 0;
  cCounted::madeAtFirstLoad = -1;
  EXPECT_FALSE(LoadRecordList(*f, list));
  EXPECT_EQ(cCounted::madeAtFirstLoad, 100000);
  // Well-formed lists load every element in order.
  Bytes good;
  good.i32(3);
  for (int i = 0; i < 3; ++i) {
    Bytes e = sampleBody(986);
    std::memcpy(e.b.data() + 8, &i, 4);
    good.b.insert(good.b.end(), e.b.begin() + 4, e.b.end());
  }
  g_nFileVersion = 986;
  auto g = cDataFile::FromBytes(good.b);
  ASSERT_TRUE(LoadRecordList(*g, list));
  ASSERT_EQ(list.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list[i].m_nA, i);
  EXPECT_EQ(g->Remaining(), 0u);
}

// A class with additions after the body: a value list (kept on a count of 0) and an int32 trailer.
class cWithList : public cSample {
 public:
  std::vector<int32_t> m_anList;
  int32_t m_nTrailer = 0;
  bool Load(cDataFile& file) override {
    return cSample::Load(file) && LoadValueList(file, m_anList) && file.ReadInt32(m_nTrailer);
  }
  bool Save(cDataFile& file) override {
    if (!cSample::Save(file)) return false;
    SaveValueList(file, m_anList);
    file.WriteInt32(m_nTrailer);
    return true;
  }
};

TEST_F(RecordTest, ABrokenFileLeavesListsAdditionsAsTheyWere) {
  Bytes b = sampleBody(986);
  b.i32(3).i32(1).i32(2).i32(3);  // the list, then the trailer is missing
  cWithList r;
  r.m_nTrailer = 5;
  EXPECT_EQ(r.LoadFromBytes(b.b), 0);
  EXPECT_TRUE(r.m_anList.empty());  // not the three values the broken file held
  EXPECT_EQ(r.m_nTrailer, 5);
  r.m_anList = {9};
  EXPECT_EQ(r.LoadFromBytes(b.b), 0);
  EXPECT_EQ(r.m_anList, std::vector<int32_t>{9});
  b.i32(6);
  ASSERT_EQ(r.LoadFromBytes(b.b), 1);
  EXPECT_EQ(r.m_anList, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(r.m_nTrailer, 6);
}

TEST_F(RecordTest, CountedListsRejectCountsLargerThanTheFile) {
  auto f = cDataFile::FromBytes(Bytes().i32(1000000).b);
  std::vector<cSample> list(2);
  EXPECT_FALSE(LoadRecordList(*f, list));
  auto g = cDataFile::FromBytes(Bytes().i32(-4).b);
  EXPECT_TRUE(LoadRecordList(*g, list));
  EXPECT_TRUE(list.empty());
  std::vector<uint8_t> bytes{1, 2};
  auto h = cDataFile::FromBytes(Bytes().i32(0).b);
  EXPECT_TRUE(LoadByteArray(*h, bytes));
  EXPECT_EQ(bytes.size(), 2u);
}

}  // namespace

namespace {

// Many empty bodies (8 bytes each, loading as defaults) must not make memory without bound.
struct cBulky : cRecord {
  char m_acPad[4096] = {};
};

TEST(RecordMemory, ElementsOfAListStayWithinTheFilesAllowance) {
  std::vector<uint8_t> bytes;
  const int32_t n = 200000;  // 1.6 MB of file describing 800 MB of elements
  auto put = [&](int32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  };
  put(n);
  for (int32_t i = 0; i < n; ++i) {
    put(0);
    put(0);
  }
  auto file = cDataFile::FromBytes(bytes);
  std::vector<cBulky> list;
  EXPECT_FALSE(LoadRecordList(*file, list));
  EXPECT_LT(list.size() * sizeof(cBulky),
            bytes.size() * kElementMemoryFactor + kElementMemoryAllowance + sizeof(cBulky));

  // A list of the same count of small records loads.
  auto again = cDataFile::FromBytes(bytes);
  std::vector<cRecord> small;
  EXPECT_TRUE(LoadRecordList(*again, small));
  EXPECT_EQ(small.size(), static_cast<size_t>(n));
}

}  // namespace
