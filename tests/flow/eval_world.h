// A small stage for the tests of the status operation, the expression language and the arrange
// command: the hero ("pl", also the running character's first target) and the running character
// ("my"), with nine character variables and 32 x 32 graphics set by hand, the flow variables
// published on the stage, and the error boxes collected instead of shown.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "data/save_data.h"

#include "platform/message_box.h"
#include "test_support/flow_harness.h"

class cEvalWorld {
 public:
  explicit cEvalWorld(const std::string& map = "H.C") : cEvalWorld(std::vector<std::string>{map}) {}
  explicit cEvalWorld(const std::vector<std::string>& map) : m_Harness(map) {
    SetMessageBoxHandler([this](const char* text, const char*, unsigned) {
      m_Boxes.push_back(text);
      return IDOK;
    });
    for (cCharaBase* chara : {static_cast<cCharaBase*>(&Hero()), static_cast<cCharaBase*>(&Actor())}) {
      chara->m_anVars.assign(9, 0);
      chara->m_nGraphicWidth = 32;
      chara->m_nGraphicHeight = 32;
    }
    Hero().m_ScreenRect = {300, 200, 331, 231};
    Actor().m_ScreenRect = {400, 200, 431, 231};
    m_Harness.Stage().m_lpFlowVars = m_anFlowVars;
  }
  ~cEvalWorld() { SetMessageBoxHandler(nullptr); }
  cEvalWorld(const cEvalWorld&) = delete;
  cEvalWorld& operator=(const cEvalWorld&) = delete;

  cHero& Hero() { return m_Harness.Hero(); }
  cChara& Actor() { return m_Harness.Chara(0); }
  std::string Boxes() const {
    std::string all;
    for (const std::string& box : m_Boxes) all += box;
    return all;
  }

  cFlowHarness m_Harness;
  int32_t m_anFlowVars[2] = {};
  std::vector<std::string> m_Boxes;
};

// What the table rows of the status operation and the expression language set before and compare
// after.
struct cEvalState {
  int32_t c0 = 0, c1 = 3, c2 = 0;                                            // common variables
  int32_t s0 = 0, s1 = 0;                                                    // stage variables
  int32_t a = 0, b = 0;                                                      // flow variables
  int32_t hp = 50, mhp = 100, sp = 5, msp = 10, v1 = 0, cid = 3, stop = 10;  // the running character
  int32_t heroHp = 30;
  int32_t timer = 100, score = 0, lives = 3;
  int32_t defeatCheck = 0;  // the stage's defeat-check request
  int32_t byCmd = 0;        // a command took another character's life

  void Apply(cEvalWorld& w) const {
    std::vector<int32_t>& common = g_SaveData.m_anCommonVars;
    common[0] = c0, common[1] = c1, common[2] = c2;
    w.m_Harness.Stage().m_anStageVars[0] = s0;
    w.m_Harness.Stage().m_anStageVars[1] = s1;
    w.m_anFlowVars[0] = a, w.m_anFlowVars[1] = b;
    cChara& my = w.Actor();
    my.m_nHp = hp, my.m_Type.m_nMaxHp = mhp, my.m_nSp = sp, my.m_Type.m_nMaxSp = msp, my.m_anVars[1] = v1;
    my.m_Type.m_nCharaId = static_cast<int8_t>(cid), my.m_Type.m_nStopEase = static_cast<int16_t>(stop);
    w.Hero().m_nHp = heroHp, w.Hero().m_Type.m_nMaxHp = 100;
    w.m_Harness.Stage().m_nTimer = timer;
    g_SaveData.m_nScore = score, g_SaveData.m_nLives = lives;
    w.m_Harness.Stage().m_bDefeatCheck = defeatCheck;
    w.m_Harness.Stage().m_bDefeatedByCmd = byCmd;
  }
  static cEvalState Read(cEvalWorld& w) {
    cEvalState s;
    const std::vector<int32_t>& common = g_SaveData.m_anCommonVars;
    s.c0 = common[0], s.c1 = common[1], s.c2 = common[2];
    s.s0 = w.m_Harness.Stage().m_anStageVars[0], s.s1 = w.m_Harness.Stage().m_anStageVars[1];
    s.a = w.m_anFlowVars[0], s.b = w.m_anFlowVars[1];
    const cChara& my = w.Actor();
    s.hp = my.m_nHp, s.mhp = my.m_Type.m_nMaxHp, s.sp = my.m_nSp, s.msp = my.m_Type.m_nMaxSp, s.v1 = my.m_anVars[1];
    s.cid = my.m_Type.m_nCharaId, s.stop = my.m_Type.m_nStopEase;
    s.heroHp = w.Hero().m_nHp;
    s.timer = w.m_Harness.Stage().m_nTimer;
    s.score = g_SaveData.m_nScore, s.lives = g_SaveData.m_nLives;
    s.defeatCheck = w.m_Harness.Stage().m_bDefeatCheck;
    s.byCmd = w.m_Harness.Stage().m_bDefeatedByCmd;
    return s;
  }
  bool operator==(const cEvalState&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const cEvalState& s) {
  return os << "C0..2 " << s.c0 << " " << s.c1 << " " << s.c2 << ", S0..1 " << s.s0 << " " << s.s1 << ", A B " << s.a
            << " " << s.b << ", hp " << s.hp << "/" << s.mhp << ", sp " << s.sp << "/" << s.msp << ", v1 " << s.v1
            << ", cid " << s.cid << ", stop " << s.stop << ", hero hp " << s.heroHp << ", time " << s.timer
            << ", score " << s.score << ", lives " << s.lives << ", defeat check " << s.defeatCheck << ", by command "
            << s.byCmd;
}
