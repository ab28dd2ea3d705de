// The MIDI output stream and the music component's player, timed against a recording synthesiser;
// and one render of the real synthesiser.
#include <gtest/gtest.h>
#include "test_support/audio_files.h"
#include "test_support/temp_dir.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/midi/fluid_synth.h"
#include "platform/midi/midi_file_player.h"
#include "platform/midi/midi_renderer.h"
#include "platform/midi/midi_stream_out.h"
#include "platform/midi/smf_song.h"

namespace {

using test_audio::cRecordingSink;
using test_audio::Put32;
using test_audio::Smf;

void ShortEvent(std::vector<uint8_t>& v, uint32_t delta, uint32_t word) {
  Put32(v, delta);
  Put32(v, 0);
  Put32(v, word);
}

struct cStreamFixture : ::testing::Test {
  cRecordingSink sink;
  cMidiRenderer renderer{sink, 48000};
  void Run(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    renderer.Render(out.data(), frames);
  }
  MIDIHDR Header(std::vector<uint8_t>& bytes) {
    MIDIHDR h;
    h.lpData = bytes.data();
    h.dwBufferLength = h.dwBytesRecorded = static_cast<uint32_t>(bytes.size());
    return h;
  }
};

using MidiStream = cStreamFixture;

TEST_F(MidiStream, TimesEventsByTempoAndDivision) {
  int result = -1;
  auto stream = cMidiStreamOut::Open(0, &result, &renderer);
  ASSERT_EQ(result, kMidiOk);
  ASSERT_EQ(stream->SetTimeDivision(96), kMidiOk);
  std::vector<uint8_t> bytes;
  ShortEvent(bytes, 0, 0x00403C90);                                        // note at 0
  ShortEvent(bytes, 96, 0x00403E90);                                       // one beat at 120 bpm: 0.5 s
  ShortEvent(bytes, 0, (MEVT_TEMPO << 24) | 250000);                       // 240 bpm from here
  ShortEvent(bytes, 96, 0x00404090);                                       // + 0.25 s
  ShortEvent(bytes, 48, 0x00002FFF | (MEVT_NOP << 24) | MEVT_F_CALLBACK);  // + 0.125 s
  MIDIHDR h = Header(bytes);
  EXPECT_EQ(stream->Out(&h), kMidiErrUnprepared);
  ASSERT_EQ(stream->PrepareHeader(&h), kMidiOk);
  ASSERT_EQ(stream->Out(&h), kMidiOk);
  EXPECT_TRUE(h.dwFlags & MHDR_INQUEUE);
  Run(4800);
  EXPECT_TRUE(sink.NotesOn().empty());  // opened paused
  ASSERT_EQ(stream->Restart(), kMidiOk);
  Run(48000);
  const auto notes = sink.NotesOn();
  ASSERT_EQ(notes.size(), 3u);
  const long start = 4800;
  EXPECT_NEAR(notes[0].frame - start, 0, 64);
  EXPECT_NEAR(notes[1].frame - start, 24000, 64);
  EXPECT_NEAR(notes[2].frame - start, 36000, 64);
  EXPECT_EQ(stream->TicksPlayed(), 240u);
  EXPECT_FALSE(h.dwFlags & MHDR_INQUEUE);  // handed back once played
  EXPECT_TRUE(h.dwFlags & MHDR_DONE);
  EXPECT_EQ(stream->UnprepareHeader(&h), kMidiOk);
  for (const auto& e : sink.events) EXPECT_NE(e.shortMsg & 0xFF, 0xFFu);  // no system reset sent
}

TEST_F(MidiStream, PostsPositionCallbacksToTheCallbackThread) {
  EnsureMessageQueue();
  MSG drain;
  while (PeekMessage(&drain, true)) {}
  auto stream = cMidiStreamOut::Open(GetCurrentThreadId(), nullptr, &renderer);
  ASSERT_NE(stream, nullptr);
  std::vector<uint8_t> bytes;
  ShortEvent(bytes, 10, 0x00403C90);
  const uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  Put32(bytes, 0);
  Put32(bytes, 0);
  Put32(bytes, MEVT_F_LONG | MEVT_F_CALLBACK | sizeof sysex);
  bytes.insert(bytes.end(), sysex, sysex + sizeof sysex);
  bytes.resize(bytes.size() + 2, 0);  // padded to four
  MIDIHDR h = Header(bytes);
  stream->PrepareHeader(&h);
  stream->Out(&h);
  stream->Restart();
  Run(4800);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, true));
  EXPECT_EQ(msg.message, MM_MOM_POSITIONCB);
  EXPECT_EQ(reinterpret_cast<MIDIHDR*>(msg.lParam), &h);
  EXPECT_EQ(h.dwOffset, 12u);
  // After the channel defaults of a new stream: the note, then the message.
  ASSERT_EQ(sink.events.size(), 80u + 2u);
  EXPECT_EQ(sink.events[80].shortMsg, 0x00403C90u);
  EXPECT_EQ(sink.events[81].longMsg, std::vector<uint8_t>(sysex, sysex + sizeof sysex));
}

