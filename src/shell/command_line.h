#pragma once
// The command line of qc4.
#include <cstdint>
#include <string>
#include <vector>

struct cCommandLine {
  std::string gameDir = ".";
  bool testPlay = false;
  std::string testPlayStage;
  bool headless = false;
  uint64_t frames = 0;
  std::string inputScript;
  std::string dumpFrame;
  bool help = false;
};

extern const char* const kUsageText;

// false with a message for a malformed line.
bool ParseCommandLine(const std::vector<std::string>& args, cCommandLine& out, std::string* error);
