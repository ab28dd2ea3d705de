// "data\CommonPalette.cplt4": the block, character and item types shared by every stage.
#include <string>

#include "data/load_error.h"
#include "data/palette.h"
#include "dump_kind.h"
#include "game_data_json.h"
#include "record_json.h"

namespace {

bool DumpPalette(const std::string& path, cJsonWriter& out, std::string& error) {
  LoadProjectContext(FolderOf(path), false);
  // Loaded into the common palette itself: entries inherit from earlier entries of it.
  const bool loaded = g_CommonPalette.LoadFile(path) != 0;
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    return false;
  }
  out.Key("cPalette");
  out.BeginObject();
  WriteBlockTypes(out, "m_aBlockTypes", g_CommonPalette.m_aBlockTypes);
  WriteCharaTypes(out, "m_aCharaTypes", g_CommonPalette.m_aCharaTypes);
  WriteItemTypes(out, "m_aItemTypes", g_CommonPalette.m_aItemTypes);
  out.EndObject();
  return true;
}

bool MatchesPalette(std::string_view fileName) { return EndsWithIgnoringCase(fileName, ".cplt4"); }

}  // namespace

QC4_DUMP_KIND(CommonPalette, "CommonPalette.cplt4", MatchesPalette, DumpPalette);
