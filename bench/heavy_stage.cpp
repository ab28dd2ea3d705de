// A heavy stage played headless: a 1000 x 100 map at hit-check level 9 with 300 characters over 8
// groups, 60 block characters each carrying a rider, 200 items, and a flow with code on every
// character (the stage is built in code and written as a stage file); after set-up the characters
// have 500 shots in flight, fired by characters of every group around the view: slow,
// through blocks and piercing, so that they cross characters of other groups and stay in flight for
// the whole run. One benchmark iteration is one play frame, so the time per iteration is the logic
// (and the logic-side drawing) of a frame; 3600 frames are played. Reported besides: the mean and
// 99th percentile of a frame in ms, heap allocations per frame, the load and set-up of the stage
// (file read, upgrades, set-up up to its first frame) in ms, and the characters and shots left at
// the end; the frames and the load and set-up also in processor time, which other programs on a
// shared machine do not lengthen. Targets: at most 1 ms a frame on
// one core, no allocation per frame outside summons and removals, at most 20 ms to load and set up.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
#include <vector>

#include "core/log.h"
#include "data/game_data.h"
#include "objects/play_objects.h"
#include "objects/shot.h"
#include "platform/message_box.h"
#include "shell/input_state.h"
#include "stage/install_stage_play.h"
#include "stage/scene_stage.h"
#include "stage/stage_loading.h"

namespace {
std::atomic<uint64_t> g_allocations{0};
}  // namespace

