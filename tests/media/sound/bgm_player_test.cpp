// The music manager: file kinds, the choice of back end, repeated requests, volumes, looping title
// music from an .ogg and a .mid file, and the main window's music requests.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "data/database.h"
#include "data/system_data.h"
#include "media/sound/bgm_player.h"
#include "media/sound/music_requests.h"
#include "platform/audio/audio_mixer.h"
#include "platform/midi/fluid_synth.h"
#include "platform/midi/midi_renderer.h"
#include "sound_test_files.h"
#include "test_support/fresh_game_data.h"

using namespace sound_test;

namespace {

class BgmPlayer : public ::testing::Test {
 protected:
  cFreshGameData m_FreshGameData;
  void SetUp() override {
    cAudioMixer::Shared().OpenPullOnly();
    ASSERT_TRUE(WriteSineOgg(ogg, 48000, 4800, 1000.0));
    ASSERT_TRUE(
        WriteBytes(mid, Smf(0, 96, {{0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}})));
    std::memset(oggTable, 0, sizeof oggTable);
    std::memset(midiTable, 0, sizeof midiTable);
    player.SetMidiRenderer(&renderer);
  }
  void TearDown() override {
    player.ReleaseBgm();
    std::remove(ogg.c_str());
    std::remove(mid.c_str());
  }
  static float Peak(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    float peak = 0;
    for (int done = 0; done < frames; done += 480) {
      cAudioMixer::Shared().Render(out.data(), 480);
      for (int i = 0; i < 960; ++i) peak = std::max(peak, std::fabs(out[i]));
    }
    return peak;
  }
  void RunMidi(int frames) {
    std::vector<float> out(480 * 2);
    for (int done = 0; done < frames; done += 480) renderer.Render(out.data(), 480);
  }

