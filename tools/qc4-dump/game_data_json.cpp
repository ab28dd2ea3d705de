#include "game_data_json.h"

#include "data/database.h"
#include "data/flow.h"
#include "data/palette.h"
#include "data/system_data.h"
#include "record_json.h"

namespace {

void WriteFlows(cJsonWriter& out, const char* key, const std::vector<cFlow>& flows);

void WriteConds(cJsonWriter& out, const char* key, const std::vector<cCond>& conds) {
  WriteRecordList(out, key, conds);
}

template <class T>
void WriteSettings(cJsonWriter& out, const char* key, const std::shared_ptr<T>& settings) {
  out.Key(key);
  if (!settings) {
    out.Null();
    return;
  }
  out.BeginObject();
  WriteRecordFields(out, *settings);
  if constexpr (std::is_same_v<T, cCondList>) WriteConds(out, "m_aConds", settings->m_aConds);
  out.EndObject();
}

void WriteCmds(cJsonWriter& out, const char* key, const std::vector<cFlowCmd>& cmds) {
  WriteRecordList<cFlowCmd>(out, key, cmds, [](cJsonWriter& w, const cFlowCmd& cmd) {
    WriteValueList(w, "m_anParams", cmd.m_anParams);
    WriteSettings(w, "m_pMove", cmd.m_pMove);
    WriteSettings(w, "m_pShot", cmd.m_pShot);
    WriteSettings(w, "m_pCondList", cmd.m_pCondList);
    WriteFlows(w, "m_aFlows", cmd.m_aFlows);
  });
}

void WriteFlows(cJsonWriter& out, const char* key, const std::vector<cFlow>& flows) {
  WriteRecordList<cFlow>(out, key, flows, [](cJsonWriter& w, const cFlow& flow) {
    WriteConds(w, "m_aConds", flow.m_aConds);
    WriteRecordList<cKeyCond>(w, "m_aKeyConds", flow.m_aKeyConds, [](cJsonWriter& w2, const cKeyCond& step) {
      WriteValueList(w2, "m_anKeyStates", step.m_anKeyStates);
    });
    WriteCmds(w, "m_aCmds", flow.m_aCmds);
  });
}

template <class T>
void WriteCellAndFlags(cJsonWriter& out, const T& type) {
  out.Key("m_nCellX");
  out.Int(type.m_nCellX);
  out.Key("m_nCellY");
  out.Int(type.m_nCellY);
  WriteValueList(out, "m_abInherit", type.m_abInherit);
  WriteConds(out, "m_aConds", type.m_aConds);
}

}  // namespace

void WriteBlockTypes(cJsonWriter& out, const char* key, const std::vector<cBlockType>& list) {
  WriteRecordList<cBlockType>(out, key, list, [](cJsonWriter& w, const cBlockType& t) { WriteCellAndFlags(w, t); });
}

void WriteCharaTypeMembers(cJsonWriter& out, const cCharaType& t) {
  WriteCellAndFlags(out, t);
  out.Key("m_nCarriedItem");
  out.Int(t.m_nCarriedItem);
  WriteFlows(out, "m_aFlows", t.m_aFlows);
}

void WriteCharaTypes(cJsonWriter& out, const char* key, const std::vector<cCharaType>& list) {
  WriteRecordList<cCharaType>(out, key, list, [](cJsonWriter& w, const cCharaType& t) { WriteCharaTypeMembers(w, t); });
}

void WriteItemTypes(cJsonWriter& out, const char* key, const std::vector<cItemType>& list) {
  WriteRecordList<cItemType>(out, key, list, [](cJsonWriter& w, const cItemType& t) {
    WriteCellAndFlags(w, t);
    WriteCmds(w, "m_aCmds", t.m_aCmds);
  });
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

void LoadProjectContext(const std::string& dataFolder, bool withCommonPalette) {
  const char sep = dataFolder.find('/') != std::string::npos || dataFolder.empty() ? '/' : '\\';
  for (int i = 0; i < kDatabaseFileCount; ++i) {
    const auto which = static_cast<eDatabaseFile>(i);
    g_Database.LoadDatabaseFile(which, dataFolder + "database" + sep + DatabaseFileName(which));
  }
  g_SystemData.LoadFile(dataFolder + "System.dat");
  if (withCommonPalette) g_CommonPalette.LoadFile(dataFolder + "CommonPalette.cplt4");
  g_bFileTooNew = 0;
}
