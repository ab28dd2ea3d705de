// The options screen played from the title, headless with scripted keys: the sound-effect volume
// stepped and confirmed, the ranking name typed in the name-entry dialog, back to the title with
// cancel, the options opened once more and the colour stepped, and back again through cancel. The
// options file the runs leave is then read back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/game_data.h"
#include "data/option_data.h"
#include "test_support/demo_run_test.h"
#include "test_support/fresh_game_data.h"
#include "test_support/program_run.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// The keys, frame by frame (Z is button 1, X button 2). "オプション" is five rows down the title
// menu. On the options list "SE" is three rows down: decide, up twice, decide. Two rows further
// the ranking name opens the name-entry dialog, where the name is typed anew. Cancel goes back to
// the title, whose cursor stands on the options again; there the colour goes one up and cancel
// leaves once more.
const char* const kOptionsInput =
    "40 press DOWN\n42 release DOWN\n"
    "46 press DOWN\n48 release DOWN\n"
    "52 press DOWN\n54 release DOWN\n"
    "58 press DOWN\n60 release DOWN\n"
    "64 press DOWN\n66 release DOWN\n"
    "80 press Z\n82 release Z\n"
    "200 press DOWN\n202 release DOWN\n"
    "206 press DOWN\n208 release DOWN\n"
    "212 press DOWN\n214 release DOWN\n"
    "220 press Z\n222 release Z\n"
    "230 press UP\n232 release UP\n"
    "236 press UP\n238 release UP\n"
    "244 press Z\n246 release Z\n"
    "252 press DOWN\n254 release DOWN\n"
    "258 press DOWN\n260 release DOWN\n"
    "266 press Z\n268 release Z\n"
    "key END\nkey BACK\nkey BACK\nkey BACK\ntype bcd\nanswer ok\n"
    "290 press X\n292 release X\n"
    "420 press Z\n422 release Z\n"
    "540 press Z\n542 release Z\n"
    "550 press UP\n552 release UP\n"
    "560 press Z\n562 release Z\n"
    "570 press X\n572 release X\n";

using OptionsRunTest = cDemoRunTest;

TEST_F(OptionsRunTest, OptionsChangedOnTheScreenAreKeptInTheOptionsFile) {
  ASSERT_EQ(Run(700, kOptionsInput), 0) << Log();

  cFreshGameData fresh;
  cInFolder inGame(m_Game);
  cOptionData options;
  ASSERT_EQ(options.LoadFile(kOptionDataPath), 1) << Log();
  EXPECT_EQ(options.m_nSeVolume, 9) << Log();
  EXPECT_EQ(options.m_strRankingName, "bcd") << Log();
  // Written again by the second visit, reached from the title.
  EXPECT_EQ(options.m_nColour, 1) << Log();
  // Untouched values keep their defaults.
  EXPECT_EQ(options.m_nBgmVolume, 7);
  EXPECT_EQ(options.m_nMessageAutoSeconds, 21);
}

}  // namespace
