#include "shell/scene.h"

#include "core/log.h"

int cScene::Step() {
  if (g_bQuit.load()) return 0;
  if (m_nPhase == -1) {
    Enter();
    m_nPhase = 0;
  }
  if (g_bQuit.load()) return 0;
  return RunPhase();
}

int cScene::RunPhase() {
  if (m_nPhase < 0 || m_nPhaseCount == 0 || m_nPhase >= m_nPhaseCount) return 0;
  if (m_nPhase == 0) return FadeIn();
  if (m_nPhase == m_nPhaseCount - 1) return FadeOut();
  PhaseHandler h = m_apPhases[m_nPhase];
  return h ? (this->*h)() : 0;
}
