// The MIDI file reader: header checks, merging tracks into one image, running status, system-exclusive
// packets, variable-length numbers, and every file of the outside MIDI test set.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "media/sound/smf.h"
#include "sound_test_files.h"

using namespace sound_test;

namespace {

struct cImageEvent {
  uint64_t time;
  std::vector<uint8_t> bytes;
};

// Walks an image, checking its header, and lists its events with absolute times.
std::vector<cImageEvent> Events(const std::vector<uint8_t>& image) {
  std::vector<cImageEvent> out;
  EXPECT_GE(image.size(), kSmfImageHeader);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "MThd");
  EXPECT_EQ(std::string(image.begin() + 14, image.begin() + 18), "MTrk");
  const size_t end = kSmfImageHeader + ((image[18] << 24) | (image[19] << 16) | (image[20] << 8) | image[21]);
  EXPECT_EQ(end, image.size());
  size_t at = kSmfImageHeader;
  uint64_t time = 0;
  while (at < end) {
    uint32_t delta;
    if (!ReadVarLen(image.data(), end, at, delta)) {
      ADD_FAILURE() << "bad delta";
      break;
    }
    time += delta;
    const size_t start = at;
    const uint8_t status = image[at++];
    if (status == 0xFF) {
      ++at;
      uint32_t len;
      ReadVarLen(image.data(), end, at, len);
      at += len;
    } else if (status == 0xF0 || status == 0xF7) {
      uint32_t len;
      ReadVarLen(image.data(), end, at, len);
      at += len;
    } else {
      at += (status >= 0xC0 && status <= 0xDF) ? 1 : 2;
    }
    out.push_back({time, std::vector<uint8_t>(image.begin() + start, image.begin() + at)});
  }
  return out;
}

std::vector<uint8_t> Convert(const std::vector<uint8_t>& file, std::string* error = nullptr) {
  std::vector<uint8_t> image;
  std::string e;
  const bool ok = ConvertSmf(file.data(), file.size(), image, e);
  if (error) *error = e;
  if (!ok) image.clear();
  return image;
}

TEST(Smf, VariableLengthNumbers) {
  struct Case {
    uint32_t value;
    std::vector<uint8_t> bytes;
  } cases[] = {{0, {0x00}},
               {0x7F, {0x7F}},
               {0x80, {0x81, 0x00}},
               {0x3FFF, {0xFF, 0x7F}},
               {0x200000, {0x81, 0x80, 0x80, 0x00}},
               {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}}};
  for (const Case& c : cases) {
    std::vector<uint8_t> out;
    ASSERT_TRUE(WriteVarLen(out, c.value));
    EXPECT_EQ(out, c.bytes) << c.value;
    size_t pos = 0;
    uint32_t back;
    ASSERT_TRUE(ReadVarLen(out.data(), out.size(), pos, back));
    EXPECT_EQ(back, c.value);
  }
  std::vector<uint8_t> out;
  EXPECT_FALSE(WriteVarLen(out, 0x10000000));
  EXPECT_TRUE(out.empty());
  const uint8_t five[] = {0x81, 0x81, 0x81, 0x81, 0x00};
  size_t pos = 0;
  uint32_t v;
  EXPECT_FALSE(ReadVarLen(five, sizeof five, pos, v));
  pos = 0;
  EXPECT_FALSE(ReadVarLen(five, 2, pos, v));  // cut short
}

TEST(Smf, HeaderChecks) {
  const std::vector<uint8_t> track{0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    const char* error;
  };
  std::vector<uint8_t> notMthd = Smf(0, 96, {track});
  notMthd[0] = 'X';
  std::vector<uint8_t> notMtrk = Smf(0, 96, {track});
  notMtrk[14] = 'J';
  const Case cases[] = {
      {"not MThd", notMthd, "Init 標準MIDIでない(4)"},
      {"header length 8", Smf(0, 96, {track}, 8), "Init 標準MIDIでない(6)"},
      {"format 2", Smf(2, 96, {track}), "Init 対応フォーマットが2でない"},
      {"format 3", Smf(3, 96, {track}), "Init 対応フォーマットが0または1でない"},
      {"not MTrk", notMtrk, "Init 標準MIDIでない(4)"},
      {"empty", {}, "Init 標準MIDIでない(4)"},
      {"header cut short", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0}, "Init 標準MIDIでない(6)"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_TRUE(Convert(c.file, &error).empty()) << c.name;
    EXPECT_EQ(error, c.error) << c.name;
  }
}

