#include "data/world_map.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/containers.h"
#include "core/file_helpers.h"
#include "core/log.h"
#include "core/no_coverage.h"
#include "data/field_names.h"

namespace {
// Largest grid accepted from a file (cells of height x pitch).
constexpr int64_t kMaxGridCells = 1 << 22;
constexpr int32_t kMaxGridSide = 1 << 16;

// Appends n cells of 0, copied from a block of zeros: a grid may hold millions of cells.
void AppendZeros(std::vector<int32_t>& cells, size_t n) {
  static constexpr int32_t kZeros[4096] = {};
  while (n > 0) {
    const size_t part = std::min(n, std::size(kZeros));
    cells.insert(cells.end(), kZeros, kZeros + part);
    n -= part;
  }
}

// Sets to 0 every cell (x < width, y < height) of a grid of rows 1 << shift cells apart whose value
// is no index below entries (compared unsigned). A map may hold millions of cells: row by row with no
// test per cell of where it lies, and out of the fuzzers' coverage.
QC4_NO_COVERAGE void ClearBadCells(std::vector<int32_t>& grid, int32_t width, int32_t height, int32_t shift,
                                   uint32_t entries) {
  for (int32_t y = 0; y < height; ++y) {
    const size_t first = static_cast<size_t>(y) << shift;
    if (first >= grid.size()) break;
    int32_t* const end = grid.data() + std::min(grid.size(), first + static_cast<size_t>(width));
    for (int32_t* cell = grid.data() + first; cell != end; ++cell)
      if (static_cast<uint32_t>(*cell) >= entries) *cell = 0;
  }
}
}  // namespace

cMapEntry::cMapEntry() {}

void cMapEntry::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nSettingA);
  QC4_DECLARE(m_bBlocked);
  QC4_DECLARE(m_nChip);
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_strText2);
}

cWorldEntry::cWorldEntry() {}

void cWorldEntry::DeclareFields(uint32_t v) {
  ClearFieldTables();
  QC4_DECLARE(m_nKind);
  for (int i = 0; i < 5; ++i) DeclareInt(&m_anSettings[i], 1, IndexedFieldName("m_anSettings", i));
  QC4_DECLARE(m_nFlag);
  QC4_DECLARE(m_nVariable);
  QC4_DECLARE(m_nCompareValue);
  QC4_DECLARE(m_nCompareKind);
  if (v >= 209) QC4_DECLARE(m_nMinTotal);
  if (v >= 758) {
    QC4_DECLARE(m_bVariation);
    QC4_DECLARE(m_nVariationKey1);
    QC4_DECLARE(m_nVariationKey2);
  }
  QC4_DECLARE(m_strText);
  QC4_DECLARE(m_strStage);
}

bool cWorldEntry::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (g_nFileVersion <= 208) m_nMinTotal = 0;
  return true;
}

cWorld::cWorld() : m_aEntries(1) {}

void cWorld::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nX);
  QC4_DECLARE(m_nY);
  QC4_DECLARE(m_strName);
}

bool cWorld::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  return LoadRecordList(file, m_aEntries);
}

bool cWorld::Save(cDataFile& file) {
  if (!cRecord::Save(file)) return false;
  return SaveRecordList(file, m_aEntries);
}

int32_t PitchShiftFor(int32_t width) {
  int32_t shift = 0;
  if (width <= 1) return 0;
  for (uint32_t w = static_cast<uint32_t>(width - 1); w != 0; w >>= 1) ++shift;
  return shift;
}

cWorldMap::cWorldMap() { SetWorldMapDefaults(); }

void cWorldMap::DeclareFields(uint32_t version) {
  ClearFieldTables();
  QC4_DECLARE(m_nWidth);
  QC4_DECLARE(m_nHeight);
  QC4_DECLARE(m_nPitch);
  QC4_DECLARE(m_nPitchShift);
  QC4_DECLARE(m_nStartX);
  QC4_DECLARE(m_nStartY);
  QC4_DECLARE(m_nBackColour);
  QC4_DECLARE(m_nDisplaySwitch);
  QC4_DECLARE(m_strName);
  QC4_DECLARE(m_strText2);
}

