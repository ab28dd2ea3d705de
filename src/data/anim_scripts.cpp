#include "data/anim_scripts.h"

#include <cmath>
#include <utility>

#include "core/containers.h"

// ---------------------------------------------------------------------------------------------
// Frame scripts

namespace {

// Entry 0 is the "none" entry: its steps take no time, are locked, and start again.
template <class Frame>
cFrameScript ScriptOf(const std::vector<Frame>& frames, bool noneEntry, bool lockFromFlags) {
  cFrameScript script(frames.size() + 1);
  bool locked = false;
  for (size_t j = 0; j < frames.size(); ++j) {
    cScriptStep& step = script[j];
    step.nPattern = frames[j].m_nPattern;
    if (noneEntry) {
      step.nFrames = 0;
      step.bLock = 1;
      continue;
    }
    step.nFrames = frames[j].m_nDuration * kFramesPerTenth;
    if constexpr (requires { frames[j].m_bLockFrom; }) {
      if (lockFromFlags && frames[j].m_bLockFrom) locked = true;
    }
    step.bLock = locked ? 1 : 0;
  }
  script.back() = noneEntry ? cScriptStep{kScriptRestart, 0, 1} : cScriptStep{kScriptEnded, 0, 0};
  return script;
}

}  // namespace

void BuildAnimeScripts(std::vector<cFrameScript>& scripts, const cDatabase& db) {
  scripts.clear();
  scripts.reserve(db.m_aAnime.size());
  for (size_t i = 0; i < db.m_aAnime.size(); ++i) scripts.push_back(ScriptOf(db.m_aAnime[i].m_aFrames, i == 0, true));
}

void BuildEffectScripts(std::vector<cFrameScript>& scripts, const cDatabase& db) {
  scripts.clear();
  scripts.reserve(db.m_aEffect.size());
  for (size_t i = 0; i < db.m_aEffect.size(); ++i)
    scripts.push_back(ScriptOf(db.m_aEffect[i].m_aFrames, i == 0, false));
}

// ---------------------------------------------------------------------------------------------
// Preparing players

namespace {

// Change per frame from a to b over a run time in tenths of a second. A run time of 0 or less
// (broken data) runs over a single frame instead of dividing by zero.
double StepOver(int32_t a, int32_t b, int32_t tenths) {
  const double frames = tenths > 0 ? static_cast<double>(tenths) * kFramesPerTenth : 1.0;
  return std::fabs(static_cast<double>(b) - static_cast<double>(a)) / frames;
}

template <class T>
T& ReversedCopyOf(std::vector<T>& reversedList, const std::vector<T>& list, int n) {
  // The reversed copy is always rebuilt from the forward entry, so preparing twice never undoes
  // a swap.
  T& copy = VecAt(reversedList, n);
  copy = VecAt(list, n);
  return copy;
}

}  // namespace

void PrepareCharaEffect(cCharaEffectPlay& play, int n, int reversed, cDatabase& db) {
  play.nEffect = static_cast<int16_t>(n);
  cCharaEffectData* entry =
      reversed ? &ReversedCopyOf(db.m_aCharaEffectRev, db.m_aCharaEffect, n) : &VecAt(db.m_aCharaEffect, n);
  play.pEntry = entry;
  int32_t* p = entry->m_anParams;  // p[0] is parameter 1, the run time
  const int kind = entry->m_nKind;
  const bool ranged = (kind >= 1 && kind <= 5) || (kind >= 7 && kind <= 13) || kind == 15 || kind == 16;
  if (ranged) {
    play.nDuration = p[0];
    if (reversed) std::swap(p[1], p[2]);
    play.nStart = p[1];
    play.nEnd = p[2];
    play.dValue = play.nStart;
    play.dStep = StepOver(play.nStart, play.nEnd, p[0]);
    if (kind == 4 || kind == 5) play.nWork1 = 0;
  } else if (kind == 6 || kind == 14) {
    // The second parameter is an interval: the value counts tenths of a second up to the run time.
    play.nStart = 0;
    play.nEnd = p[0];
    play.nDuration = p[0];
    play.dValue = 0.0;
    play.dStep = 1.0 / kFramesPerTenth;
    play.nWork1 = play.nWork2 = 0;
  }
  if (kind != 0 && play.nStart == play.nEnd) {
    play.dStep = 1.0 / kFramesPerTenth;
    play.dElapsed = 0.0;
  }
}