TEST_F(MidiStream, PauseHoldsTimeAndStopHandsBuffersBackWithNotesOff) {
  auto stream = cMidiStreamOut::Open(0, nullptr, &renderer);
  std::vector<uint8_t> a, b;
  ShortEvent(a, 0, 0x00403C90);
  ShortEvent(a, 96, 0x00403D90);
  ShortEvent(b, 96, 0x00403E90);
  MIDIHDR ha = Header(a), hb = Header(b);
  stream->PrepareHeader(&ha);
  stream->PrepareHeader(&hb);
  stream->Out(&ha);
  stream->Out(&hb);
  stream->Restart();
  Run(12000);  // a quarter second: first note only
  ASSERT_EQ(sink.NotesOn().size(), 1u);
  stream->Pause();
  Run(48000);
  EXPECT_EQ(sink.NotesOn().size(), 1u);
  size_t notesOff = 0;
  for (const auto& e : sink.events) notesOff += (e.shortMsg & 0xFFF0) == ((123u << 8) | 0xB0);
  EXPECT_EQ(notesOff, 16u);  // pausing silences every channel
  stream->Restart();
  Run(12000 + 64);
  EXPECT_EQ(sink.NotesOn().size(), 2u);
  EXPECT_TRUE(hb.dwFlags & MHDR_INQUEUE);
  EXPECT_EQ(stream->UnprepareHeader(&hb), kMidiErrStillPlaying);
  stream->Stop();
  EXPECT_FALSE(hb.dwFlags & MHDR_INQUEUE);
  EXPECT_EQ(stream->TicksPlayed(), 0u);
  Run(48000);
  EXPECT_EQ(sink.NotesOn().size(), 2u);
}

TEST(MidiSmfSong, MergesTracksInTimeThenTrackOrder) {
  const auto bytes = Smf(1, 96,
                         {{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x60, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00},
                          {0x60, 0x91, 0x40, 0x40, 0x10, 0x41, 0x40, 0x00, 0xFF, 0x2F, 0x00}});
  cSmfSong song;
  ASSERT_TRUE(ParseSmfSong(bytes.data(), bytes.size(), song));
  ASSERT_EQ(song.events.size(), 4u);
  EXPECT_EQ(song.BytesOf(0)[0], 0xFF);                                   // tempo at 0
  EXPECT_EQ(song.BytesOf(1), (std::vector<uint8_t>{0x90, 0x3C, 0x40}));  // track 0 first at 96
  EXPECT_EQ(song.BytesOf(2), (std::vector<uint8_t>{0x91, 0x40, 0x40}));
  EXPECT_EQ(song.BytesOf(3), (std::vector<uint8_t>{0x91, 0x41, 0x40}));  // running status
  EXPECT_EQ(song.events[3].tick, 112u);
  EXPECT_EQ(song.endTick, 112u);
}

TEST(MidiSmfSong, EveryTestFileIsReadOrRefusedCleanly) {
  int read = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(QC4_TESTDATA_DIR) + "/midi")) {
    if (entry.path().extension() != ".mid") continue;
    cSmfSong song;
    if (LoadSmfSong(entry.path().string(), song)) ++read;
  }
  EXPECT_GT(read, 50);
  cSmfSong song;
  EXPECT_FALSE(LoadSmfSong(std::string(QC4_TESTDATA_DIR) + "/midi/test-not-a-midi-file.mid", song));
  EXPECT_FALSE(LoadSmfSong(std::string(QC4_TESTDATA_DIR) + "/midi/test-2-tracks-type-2.mid", song));
  // Stray system bytes inside a track are stepped over: the whole scale is still there.
  ASSERT_TRUE(LoadSmfSong(std::string(QC4_TESTDATA_DIR) + "/midi/test-illegal-message-all.mid", song));
  std::vector<int> notes;
  for (size_t i = 0; i < song.events.size(); ++i) {
    const auto b = song.BytesOf(i);
    if ((b[0] & 0xF0) == 0x90 && b.size() == 3 && b[2] != 0) notes.push_back(b[1]);
  }
  EXPECT_EQ(notes, (std::vector<int>{60, 62, 64, 65, 67, 69, 71, 72}));
}

// Writes a song of one note (middle C, velocity 64) lasting half a second; returns its path.
std::string WriteOneNoteSong(const char* name) {
  const std::string path = TestTempPath(name);
  EXPECT_TRUE(test_audio::WriteBytes(
      path, Smf(0, 96, {{0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}})));
  return path;
}