void cWorldMap::SetWorldMapDefaults() {
  ResetFields();
  m_strName = "ワールド";
  m_nStartX = 9;
  m_nStartY = 7;
  m_nBackColour = 16;
  m_nDisplaySwitch = 0;
  m_anGrid.clear();
  m_nWidth = m_nHeight = m_nPitch = m_nPitchShift = 0;
  SetSize(20, 15);
  m_aWorlds.clear();
  m_aWorlds2.assign(1, cWorld());
  m_aWorlds2[0].m_strName = "デフォルト";
}

int cWorldMap::SetSize(int32_t width, int32_t height) {
  if (width == 0 || height == 0) {
    DebugErrorBoxf("SetSize()で 0 を指定しました！");
    return 0;
  }
  if (width < 0 || height < 0 || width > kMaxGridSide || height > kMaxGridSide) return 0;
  const int32_t newShift = PitchShiftFor(width);
  const int64_t newCells = static_cast<int64_t>(height) << newShift;
  if (newCells > kMaxGridCells) return 0;
  std::vector<int32_t> old;
  const int32_t oldWidth = m_nWidth, oldHeight = m_nHeight, oldShift = m_nPitchShift;
  if (!m_anGrid.empty()) {
    DebugErrorBoxf("nBeforeWidth = %d,nBeforePitch = %d,nBeforePitch_Shift = %d", m_nWidth, m_nPitch, m_nPitchShift);
    old.swap(m_anGrid);
  }
  m_nWidth = width;
  m_nHeight = height;
  m_nPitchShift = newShift;
  m_nPitch = 1 << newShift;
  // Made row by row: each row starts with the cells both sizes share that the old grid still holds,
  // and the rest of its pitch is 0.
  const bool keepOld = !old.empty() && oldShift >= 0 && oldShift < 31;
  const int64_t columns = keepOld ? std::max(std::min(oldWidth, width), 0) : 0;
  std::vector<int32_t> grid;
  grid.reserve(static_cast<size_t>(newCells));
  // The zeros of rows without old cells are appended together, once an old row or the end comes.
  size_t zeros = 0;
  for (int32_t y = 0; y < height; ++y) {
    const int64_t from = keepOld && y < oldHeight ? static_cast<int64_t>(y) << oldShift : INT64_MAX;
    const int64_t count =
        from < static_cast<int64_t>(old.size()) ? std::min(columns, static_cast<int64_t>(old.size()) - from) : 0;
    if (count > 0) {
      AppendZeros(grid, zeros);
      zeros = 0;
      grid.insert(grid.end(), old.begin() + from, old.begin() + from + count);
    }
    zeros += static_cast<size_t>((int64_t{1} << newShift) - count);
  }
  AppendZeros(grid, zeros);
  m_anGrid = std::move(grid);
  return 1;
}

int32_t* cWorldMap::CellAt(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight || m_nPitchShift < 0 || m_nPitchShift > 30) return nullptr;
  const size_t i = (static_cast<size_t>(y) << m_nPitchShift) + static_cast<size_t>(x);
  return i < m_anGrid.size() ? &m_anGrid[i] : nullptr;
}

bool cWorldMap::CheckGrid(bool cellsFromFile) {
  if (m_nWidth <= 0 || m_nHeight <= 0 || m_nWidth > kMaxGridSide || m_nHeight > kMaxGridSide ||
      (static_cast<int64_t>(m_nHeight) << PitchShiftFor(m_nWidth)) > kMaxGridCells ||
      (cellsFromFile && static_cast<int64_t>(m_nWidth) * m_nHeight > static_cast<int64_t>(m_anGrid.size()))) {
    ReportLogPrintf("err WorldMap size ( %d , %d )", m_nWidth, m_nHeight);
    return false;
  }
  const int32_t shift = PitchShiftFor(m_nWidth);
  const bool agrees = m_nPitchShift == shift && m_nPitch == (1 << shift) &&
                      m_anGrid.size() == (static_cast<size_t>(m_nHeight) << shift);
  if (agrees) return true;
  ReportLogPrintf("err WorldMap grid ( %d , %d , %d , %d )", m_nWidth, m_nHeight, m_nPitch,
                  static_cast<int>(m_anGrid.size()));
  // Keep the cells the stored layout can still be read at.
  const int32_t width = m_nWidth, height = m_nHeight;
  if (m_nPitchShift < 0 || m_nPitchShift > 30)
    m_anGrid.clear();
  else
    m_nWidth = std::min(m_nWidth, 1 << m_nPitchShift);  // a row never reads into the next one
  SetSize(width, height);
  return true;
}

