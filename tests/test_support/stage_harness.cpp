#include "test_support/stage_harness.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "core/containers.h"
#include "core/log.h"
#include "core/numbers.h"
#include "data/anim_scripts.h"
#include "data/game_data.h"
#include "objects/chara_conditions.h"
#include "objects/shot.h"

// The traces' way into the harness that is alive.
struct cHarnessAccess {
  static void AddDraw(cStageHarness& h, const DDTRACECALL& call) { h.m_Draws.push_back(call); }
  static void AddSound(cStageHarness& h, int slot) { h.m_Sounds.push_back(slot); }
};

namespace {

constexpr int kMargin = 10;
constexpr int kCell = 32;

cHarnessPlugins g_plugins;
cStageHarness* g_active = nullptr;

void Record(const std::string& name, std::vector<double> args) {
  if (g_active) g_active->AddCall(name, std::move(args));
}

// The stage-service stand-ins: what objects and flows need of stage play, and no more. The modal
// waits belong to the flow layer's stage: cFlowHarness adds their stand-ins.

bool EvalOneCondition(cCond& cond, cCharaBase* chara, int32_t* flowVars) {
  switch (cond.m_nKind) {
    case kCondCommonVar:
      return CompareByOp(VecAt(g_SaveData.m_anCommonVars, cond.m_nVarIndex), cond.m_nOperand, cond.m_nOperator) != 0;
    case kCondStageVar: {
      cStageState* stage = g_lpSceneStage;
      return stage &&
             CompareByOp(VecAt(stage->m_anStageVars, cond.m_nVarIndex), cond.m_nOperand, cond.m_nOperator) != 0;
    }
    case kCondCharaVar:
      return chara && CompareByOp(VecAt(chara->m_anVars, cond.m_nVarIndex), cond.m_nOperand, cond.m_nOperator) != 0;
    case kCondStatus:
    case kCondStatus2:
    case kCondState:
    case kCondDistance: return chara && g_plugins.evalCharaCond && g_plugins.evalCharaCond(cond, *chara, flowVars);
    default: return false;
  }
}

bool StandInEvalConditionList(std::vector<cCond>& conds, int mode, cCharaBase* chara, int32_t* flowVars) {
  if (mode == 0) {
    for (cCond& cond : conds)
      if (!EvalOneCondition(cond, chara, flowVars)) return false;
    return true;
  }
  if (mode == 1) {
    for (cCond& cond : conds)
      if (EvalOneCondition(cond, chara, flowVars)) return true;
    return false;
  }
  return false;
}

bool StandInCheckFlowCondition(cFlowState& state, cCharaBase& chara) {
  cFlow* flow = state.m_lpFlow;
  if (!flow || flow->m_aConds.empty()) return true;
  if (flow->m_bCondLatch && state.m_bCondLatch) return true;
  if (!StandInEvalConditionList(flow->m_aConds, flow->m_nCondMode, &chara, state.m_anFlowVars)) return false;
  state.m_bCondLatch = 1;
  return true;
}

int StandInTakeItem(cItem& item, cHero& hero) {
  Record("takeItem", {double(item.m_nNumber), double(hero.m_nNumber)});
  return g_active ? g_active->m_nTakeItemResult : 0;
}

void StandInSummonChara(double x, double y, cCharaType&, const cEdShot&, cCharaBase* summoner) {
  Record("summonChara", {x, y, summoner ? double(summoner->m_nNumber) : -1.0});
}

void StandInSummonItem(double x, double y, cItemType&, const cEdShot&) { Record("summonItem", {x, y}); }

int StandInSummonBlock(double x, double y, const cEdShot&, cBlockType&) {
  Record("summonBlock", {x, y});
  return 0;
}

std::list<cChara>::iterator StandInEraseChara(std::list<cChara>::iterator pos) {
  pos->UnlinkAll();
  if (cStageState* stage = g_lpSceneStage)
    for (auto& group : stage->m_aCharaGroups) group.remove(&*pos);
  return g_CharaList.erase(pos);
}

// A block solid for the character's kind under one of its corners.
bool StandInIsCharaPlaceBlocked(cCharaBase& chara) {
  cStageState* stage = g_lpSceneStage;
  if (!stage) return false;
  const int shift = stage->BlockRowShift();
  const int columns = stage->m_ScrollX.m_nCells;
  const int rows = stage->m_ScrollY.m_nCells;
  for (double x : {chara.m_dX, chara.m_dX2}) {
    for (double y : {chara.m_dY, chara.m_dY2}) {
      const int column = TruncToInt(x) >> 5;
      const int row = TruncToInt(y) >> 5;
      if (column < 0 || row < 0 || column >= columns || row >= rows) continue;
      if (GetBlockContact(VecAt(g_BlockTable, column + (row << shift)), chara.m_nKind) != 0) return true;
    }
  }
  return false;
}

int StandInCountActiveBlocks() {
  return static_cast<int>(
      std::count_if(g_BlockTable.begin(), g_BlockTable.end(), [](const cBlock& b) { return b.m_nGraphic != 0; }));
}

void StandInChangeScreenColour(const cFlowCmd& cmd) { Record("changeScreenColour", {double(cmd.m_nKind)}); }
void StandInBuildViewMask(cHero& hero) { Record("buildViewMask", {double(hero.m_nViewRange)}); }
void StandInRequestBgm(int number, int option) { Record("requestBgmByNumber", {double(number), double(option)}); }

cStageHooks StandInHooks(const cHarnessSetup& setup) {
  cStageHooks hooks;
  hooks.checkFlowCondition = StandInCheckFlowCondition;
  hooks.evalConditionList = StandInEvalConditionList;
  hooks.takeItem = StandInTakeItem;
  hooks.summonChara = StandInSummonChara;
  hooks.summonItem = StandInSummonItem;
  hooks.summonBlock = StandInSummonBlock;
  hooks.eraseChara = StandInEraseChara;
  hooks.isCharaPlaceBlocked = StandInIsCharaPlaceBlocked;
  hooks.countActiveBlocks = StandInCountActiveBlocks;
  hooks.changeScreenColour = StandInChangeScreenColour;
  hooks.buildViewMask = StandInBuildViewMask;
  hooks.requestBgmByNumber = StandInRequestBgm;
  if (setup.addStandIns) setup.addStandIns(hooks);
  return hooks;
}

void TraceDraw(const DDTRACECALL& call) {
  if (g_active) cHarnessAccess::AddDraw(*g_active, call);
}

void TraceSound(int slot) {
  if (g_active) cHarnessAccess::AddSound(*g_active, slot);
}

}  // namespace

