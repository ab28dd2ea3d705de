// The player's small records of the shell: where the free-play and replay lists stood (Free.dat,
// Replay.dat), the start-up dialog's choice (Boot.dat) and the window placement (Window.dat). Their
// files byte for byte, read back, damaged files refused whole, no write after a fatal stop, and the
// client size a stored placement gives in each window mode.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/log.h"
#include "core/record.h"
#include "data/byte_builder.h"
#include "shell/boot_data.h"
#include "shell/list_positions.h"
#include "shell/window_data.h"
#include "test_support/temp_dir.h"

namespace {

// One record kind: a record as constructed, one with values set, and the file each gives, built
// from the record's field table.
struct RecordKind {
  const char* name;
  std::function<std::unique_ptr<cRecord>()> make;
  std::function<void(cRecord&)> setValues;
  std::vector<uint8_t> defaultFile;
  std::vector<uint8_t> valuesFile;
};

std::vector<RecordKind> Kinds() {
  const std::string replayName = "2009_0307_140509_c01-1_CLEAR_.rpl4_986";
  return {
      {"Free.dat", [] { return std::make_unique<cFreeData>(); },
       [](cRecord& r) {
         auto& free = static_cast<cFreeData&>(r);
         free.m_nCursor = 24;
         free.m_strFileName = "c01-1.stg4_000";
       },
       // version, 2 numbers (cursor, spare), 1 string (the file name; an empty one is its length 1 alone)
       cByteBuilder().U32(986).I32s({2, 0, 0, 1}).Str("").Get(),
       cByteBuilder().U32(986).I32s({2, 24, 0, 1}).Str("c01-1.stg4_000").Get()},
      {"Replay.dat", [] { return std::make_unique<cReplayData>(); },
       [replayName](cRecord& r) {
         auto& replay = static_cast<cReplayData&>(r);
         replay.m_nCursor = 24;
         replay.m_nSortOrder = 2;
         replay.m_strFileName = replayName;
       },
       // the numbers cursor and sort order come first, then the name
       cByteBuilder().U32(986).I32s({2, 0, 0, 1}).Str("").Get(),
       cByteBuilder().U32(986).I32s({2, 24, 2, 1}).Str(replayName).Get()},
      {"Boot.dat", [] { return std::make_unique<cBootData>(); },
       [](cRecord& r) {
         auto& boot = static_cast<cBootData&>(r);
         boot.m_nDrawMode = 0;
         boot.m_bNoAsk = 1;
       },
       // drawing mode (1 Direct3D), do not ask; no string
       cByteBuilder().U32(986).I32s({2, 1, 0, 0}).Get(), cByteBuilder().U32(986).I32s({2, 0, 1, 0}).Get()},
      {"Window.dat", [] { return std::make_unique<cWindowData>(); },
       [](cRecord& r) {
         auto& window = static_cast<cWindowData&>(r);
         window.m_nX = -8;
         window.m_nY = 40;
         window.m_nWidth = 1280;
         window.m_nHeight = 960;
         window.m_bZoomed = 1;
       },
       // x, y, client width and height, zoomed; no string
       cByteBuilder().U32(986).I32s({5, 0, 0, 0, 0, 0, 0}).Get(),
       cByteBuilder().U32(986).I32s({5, -8, 40, 1280, 960, 1, 0}).Get()},
  };
}

TEST(PlayerRecordsTest, EachRecordWritesItsFileByteForByteAndReadsItBack) {
  for (const RecordKind& kind : Kinds()) {
    std::unique_ptr<cRecord> record = kind.make();
    EXPECT_EQ(record->SaveToBytes(), kind.defaultFile) << kind.name;
    kind.setValues(*record);
    EXPECT_EQ(record->SaveToBytes(), kind.valuesFile) << kind.name;

    std::unique_ptr<cRecord> back = kind.make();
    ASSERT_EQ(back->LoadFromBytes(kind.valuesFile), 1) << kind.name;
    EXPECT_EQ(back->SaveToBytes(), kind.valuesFile) << kind.name;
  }
  // the sizes the files have
  EXPECT_EQ(Kinds()[0].valuesFile.size(), 39u);
  EXPECT_EQ(Kinds()[1].valuesFile.size(), 63u);
  EXPECT_EQ(Kinds()[2].valuesFile.size(), 20u);
  EXPECT_EQ(Kinds()[3].valuesFile.size(), 32u);
}

TEST(PlayerRecordsTest, ADamagedFileIsRefusedWholeAndKeepsWhatTheRecordHeld) {
  for (const RecordKind& kind : Kinds()) {
    const std::vector<uint8_t>& good = kind.valuesFile;
    auto patched = [&good](size_t offset, int32_t value) {
      std::vector<uint8_t> bytes = good;
      std::memcpy(bytes.data() + offset, &value, 4);
      return bytes;
    };
    auto cut = [&good](size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + size); };
    int32_t numbers = 0;
    std::memcpy(&numbers, good.data() + 4, 4);
    const size_t stringCount = 8 + 4 * static_cast<size_t>(numbers);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
        {"too new", patched(0, 987)},
        {"more numbers than the record has", patched(4, numbers + 1)},
        {"a negative number count", patched(4, -1)},
        {"the largest number count", patched(4, INT32_MAX)},
        {"more strings than the record has", patched(stringCount, 3)},
        {"a negative string count", patched(stringCount, -2)},
        {"cut in the version", cut(3)},
        {"cut after the version", cut(4)},
        {"cut among the numbers", cut(10)},
        {"cut before the string count", cut(stringCount)},
    };
    if (good.size() > stringCount + 4) {
      cases.push_back({"a text length of 0", patched(stringCount + 4, 0)});
      cases.push_back({"a text longer than the file", patched(stringCount + 4, 4096)});
      cases.push_back({"the largest text length", patched(stringCount + 4, INT32_MAX)});
      cases.push_back({"cut inside the text", cut(good.size() - 2)});
    }
    for (const auto& [what, bytes] : cases) {
      std::unique_ptr<cRecord> record = kind.make();
      kind.setValues(*record);
      EXPECT_EQ(record->LoadFromBytes(bytes), 0) << kind.name << ": " << what;
      EXPECT_EQ(record->SaveToBytes(), good) << kind.name << ": " << what;
    }
  }
}

