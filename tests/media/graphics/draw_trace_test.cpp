// The drawing trace: while installed, the traced drawing functions record their calls and draw
// nothing; removed, they draw again.
#include <gtest/gtest.h>

#include <vector>

#include "media/graphics/blit.h"
#include "media/graphics/composite_draw.h"
#include "media/graphics/display.h"
#include "media/graphics/draw_trace.h"
#include "media/graphics/font.h"
#include "test_support/hooks_guard.h"

namespace {

std::vector<DDTRACECALL> g_calls;
void Record(const DDTRACECALL& call) { g_calls.push_back(call); }

class DrawTraceTest : public ::testing::Test {
 protected:
  DrawTraceTest() { g_calls.clear(); }
  cHooksGuard<cDrawTraceHooks> m_Trace{SetDrawTraceHooks, cDrawTraceHooks{Record}};
};

}  // namespace

TEST_F(DrawTraceTest, CallsAreRecordedWithTheirArgumentsInOrder) {
  DDSURFACEDATA target{};
  DDSURFACEDATA sheet{};
  DDBlt(&target, 10, 20, 32, 16, &sheet, 64, 0, 1);
  EXPECT_EQ(DDBltStretch(&target, 1, 2, 3, 4, &sheet, 5, 6, 7, 8, 1), 1);
  DDFillRect(&target, 0, 0, 1, 480, 212);
  DDSetBlendMode(2);
  DDResetBlendMode();
  EXPECT_EQ(DDFrameRect(&target, 4, 5, 6, 7, 1, 208), 1);
  cFont font;
  font.DrawString(&target, 1, 1, "abc");

  ASSERT_EQ(g_calls.size(), 7u);
  EXPECT_EQ(g_calls[0].strName, "DDBlt");
  EXPECT_EQ(g_calls[0].lpDst, &target);
  EXPECT_EQ(g_calls[0].lpSrc, &sheet);
  EXPECT_EQ(g_calls[0].adArgs, (std::vector<double>{10, 20, 32, 16, 64, 0, 1}));
  EXPECT_EQ(g_calls[1].strName, "DDBltStretch");
  EXPECT_EQ(g_calls[1].adArgs, (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 1}));
  EXPECT_EQ(g_calls[2].strName, "DDFillRect");
  EXPECT_EQ(g_calls[2].lpSrc, nullptr);
  EXPECT_EQ(g_calls[2].adArgs, (std::vector<double>{0, 0, 1, 480, 212}));
  EXPECT_EQ(g_calls[3].strName, "DDSetBlendMode");
  EXPECT_EQ(g_calls[4].strName, "DDResetBlendMode");
  EXPECT_TRUE(g_calls[4].adArgs.empty());
  // A composite figure is one call, not the fills it is made of.
  EXPECT_EQ(g_calls[5].strName, "DDFrameRect");
  EXPECT_EQ(g_calls[6].strName, "cFont::DrawString");
  EXPECT_EQ(g_calls[6].strText, "abc");
}

TEST_F(DrawTraceTest, RemovingTheTraceStopsRecording) {
  SetDrawTraceHooks({});
  DDSURFACEDATA target{};
  DDBlt(&target, 0, 0, 1, 1, nullptr, 0, 0, 0);  // no surfaces to draw with: nothing happens
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(SetDrawTraceHooks({Record}).record, nullptr);
  DDBlt(&target, 0, 0, 1, 1, nullptr, 0, 0, 0);
  EXPECT_EQ(g_calls.size(), 1u);
}