cHarnessPlugins SetHarnessPlugins(const cHarnessPlugins& plugins) { return std::exchange(g_plugins, plugins); }

bool HarnessEvalCharaCond(cCond& cond, cCharaBase& chara, int32_t* flowVars) {
  switch (cond.m_nKind) {
    case kCondStatus: return CheckStatusCond(cond, chara, flowVars);
    case kCondStatus2: return CheckStatusCond2(chara, cond);
    case kCondState: return CheckStateCond(chara, cond);
    case kCondDistance: return CheckDistanceCond(chara, cond);
    default: return false;
  }
}

void HarnessInitHero(cStageHarness& h, cHero& hero, cCharaType& type, const cHarnessPlacement& at) {
  hero.InitHero(h.Stage().m_nNextCharaId++, type, at.dX, at.dY, 0);
  hero.SetGridPos(at.nColumn, at.nRow, 1);
}

void HarnessInitChara(cStageHarness& h, cChara& chara, cCharaType& type, const cHarnessPlacement& at) {
  chara.InitChara(h.Stage().m_nNextCharaId++, type, nullptr, at.dX, at.dY, 0);
  chara.PlaceCharaOnGrid(at.nColumn, at.nRow);
}

void HarnessInitItem(cStageHarness& h, cItem& item, cItemType& type, const cHarnessPlacement& at) {
  item.InitItem(h.Stage().m_nNextItemId++, type, 0);
  item.PlaceItemOnGrid(at.nColumn, at.nRow, 1);
}

cBlockType HarnessBlockType(int contact) {
  cBlockType type;
  type.m_nGraphic = 1;
  type.m_nContact = static_cast<int8_t>(contact);
  return type;
}

cCharaType HarnessHeroType() {
  cCharaType type;
  type.m_nGraphic = 1;
  type.m_nControl = 0;
  type.m_nPlayer = 0;
  return type;
}

