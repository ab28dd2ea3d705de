#include "shell/scene_mgr.h"

#include <new>
#include <utility>

#include "core/log.h"
#include "shell/main_window.h"
#include "shell/scene.h"

cSceneMgr g_SceneMgr;

namespace {
cSceneHooks g_sceneHooks;

// A scene whose class is not part of this build: it draws nothing and stays in its first phase.
class cEmptyScene : public cScene {};
}  // namespace

cSceneHooks SetSceneHooks(const cSceneHooks& hooks) { return std::exchange(g_sceneHooks, hooks); }

int SceneSlotOf(int id) {
  if (id == kSceneStage) return 7;
  if (id == kSceneOption) return 6;
  return id;
}

cScene* cSceneMgr::SceneAt(int id) const {
  if (id < 0 || id >= kSceneCount) return nullptr;
  return m_apScenes[SceneSlotOf(id)];
}

void cSceneMgr::SwitchScene(int id) {
  for (int other = 0; other < kSceneCount; ++other) {
    if (other == id) continue;
    cScene*& slot = m_apScenes[SceneSlotOf(other)];
    if (!slot) continue;
    delete slot;
    slot = nullptr;
  }
  if (id < 0 || id >= kSceneCount) return;
  cScene*& slot = m_apScenes[SceneSlotOf(id)];
  if (slot) return;
  try {
    auto create = g_sceneHooks.createScene[id];
    slot = create ? create() : new cEmptyScene;
  } catch (const std::bad_alloc&) {
    slot = nullptr;
    OutOfMemoryQuit();
    return;
  } catch (const char* text) {
    slot = nullptr;
    ECLogAndQuit(g_hMainWnd.load(), "%s", text ? text : "");
    return;
  }
}

void cSceneMgr::DestroyAllScenes() {
  for (auto*& scene : m_apScenes) {
    delete scene;
    scene = nullptr;
  }
}

void cSceneMgr::RequestBgm(int number, int flag, int situation, int force) {
  if (!force && number != 0 && flag != 0 && number == m_nLastBgm && m_nLastBgmFlag != 0) return;
  m_nLastBgm = number;
  m_nLastBgmFlag = flag;
  SendMessage(g_hMainWnd.load(), kMsgPlayBgm, static_cast<WPARAM>(situation), 0);
}

int PulseValue(int& value, int& direction, int step, int minimum, int maximum) {
  if (direction == 0) {
    value += step;
    if (value >= maximum) {
      value -= step;
      direction = 1;
    }
    return 0;
  }
  value -= step;
  if (value <= minimum) {
    value += step;
    direction = 0;
    return 1;
  }
  return 0;
}
