#pragma once
// Entry points of the fuzz targets: each takes one input's bytes as the file a player or a designer
// would hand the game, read from memory through the game's own loaders (no file per input), and
// starts from a fresh run. Returns false only for a fault the game itself cannot tell of (a file
// that loads but is not written back the same way); a file the game refuses is a normal outcome.
// Crashes, hangs, leaks and undefined behaviour are caught by the sanitizers around the call.
//
// The libFuzzer programs (fuzz_<name>, fuzz_main.cpp) call one each; the seed test (seed_test.cpp)
// calls each over its checked-in corpus (fuzz/corpus/<name>) and its generated seeds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Game files: when a file loads, what loaded is written, read back and written again, and both
// writings must agree.
bool FuzzSystemDataFile(const uint8_t* data, size_t size);
// The first byte picks which of the ten database files the rest is read as.
bool FuzzDatabaseFile(const uint8_t* data, size_t size);
bool FuzzPaletteFile(const uint8_t* data, size_t size);
bool FuzzStageFile(const uint8_t* data, size_t size);
bool FuzzWorldMapFile(const uint8_t* data, size_t size);

// Player files: the first byte picks the file (ePlayerFile), the rest is its bytes.
enum ePlayerFile : uint8_t {
  kFuzzOptionData = 0,  // "user_data\Option.dat"
  kFuzzWindowData,      // "user_data\Window.dat"
  kFuzzKeyConfig,       // "user_data\KeyConfig.dat"
  kFuzzSaveData,        // story slots and "user_data\challenge\Challenge.dat"
  kFuzzPlayerFileCount
};
bool FuzzPlayerFile(const uint8_t* data, size_t size);

// A replay file: read as the replay list and playback read it, written back and read again; a
// replay that reads is then played back headless for a few frames.
bool FuzzReplayFile(const uint8_t* data, size_t size);

// A stage file played headless: loaded for play, set up, and a few frames of play (logic and
// drawing) with the hero walking, jumping and shooting.
bool FuzzStagePlay(const uint8_t* data, size_t size);

struct cGeneratedSeed;
// The generated seeds of a target: the byte-built ones of old file versions (seeds/generated_seeds.h)
// and those the game's own writers make (targets/built_seeds.cpp).
std::vector<cGeneratedSeed> FuzzSeeds(const std::string& target);

struct cFuzzTarget {
  const char* name;  // the program fuzz_<name> and the corpus fuzz/corpus/<name>
  bool (*entry)(const uint8_t* data, size_t size);
};
const std::vector<cFuzzTarget>& FuzzTargets();
// The target of that name, or null.
const cFuzzTarget* FindFuzzTarget(const std::string& name);
