#include "stage/play_trace.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "core/numbers.h"
#include "data/save_data.h"
#include "objects/chara.h"
#include "objects/flow_state.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "objects/stage_state.h"
#include "platform/host_file_stream.h"

namespace {
constexpr int kTracedVars = 16;

// Collected on the thread that runs game frames; read after the play has ended.
bool g_traceOn = false;
std::string g_traceText;
// The file of a file trace (open while one runs).
HostFileStream g_traceFile;

class cStateHash {
 public:
  template <class T>
  void Add(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (unsigned char b : bytes) {
      m_nHash ^= b;
      m_nHash *= 0x100000001b3ULL;
    }
  }
  void AddChara(const cCharaBase& c) {
    Add(c.m_dX);
    Add(c.m_dY);
    Add(c.m_dSpeedX);
    Add(c.m_dSpeedY);
    Add(c.m_dImpactX);
    Add(c.m_dImpactY);
    Add(c.m_nHp);
    Add(c.m_nSp);
    Add(c.m_bDead);
    for (int32_t v : c.m_anVars) Add(v);
    for (const cFlowState& flow : c.m_aFlowStates) {
      Add(flow.m_bRunning);
      Add(flow.m_bSuspended);
      Add(flow.m_bHalted);
      Add(flow.m_nFrontier);
      Add(flow.m_nStepsRun);
      Add(flow.m_anFlowVars);
      for (const cCmdState& cmd : flow.m_aCmdStates) {
        Add(cmd.m_bDone);
        Add(cmd.m_nRemaining);
      }
    }
  }
  uint64_t Get() const { return m_nHash; }

 private:
  uint64_t m_nHash = 0xcbf29ce484222325ULL;
};

void AppendDouble(std::string& out, double v) {
  char text[40];
  std::snprintf(text, sizeof(text), "%.17g", v);
  out += text;
}

void AppendVars(std::string& out, const std::vector<int32_t>* vars) {
  out += '[';
  for (int i = 0; i < kTracedVars; ++i) {
    if (i) out += ',';
    const size_t at = static_cast<size_t>(i);
    out += std::to_string(vars && at < vars->size() ? (*vars)[at] : 0);
  }
  out += ']';
}
}  // namespace

uint64_t PlayStateHash() {
  cStateHash hash;
  for (const cHero& hero : g_HeroList) hash.AddChara(hero);
  for (const cChara& chara : g_CharaList) hash.AddChara(chara);
  for (const cItem& item : g_ItemList) {
    hash.Add(item.m_dX);
    hash.Add(item.m_dY);
    hash.Add(item.m_dSpeedX);
    hash.Add(item.m_dSpeedY);
    hash.Add(item.m_anFlowVars);
    hash.Add(item.m_bTaken);
    hash.Add(item.m_nLifetime);
  }
  if (g_lpSceneStage)
    for (const cShot& shot : g_lpSceneStage->m_ShotList) {
      hash.Add(shot.m_dX);
      hash.Add(shot.m_dY);
      hash.Add(shot.m_dSpeedX);
      hash.Add(shot.m_dSpeedY);
      hash.Add(shot.m_dVelX);
      hash.Add(shot.m_dVelY);
      hash.Add(shot.m_nTimeCount);
      hash.Add(shot.m_nDistanceCount);
      hash.Add(shot.m_nSwordFrame);
    }
  return hash.Get();
}

std::string PlayTraceLine(uint64_t frame) {
  std::string line;
  line.reserve(512);
  line += "{\"frame\":" + std::to_string(frame);
  line += ",\"play_frame\":" + std::to_string(g_lpSceneStage ? g_lpSceneStage->m_nFrameCount : 0);
  line += ",\"hero\":{";
  const cHero* hero = g_HeroList.empty() ? nullptr : &g_HeroList.front();
  line += "\"x\":";
  AppendDouble(line, hero ? hero->m_dX : 0.0);
  line += ",\"y\":";
  AppendDouble(line, hero ? hero->m_dY : 0.0);
  line += ",\"vx\":";
  AppendDouble(line, hero ? hero->m_dSpeedX : 0.0);
  line += ",\"vy\":";
  AppendDouble(line, hero ? hero->m_dSpeedY : 0.0);
  line += ",\"hp\":" + std::to_string(hero ? hero->m_nHp : 0);
  line += ",\"sp\":" + std::to_string(hero ? hero->m_nSp : 0);
  line += "},\"chars\":" + std::to_string(g_CharaList.size());
  line += ",\"shots\":" + std::to_string(g_lpSceneStage ? g_lpSceneStage->m_ShotList.size() : 0);
  line += ",\"items\":" + std::to_string(g_ItemList.size());
  line += ",\"score\":" + std::to_string(g_SaveData.m_nScore);
  line += ",\"timer\":" + std::to_string(g_lpSceneStage ? g_lpSceneStage->m_nTimer : 0);
  line += ",\"vars\":";
  AppendVars(line, &g_SaveData.m_anCommonVars);
  line += ",\"stage_vars\":";
  AppendVars(line, g_lpSceneStage ? &g_lpSceneStage->m_anStageVars : nullptr);
  line += ",\"rand\":" + std::to_string(QcRandState());
  char hash[24];
  std::snprintf(hash, sizeof(hash), "%016" PRIx64, PlayStateHash());
  line += ",\"state\":\"";
  line += hash;
  line += "\"}";
  return line;
}

void StartPlayTrace() {
  g_traceFile.Abandon();
  g_traceOn = true;
  g_traceText.clear();
}

bool StartPlayTraceFile(const std::string& hostPath, std::string* error) {
  g_traceText.clear();
  g_traceOn = g_traceFile.Open(hostPath);
  if (!g_traceOn && error) *error = g_traceFile.Error();
  return g_traceOn;
}

bool IsPlayTraceOn() { return g_traceOn; }

void TracePlayFrame(uint64_t frame) {
  if (!g_traceOn) return;
  if (g_traceFile.IsOpen()) {
    g_traceFile.Write(PlayTraceLine(frame) + '\n');
    return;
  }
  g_traceText += PlayTraceLine(frame);
  g_traceText += '\n';
}

const std::string& PlayTraceText() { return g_traceText; }

std::string StopPlayTrace() {
  g_traceOn = false;
  return std::exchange(g_traceText, std::string());
}

bool FinishPlayTraceFile(std::string* error) {
  if (!g_traceFile.IsOpen()) return true;
  g_traceOn = false;
  if (g_traceFile.Commit()) return true;
  if (error) *error = g_traceFile.Error();
  return false;
}