void* operator new(size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

// The calling thread's processor time: on a shared machine the wall clock also counts the time
// other programs held the core.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

constexpr int kColumns = 1000;
constexpr int kRows = 100;
constexpr int kFloorRow = 98;

cCharaType Chara(int column, int row, int group) {
  cCharaType type;
  type.m_nGraphic = 1;
  type.m_nControl = 1;
  type.m_nScale = 1;
  type.m_nMaxHp = 10;
  type.m_nOpt28 = static_cast<int8_t>(group);
  type.m_nCellX = static_cast<int16_t>(column);
  type.m_nCellY = static_cast<int16_t>(row);
  type.m_nCarriedItem = kNoCarriedItem;
  cFlowCmd code;
  code.m_nKind = 37;  // "コードの実行"
  code.m_strText = "C1 = C1 + 1";
  cFlow flow;
  flow.m_nTrigger = 0;
  flow.m_aCmds = {code};
  type.m_aFlows = {flow};
  return type;
}

// The heavy stage as a file in the current folder.
void WriteHeavyStage(const char* path) {
  cStageData stage;
  stage.m_nWidth = kColumns;
  stage.m_nHeight = kRows;
  stage.m_nHitCheckLevel = 9;
  for (int c = 0; c < kColumns; ++c) {
    cBlockType floor;
    floor.m_nGraphic = 1;
    floor.m_nContact = 1;
    floor.m_nCellX = static_cast<int16_t>(c);
    floor.m_nCellY = kFloorRow + 1;
    stage.m_aBlocks.push_back(floor);
  }
  cCharaType hero = Chara(2, kFloorRow, 0);
  hero.m_nControl = 0;
  hero.m_aFlows.clear();
  stage.m_aCharas.push_back(hero);
  for (int i = 0; i < 300; ++i) stage.m_aCharas.push_back(Chara(10 + (i * 3) % (kColumns - 20), kFloorRow, i % 8));
  for (int i = 0; i < 60; ++i) {
    cCharaType block = Chara(20 + i * 16, kFloorRow - 3, i % 8);
    block.m_bBlockChara = 1;
    block.m_nMoveMode = 2;  // flying, colliding with blocks
    stage.m_aCharas.push_back(block);
    stage.m_aCharas.push_back(Chara(20 + i * 16, kFloorRow - 4, (i + 1) % 8));  // its rider
  }
  for (int i = 0; i < 200; ++i) {
    cItemType item;
    item.m_nGraphic = 1;
    item.m_nCellX = static_cast<int16_t>(5 + i * 5);
    item.m_nCellY = kFloorRow - 1;
    stage.m_aItems.push_back(item);
  }
  stage.SaveFile(path);
}

constexpr int kShots = 500;

// Shots of the characters' own groups as their shot command fires them, within the 10 cells beyond
// the view where a computer character's shots stay in flight: a third along the row of the
// characters and riders (where they cross characters of other groups), the others above it. They
// drift slowly (right-going ones from the left part, left-going ones from the right part), pass
// through blocks and pierce characters, so that all of them stay in flight for the whole run.
void FireShots(cStageState& stage) {
  std::vector<cChara*> firers;
  for (cChara& chara : g_CharaList)
    if (!chara.m_Type.m_bBlockChara) firers.push_back(&chara);
  cEdShot settings;
  settings.m_bThroughBlocks = 1;
  settings.m_nS45 = 1;  // pierces characters
  settings.m_nS46 = 1;  // and block characters
  constexpr int kMargin = 10 * 32 - 48;
  const int left = static_cast<int>(stage.m_ScrollX.m_dPosition) - kMargin;
  const int width = 640 + 2 * kMargin;
  const int top = static_cast<int>(stage.m_ScrollY.m_dPosition) - kMargin;
  const int height = 480 + 2 * kMargin;
  const int floorTop = (kFloorRow + 10) * 32;
  constexpr double kSpeed = 0.12;  // dots a frame: 432 dots in the run
  constexpr int kDrift = 440;
  for (int i = 0; i < kShots; ++i) {
    cChara& firer = *firers[static_cast<size_t>(i * 7) % firers.size()];
    const bool right = i % 2 == 0;
    SHOTLAUNCH launch;
    launch.nX = left + (right ? 0 : kDrift) + (i * 37) % (width - kDrift);
    launch.nY = i % 3 == 0 ? floorTop - (i * 13) % 64 : top + (i * 53) % (floorTop - 64 - top);
    launch.nY = std::min(launch.nY, top + height - 16);
    launch.dVelX = right ? kSpeed : -kSpeed;
    cShot& shot = stage.m_ShotList.emplace_back();
    shot.InitShot(stage.m_nNextShotId++, firer, kCmdKindShot, settings, launch);
    shot.RegisterShotLinks();
    stage.m_aShotGroups.at(static_cast<size_t>(shot.m_nKind)).push_back(&shot);
  }
}

class HeavyStage {
 public:
  HeavyStage() {
    char folder[] = "/tmp/qc4_bench_stage_XXXXXX";
    m_Dir = mkdtemp(folder);
    m_Old = std::filesystem::current_path();
    std::filesystem::current_path(m_Dir);
    std::filesystem::create_directories("data/stg4");
    SetMessageBoxHandler([](const char*, const char*, unsigned) { return 1; });
    g_PlayObjects.Reset();
    InstallStagePlay();
    g_InputStates.resize(1);
    WriteHeavyStage("data\\stg4\\heavy.stg4_000");
    g_PlayObjects.Reset();
    const auto start = std::chrono::steady_clock::now();
    const double startCpu = ThreadCpuMs();
    m_bLoaded = LoadPlayStage("data\\stg4\\heavy.stg4", true, &g_StageData, &g_HeroType) != 0;
    m_lpScene = new cSceneStage;
    m_lpScene->SetupStage(0, 1);
    m_lpScene->m_nPhase = kStagePhasePlay;
    m_dLoadMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    m_dLoadCpuMs = ThreadCpuMs() - startCpu;
    if (m_bLoaded) FireShots(*m_lpScene);
  }
  ~HeavyStage() {
    delete m_lpScene;
    g_PlayObjects.Reset();
    SetMessageBoxHandler(nullptr);
    std::filesystem::current_path(m_Old);
    std::filesystem::remove_all(m_Dir);
  }
  cSceneStage& Scene() { return *m_lpScene; }
  bool Loaded() const { return m_bLoaded; }
  double LoadMs() const { return m_dLoadMs; }
  double LoadCpuMs() const { return m_dLoadCpuMs; }

 private:
  std::filesystem::path m_Dir, m_Old;
  cSceneStage* m_lpScene = nullptr;
  bool m_bLoaded = false;
  double m_dLoadMs = 0;
  double m_dLoadCpuMs = 0;
};

void BM_HeavyStageFrame(benchmark::State& state) {
  HeavyStage stage;
  if (!stage.Loaded()) {
    state.SkipWithError("the heavy stage did not load");
    return;
  }
  std::vector<double> frameMs;
  std::vector<double> frameCpuMs;
  frameMs.reserve(4000);
  frameCpuMs.reserve(4000);
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = g_allocations.load(std::memory_order_relaxed);
    const auto start = std::chrono::steady_clock::now();
    const double startCpu = ThreadCpuMs();
    stage.Scene().Step();
    frameCpuMs.push_back(ThreadCpuMs() - startCpu);
    frameMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    allocations += g_allocations.load(std::memory_order_relaxed) - before;
  }
  // Mean and 99th percentile of a list of frame times.
  auto report = [&state](std::vector<double>& ms, const char* mean, const char* p99) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms) sum += m;
    const size_t n = ms.size();
    state.counters[mean] = n ? sum / static_cast<double>(n) : 0;
    state.counters[p99] = n ? ms[std::min(n - 1, n * 99 / 100)] : 0;
  };
  report(frameMs, "mean_ms", "p99_ms");
  report(frameCpuMs, "mean_cpu_ms", "p99_cpu_ms");
  const size_t n = frameMs.size();
  state.counters["allocs_per_frame"] = n ? static_cast<double>(allocations) / static_cast<double>(n) : 0;
  state.counters["load_setup_ms"] = stage.LoadMs();
  state.counters["load_setup_cpu_ms"] = stage.LoadCpuMs();
  state.counters["characters"] = static_cast<double>(g_CharaList.size());
  state.counters["shots"] = static_cast<double>(stage.Scene().m_ShotList.size());
}
BENCHMARK(BM_HeavyStageFrame)->Iterations(3600)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
