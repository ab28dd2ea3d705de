#pragma once
// The sound test files (test_support/audio_files.h) and scratch paths of the sound tests.
#include <string>

#include "test_support/audio_files.h"
#include "test_support/temp_dir.h"

namespace sound_test {

using namespace test_audio;

inline std::string TempPath(const std::string& name) { return TestTempPath("sound_test_" + name); }

}  // namespace sound_test
