// The own MIDI player over the stream, against a recording synthesiser: timing, buffer refills,
// looping, meta events keeping their time, the end of the track never reaching the synthesiser.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "media/sound/midi_stream.h"
#include "media/sound/music_slots.h"
#include "platform/messages.h"
#include "platform/midi/midi_renderer.h"
#include "sound_test_files.h"

using namespace sound_test;

namespace {

class MidiStreamPlayer : public ::testing::Test {
 protected:
  cRecordingSink sink;
  cMidiRenderer renderer{sink, 48000};
  std::string path = TempPath("stream.mid");

  void TearDown() override { std::remove(path.c_str()); }

  // Renders `frames` in slices, letting the player's thread handle each slice's callbacks (the
  // stream itself keeps time by the frames rendered, so the test's pace does not matter).
  void Run(cMidiStream& player, int frames) {
    std::vector<float> out(480 * 2);
    for (int done = 0; done < frames; done += 480) {
      renderer.Render(out.data(), std::min(480, frames - done));
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (player.Stream() && player.CallbacksHandled() < player.Stream()->CallbacksPosted() &&
             std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    }
  }
  std::vector<int> Notes() const {
    std::vector<int> out;
    for (const auto& e : sink.NotesOn()) out.push_back((e.shortMsg >> 8) & 0x7F);
    return out;
  }
};

TEST_F(MidiStreamPlayer, PlaysInTimeAndMetaEventsKeepTheirDelta) {
  // Tempo 1 000 000 us per quarter (60 bpm), division 96: a beat is a second.
  ASSERT_TRUE(WriteBytes(path, Smf(0, 96, {{0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0x90,
                                            0x3C, 0x40, 0x60, 0xFF, 0x01, 0x01, 'x',  // a text event one beat later
                                            0x00, 0x90, 0x3E, 0x40,                   // the note right after it
                                            0x30, 0xFF, 0x2F, 0x00}})));
  cMidiStream player(path.c_str(), &renderer);
  ASSERT_TRUE(player.HasImage());
  player.RestartMidiStream(0);
  EXPECT_EQ(player.State(), 1);
  Run(player, 48000 * 2);
  const auto on = sink.NotesOn();
  ASSERT_EQ(on.size(), 2u);
  EXPECT_NEAR(on[0].frame, 0, 480);
  EXPECT_NEAR(on[1].frame - on[0].frame, 48000, 64);  // not early: the text event's delta counted
  EXPECT_EQ(player.State(), 0);                       // played once, then stopped and rewound
  EXPECT_EQ(player.Stream()->TicksPlayed(), 0u);
  for (const auto& e : sink.events) EXPECT_NE(e.shortMsg & 0xFF, 0xFFu);  // no system reset
}

TEST_F(MidiStreamPlayer, LoopsFromTheFirstEventAfterTheEnd) {
  ASSERT_TRUE(WriteBytes(path, Smf(0, 96, {{0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}})));
  cMidiStream player(path.c_str(), &renderer);
  player.RestartMidiStream(1);
  Run(player, 48000 * 2 - 4800);  // 120 bpm: the half-second song starts four times
  const auto on = sink.NotesOn();
  ASSERT_EQ(on.size(), 4u);
  for (size_t i = 1; i < on.size(); ++i) EXPECT_NEAR(on[i].frame - on[i - 1].frame, 24000, 1000);
  EXPECT_EQ(player.State(), 1);
  player.StopMidiStream(1);
  EXPECT_EQ(player.State(), 2);
  Run(player, 48000);
  EXPECT_EQ(sink.NotesOn().size(), 4u);  // paused
  player.RestartMidiStream(1);
  Run(player, 24000);
  EXPECT_EQ(sink.NotesOn().size(), 5u);
}

TEST_F(MidiStreamPlayer, ASongLongerThanOneBufferRefillsBothBuffersInTurn) {
  // 5000 notes of 12 stream bytes each: five buffers' worth, all one tick apart.
  std::vector<uint8_t> track;
  for (int i = 0; i < 5000; ++i) track.insert(track.end(), {0x01, 0x90, uint8_t(i % 128), 0x40});
  track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
  ASSERT_TRUE(WriteBytes(path, Smf(0, 960, {track})));
  cMidiStream player(path.c_str(), &renderer);
  player.RestartMidiStream(0);
  Run(player, 48000 * 6);  // 5000 ticks at 960 per half second: about 2.6 s
  const auto notes = Notes();
  ASSERT_EQ(notes.size(), 5000u);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(notes[i], i % 128) << i;
  EXPECT_EQ(player.State(), 0);
}

// A mix pulled slice by slice, with a wait for the player's callbacks before each slice, comes out
// the same however late the callback thread runs: the refills and the loop's restart are in place
// before the next slice plays. Two songs: one refilled buffer after buffer, one looping.
TEST_F(MidiStreamPlayer, WaitingForCallbacksBeforeEachSliceGivesTheSameTimingEveryRun) {
  std::vector<uint8_t> refilled;
  for (int i = 0; i < 5000; ++i) refilled.insert(refilled.end(), {0x01, 0x90, uint8_t(i % 128), 0x40});
  refilled.insert(refilled.end(), {0x00, 0xFF, 0x2F, 0x00});
  struct Case {
    std::vector<uint8_t> track;
    uint16_t division;
    int loop;
    size_t notes;
  } cases[] = {
      {refilled, 960, 0, 5000},  // 5000 ticks at 960 per half second: about 2.6 s
      {{0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}, 96, 1, 6},  // half a second, 6 times
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteBytes(path, Smf(0, c.division, {c.track})));
    std::vector<long> first;
    for (int run = 0; run < 3; ++run) {
      cRecordingSink runSink;
      cMidiRenderer runRenderer(runSink, 48000);
      cMidiStream player(path.c_str(), &runRenderer);
      player.RestartMidiStream(c.loop);
      std::vector<float> out(64 * 2);
      for (int slice = 0; slice < 48000 * 3 / 64 - 100; ++slice) {
        player.WaitForCallbacks();
        runRenderer.Render(out.data(), 64);
      }
      std::vector<long> frames;
      for (const auto& e : runSink.NotesOn()) frames.push_back(e.frame);
      ASSERT_EQ(frames.size(), c.notes) << "run " << run;
      if (run == 0)
        first = frames;
      else
        EXPECT_EQ(frames, first) << "run " << run;
    }
  }
}

TEST_F(MidiStreamPlayer, PlayMidiStreamNeedsTheMidExtensionAndAnImage) {
  ASSERT_TRUE(WriteBytes(path, Smf(0, 96, {{0x00, 0x90, 0x3C, 0x40, 0x60, 0xFF, 0x2F, 0x00}})));
  tMidiStreams players(1);
  MIDISLOT entry{};
  std::snprintf(entry.path, sizeof entry.path, "%s", path.c_str());
  entry.volume = 50;
  ASSERT_EQ(PlayMidiStream(players, 0, &entry, 1, &renderer), 1);
  ASSERT_TRUE(players[0]);
  Run(*players[0], 480);
  EXPECT_FLOAT_EQ(sink.gain, 0.5f);
  EXPECT_EQ(sink.NotesOn().size(), 1u);
  std::snprintf(entry.path, sizeof entry.path, "%s", TempPath("stream.MID").c_str());
  EXPECT_EQ(PlayMidiStream(players, 0, &entry, 1, &renderer), 0);
  std::snprintf(entry.path, sizeof entry.path, "%s", TempPath("absent.mid").c_str());
  EXPECT_EQ(PlayMidiStream(players, 0, &entry, 1, &renderer), 0);
  EXPECT_EQ(PlayMidiStream(players, 3, &entry, 1, &renderer), 0);  // no such channel
}

TEST_F(MidiStreamPlayer, ANewSongStartsFromTheDefaultProgram) {
  ASSERT_TRUE(WriteBytes(path, Smf(0, 96, {{0x00, 0xC0, 0x30, 0x00, 0x90, 0x3C, 0x40, 0x60, 0xFF, 0x2F, 0x00}})));
  {
    cMidiStream strings(path.c_str(), &renderer);
    strings.RestartMidiStream(0);
    Run(strings, 4800);
  }
  ASSERT_TRUE(WriteBytes(path, Smf(0, 96, {{0x00, 0x90, 0x40, 0x40, 0x60, 0xFF, 0x2F, 0x00}})));
  cMidiStream plain(path.c_str(), &renderer);
  plain.RestartMidiStream(0);
  Run(plain, 4800);
  // The program channel 0 has when the second song's note sounds.
  int program = -1;
  bool sounded = false;
  for (const auto& e : sink.events) {
    if ((e.shortMsg & 0xFF) == 0xC0) program = (e.shortMsg >> 8) & 0x7F;
    if ((e.shortMsg & 0xFFFF) == 0x4090) {
      sounded = true;
      break;
    }
  }
  ASSERT_TRUE(sounded);
  EXPECT_EQ(program, 0);
}

TEST_F(MidiStreamPlayer, FreeingAPlayerSilencesItsNotes) {
  ASSERT_TRUE(WriteBytes(path, Smf(0, 96, {{0x00, 0x90, 0x3C, 0x40, 0x83, 0x00, 0xFF, 0x2F, 0x00}})));
  auto player = std::make_unique<cMidiStream>(path.c_str(), &renderer);
  player->RestartMidiStream(1);
  Run(*player, 4800);
  ASSERT_EQ(sink.NotesOn().size(), 1u);
  player.reset();  // the next song's request frees the player while its note still sounds
  size_t notesOff = 0;
  for (const auto& e : sink.events) notesOff += (e.shortMsg & 0xFFF0) == ((123u << 8) | 0xB0);
  EXPECT_EQ(notesOff, 16u);
}

TEST_F(MidiStreamPlayer, APlayerWhoseThreadAlreadyEndedIsFreedWithoutWaiting) {
  ASSERT_TRUE(WriteBytes(path, Smf(0, 96, {{0x00, 0x90, 0x3C, 0x40, 0x60, 0xFF, 0x2F, 0x00}})));
  auto player = std::make_unique<cMidiStream>(path.c_str(), &renderer);
  const uint32_t thread = player->CallbackThreadId();
  ASSERT_TRUE(PostThreadMessage(thread, WM_QUIT, 0, 0));                       // a stray quit ends the callback loop
  while (PostThreadMessage(thread, WM_USER, 0, 0)) std::this_thread::yield();  // until its queue is gone
  player.reset();  // must not wait for a queue that no longer exists
  SUCCEED();
}

}  // namespace
