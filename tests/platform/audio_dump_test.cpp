// The sound dump: a 16-bit stereo PCM WAVE file at the mixer's rate, exactly rate/60 sample frames
// per game frame (fractions carried), pulled in pieces no longer than the MIDI renderer's slice.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/audio/audio_dump.h"
#include "platform/audio/audio_mixer.h"
#include "test_support/dump_wave.h"
#include "test_support/temp_dir.h"

namespace {

using test_wave::cDumpWave;
using test_wave::ReadDumpWave;

// A clip of `frames` frames, left at `left`, right at `right`.
std::shared_ptr<cPcmClip> StereoClip(int frames, float left, float right) {
  auto clip = std::make_shared<cPcmClip>();
  for (int i = 0; i < frames; ++i) clip->samples.insert(clip->samples.end(), {left, right});
  return clip;
}

TEST(AudioDump, HeaderAndSamplesOfAPlayedClip) {
  cAudioMixer mixer;
  mixer.OpenPullOnly();
  const int id = mixer.CreateBuffer(StereoClip(1000, 0.5f, -0.25f));
  ASSERT_TRUE(mixer.Play(id));
  const std::string path = TestTempPath("dump.wav");
  cAudioDump dump(mixer);
  std::string why;
  ASSERT_TRUE(dump.Open(path, &why)) << why;
  for (int frame = 0; frame < 3; ++frame) dump.PullFrame();
  ASSERT_TRUE(dump.Finish(&why)) << why;

  cDumpWave w;
  ASSERT_TRUE(ReadDumpWave(path, w));
  // 48000 / 60 = 800 sample frames per game frame, 4 bytes each (two 16-bit channels).
  const uint32_t dataBytes = 3 * 800 * 4;
  EXPECT_EQ(w.riff, "RIFF");
  EXPECT_EQ(w.riffSize, 36 + dataBytes);  // the file minus the 8 bytes of "RIFF" and this size
  EXPECT_EQ(w.wave, "WAVE");
  EXPECT_EQ(w.fmt, "fmt ");
  EXPECT_EQ(w.fmtSize, 16u);
  EXPECT_EQ(w.format, 1);  // PCM
  EXPECT_EQ(w.channels, 2);
  EXPECT_EQ(w.rate, 48000u);
  EXPECT_EQ(w.byteRate, 48000u * 4);
  EXPECT_EQ(w.blockAlign, 4);
  EXPECT_EQ(w.bits, 16);
  EXPECT_EQ(w.data, "data");
  EXPECT_EQ(w.dataSize, dataBytes);
  EXPECT_EQ(w.fileSize, 44 + dataBytes);

  // Half of full scale on the left, a quarter below zero on the right, then the clip's end: silence.
  ASSERT_EQ(w.Frames(), 2400u);
  for (size_t f : {size_t{0}, size_t{500}, size_t{999}}) {
    EXPECT_NEAR(w.samples[f * 2], 16384, 1) << f;
    EXPECT_NEAR(w.samples[f * 2 + 1], -8192, 1) << f;
  }
  EXPECT_TRUE(w.Silent(1000, 2400));
}

TEST(AudioDump, FractionsOfASampleFrameAreCarriedFromFrameToFrame) {
  // At 7 frames a second a frame lasts 6857 1/7 sample frames: seven frames make one second exactly.
  cAudioMixer mixer;
  mixer.OpenPullOnly();
  cAudioDump dump(mixer, 7);
  std::string why;
  const std::string path = TestTempPath("seven.wav");
  ASSERT_TRUE(dump.Open(path, &why)) << why;
  dump.PullFrame();
  EXPECT_EQ(dump.SampleFrames(), 6857u);
  for (int frame = 1; frame < 7; ++frame) dump.PullFrame();
  EXPECT_EQ(dump.SampleFrames(), 48000u);
  ASSERT_TRUE(dump.Finish(&why)) << why;
  cDumpWave w;
  ASSERT_TRUE(ReadDumpWave(path, w));
  EXPECT_EQ(w.dataSize, 48000u * 4);
  EXPECT_EQ(w.Frames(), 48000u);
}

// Records the length of every render and whether the settle step ran before it.
class cPieceRecorder : public cAudioSource {
 public:
  void Render(float*, int frames) override {
    pieces.push_back(frames);
    settledBefore.push_back(settled);
    settled = false;
  }
  std::vector<int> pieces;
  std::vector<bool> settledBefore;
  bool settled = false;
};
cPieceRecorder* g_pRecorder = nullptr;

TEST(AudioDump, EachPieceOfAFrameIsSettledFirstAndNoLongerThanAMidiSlice) {
  cAudioMixer mixer;
  mixer.OpenPullOnly();
  cPieceRecorder recorder;
  g_pRecorder = &recorder;
  mixer.AddSource(&recorder);
  cAudioDump dump(mixer);
  dump.SetSettle([] { g_pRecorder->settled = true; });
  std::string why;
  ASSERT_TRUE(dump.Open(TestTempPath("pieces.wav"), &why)) << why;
  dump.PullFrame();
  dump.PullFrame();
  mixer.RemoveSource(&recorder);
  int total = 0;
  for (size_t i = 0; i < recorder.pieces.size(); ++i) {
    EXPECT_LE(recorder.pieces[i], 64) << i;
    EXPECT_TRUE(recorder.settledBefore[i]) << i;
    total += recorder.pieces[i];
  }
  EXPECT_EQ(total, 1600);
  dump.Abandon();
}

TEST(AudioDump, AFolderInTheWayIsRefusedWithTheSystemsReasonAndAnOldFileStays) {
  cAudioMixer mixer;
  mixer.OpenPullOnly();
  cAudioDump dump(mixer);
  std::string why;
  const std::filesystem::path folder = TestTempDir() / "a-folder.wav";
  std::filesystem::create_directories(folder);
  EXPECT_FALSE(dump.Open(folder.string(), &why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(dump.Open((TestTempDir() / "missing" / "x.wav").string(), &why));
  EXPECT_FALSE(why.empty());

  // A recording dropped before its end leaves the file that was there.
  const std::string path = TestTempPath("kept.wav");
  std::ofstream(path) << "old";
  ASSERT_TRUE(dump.Open(path, &why)) << why;
  dump.PullFrame();
  dump.Abandon();
  std::ifstream in(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
}

}  // namespace