void PrepareScrEffect(cScrEffectPlay& play, int n, int reversed, cDatabase& db) {
  play.nEffect = static_cast<int16_t>(n);
  play.bTimeMode = 0;
  cScrEffectData* entry =
      reversed ? &ReversedCopyOf(db.m_aScrEffectRev, db.m_aScrEffect, n) : &VecAt(db.m_aScrEffect, n);
  play.pEntry = entry;
  int32_t* p = entry->m_anParams;
  const int kind = entry->m_nKind;
  if (kind == 1) {
    // Parameters 2, 3 are the start point, 4, 5 the end point.
    if (reversed) {
      std::swap(p[1], p[3]);
      std::swap(p[2], p[4]);
    }
    play.dValue = 0.0;
    play.dStep = 1.0 / kFramesPerTenth;
    play.nWork1 = p[1];
    play.nWork2 = p[2];
  } else if (kind == 2 || kind == 3) {
    play.dValue = 0.0;
    play.dValue2 = 0.0;
    play.dStep = 1.0 / kFramesPerTenth;
    play.nWork1 = 0;
  } else if (kind == 8) {
    play.dValue = 0.0;
    play.dStep = 1.0 / kFramesPerTenth;
    play.nWork1 = play.nWork2 = 0;
  } else if ((kind >= 4 && kind <= 7) || (kind >= 9 && kind <= 13)) {
    if (reversed) std::swap(p[1], p[2]);
    play.dValue = p[1];
    play.dStep = StepOver(p[1], p[2], p[0]);
    if (kind == 6 || kind == 7) play.nWork1 = 0;
    if (p[1] == p[2]) {
      play.bTimeMode = 1;
      play.dStep = 1.0 / kFramesPerTenth;
      play.dElapsed = 0.0;
      play.nDuration = p[0];
    }
  }
}

void BuildCharaEffectPlays(std::vector<cCharaEffectPlay>& forward, std::vector<cCharaEffectPlay>& reversed,
                           cDatabase& db) {
  const size_t n = db.m_aCharaEffect.size();
  if (db.m_aCharaEffectRev.size() < n) db.m_aCharaEffectRev.resize(n);
  forward.assign(n, cCharaEffectPlay());
  reversed.assign(n, cCharaEffectPlay());
  for (size_t i = 0; i < n; ++i) {
    PrepareCharaEffect(forward[i], static_cast<int>(i), 0, db);
    PrepareCharaEffect(reversed[i], static_cast<int>(i), 1, db);
  }
}

void BuildScrEffectPlays(std::vector<cScrEffectPlay>& forward, std::vector<cScrEffectPlay>& reversed, cDatabase& db) {
  const size_t n = db.m_aScrEffect.size();
  if (db.m_aScrEffectRev.size() < n) db.m_aScrEffectRev.resize(n);
  forward.assign(n, cScrEffectPlay());
  reversed.assign(n, cScrEffectPlay());
  for (size_t i = 0; i < n; ++i) {
    PrepareScrEffect(forward[i], static_cast<int>(i), 0, db);
    PrepareScrEffect(reversed[i], static_cast<int>(i), 1, db);
  }
}

void BuildDatabaseRuntime(cDatabase& db) {
  db.CopyReversedEffectLists();
  BuildAnimeScripts(g_AnimeScripts, db);
  BuildEffectScripts(g_EffectScripts, db);
  BuildCharaEffectPlays(g_CharaEffectPlays, g_CharaEffectPlaysRev, db);
  BuildScrEffectPlays(g_ScrEffectPlays, g_ScrEffectPlaysRev, db);
}

// ---------------------------------------------------------------------------------------------
// Character effect player

