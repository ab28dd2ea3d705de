#include "flow/game_wait.h"

void cGameWait::Arm(int32_t kind, int32_t waitKey, int32_t frames, int32_t noDelay,
                    const std::vector<cChoiceEntry>* choices) {
  m_nKind = kind;
  m_bWaitKey = waitKey;
  m_nFrames = frames;
  m_nCounter = 0;
  if (choices) {
    m_aChoices = *choices;
  } else {
    m_aChoices.clear();
  }
  m_nChoiceCount = static_cast<int32_t>(m_aChoices.size());
  m_nKeyDelay = waitKey && kind == kWaitMessage && !noDelay ? kMessageKeyDelay : 0;
}

void cGameWait::DropChoices() {
  m_aChoices.clear();
  m_nChoiceCount = 0;
}
