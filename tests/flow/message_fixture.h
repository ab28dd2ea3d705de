// What message tests stand on: a display (DirectDraw, 32 bits) that makes the message surfaces, a
// message font of fixed metrics (cells of 8 x 16 dots) and a flow stage with the hero and a
// character, whose drawing is traced instead of made.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "flow/cmd_tables.h"
#include "flow/flow_stage.h"
#include "flow/mes_window.h"
#include "media/graphics/font.h"
#include "media/graphics/graphics_fixture.h"
#include "test_support/flow_harness.h"

// The message font (g_Font[1]) measures on a grid of 8 x 16 dots while it lives.
class cFixedMetricFont {
 public:
  cFixedMetricFont(int cellWidth = 8, int cellHeight = 16)
      : m_nOldWidth(g_Font[1].m_nCellWidth), m_nOldHeight(g_Font[1].m_nCellHeight) {
    g_Font[1].m_nCellWidth = cellWidth;
    g_Font[1].m_nCellHeight = cellHeight;
  }
  ~cFixedMetricFont() {
    g_Font[1].m_nCellWidth = m_nOldWidth;
    g_Font[1].m_nCellHeight = m_nOldHeight;
  }
  cFixedMetricFont(const cFixedMetricFont&) = delete;
  cFixedMetricFont& operator=(const cFixedMetricFont&) = delete;

 private:
  int m_nOldWidth;
  int m_nOldHeight;
};

class MessageStage : public ::testing::Test {
 protected:
  explicit MessageStage(cHarnessSetup setup = DefaultSetup()) : h(std::move(setup)) {}

  static cHarnessSetup DefaultSetup() {
    cHarnessSetup setup;
    setup.map = {"H.C.", "####"};
    return setup;
  }

  // A window's set-up values: a text window at the screen centre, closed by the stage.
  static MESWINDOWARGS TextArgs(const std::string& text) {
    MESWINDOWARGS args;
    args.nKind = kMesText;
    args.strText = text;
    args.nCloseMode = 1;
    return args;
  }

  // The message command with its 21 parameters (P0-P20) and text.
  static cFlowCmd MessageCmd(const std::string& text, std::vector<int32_t> params = {}) {
    cFlowCmd cmd;
    cmd.m_nKind = 19;
    cmd.m_strText = text;
    params.resize(21, 0);
    cmd.m_anParams = params;
    return cmd;
  }

  std::vector<DDTRACECALL> DrawsNamed(const std::string& name) const {
    std::vector<DDTRACECALL> found;
    for (const DDTRACECALL& call : h.Draws())
      if (call.strName == name) found.push_back(call);
    return found;
  }

  gfxtest::Display display{{0, 32, "DD32"}};
  cFixedMetricFont font;
  cFlowHarness h;
};

// The modal wait as a test scripts it: it ends at once after running what the test asks.
inline std::function<void(cFlowStage&)> g_DuringWait;

inline int ScriptedWait(int postStart) {
  if (cStageHarness* harness = cStageHarness::Active()) harness->AddCall("runModalWait", {double(postStart)});
  if (g_DuringWait) g_DuringWait(*FlowStage());
  return 1;
}

// A message stage whose modal waits run the scripted wait; the running flow's variables are
// flowVars.
class MessageScriptedWait : public MessageStage {
 protected:
  MessageScriptedWait() : MessageStage(WaitSetup()) { h.Stage().m_lpFlowVars = flowVars; }
  ~MessageScriptedWait() override { g_DuringWait = nullptr; }

  static cHarnessSetup WaitSetup() {
    cHarnessSetup setup = DefaultSetup();
    setup.addStandIns = [](cStageHooks& hooks) { hooks.runModalWait = ScriptedWait; };
    return setup;
  }

  int32_t flowVars[2] = {};
};
