// The mixer: volume law, buffer play/stop/position, duplicates sharing a clip, sources, clamping.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/audio/audio_mixer.h"

namespace {

std::shared_ptr<cPcmClip> ConstantClip(int frames, float value) {
  auto clip = std::make_shared<cPcmClip>();
  clip->samples.assign(static_cast<size_t>(frames) * 2, value);
  return clip;
}

std::vector<float> Pull(cAudioMixer& mixer, int frames) {
  std::vector<float> out(static_cast<size_t>(frames) * 2);
  mixer.Render(out.data(), frames);
  return out;
}

TEST(AudioMixer, VolumeLawAndClamp) {
  struct Case {
    int volume;
    float gain;
  } cases[] = {{0, 1.0f},      {-2000, 0.1f},  {-4000, 0.01f}, {-600, 0.501187f},
               {-10000, 0.0f}, {-20000, 0.0f}, {500, 1.0f}};
  for (const Case& c : cases) EXPECT_NEAR(cAudioMixer::VolumeToGain(c.volume), c.gain, 1e-5f) << c.volume;
  EXPECT_EQ(cAudioMixer::ClampVolume(-10600), -10000);
  EXPECT_EQ(cAudioMixer::ClampVolume(100), 0);
}

TEST(AudioMixer, BufferPlaysScaledFromPositionAndStopsAtEnd) {
  cAudioMixer mixer;
  mixer.OpenPullOnly();
  const int id = mixer.CreateBuffer(ConstantClip(100, 0.5f));
  ASSERT_NE(id, 0);
  ASSERT_TRUE(mixer.SetVolume(id, -2000));
  EXPECT_EQ(mixer.GetVolume(id), -2000);
  ASSERT_TRUE(mixer.SetPosition(id, 40));
  ASSERT_TRUE(mixer.Play(id));
  const std::vector<float> out = Pull(mixer, 80);
  EXPECT_NEAR(out[0], 0.05f, 1e-6f);
  EXPECT_NEAR(out[59 * 2 + 1], 0.05f, 1e-6f);
  EXPECT_EQ(out[60 * 2], 0.0f);  // 60 frames were left from position 40
  EXPECT_FALSE(mixer.IsPlaying(id));
  EXPECT_EQ(mixer.GetPosition(id), 100);
}

TEST(AudioMixer, DuplicatesShareTheClipButPlayOnTheirOwn) {
  cAudioMixer mixer;
  mixer.OpenPullOnly();
  const int first = mixer.CreateBuffer(ConstantClip(1000, 0.25f));
  mixer.SetVolume(first, -600);
  const int copy = mixer.DuplicateBuffer(first);
  ASSERT_NE(copy, 0);
  EXPECT_EQ(mixer.GetVolume(copy), -600);  // a duplicate starts with its original's volume
  mixer.SetVolume(copy, 0);
  mixer.Play(first);
  mixer.Play(copy);
  std::vector<float> out = Pull(mixer, 10);
  EXPECT_NEAR(out[0], 0.25f * cAudioMixer::VolumeToGain(-600) + 0.25f, 1e-6f);
  mixer.Stop(first);
  out = Pull(mixer, 10);
  EXPECT_NEAR(out[0], 0.25f, 1e-6f);
  EXPECT_EQ(mixer.GetPosition(first), 10);  // stop keeps the position
  mixer.ReleaseBuffer(first);
  EXPECT_EQ(mixer.DuplicateBuffer(first), 0);
  EXPECT_FALSE(mixer.Play(first));
  EXPECT_TRUE(mixer.IsPlaying(copy));  // releasing the original leaves its duplicate
}

TEST(AudioMixer, SilentVolumeAndOutputLimit) {
  cAudioMixer mixer;
  mixer.OpenPullOnly();
  const int quiet = mixer.CreateBuffer(ConstantClip(10, 0.9f));
  mixer.SetVolume(quiet, -10000);
  mixer.Play(quiet);
  EXPECT_EQ(Pull(mixer, 4)[0], 0.0f);
  const int a = mixer.CreateBuffer(ConstantClip(10, 0.9f));
  const int b = mixer.CreateBuffer(ConstantClip(10, 0.9f));
  mixer.Play(a);
  mixer.Play(b);
  EXPECT_EQ(Pull(mixer, 4)[0], 1.0f);  // 1.8 limited to full scale
}

class cStepSource : public cAudioSource {
 public:
  void Render(float* out, int frames) override {
    for (int i = 0; i < frames * 2; ++i) out[i] += 0.125f;
    rendered += frames;
  }
  int rendered = 0;
};

TEST(AudioMixer, SourcesAddIntoTheMixUntilRemoved) {
  cAudioMixer mixer;
  mixer.OpenPullOnly();
  cStepSource source;
  mixer.AddSource(&source);
  mixer.AddSource(&source);  // added once only
  EXPECT_EQ(Pull(mixer, 8)[15], 0.125f);
  EXPECT_EQ(source.rendered, 8);
  mixer.RemoveSource(&source);
  EXPECT_EQ(Pull(mixer, 8)[0], 0.0f);
  EXPECT_EQ(source.rendered, 8);
}

TEST(AudioMixer, OpensAndClosesTheAudioDevice) {
  cAudioMixer mixer;
  if (!mixer.OpenDevice()) GTEST_SKIP() << "no audio device (set SDL_AUDIODRIVER=dummy)";
  EXPECT_TRUE(mixer.IsOpen());
  EXPECT_TRUE(mixer.HasDevice());
  const int id = mixer.CreateBuffer(ConstantClip(48000, 0.1f));
  mixer.Play(id);  // the device's thread pulls it while we go on
  mixer.Close();
  EXPECT_FALSE(mixer.IsOpen());
  EXPECT_FALSE(mixer.HasDevice());
}

}  // namespace