cCharaType HarnessCharaType() {
  cCharaType type;
  type.m_nGraphic = 1;
  type.m_nControl = 1;
  return type;
}

cItemType HarnessItemType() {
  cItemType type;
  type.m_nGraphic = 1;
  return type;
}

cStageHarness::cStageHarness(const std::vector<std::string>& map)
    : cStageHarness([&] {
        cHarnessSetup setup;
        setup.map = map;
        return setup;
      }()) {}

// The members make the fresh run first and install the stand-ins; the run is then prepared and the
// stage built on it.
cStageHarness::cStageHarness(const cHarnessSetup& setup)
    : m_lpStage(setup.makeStage ? setup.makeStage() : std::make_unique<cStageState>()),
      m_StageHooks(SetStageHooks, StandInHooks(setup)),
      m_DrawTrace(SetDrawTraceHooks, cDrawTraceHooks{TraceDraw}),
      m_SoundTrace(SetSoundTraceHooks, cSoundTraceHooks{TraceSound}) {
  if (g_active) ADD_FAILURE() << "only one stage harness may live at a time";
  g_active = this;
  g_bQuit = 0;
  m_lpPrevStage = g_lpSceneStage;
  g_lpSceneStage = m_lpStage.get();
  m_PrevInputStates = std::exchange(g_InputStates, std::vector<cInputState>(1));
  if (setup.prepareRun) setup.prepareRun();
  // The database's run-time forms, as start-up builds them after loading the database.
  BuildDatabaseRuntime();
  QcSrand(setup.nSeed);
  Build(setup);
}

// The members then go in reverse: the seams come back, the stage goes (its shots unlink themselves
// from the characters, which still live), and the run is renewed.
cStageHarness::~cStageHarness() {
  if (g_bQuit.load() && !m_bFatalStopExpected) ADD_FAILURE() << "a fatal stop happened on the stage harness";
  g_InputStates = std::move(m_PrevInputStates);
  g_lpSceneStage = m_lpPrevStage;
  g_active = nullptr;
}

cStageHarness* cStageHarness::Active() { return g_active; }

void cStageHarness::AddCall(const std::string& name, std::vector<double> args) {
  m_Calls.push_back(cHarnessCall{name, std::move(args)});
}

void cStageHarness::Build(const cHarnessSetup& setup) {
  std::map<char, cBlockType> blocks = setup.blocks;
  blocks.emplace('#', HarnessBlockType(1));
  m_CharaTypes = setup.charas;
  m_CharaTypes.emplace('H', HarnessHeroType());
  m_CharaTypes.emplace('C', HarnessCharaType());
  m_ItemTypes = setup.items;
  m_ItemTypes.emplace('I', HarnessItemType());

  m_nRows = static_cast<int>(setup.map.size());
  m_nColumns = 0;
  for (const std::string& row : setup.map) m_nColumns = std::max(m_nColumns, static_cast<int>(row.size()));

  cStageData& stage = g_StageFile;
  stage.m_nWidth = m_nColumns;
  stage.m_nHeight = m_nRows;
  stage.m_dGravity = setup.dGravity;
  for (int row = 0; row < m_nRows; ++row) {
    for (int column = 0; column < static_cast<int>(setup.map[row].size()); ++column) {
      const char letter = setup.map[row][column];
      if (letter == '.' || letter == ' ') continue;
      cHarnessPlacement at;
      at.cLetter = letter;
      at.nColumn = column;
      at.nRow = row;
      at.dX = (column + kMargin) * kCell + 16;
      at.dY = (row + kMargin) * kCell + 16;
      if (auto b = blocks.find(letter); b != blocks.end()) {
        cBlockType placed = b->second;
        placed.m_nCellX = static_cast<int16_t>(column);
        placed.m_nCellY = static_cast<int16_t>(row);
        stage.m_aBlocks.push_back(placed);
        continue;
      }
      if (auto c = m_CharaTypes.find(letter); c != m_CharaTypes.end()) {
        cCharaType placed = c->second;
        placed.m_nCellX = static_cast<int16_t>(column);
        placed.m_nCellY = static_cast<int16_t>(row);
        placed.m_nCarriedItem = kNoCarriedItem;
        at.nIndex = static_cast<int>(stage.m_aCharas.size());
        stage.m_aCharas.push_back(placed);
      } else if (auto i = m_ItemTypes.find(letter); i != m_ItemTypes.end()) {
        cItemType placed = i->second;
        placed.m_nCellX = static_cast<int16_t>(column);
        placed.m_nCellY = static_cast<int16_t>(row);
        at.bItem = true;
        at.nIndex = static_cast<int>(stage.m_aItems.size());
        stage.m_aItems.push_back(placed);
      } else {
        ADD_FAILURE() << "unknown letter '" << letter << "' in the harness map";
        continue;
      }
      m_Placements.push_back(at);
    }
  }
  stage.SetHitCheckLevel(setup.nHitCheckLevel);
  BuildScrollAxes();
  BuildBlockTable();
  BuildObjects();
}