TEST(PlayerRecordsTest, NothingIsWrittenAfterAFatalStop) {
  const std::filesystem::path folder = TestTempDir() / "player_records_quit";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string stored = "kept";
  for (const RecordKind& kind : Kinds()) {
    const std::filesystem::path path = folder / kind.name;
    std::ofstream(path, std::ios::binary) << stored;
    std::unique_ptr<cRecord> record = kind.make();
    kind.setValues(*record);
    g_bQuit.store(1);
    EXPECT_EQ(record->SaveFile(path.string()), 0) << kind.name;
    g_bQuit.store(0);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), stored) << kind.name;
    // without the stop the file is replaced by the record
    ASSERT_EQ(record->SaveFile(path.string()), 1) << kind.name;
    std::unique_ptr<cRecord> back = kind.make();
    ASSERT_EQ(back->LoadFile(path.string()), 1) << kind.name;
    EXPECT_EQ(back->SaveToBytes(), kind.valuesFile) << kind.name;
  }
  // a missing file leaves the record as it was
  cFreeData free;
  free.m_nCursor = 3;
  EXPECT_EQ(free.LoadFile((folder / "none.dat").string()), 0);
  EXPECT_EQ(free.m_nCursor, 3);
  std::filesystem::remove_all(folder);
}

TEST(PlayerRecordsTest, AStoredPlacementGivesTheClientSizeOfItsWindowMode) {
  struct Case {
    const char* what;
    int windowMode;
    int32_t width, height;
    bool used;  // false: the largest zoom instead
    int wantWidth, wantHeight;
  };
  // a 1920 x 1040 work area, where the largest zoom is 2
  const Case cases[] = {
      {"mode 1, a zoom the game offers", 1, 1280, 960, true, 1280, 960},
      {"mode 1, 100 %", 1, 640, 480, true, 640, 480},
      {"mode 1, not a zoom", 1, 1000, 700, false, 0, 0},
      {"mode 1, zooms that differ across and down", 1, 1280, 480, false, 0, 0},
      {"mode 1, beyond the largest zoom", 1, 1920, 1440, false, 0, 0},
      {"mode 1, 0 x 0", 1, 0, 0, false, 0, 0},
      {"mode 1, negative", 1, -640, -480, false, 0, 0},
      {"mode 2, any size", 2, 1000, 700, true, 1000, 700},
      {"mode 2, 0 x 0", 2, 0, 0, true, kMinFreeClientSide, kMinFreeClientSide},
      {"mode 2, negative", 2, -640, -5, true, kMinFreeClientSide, kMinFreeClientSide},
      {"mode 2, absurd", 2, 100000, INT32_MAX, true, 1920, 1040},
      {"mode 0 sizes the window itself", 0, 1280, 960, false, 0, 0},
  };
  for (const Case& c : cases) {
    cWindowData data;
    data.m_nWidth = c.width;
    data.m_nHeight = c.height;
    int width = 0, height = 0;
    EXPECT_EQ(data.ClientSizeFor(c.windowMode, 1920, 1040, 2, width, height), c.used) << c.what;
    if (!c.used) continue;
    EXPECT_EQ(width, c.wantWidth) << c.what;
    EXPECT_EQ(height, c.wantHeight) << c.what;
  }
}

}  // namespace