void cWorldMap::Repair() {
  if (m_nStartX >= m_nWidth) m_nStartX = m_nWidth - 1;
  if (m_nStartY >= m_nHeight) m_nStartY = m_nHeight - 1;
  const uint32_t entries = static_cast<uint32_t>(m_aMapEntries.size());
  // The cells CellAt reaches.
  if (m_nWidth > 0 && m_nPitchShift >= 0 && m_nPitchShift <= 30)
    ClearBadCells(m_anGrid, m_nWidth, m_nHeight, m_nPitchShift, entries);
  std::erase_if(m_aWorlds, [&](const cWorld& w) { return w.m_nX >= m_nWidth || w.m_nY >= m_nHeight; });
}

bool cWorldMap::Load(cDataFile& file) {
  if (!cRecord::Load(file)) return false;
  if (!LoadRecordList(file, m_aMapEntries)) return false;
  // A cell count of 0 or less keeps the grid the map already has.
  std::vector<int32_t> cells;
  if (!LoadValueList(file, cells)) return false;
  const bool cellsFromFile = !cells.empty();
  if (cellsFromFile || file.ExactCounts()) m_anGrid = std::move(cells);
  if (!LoadRecordList(file, m_aWorlds)) return false;
  if (!LoadRecordList(file, m_aWorlds2)) return false;
  if (g_nFileVersion < 812) {
    m_aMapEntries.resize(10);
    for (size_t i = 0; i < m_aMapEntries.size(); ++i) {
      cMapEntry& e = m_aMapEntries[i];
      e.m_nChip = static_cast<int32_t>(i);
      e.m_bBlocked = i < 5 ? 1 : 0;
      e.m_strName = i < 5 ? "移動不可" : "移動可";
      e.m_strText2.clear();
    }
  }
  if (!CheckGrid(cellsFromFile)) {
    file.Fail();
    return false;
  }
  Repair();
  return true;
}

bool cWorldMap::Save(cDataFile& file) {
  Repair();
  if (!cRecord::Save(file)) return false;
  if (!SaveRecordList(file, m_aMapEntries)) return false;
  SaveValueList(file, m_anGrid);
  if (!SaveRecordList(file, m_aWorlds)) return false;
  return SaveRecordList(file, m_aWorlds2);
}

cWorld* cWorldMap::FindMapEntryAt(int32_t x, int32_t y) {
  for (cWorld& w : m_aWorlds)
    if (w.m_nX == x && w.m_nY == y) return &w;
  return nullptr;
}

int cWorldMap::IsStageOnWorldMap(const std::string& name, int withVariation, int32_t key1, int32_t key2) const {
  for (const cWorld& w : m_aWorlds) {
    for (const cWorldEntry& e : w.m_aEntries) {
      if (e.m_nKind != 0) continue;
      std::string stage = e.m_strStage;
      RemoveExtensionStr(stage);
      size_t at = stage.rfind("-1");
      if (at != std::string::npos) {
        stage.resize(at);
        stage += '.';
      } else {
        stage += '.';
      }
      if (name != stage) continue;
      if (withVariation ? (e.m_bVariation && e.m_nVariationKey1 == key1 && e.m_nVariationKey2 == key2)
                        : !e.m_bVariation)
        return 1;
    }
  }
  return 0;
}
