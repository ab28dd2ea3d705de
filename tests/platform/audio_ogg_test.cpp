// Ogg Vorbis music: a file made here with the encoder is decoded, played once, looped without a gap,
// resampled from 44.1 kHz and scaled by its volume.
#include <gtest/gtest.h>
#include "test_support/audio_files.h"
#include "test_support/temp_dir.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/audio/audio_mixer.h"
#include "platform/audio/ogg_stream.h"

namespace {

using test_audio::WriteSineOgg;

class AudioOgg : public ::testing::Test {
 protected:
  void SetUp() override {
    path48 = TestTempPath("audio_ogg_test_48k.ogg");
    path44 = TestTempPath("audio_ogg_test_44k.ogg");
    ASSERT_TRUE(WriteSineOgg(path48, 48000, 4800, 1000.0));  // 0.1 s, a whole number of cycles
    ASSERT_TRUE(WriteSineOgg(path44, 44100, 4410, 1000.0));
    mixer.OpenPullOnly();
  }
  void TearDown() override {
    std::remove(path48.c_str());
    std::remove(path44.c_str());
  }
  std::vector<float> Pull(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    for (int done = 0; done < frames; done += 512) mixer.Render(out.data() + done * 2, std::min(512, frames - done));
    return out;
  }
  static int LastSounding(const std::vector<float>& s) {
    for (int i = static_cast<int>(s.size()) / 2 - 1; i >= 0; --i)
      if (std::fabs(s[i * 2]) > 0.01f) return i;
    return -1;
  }
  std::string path48, path44;
  cAudioMixer mixer;
};

TEST_F(AudioOgg, PlaysOnceThenStops) {
  cOggStream ogg(mixer);
  ASSERT_TRUE(ogg.Load(path48));
  EXPECT_EQ(ogg.SourceRate(), 48000);
  ogg.SetLoopCount(0);
  ogg.Play();
  const std::vector<float> out = Pull(9600);
  EXPECT_FALSE(ogg.IsPlaying());
  const int last = LastSounding(out);
  EXPECT_GT(last, 4700);
  EXPECT_LT(last, 4800);
  float peak = 0;
  for (int i = 1000; i < 4000; ++i) peak = std::max(peak, std::fabs(out[i * 2]));
  EXPECT_NEAR(peak, 0.5f, 0.05f);
}

TEST_F(AudioOgg, LoopsWithoutAGap) {
  cOggStream ogg(mixer);
  ASSERT_TRUE(ogg.Load(path48));
  ogg.SetLoopCount(cOggStream::kLoopForever);
  ogg.Play();
  const std::vector<float> out = Pull(4800 * 5 + 100);
  EXPECT_TRUE(ogg.IsPlaying());
  // Every 1 kHz cycle (48 frames) keeps its amplitude across the joins: no silence, no gap.
  for (int start = 0; start + 48 <= 4800 * 5; start += 48) {
    float peak = 0;
    for (int i = start; i < start + 48; ++i) peak = std::max(peak, std::fabs(out[i * 2]));
    ASSERT_GT(peak, 0.35f) << "cycle at frame " << start;
  }
}

TEST_F(AudioOgg, LoopCountPlaysThatManyRepeats) {
  cOggStream ogg(mixer);
  ASSERT_TRUE(ogg.Load(path48));
  ogg.SetLoopCount(2);
  ogg.Play();
  const std::vector<float> out = Pull(4800 * 4);
  EXPECT_FALSE(ogg.IsPlaying());
  EXPECT_GT(LastSounding(out), 4800 * 3 - 100);
  EXPECT_LT(LastSounding(out), 4800 * 3);
}

TEST_F(AudioOgg, ResamplesAndScalesByVolume) {
  cOggStream ogg(mixer);
  ASSERT_TRUE(ogg.Load(path44));
  EXPECT_EQ(ogg.SourceRate(), 44100);
  ogg.SetVolume(0.5f);
  ogg.Play();
  const std::vector<float> out = Pull(9600);
  const int last = LastSounding(out);
  EXPECT_GT(last, 4700);  // 0.1 s at 48 kHz
  EXPECT_LT(last, 4810);
  float peak = 0;
  for (int i = 1000; i < 4000; ++i) peak = std::max(peak, std::fabs(out[i * 2]));
  EXPECT_NEAR(peak, 0.25f, 0.03f);
}

TEST_F(AudioOgg, AFileAboveTheMixerRatePlaysToItsEnd) {
  // At 96 kHz two source frames pass per mixed frame, so the last step can land beyond the decoded
  // frames; the buffer of played frames must still be trimmed within its bounds.
  const std::string path96 = TestTempPath("audio_ogg_test_96k.ogg");
  ASSERT_TRUE(WriteSineOgg(path96, 96000, 96000 / 2 + 1, 1000.0));
  cOggStream ogg(mixer);
  ASSERT_TRUE(ogg.Load(path96));
  ogg.Play();
  const std::vector<float> out = Pull(48000 / 4 * 2 + 7);
  EXPECT_FALSE(ogg.IsPlaying());
  const int last = LastSounding(out);
  EXPECT_GT(last, 24000 - 100);
  EXPECT_LE(last, 24001);
  std::remove(path96.c_str());
}

TEST_F(AudioOgg, RefusesOtherFilesAndStopsOnPrepare) {
  cOggStream ogg(mixer);
  EXPECT_FALSE(ogg.Load(std::string(QC4_TESTDATA_DIR) + "/midi/test-c-major-scale.mid"));
  EXPECT_FALSE(ogg.Load("/nonexistent.ogg"));
  ogg.Play();  // nothing loaded: stays silent
  EXPECT_FALSE(ogg.IsPlaying());
  ASSERT_TRUE(ogg.Load(path48));
  ogg.Play();
  Pull(512);
  ogg.Prepare();
  EXPECT_FALSE(ogg.IsPlaying());
  EXPECT_EQ(LastSounding(Pull(512)), -1);
}

}  // namespace
