#pragma once
// The demo's sound effects, synthesised: square-wave blips, sweeps and arpeggios and a noise burst,
// 22050 Hz, 8-bit mono (the format the game's sound device is opened with).
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kSoundRate = 22050;

struct cDemoSound {
  std::string gamePath;          // "wave\Decide.wav"
  std::vector<uint8_t> samples;  // unsigned 8-bit
};

// The 17 system sounds in slot order (cursor, decide, cancel, refused, menu, save, ranking, hit,
// hero down, enemy down, three spare blips, time warning, stage clear, extra life, ranking entry).
std::vector<cDemoSound> MakeSystemSounds();
// The sounds the database lists: jump, goal, coin, shot, stomp and treasure (a gem or a heart).
std::vector<cDemoSound> MakeDatabaseSounds();