// One axis as stage set-up makes it: the map with a 10-cell margin on each side; the horizontal
// axis also lays out the block table's rows (1 << shift cells each).
static void SetUpAxis(cScrollAxis& axis, int index, int cells, int autoOn, int autoSpeed, int limit) {
  const cStageData& stage = g_StageFile;
  axis.LayOutMap(index, cells);
  axis.SetAutoScroll(autoOn, autoSpeed);
  axis.SetScrollRange(stage.m_anScrollLimit[limit], stage.m_anScrollLimit[limit + 1], stage.m_abScrollLimitOn[limit],
                      stage.m_abScrollLimitOn[limit + 1]);
}

void cStageHarness::BuildScrollAxes() {
  const cStageData& stage = g_StageFile;
  SetUpAxis(m_lpStage->m_ScrollX, 0, m_nColumns, stage.m_bAutoScrollX, stage.m_nAutoScrollSpeedX, 0);
  SetUpAxis(m_lpStage->m_ScrollY, 1, m_nRows, stage.m_bAutoScrollY, stage.m_nAutoScrollSpeedY, 2);
  m_lpStage->m_nBlockOriginX = kMargin;
  m_lpStage->m_nBlockOriginY = kMargin;
}

void cStageHarness::BuildBlockTable() {
  const int shift = m_lpStage->BlockRowShift();
  g_BlockTable.assign(static_cast<size_t>(m_lpStage->m_ScrollX.m_nRowStride) * m_lpStage->m_ScrollY.m_nCells, cBlock());
  for (cBlock& cell : g_BlockTable) {
    cell.m_nGraphic = 0;
    cell.m_nContact = 0;
    cell.m_bProtected = 0;
  }
  for (const cBlockType& placed : g_StageFile.m_aBlocks) {
    cBlock& cell = VecAt(g_BlockTable, ((placed.m_nCellY + kMargin) << shift) + placed.m_nCellX + kMargin);
    static_cast<cBlockType&>(cell) = placed;
  }
}

// In the order of stage set-up: the hero (the first placed character under player control), every
// computer character, every item; each built in its list, initialised through the plug-ins, then
// put in its group list and linked.
void cStageHarness::BuildObjects() {
  const int heroIndex = g_StageFile.FindHero();
  if (heroIndex < 0) ADD_FAILURE() << "the harness map has no hero";
  g_HeroList.resize(1);
  for (const cHarnessPlacement& at : m_Placements) {
    if (at.bItem || at.nIndex != heroIndex) continue;
    if (g_plugins.initHero) g_plugins.initHero(*this, g_HeroList[0], g_StageFile.m_aCharas[at.nIndex], at);
  }
  for (const cHarnessPlacement& at : m_Placements) {
    if (at.bItem || at.nIndex == heroIndex) continue;
    cCharaType& type = g_StageFile.m_aCharas[static_cast<size_t>(at.nIndex)];
    if (type.m_nControl != 1) continue;
    g_CharaList.emplace_back();
    if (g_plugins.initChara) g_plugins.initChara(*this, g_CharaList.back(), type, at);
  }
  for (const cHarnessPlacement& at : m_Placements) {
    if (!at.bItem) continue;
    g_ItemList.emplace_back();
    if (g_plugins.initItem) g_plugins.initItem(*this, g_ItemList.back(), g_StageFile.m_aItems[at.nIndex], at);
  }
  VecAt(m_lpStage->m_aCharaGroups, g_HeroList[0].m_nKind).push_back(&g_HeroList[0]);
  for (cChara& chara : g_CharaList) VecAt(m_lpStage->m_aCharaGroups, chara.m_nKind).push_back(&chara);
  g_HeroList[0].LinkHeroAndParent(nullptr);
  for (cChara& chara : g_CharaList) chara.LinkHeroAndParent(nullptr);

  const cHero& hero = g_HeroList[0];
  m_lpStage->m_ScrollX.m_dPosition = hero.m_dX - 320 + hero.m_nWidth / 2;
  m_lpStage->m_ScrollX.ClampScroll();
  m_lpStage->m_ScrollY.m_dPosition = hero.m_dY - 240 + hero.m_nHeight / 2;
  m_lpStage->m_ScrollY.ClampScroll();
  m_lpStage->m_nTimer = g_StageFile.m_bTimeLimit ? g_StageFile.m_nTimeLimit : kStageTimerMax;
  m_lpStage->m_bTimerStopped = g_StageFile.m_bTimeLimit ? 0 : 1;
}

