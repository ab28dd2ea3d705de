// Sound effects: slot loading, rotation through the duplicates, volumes and the master volume step,
// refused WAVE files, the request messages and the main window's handler.
#include <gtest/gtest.h>

#include <vector>

#include "core/log.h"
#include "data/database.h"
#include "data/system_data.h"
#include "media/sound/sound_effects.h"
#include "platform/audio/audio_mixer.h"
#include "sound_test_files.h"
#include "test_support/fresh_game_data.h"
#include "test_support/hooks_guard.h"

using namespace sound_test;

namespace {

class SoundEffects : public ::testing::Test {
 protected:
  cFreshGameData m_FreshGameData;
  void SetUp() override {
    DS_InitPullOnly();
    ASSERT_TRUE(WriteBytes(loud, Wave16(4800, 16384)));
    ASSERT_TRUE(WriteBytes(extended, Wave16(100, 1, 18, 22)));
    ASSERT_TRUE(WriteBytes(plain18, Wave16(100, 1, 18, 0)));
  }
  void TearDown() override {
    for (DSSOUNDDATA* slot : {&a, &b, &c})
      for (int id : slot->buffers) cAudioMixer::Shared().ReleaseBuffer(id);
    DS_Release();
    g_SoundSlots.clear();
    for (const auto& p : {loud, extended, plain18}) std::remove(p.c_str());
  }
  static std::vector<float> Pull(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    cAudioMixer::Shared().Render(out.data(), frames);
    return out;
  }
  DSSOUNDDATA a, b, c;  // slots owned by the test, released in TearDown
  std::string loud = TempPath("loud.wav"), extended = TempPath("extended.wav"), plain18 = TempPath("plain18.wav");
};

TEST_F(SoundEffects, FourthPlayOfAThreeBufferSlotRestartsTheFirstBuffer) {
  DSSOUNDDATA& slot = a;
  ASSERT_TRUE(DS_LoadSound(slot, loud.c_str(), 3, 0));
  ASSERT_EQ(slot.count, 3);
  EXPECT_STREQ(slot.name, loud.c_str());
  auto& mixer = cAudioMixer::Shared();
  for (int play = 0; play < 3; ++play) {
    EXPECT_EQ(slot.next, play);
    DS_Play(slot, 0);
    Pull(1000);
  }
  EXPECT_EQ(slot.next, 0);
  EXPECT_EQ(mixer.GetPosition(slot.buffers[0]), 3000);
  EXPECT_TRUE(mixer.IsPlaying(slot.buffers[2]));
  DS_Play(slot, 0);  // all three sound: the oldest one starts again
  EXPECT_EQ(mixer.GetPosition(slot.buffers[0]), 0);
  EXPECT_EQ(slot.next, 1);
  // Three copies sound together at 0.5 each, limited to full scale.
  EXPECT_EQ(Pull(10)[0], 1.0f);
}

TEST_F(SoundEffects, SlotVolumeScalesTheMixedOutput) {
  DSSOUNDDATA& slot = a;
  ASSERT_TRUE(DS_LoadSound(slot, loud.c_str(), 1, -2000));
  DS_Play(slot, 0);
  const auto out = Pull(100);
  EXPECT_NEAR(out[0], 0.05f, 1e-6f);
  EXPECT_NEAR(out[199], 0.05f, 1e-6f);
}

TEST_F(SoundEffects, WaveFormatChunks) {
  DSSOUNDDATA& slot = a;
  EXPECT_TRUE(DS_LoadSound(slot, plain18.c_str(), 2, 0));
  EXPECT_EQ(slot.count, 2);
  DSSOUNDDATA& refused = b;
  EXPECT_FALSE(DS_LoadSound(refused, extended.c_str(), 2, 0));
  EXPECT_TRUE(refused.buffers.empty());
  DS_Play(refused, 0);  // an empty slot plays nothing
  EXPECT_EQ(Pull(10)[0], 0.0f);
  DSSOUNDDATA& missing = c;
  EXPECT_FALSE(DS_LoadSound(missing, TempPath("none.wav").c_str(), 1, 0));
}

TEST_F(SoundEffects, SetVolumeIsClampedAndCanBeRelative) {
  DSSOUNDDATA& slot = a;
  ASSERT_TRUE(DS_LoadSound(slot, loud.c_str(), 2, -9500));
  EXPECT_EQ(DS_SetVolume(slot, 0, -600, 1), -10000);
  EXPECT_EQ(DS_SetVolume(slot, 1, 300, 0), 0);
  EXPECT_EQ(DS_SetVolume(slot, 1, -500, 1), -500);
  EXPECT_EQ(DS_SetVolume(slot, 2, -500, 0), 0);  // no such buffer
  EXPECT_EQ(cAudioMixer::Shared().GetVolume(slot.buffers[0]), -10000);
}

TEST_F(SoundEffects, MasterStepOverridesOwnVolumesExceptAtFullLevel) {
  std::vector<DSSOUNDDATA> slots(2);
  std::vector<SOUNDINFO> infos{{loud, 2, -1000}, {loud, 1, -3000}};
  DS_LoadAll(slots, infos, SoundVolumeForStep(7));
  auto& mixer = cAudioMixer::Shared();
  EXPECT_EQ(mixer.GetVolume(slots[0].buffers[0]), -400);
  EXPECT_EQ(mixer.GetVolume(slots[0].buffers[1]), -400);
  EXPECT_EQ(mixer.GetVolume(slots[1].buffers[0]), -400);
  std::vector<DSSOUNDDATA> own(2);
  DS_LoadAll(own, infos, SoundVolumeForStep(10));
  EXPECT_EQ(mixer.GetVolume(own[0].buffers[1]), -1000);
  EXPECT_EQ(mixer.GetVolume(own[1].buffers[0]), -3000);
  EXPECT_EQ(SoundVolumeForStep(0), -10000);
  DS_Release();  // releases the slots DS_LoadAll was given last
  EXPECT_TRUE(own[0].buffers.empty());
}

TEST_F(SoundEffects, CursorSoundFollowsTheAxes) {
  g_SoundSlots.assign(1, DSSOUNDDATA{});
  ASSERT_TRUE(DS_LoadSound(g_SoundSlots[0], loud.c_str(), 3, 0));
  DS_PlayCursorSound(1 /*left*/, 2, 0);
  EXPECT_EQ(g_SoundSlots[0].next, 0);
  DS_PlayCursorSound(8 /*down*/, 2, 0);
  EXPECT_EQ(g_SoundSlots[0].next, 1);
  DS_PlayCursorSound(2 | 4, 3, 0);  // both axes fire
  EXPECT_EQ(g_SoundSlots[0].next, 0);
}

std::vector<WPARAM> s_played;
LRESULT RecordingProc(HWND, uint32_t msg, WPARAM wParam, LPARAM) {
  if (msg == WM_PLAYSOUND) s_played.push_back(wParam);
  return 0;
}

TEST_F(SoundEffects, RequestsGoToTheMainWindow) {
  HWND window = CreateMessageWindow(&RecordingProc);
  const HWND previous = g_hMainWnd.exchange(window);
  s_played.clear();
  RequestSound(3);
  RequestDataSound(2);
  RequestDataSound(0);
  EXPECT_EQ(s_played, (std::vector<WPARAM>{3, 18}));
  g_hMainWnd = previous;
  DestroyMessageWindow(window);
}

TEST_F(SoundEffects, HandlerPlaysASlotAndIgnoresABadNumber) {
  g_SoundSlots.assign(17, DSSOUNDDATA{});
  ASSERT_TRUE(DS_LoadSound(g_SoundSlots[16], loud.c_str(), 1, 0));
  EXPECT_EQ(PlaySoundSlot(16), 0);
  EXPECT_TRUE(cAudioMixer::Shared().IsPlaying(g_SoundSlots[16].buffers[0]));
  EXPECT_EQ(PlaySoundSlot(17), 0);
  EXPECT_EQ(PlaySoundSlot(static_cast<WPARAM>(-1)), 0);
  EXPECT_EQ(g_bQuit.load(), 0);  // logged, not a fatal stop
}

TEST_F(SoundEffects, StartUpFillsSystemAndDatabaseSlots) {
  g_SystemData.m_astrSystemSounds.assign(17, "");
  g_SystemData.m_astrSystemSounds[1] = loud;
  g_Database.m_aSound.assign(3, cSoundData{});
  g_Database.m_aSound[2].m_strFileName = loud;
  ASSERT_TRUE(InitSoundEffects(nullptr, 3));
  ASSERT_EQ(g_SoundSlots.size(), 19u);  // 16 + three records (record 0 stands for none)
  EXPECT_EQ(g_SoundSlots[1].count, kSoundBuffersPerSlot);
  EXPECT_EQ(g_SoundSlots[18].count, kSoundBuffersPerSlot);
  EXPECT_TRUE(g_SoundSlots[0].buffers.empty());  // no file named
  EXPECT_EQ(cAudioMixer::Shared().GetVolume(g_SoundSlots[18].buffers[2]), -1300);
  ApplySoundVolumeStep(10);
  EXPECT_EQ(cAudioMixer::Shared().GetVolume(g_SoundSlots[18].buffers[0]), 0);
  // The duplicates follow: a play on any of them sounds at the chosen volume.
  for (int i = 1; i < kSoundBuffersPerSlot; ++i)
    EXPECT_EQ(cAudioMixer::Shared().GetVolume(g_SoundSlots[18].buffers[i]), 0) << i;
}

}  // namespace

namespace {
std::vector<int> g_tracedSlots;
void RecordSlot(int slot) { g_tracedSlots.push_back(slot); }
}  // namespace

TEST(SoundTrace, RequestsAreReportedInsteadOfSentWhileATraceIsInstalled) {
  g_tracedSlots.clear();
  {
    cHooksGuard guard(SetSoundTraceHooks, cSoundTraceHooks{RecordSlot});
    RequestSound(8);
    RequestDataSound(0);  // database sound 0 plays nothing
    RequestDataSound(3);  // database sound n is slot n + 16
  }
  RequestSound(9);
  EXPECT_EQ(g_tracedSlots, (std::vector<int>{8, 19}));
}