TEST(Smf, MergesThreeTracksInTimeAndTrackOrderWithExplicitStatus) {
  const auto file =
      Smf(1, 480,
          {{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x60, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00},
           {0x60, 0x91, 0x40, 0x40, 0x00, 0xC1, 0x05, 0x00, 0xFF, 0x2F, 0x00},
           {0x60, 0x92, 0x43, 0x40, 0x81, 0x00, 0xFF, 0x2F, 0x00}});  // track 2 ends late (at 96+128)
  std::string error;
  const auto image = Convert(file, &error);
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(error, "");
  EXPECT_EQ(image[12], 0x01);  // the division is kept
  EXPECT_EQ(image[13], 0xE0);
  const auto ev = Events(image);
  ASSERT_EQ(ev.size(), 7u);
  EXPECT_EQ(ev[0].bytes, (std::vector<uint8_t>{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}));
  EXPECT_EQ(ev[1].bytes, (std::vector<uint8_t>{0x90, 0x3C, 0x40}));  // t=96: track 0,
  EXPECT_EQ(ev[2].bytes, (std::vector<uint8_t>{0x91, 0x40, 0x40}));  // then 1,
  EXPECT_EQ(ev[3].bytes, (std::vector<uint8_t>{0xC1, 0x05}));
  EXPECT_EQ(ev[4].bytes, (std::vector<uint8_t>{0x92, 0x43, 0x40}));  // then 2
  EXPECT_EQ(ev[5].bytes, (std::vector<uint8_t>{0x90, 0x3C, 0x00}));  // running status made explicit
  EXPECT_EQ(ev[5].time, 192u);
  EXPECT_EQ(ev[6].bytes, (std::vector<uint8_t>{0xFF, 0x2F, 0x00}));  // one end, at the latest end
  EXPECT_EQ(ev[6].time, 224u);
}

TEST(Smf, SystemExclusivePacketsAndEscapes) {
  const auto image = Convert(Smf(0, 96, {{0x00, 0xF0, 0x03, 0x7E, 0x7F, 0x09,        // a message continued...
                                          0x10, 0xF7, 0x02, 0x01, 0xF7,              // ...and ended by a packet
                                          0x00, 0xF7, 0x03, 0x90, 0x3C, 0x40,        // an escaped note
                                          0x00, 0xF7, 0x01, 0xF8,                    // an escaped clock: left out
                                          0x10, 0xF7, 0x04, 0xF0, 0x41, 0x10, 0xF7,  // an escaped whole message
                                          0x00, 0xFF, 0x2F, 0x00}}));
  const auto ev = Events(image);
  ASSERT_EQ(ev.size(), 4u);
  EXPECT_EQ(ev[0].bytes, (std::vector<uint8_t>{0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  EXPECT_EQ(ev[0].time, 0u);
  EXPECT_EQ(ev[1].bytes, (std::vector<uint8_t>{0x90, 0x3C, 0x40}));
  EXPECT_EQ(ev[1].time, 16u);
  EXPECT_EQ(ev[2].bytes, (std::vector<uint8_t>{0xF0, 0x03, 0x41, 0x10, 0xF7}));
  EXPECT_EQ(ev[2].time, 32u);
  EXPECT_EQ(ev[3].time, 32u);
}

TEST(Smf, ChunkLengthBoundsATrackAndADeltaTooLongRefusesTheFile) {
  // The track claims 4 bytes: the note after them belongs to no track and is not read.
  std::vector<uint8_t> file = Smf(0, 96, {{0x00, 0x90, 0x3C, 0x40}});
  file.insert(file.end(), {0x00, 0x90, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00});
  std::string error;
  auto ev = Events(Convert(file, &error));
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].bytes, (std::vector<uint8_t>{0x90, 0x3C, 0x40}));
  EXPECT_FALSE(error.empty());  // read up to the fault, and said so

  // An event left out (an escaped clock) between two longest deltas: the delta from the note at 0
  // to the note at 2 x 0x0FFFFFFF cannot be written.
  const auto far = Smf(0, 96, {{0x00, 0x90, 0x3C, 0x40, 0xFF, 0xFF, 0xFF, 0x7F, 0xF7, 0x01, 0xF8,
                                0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00}});
  EXPECT_TRUE(Convert(far, &error).empty());
  EXPECT_FALSE(error.empty());
}

TEST(Smf, ManyTracksMergeInTimeOrder) {
  // 65535 one-note tracks (the most a header can count) at times 127 down to 0 over and over: the
  // merge must stay quick however many tracks take part.
  constexpr uint32_t kTracks = 0xFFFF;
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0xFF, 0xFF, 0, 96};
  for (uint32_t t = 0; t < kTracks; ++t)
    file.insert(file.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 8, uint8_t(127 - t % 128), 0x90, uint8_t(t % 128), 0x40, 0x00,
                             0xFF, 0x2F, 0x00});
  std::string error;
  const auto ev = Events(Convert(file, &error));
  EXPECT_EQ(error, "");
  ASSERT_EQ(ev.size(), kTracks + 1);
  for (size_t i = 1; i < ev.size(); ++i) ASSERT_LE(ev[i - 1].time, ev[i].time) << i;
  EXPECT_EQ(ev[0].bytes, (std::vector<uint8_t>{0x90, 127, 0x40}));  // track 127 is the first at time 0
  EXPECT_EQ(ev[1].bytes, (std::vector<uint8_t>{0x90, 127, 0x40}));  // then track 255
  EXPECT_EQ(ev.back().time, 127u);
}

