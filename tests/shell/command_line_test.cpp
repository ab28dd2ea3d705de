// The command line's --dump-audio: a file is needed, and only a headless run may dump its sound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/command_line.h"

namespace {

TEST(CommandLine, DumpAudioNeedsAFileAndAHeadlessRun) {
  struct Case {
    std::vector<std::string> args;
    bool accepted;
    std::string dumpAudio;  // when accepted
  } cases[] = {
      {{"--headless", "--dump-audio", "out.wav"}, true, "out.wav"},
      {{"--dump-audio", "out.wav", "--headless", "game"}, true, "out.wav"},  // in any order
      {{"--dump-audio", "out.wav"}, false, ""},                              // a window plays in real time
      {{"--headless", "--dump-audio"}, false, ""},                           // no file
      {{"--help", "--dump-audio", "out.wav"}, true, "out.wav"},              // help is shown all the same
  };
  for (const Case& c : cases) {
    cCommandLine cl;
    std::string error;
    const bool ok = ParseCommandLine(c.args, cl, &error);
    EXPECT_EQ(ok, c.accepted) << c.args.size() << " " << error;
    if (ok) {
      EXPECT_EQ(cl.dumpAudio, c.dumpAudio);
    } else {
      EXPECT_NE(error.find("--dump-audio"), std::string::npos) << error;
    }
  }
  EXPECT_NE(UsageText().find("--dump-audio FILE"), std::string::npos);
}

}  // namespace
