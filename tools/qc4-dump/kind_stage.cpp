// Stage files ("data\stg4\c01-1.stg4" and their "_000" variants).
#include <string>

#include "data/load_error.h"
#include "data/stage_data.h"
#include "dump_kind.h"
#include "game_data_json.h"
#include "platform/files.h"
#include "record_json.h"

namespace {

bool DumpStage(const std::string& path, cJsonWriter& out, std::string& error) {
  // The stage folder lies inside the data folder.
  std::string folder = FolderOf(path);
  if (!folder.empty()) folder = FolderOf(folder.substr(0, folder.size() - 1));
  LoadProjectContext(folder, true);
  // Loaded into the played stage itself: its types refer to its own palette there.
  const bool loaded = g_StageFile.LoadFile(path) != 0;
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    return false;
  }
  std::vector<uint8_t> bytes;
  out.Key("intact");
  out.Bool(ReadWholeFile(path, kMaxDataFileBytes, bytes) && IsStageFileIntact(bytes));
  const cStageData& s = g_StageFile;
  out.Key("cStageData");
  out.BeginObject();
  WriteRecordFields(out, s);
  WriteValueList(out, "m_anTotalsLines", s.m_anTotalsLines);
  out.Key("m_aKeepAreas");
  out.BeginArray();
  for (const cStageQuad& area : s.m_aKeepAreas) {
    out.BeginObject();
    WriteRecordFields(out, area);
    out.EndObject();
  }
  out.EndArray();
  WriteBlockTypes(out, "m_aPalBlocks", s.m_aPalBlocks);
  WriteCharaTypes(out, "m_aPalCharas", s.m_aPalCharas);
  WriteItemTypes(out, "m_aPalItems", s.m_aPalItems);
  WriteBlockTypes(out, "m_aBlocks", s.m_aBlocks);
  WriteCharaTypes(out, "m_aCharas", s.m_aCharas);
  WriteItemTypes(out, "m_aItems", s.m_aItems);
  WriteRecordList(out, "m_aLayers", s.m_aLayers);
  WriteRecordList(out, "m_aTexts", s.m_aTexts);
  out.Key("hero");
  out.Int(s.FindHero());
  out.EndObject();
  return true;
}

bool MatchesStage(std::string_view fileName) {
  return EndsWithIgnoringCase(fileName, ".stg4") || HasNumberedSuffix(fileName, "stg4");
}

}  // namespace

QC4_DUMP_KIND(Stage, "Stage", MatchesStage, DumpStage);
