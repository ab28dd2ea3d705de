#pragma once
// The stage's modal-wait record: what a game wait, a waiting message, a choice, an effect wait or a
// picture wait waits for, and the choices of a message with the selected one. The command that
// waits arms it (SetupGameWait, a stage service, through Arm) and runs the stage's modal loop, which
// counts the frames, moves the choice cursor and writes the selection.
#include <cstdint>
#include <vector>

// One choice of a message: where its tag stands in the text, its value and its default rule.
struct cChoiceEntry {
  int32_t nX = 0;         // 16 x column of the tag in the text
  int32_t nY = 0;         // 16 x line
  int32_t nValue = 0;     // the value stored when chosen
  int32_t nReserved = 0;  // not written
  int32_t nAction = 0;    // default rule: 0 plain, 1 D (always), 2 C, 3 S, 4 V, 5 F
  int32_t nIndex = 0;     // variable index of the rule (F: 1 A, 2 B)
};

// Kinds of wait.
enum : int32_t {
  kWaitTimer = 0,  // the game-wait command
  kWaitMessage = 1,
  kWaitEffect = 2,
  kWaitPicture = 3,
};

// Frames a key-waiting message ignores keys for, unless it continues the previous message.
constexpr int32_t kMessageKeyDelay = 20;

class cGameWait {
 public:
  // Arms the record for one wait: kind, key wait and frames as given, the counter at 0, the choices
  // copied (none: emptied), and a key delay for a key-waiting message that does not continue the
  // previous one (noDelay 0). The selection is left to the modal loop.
  void Arm(int32_t kind, int32_t waitKey, int32_t frames, int32_t noDelay, const std::vector<cChoiceEntry>* choices);
  // Leaves the record armed as it is, without choices.
  void DropChoices();

  int32_t m_nKind = kWaitTimer;
  int32_t m_nKeyDelay = 0;               // frames during which no key is accepted
  int32_t m_bWaitKey = 0;                // the wait ends on a fresh press of button 1
  int32_t m_nFrames = 0;                 // remaining frames when not waiting for a key
  int32_t m_nCounter = 0;                // frames waited so far (automatic advance in replay playback)
  std::vector<cChoiceEntry> m_aChoices;  // the choices of a message
  int32_t m_nChoiceCount = 0;
  int32_t m_nSelection = 0;  // index of the selected choice (written by the modal loop)
};