std::string TestFile(const char* name) { return std::string(QC4_TESTDATA_DIR) + "/midi/" + name; }

std::vector<int> NotesOn(const std::vector<cImageEvent>& ev) {
  std::vector<int> notes;
  for (const auto& e : ev)
    if ((e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] != 0) notes.push_back(e.bytes[1]);
  return notes;
}

TEST(Smf, EveryFileOfTheTestSetIsReadOrRefusedCleanly) {
  int read = 0, refused = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TestFile(""))) {
    if (entry.path().extension() != ".mid") continue;
    cSmf smf(entry.path().string().c_str());
    if (!smf.HasImage()) {
      ++refused;
      continue;
    }
    ++read;
    const auto ev = Events(smf.Image());  // well formed, ending in FF 2F 00
    ASSERT_FALSE(ev.empty()) << entry.path();
    EXPECT_EQ(ev.back().bytes, (std::vector<uint8_t>{0xFF, 0x2F, 0x00})) << entry.path();
  }
  EXPECT_GT(read, 60);
  EXPECT_GE(refused, 4);  // empty file, not a MIDI file, format 2, non-MIDI first chunk
}

TEST(Smf, TestFilesHoldWhatTheirNamesSay) {
  const std::vector<int> scale{60, 62, 64, 65, 67, 69, 71, 72};
  for (const char* name :
       {"test-c-major-scale.mid", "test-running-status-metaevent.mid", "test-running-status-sysex.mid",
        "test-corrupt-file-extra-byte.mid", "test-corrupt-file-missing-byte.mid", "test-illegal-message-f1-xx.mid",
        "test-illegal-message-f2-xx-xx.mid", "test-illegal-message-f3-xx.mid", "test-illegal-message-f4.mid",
        "test-illegal-message-f5.mid", "test-illegal-message-f6.mid", "test-illegal-message-f8.mid",
        "test-illegal-message-f9.mid", "test-illegal-message-fa.mid", "test-illegal-message-fb.mid",
        "test-illegal-message-fc.mid", "test-illegal-message-fd.mid", "test-illegal-message-fe.mid",
        "test-illegal-message-all.mid"}) {
    cSmf smf(TestFile(name).c_str());
    ASSERT_TRUE(smf.HasImage()) << name;
    EXPECT_EQ(NotesOn(Events(smf.Image())), scale) << name;
  }
  cSmf two(TestFile("test-2-tracks-type-1.mid").c_str());
  ASSERT_TRUE(two.HasImage());
  const auto ev = Events(two.Image());
  const auto notes = NotesOn(ev);
  ASSERT_EQ(notes.size(), 16u);
  EXPECT_EQ(notes[0], 60);  // the two scales sound together, track 1 first at each time
  EXPECT_EQ(notes[1], 61);
  for (const char* refusedName : {"test-2-tracks-type-2.mid", "test-not-a-midi-file.mid", "test-empty-file.mid"}) {
    cSmf refused(TestFile(refusedName).c_str());
    EXPECT_FALSE(refused.HasImage()) << refusedName;
  }
  cSmf missing(TestFile("no-such-file.mid").c_str());
  EXPECT_FALSE(missing.HasImage());
}

}  // namespace
