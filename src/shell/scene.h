#pragma once
// The scene base. A scene runs as a small phase machine: phase -1 not entered, phase 0 its fade-in,
// the last phase its fade-out, its own phases between. To leave, a scene stores the wanted id in the
// scene manager's requested id and goes to its last phase; when the fade-out ends the requested id
// becomes current and the next frame creates that scene.
#include <cstdint>
#include <initializer_list>

class cScene {
 public:
  using PhaseHandler = int (cScene::*)();
  static constexpr int kMaxPhases = 8;

  cScene() = default;
  cScene(const cScene&) = delete;
  cScene& operator=(const cScene&) = delete;
  virtual ~cScene() = default;

  // One frame: nothing while the fatal-stop flag is set; Enter on the first frame (phase -1 becomes
  // 0); then the handler of the current phase.
  virtual int Step();
  virtual void Enter() {}
  virtual int FadeIn() { return 0; }
  virtual int FadeOut() { return 0; }

  // Number of phases in the handler table (0 when the scene set none).
  int PhaseCount() const { return m_nPhaseCount; }
  int LastPhase() const { return m_nPhaseCount > 0 ? m_nPhaseCount - 1 : 0; }

  int32_t m_nPhase = -1;
  int32_t m_nSubState = 0;

 protected:
  // Fills the handler table with the derived scene's own phase handlers; entry 0 and the last entry
  // stand for FadeIn and FadeOut and are called through them (pass nullptr for those two).
  template <class Derived>
  void SetPhases(std::initializer_list<int (Derived::*)()> handlers) {
    m_nPhaseCount = 0;
    for (auto h : handlers) {
      if (m_nPhaseCount >= kMaxPhases) break;
      m_apPhases[m_nPhaseCount++] = static_cast<PhaseHandler>(h);
    }
  }
  // Runs the handler of the current phase.
  int RunPhase();

 private:
  PhaseHandler m_apPhases[kMaxPhases] = {};
  int m_nPhaseCount = 0;
};