namespace {
void CopyPrepared(cCharaEffectPlay& to, const cCharaEffectPlay& from) {
  to.pEntry = from.pEntry;
  to.nStart = from.nStart;
  to.nEnd = from.nEnd;
  to.dValue = from.dValue;
  to.dStep = from.dStep;
  to.dElapsed = from.dElapsed;
  to.nDuration = from.nDuration;
  to.nWork1 = from.nWork1;
  to.nWork2 = from.nWork2;
}

void CopyPrepared(cScrEffectPlay& to, const cScrEffectPlay& from) {
  to.pEntry = from.pEntry;
  to.dValue = from.dValue;
  to.dValue2 = from.dValue2;
  to.dStep = from.dStep;
  to.nWork1 = from.nWork1;
  to.nWork2 = from.nWork2;
  to.bTimeMode = from.bTimeMode;
  to.dElapsed = from.dElapsed;
  to.nDuration = from.nDuration;
}

// Both players start and restart alike: the prepared player of the direction to play is copied
// in (a round trip turns round at each restart) and the handler counts from 0 again.
template <class Play>
void StartEffectPlay(Play& play, const std::vector<Play>& forward, const std::vector<Play>& reversed, int n, int mode,
                     int loop) {
  CopyPrepared(play, VecAt(mode == 1 ? reversed : forward, n));
  play.bReversed = mode == 1 ? 1 : 0;
  play.nEffect = static_cast<int16_t>(n);
  play.nPlayMode = mode;
  play.nHandlerCounter = 0;
  play.bLoop = loop;
}

template <class Play>
void RestartEffectPlay(Play& play, const std::vector<Play>& forward, const std::vector<Play>& reversed) {
  if (play.nPlayMode == 2) play.bReversed = play.bReversed ? 0 : 1;
  CopyPrepared(play, VecAt(play.bReversed ? reversed : forward, play.nEffect));
  play.nHandlerCounter = 0;
}
}  // namespace

void cCharaEffectPlay::ClearCharaEffect() {
  nEffect = 0;
  pEntry = nullptr;
  bLoop = 0;
  bReversed = 0;
}

void cCharaEffectPlay::StartCharaEffect(int n, int mode, int loop) {
  StartEffectPlay(*this, g_CharaEffectPlays, g_CharaEffectPlaysRev, n, mode, loop);
}

void cCharaEffectPlay::RestartCharaEffect() { RestartEffectPlay(*this, g_CharaEffectPlays, g_CharaEffectPlaysRev); }

int cCharaEffectPlay::StepCharaEffect() {
  bool running;
  if (nStart == nEnd) {
    dElapsed += dStep;
    running = dElapsed <= nDuration;
  } else if (nStart > nEnd) {
    dValue -= dStep;
    running = dValue >= nEnd;
  } else {
    dValue += dStep;
    running = dValue <= nEnd;
  }
  if (running) return 0;
  if (bLoop || (nPlayMode == 2 && !bReversed)) {
    RestartCharaEffect();
    return 0;
  }
  return 1;
}

// ---------------------------------------------------------------------------------------------
// Screen effect player

void cScrEffectPlay::ClearScrEffect() {
  nEffect = 0;
  pEntry = nullptr;
  bLoop = 0;
  bReversed = 0;
  bTimeMode = 0;
}

void cScrEffectPlay::StartScrEffect(int n, int mode, int loop) {
  StartEffectPlay(*this, g_ScrEffectPlays, g_ScrEffectPlaysRev, n, mode, loop);
}

void cScrEffectPlay::RestartScrEffect() { RestartEffectPlay(*this, g_ScrEffectPlays, g_ScrEffectPlaysRev); }

int cScrEffectPlay::StepScrEffect(double start, double end, double step) {
  bool running;
  if (bTimeMode) {
    dElapsed += dStep;
    running = dElapsed <= nDuration;
  } else if (start > end) {
    dValue -= step;
    running = std::trunc(dValue) >= end;
  } else {
    dValue += step;
    running = std::trunc(dValue) <= end;
  }
  if (running) return 0;
  if (bLoop || (nPlayMode == 2 && !bReversed)) {
    RestartScrEffect();
    return 0;
  }
  return 1;
}