void cStageHarness::Input(uint16_t dir, uint16_t button, int frames) {
  if (frames > 0) m_Input.push_back({dir, button, frames});
}

void cStageHarness::Step(int frames) {
  for (int f = 0; f < frames; ++f) {
    ++m_nFrame;
    ++m_lpStage->m_nFrameCount;
    cInputState& input = g_InputStates[0];
    input.m_wDir = 0;
    input.m_wButton = 0;
    if (g_plugins.readInput) {
      g_plugins.readInput(*this, input);
    } else if (!m_Input.empty()) {
      input.m_wDir = m_Input.front().wDir;
      input.m_wButton = m_Input.front().wButton;
      if (--m_Input.front().nFrames <= 0) m_Input.erase(m_Input.begin());
    }
    input.RecordInputHistory();
    input.UpdateKeyEvents();
    if (g_plugins.frameStart) g_plugins.frameStart(*this);
    if (!g_plugins.subStep) {
      ADD_FAILURE() << "no logic sub-step is plugged into the stage harness";
      return;
    }
    const int n = g_StageFile.m_nSubSteps;
    for (int i = 1; i <= n; ++i) {
      m_lpStage->m_nSubStep = i;
      ++m_lpStage->m_nSubStepTotal;
      g_plugins.subStep(*this, i);
    }
    if (g_plugins.drawFrame) g_plugins.drawFrame(*this, 0);
  }
}

void cStageHarness::Draw(int hold) {
  if (g_plugins.drawFrame) g_plugins.drawFrame(*this, hold);
}

void cStageHarness::SetHitCheckLevel(int level) {
  g_StageFile.SetHitCheckLevel(level);
  m_lpStage->m_ScrollX.SetAutoScroll(g_StageFile.m_bAutoScrollX, g_StageFile.m_nAutoScrollSpeedX);
  m_lpStage->m_ScrollY.SetAutoScroll(g_StageFile.m_bAutoScrollY, g_StageFile.m_nAutoScrollSpeedY);
}

cHero& cStageHarness::Hero() { return VecAt(g_HeroList, 0); }

cChara& cStageHarness::Chara(int i) { return ListAt(g_CharaList, i); }

cItem& cStageHarness::Item(int i) { return ListAt(g_ItemList, i); }

const cHarnessPlacement& cStageHarness::Placement(char letter, int nth) const {
  int seen = 0;
  for (const cHarnessPlacement& at : m_Placements)
    if (at.cLetter == letter && seen++ == nth) return at;
  ADD_FAILURE() << "no placement '" << letter << "' #" << nth;
  static const cHarnessPlacement none;
  return none;
}

int cStageHarness::CellIndex(int column, int row) const {
  return ((row + kMargin) << m_lpStage->BlockRowShift()) + column + kMargin;
}

cBlock& cStageHarness::Cell(int column, int row) { return VecAt(g_BlockTable, CellIndex(column, row)); }

void cStageHarness::ClearTraces() {
  m_Draws.clear();
  m_Sounds.clear();
  m_Calls.clear();
}

std::vector<cHarnessCall> cStageHarness::CallsOf(const std::string& name) const {
  std::vector<cHarnessCall> calls;
  std::copy_if(m_Calls.begin(), m_Calls.end(), std::back_inserter(calls),
               [&](const cHarnessCall& c) { return c.strName == name; });
  return calls;
}