TEST(MidiFilePlayer, PlaysLoopsAndStops) {
  const std::string path = WriteOneNoteSong("midi_file_player_test.mid");

  cRecordingSink sink;
  cMidiRenderer renderer(sink, 48000);
  cMidiFilePlayer player;
  EXPECT_EQ(player.Play(true, 0), kMidiPlayerNoDevice);
  ASSERT_EQ(player.OpenDevice(&renderer), kMidiPlayerOk);
  EXPECT_EQ(player.AddListFromFile("/nonexistent.mid", 0), kMidiPlayerBadFile);
  ASSERT_EQ(player.AddListFromFile(path, 0), kMidiPlayerOk);
  EXPECT_EQ(player.Play(true, 5), kMidiPlayerNoSong);
  ASSERT_EQ(player.Play(true, 0), kMidiPlayerOk);
  player.SetMasterVolume(-127);
  std::vector<float> out(48000 * 2);
  renderer.Render(out.data(), 47000);  // just under a second: the half-second song twice
  EXPECT_EQ(sink.gain, 0.0f);
  const auto notes = sink.NotesOn();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_NEAR(notes[1].frame - notes[0].frame, 24000, 64);
  EXPECT_EQ(player.GetStatus().state, 1);
  player.Stop();
  EXPECT_EQ(player.GetStatus().state, 0);
  ASSERT_EQ(player.Play(false, 0), kMidiPlayerOk);
  renderer.Render(out.data(), 48000);
  EXPECT_EQ(player.GetStatus().state, 0);  // once through, then stopped
  EXPECT_EQ(sink.NotesOn().size(), 3u);
  player.CloseDevice();
  std::remove(path.c_str());
}

// While the synthesiser is still loading the renderer has no sink: a song started then waits,
// whatever is pulled, and plays from its first event once the sink arrives; a song stopped while
// waiting leaves nothing behind.
TEST(MidiFilePlayer, ASongStartedBeforeTheSynthesiserIsReadyPlaysFromItsStart) {
  const std::string path = WriteOneNoteSong("midi_late_sink_test.mid");

  cMidiRenderer renderer(48000);
  EXPECT_FALSE(renderer.HasSink());
  cMidiFilePlayer player;
  ASSERT_EQ(player.OpenDevice(&renderer), kMidiPlayerOk);
  ASSERT_EQ(player.AddListFromFile(path, 0), kMidiPlayerOk);
  ASSERT_EQ(player.Play(false, 0), kMidiPlayerOk);
  player.SetMasterVolume(0);
  std::vector<float> out(48000 * 2);
  for (int i = 0; i < 3; ++i) renderer.Render(out.data(), 48000);  // three seconds: the song would be over
  EXPECT_EQ(player.GetStatus().state, 1);
  EXPECT_EQ(player.GetStatus().tick, 0);

  cRecordingSink sink;
  renderer.SetSink(sink);
  EXPECT_TRUE(renderer.HasSink());
  renderer.Render(out.data(), 12000);
  EXPECT_EQ(sink.gain, 1.0f);
  const auto notes = sink.NotesOn();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].shortMsg, 0x00403C90u);
  EXPECT_LT(notes[0].frame, 64);  // in the first slice: nothing of the song was skipped
  EXPECT_EQ(player.GetStatus().state, 1);

  // Stopped and closed before any sink came: detaching hands nothing to anybody.
  cMidiRenderer waiting(48000);
  cMidiFilePlayer other;
  ASSERT_EQ(other.OpenDevice(&waiting), kMidiPlayerOk);
  ASSERT_EQ(other.AddListFromFile(path, 0), kMidiPlayerOk);
  ASSERT_EQ(other.Play(true, 0), kMidiPlayerOk);
  waiting.Render(out.data(), 4800);
  other.Stop();
  other.CloseDevice();
  EXPECT_FALSE(waiting.HasSink());
  player.CloseDevice();
  std::remove(path.c_str());
}

TEST(MidiFluidSynth, RendersANoteThatIsNotSilent) {
  const std::string font = cFluidSynth::FindSoundFont();
  if (font.empty()) GTEST_SKIP() << "no SoundFont installed";
  cFluidSynth synth(font, 48000);
  ASSERT_TRUE(synth.IsReady());
  synth.ShortMessage(0x00643C90);
  std::vector<float> out(4800 * 2, 0.0f);
  synth.RenderAdd(out.data(), 4800);
  float peak = 0;
  for (float s : out) peak = std::max(peak, std::fabs(s));
  EXPECT_GT(peak, 0.01f);
}

}  // namespace