  std::string ogg = TempPath("title.ogg"), mid = TempPath("title.mid");
  OGGSLOT oggTable[kBgmSlotCount];
  MIDISLOT midiTable[kBgmSlotCount];
  cRecordingSink sink;
  cMidiRenderer renderer{sink, 48000};  // outlives the player, which detaches from it
  cBgmPlayer player;
};

TEST_F(BgmPlayer, FileKindsByExtension) {
  ASSERT_EQ(player.InitBgm(1, oggTable, midiTable, kBgmSlotCount, 0), 1);
  struct Case {
    const char* path;
    int result, kind;
    const char* oggPath;
    const char* midiPath;
    int oggVol, midiVol;
  };
  const Case cases[] = {
      {"bgm\\A.mid", 1, 2, "", "bgm\\A.mid", 0, 40},
      {"bgm\\A.MID", 1, 2, "", "bgm\\A.mid", 0, 40},
      {"bgm\\B.ogg", 1, 1, "bgm\\B.ogg", "", 40, 0},
      {"bgm\\B.OGG", 1, 1, "bgm\\B.OGG", "", 40, 0},
      {"bgm\\Title.Ogg", 0, 0, "bgm\\Title.Ogg", "bgm\\Title.Ogg", 40, 40},
      {"bgm\\NoExtension", 0, 0, "", "", 0, 0},
  };
  for (const Case& c : cases) {
    std::memset(oggTable, 0, sizeof oggTable);
    std::memset(midiTable, 0, sizeof midiTable);
    EXPECT_EQ(player.SetBgmFile(3, c.path, 40), c.result) << c.path;
    EXPECT_EQ(player.m_anKinds[3], c.kind) << c.path;
    EXPECT_STREQ(oggTable[3].path, c.oggPath) << c.path;
    EXPECT_STREQ(midiTable[3].path, c.midiPath) << c.path;
    EXPECT_EQ(oggTable[3].volume, c.oggVol) << c.path;
    EXPECT_EQ(midiTable[3].volume, c.midiVol) << c.path;
  }
  EXPECT_EQ(player.SetBgmFile(7, "x.ogg", 100), 0);  // no such slot: logged, nothing set
}

TEST_F(BgmPlayer, TitleMusicFromOggLoopsAndARepeatedRequestDoesNotRestart) {
  ASSERT_EQ(player.InitBgm(1, oggTable, midiTable, kBgmSlotCount, 0), 1);
  player.SetBgmFile(0, ogg.c_str(), 100);
  ASSERT_EQ(player.PlayBgm(0, 0, 1, 0, 1), 1);
  EXPECT_EQ(player.m_anChannelStates[0], 1);
  Peak(4800 * 3);
  EXPECT_GT(Peak(4800), 0.4f);  // still sounding after three times its length
  cOggStream& stream = *player.m_Ogg.m_apPlayers[0];
  stream.Stop();
  EXPECT_EQ(player.PlayBgm(0, 0, 1, 0, 0), 1);  // the same music again: nothing is done
  EXPECT_FALSE(stream.IsPlaying());
  EXPECT_EQ(player.PlayBgm(0, 0, 1, 0, 1), 1);  // forced: starts again
  EXPECT_TRUE(stream.IsPlaying());
  player.StopBgm();
  EXPECT_FALSE(stream.IsPlaying());
}

TEST_F(BgmPlayer, VolumeBelowHundredScalesTheOggPlayer) {
  ASSERT_EQ(player.InitBgm(1, oggTable, midiTable, kBgmSlotCount, 0), 1);
  player.SetBgmFile(0, ogg.c_str(), 100);
  player.PlayBgm(0, 0, 1, 0, 1);
  const float full = Peak(2400);
  player.SetBgmFile(0, ogg.c_str(), 50);
  player.PlayBgm(0, 0, 1, 0, 1);
  const float half = Peak(2400);
  EXPECT_NEAR(half / full, 0.5f, 0.02f);
}

TEST_F(BgmPlayer, FailedPlaysClearTheCurrentSlot) {
  ASSERT_EQ(player.InitBgm(1, oggTable, midiTable, kBgmSlotCount, 0), 1);
  player.SetBgmFile(2, TempPath("Missing.Ogg").c_str(), 100);  // unknown kind: OGG, then MIDI, both fail
  EXPECT_EQ(player.PlayBgm(0, 2, 1, 0, 1), 0);
  EXPECT_EQ(player.m_nCurrentSlot, -1);
  EXPECT_EQ(player.m_anChannelStates[0], 0);
  player.SetBgmFile(2, "bgm\\NoExtension", 100);
  EXPECT_EQ(player.PlayBgm(0, 2, 1, 0, 0), 0);  // -1 before: tried again, fails again
  EXPECT_EQ(player.m_nCurrentSlot, -1);
  EXPECT_EQ(player.PlayBgm(0, 9, 1, 0, 1), 0);  // no such slot
}

TEST_F(BgmPlayer, TitleMusicFromMidiLoopsOnTheStreamPlayer) {
  ASSERT_EQ(player.InitBgm(1, oggTable, midiTable, kBgmSlotCount, 0), 1);
  EXPECT_EQ(player.m_bUseMidiDll, 0);
  player.SetBgmFile(0, mid.c_str(), 100);
  ASSERT_EQ(player.PlayBgm(0, 0, 1, 0, 1), 1);
  EXPECT_EQ(player.m_anChannelStates[0], 2);
  ASSERT_TRUE(player.m_apStreams[0]);
  cMidiStream& stream = *player.m_apStreams[0];
  for (int i = 0; i < 100 && sink.NotesOn().size() < 3; ++i) {
    RunMidi(4800);
    while (stream.CallbacksHandled() < stream.Stream()->CallbacksPosted()) std::this_thread::yield();
  }
  EXPECT_GE(sink.NotesOn().size(), 3u);  // the half-second song came round again
  // OGG music replaces it: the MIDI player stops.
  player.SetBgmFile(0, ogg.c_str(), 100);
  ASSERT_EQ(player.PlayBgm(0, 0, 1, 0, 1), 1);
  EXPECT_EQ(stream.State(), 0);
}

TEST_F(BgmPlayer, OggOfUnknownKindPausesMidiWhenAskedElseStopsIt) {
  ASSERT_EQ(player.InitBgm(1, oggTable, midiTable, kBgmSlotCount, 0), 1);
  const std::string mixedCase = TempPath("title.Ogg");
  ASSERT_TRUE(WriteSineOgg(mixedCase, 48000, 4800, 1000.0));
  player.SetBgmFile(0, mid.c_str(), 100);
  player.SetBgmFile(1, mixedCase.c_str(), 100);
  ASSERT_EQ(player.m_anKinds[1], 0);
  for (int pause : {1, 0}) {
    ASSERT_EQ(player.PlayBgm(0, 0, 1, 0, 1), 1);
    cMidiStream& stream = *player.m_apStreams[0];
    ASSERT_EQ(stream.State(), 1);
    ASSERT_EQ(player.PlayBgm(0, 1, 1, pause, 1), 1);  // tried as OGG first, and it plays
    EXPECT_EQ(player.m_anChannelStates[0], 1);
    EXPECT_EQ(stream.State(), pause == 1 ? 2 : 0) << pause;
  }
  std::remove(mixedCase.c_str());
}

TEST_F(BgmPlayer, MidiThroughTheComponentWithItsMasterVolume) {
  ASSERT_EQ(player.InitBgm(1, oggTable, midiTable, kBgmSlotCount, 1), 1);
  ASSERT_EQ(player.m_bUseMidiDll, 1);
  EXPECT_TRUE(player.m_apStreams.empty());
  player.SetBgmFile(6, mid.c_str(), 50);
  ASSERT_EQ(player.PlayBgm(0, 6, 1, 0, 1), 1);
  EXPECT_EQ(player.m_MidiDll.m_nVolume, static_cast<int>(50 * 1.27) - 127);
  RunMidi(48000 * 2 - 4800);
  EXPECT_EQ(sink.NotesOn().size(), 4u);
  EXPECT_NEAR(sink.gain, (static_cast<int>(50 * 1.27)) / 127.0f, 1e-6f);
  player.StopBgm();
  RunMidi(48000);
  EXPECT_EQ(sink.NotesOn().size(), 4u);
}

TEST_F(BgmPlayer, WindowRequestsPlayTheProjectsMusic) {
  g_Database.m_aBgm.assign(3, cBgmData{});
  g_Database.m_aBgm[1].m_strFileName = ogg;
  g_Database.m_aBgm[1].m_nVolume = 100;
  g_Database.m_aBgm[2].m_strFileName = mid;
  g_SystemData.m_anSceneBgm.assign(6, 0);
  g_SystemData.m_abSceneBgm.assign(6, 1);
  g_SystemData.m_anSceneBgm[0] = 1;
  ASSERT_EQ(InitMusic(1, 0), 1);
  SetBgmVolumeStep(2);  // 50 %
  EXPECT_EQ(PlayBgmKind(0, 0, 0), 0);
  EXPECT_EQ(g_BgmPlayer.m_nCurrentSlot, 0);
  EXPECT_EQ(g_OggSlots[0].volume, 50);
  cOggStream& stream = *g_BgmPlayer.m_Ogg.m_apPlayers[0];
  EXPECT_TRUE(stream.IsPlaying());
  PlayBgmKind(3, 0, 0);  // the free list has no music: it stops
  EXPECT_FALSE(stream.IsPlaying());
  PlayBgmKind(6, 1, 1);  // a stage's music by number
  EXPECT_TRUE(stream.IsPlaying());
  EXPECT_EQ(g_BgmPlayer.m_nCurrentSlot, 6);
  PlayBgmKind(6, 0, 1);
  EXPECT_FALSE(stream.IsPlaying());
  PlayBgmKind(6, 99, 1);  // out of range: logged, record 0 (no file) used
  EXPECT_EQ(g_BgmPlayer.m_nCurrentSlot, -1);
  PlayBgmKind(7, 1, 1);  // not a situation
  g_BgmPlayer.ReleaseBgm();
  EXPECT_EQ(g_BgmPlayer.m_bEnabled, 0);
  EXPECT_EQ(g_BgmPlayer.PlayBgm(0, 0, 1, 0, 1), 1);  // disabled: does nothing
  SetBgmVolumeStep(7);
  ResetMusicSlotTables();
  EXPECT_STREQ(g_OggSlots[0].path, "bgm\\Title.ogg");
  EXPECT_STREQ(g_MidiSlots[6].path, "bgm\\Stage.mid");
  EXPECT_EQ(g_MidiSlots[6].volume, 100);
}

TEST(BgmPlayerSynth, MidiTitleMusicSoundsThroughTheSynthesiser) {
  if (cFluidSynth::FindSoundFont().empty()) GTEST_SKIP() << "no SoundFont installed";
  const std::string mid = TempPath("synth.mid");
  ASSERT_TRUE(WriteBytes(
      mid, Smf(0, 96, {{0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}})));
  cAudioMixer::Shared().OpenPullOnly();
  OGGSLOT oggTable[kBgmSlotCount] = {};
  MIDISLOT midiTable[kBgmSlotCount] = {};
  {
    cBgmPlayer player;  // the shared synthesiser, as in play
    ASSERT_EQ(player.InitBgm(1, oggTable, midiTable, kBgmSlotCount, 0), 1);
    player.SetBgmFile(0, mid.c_str(), 100);
    // Requested at once, most likely while the SoundFont is still loading: the song waits for
    // it and its first note, at the very start, still sounds.
    ASSERT_EQ(player.PlayBgm(0, 0, 1, 0, 1), 1);
    std::vector<float> out(4800 * 2);
    float peak = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!cMidiRenderer::Shared()->HasSink() && std::chrono::steady_clock::now() < deadline) {
      cAudioMixer::Shared().Render(out.data(), 4800);
      for (float v : out) peak = std::max(peak, std::fabs(v));
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(cMidiRenderer::Shared()->HasSink());
    for (int i = 0; i < 5; ++i) {
      cAudioMixer::Shared().Render(out.data(), 4800);
      for (float v : out) peak = std::max(peak, std::fabs(v));
    }
    EXPECT_GT(peak, 0.01f);
  }
  std::remove(mid.c_str());
}

}  // namespace
