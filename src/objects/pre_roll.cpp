// The pre-roll of command animations: a command that shows an animation of its own has it start
// early enough to end when the command starts, counted back over the holding commands before it;
// what does not fit before the flow's start is skipped. The frame step starts the overlays when
// the flow has run that many steps.
#include <algorithm>
#include <cstdint>

#include "data/anim_scripts.h"
#include "objects/anim_seq.h"
#include "objects/chara_base.h"
#include "objects/flow_runner.h"
#include "objects/stage_physics.h"

namespace {

constexpr int kCmdJump = 10;
constexpr int kAnimeChoiceOwn = 2;

int16_t ClampShort(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }

// Frames of an animation up to its end frame.
int64_t AnimeFrames(const cFrameScript& script) {
  int64_t frames = 0;
  for (const cScriptStep& step : script) {
    if (step.nPattern < 0) break;
    frames += step.nFrames;
  }
  return frames;
}

// The command shows its own animation: it has no movement settings, or they ask for the command's.
const cFrameScript* OwnAnimeOf(const cFlowCmd& cmd) {
  if (cmd.m_pMove && cmd.m_pMove->m_nAnimeChoice != kAnimeChoiceOwn) return nullptr;
  if (cmd.m_nAnime <= 0 || static_cast<size_t>(cmd.m_nAnime) >= g_AnimeScripts.size()) return nullptr;
  return &g_AnimeScripts[static_cast<size_t>(cmd.m_nAnime)];
}

}  // namespace

void BuildPreRoll(cCharaBase& /*chara*/, cFlowState& state) {
  state.m_aPreRoll.clear();
  const int64_t n = std::max(1, StageSubSteps());
  int64_t elapsed = 0;  // sub-steps of the holding commands before the current one
  for (const cCmdState& cmdState : state.m_aCmdStates) {
    const cFlowCmd* cmd = cmdState.m_lpCmd;
    if (!cmd) continue;
    if (const cFrameScript* script = OwnAnimeOf(*cmd)) {
      const int64_t frames = AnimeFrames(*script);
      int64_t start = elapsed - frames * n;
      int64_t skipped = 0;
      if (start < 0) {
        skipped = -start;
        start = 0;
      }
      cPreRollEntry entry;
      entry.nStart = static_cast<int32_t>(std::min<int64_t>(start, INT32_MAX));
      entry.nAnime = cmd->m_nAnime;
      entry.nSkipped = ClampShort(skipped / n);
      entry.nFrames = ClampShort(frames);
      entry.nHoldFrames = ClampShort(int64_t{cmd->m_nUseTime} * kFramesPerTenth);
      entry.bHold = cmd->m_nKind == kCmdJump || cmd->m_nKind == kCmdSword ? 0 : 1;
      state.m_aPreRoll.push_back(entry);
    }
    if (!cmd->m_bRunOn) elapsed += cmdState.m_nDuration;
  }
}

void StartPreRollAnimations(cCharaBase& chara) {
  for (const cFlowState& state : chara.m_aFlowStates) {
    if (!state.m_bRunning || state.m_bSuspended) continue;
    for (const cPreRollEntry& entry : state.m_aPreRoll) {
      if (entry.nStart != state.m_nStepsRun) continue;
      cAnimOverlay& overlay = chara.m_Overlays.emplace_back();
      overlay.nAnime = entry.nAnime;
      overlay.nSerial = state.m_nSerial;
      cAnimSeq& seq = overlay.seq;
      seq.LoadAnimePatterns(&g_AnimeScripts);
      if (entry.nAnime < 0 || static_cast<size_t>(entry.nAnime) >= seq.m_aAnims.size()) continue;
      seq.SetAnime(entry.nAnime, 1);
      for (int k = 0; k < entry.nSkipped; ++k) seq.StepAnime();
      // The command's hold time stretches the animation's first locked frame.
      std::vector<cAnimFrame>& frames = seq.m_aAnims[static_cast<size_t>(entry.nAnime)];
      if (!entry.bHold || entry.nHoldFrames <= 1 || frames.empty()) continue;
      const auto locked = std::find_if(frames.begin(), frames.end(), [](const cAnimFrame& f) { return f.bLock != 0; });
      if (locked != frames.end()) locked->nDuration += entry.nHoldFrames - 1;
    }
  }
}
