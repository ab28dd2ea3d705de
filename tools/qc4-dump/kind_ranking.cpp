// Ranking files ("user_data\story\c01.rkg", "user_data\challenge\...", "user_data\free\..."): the
// five tables of a stage, twenty rows each, read as the ranking panel reads them.
#include <string>

#include "data/load_error.h"
#include "data/ranking.h"
#include "dump_kind.h"
#include "record_json.h"

namespace {

bool DumpRanking(const std::string& path, cJsonWriter& out, std::string& error) {
  cRanking ranking;
  const bool loaded = ranking.LoadFile(path) != 0;
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    return false;
  }
  out.Key("cRanking");
  out.BeginObject();
  WriteRecordList<cRankTable>(out, "m_aTables", ranking.m_aTables, [](cJsonWriter& w, const cRankTable& table) {
    WriteRecordList(w, "m_aEntries", table.m_aEntries);
  });
  out.EndObject();
  return true;
}

}  // namespace

QC4_DUMP_KIND(
    Ranking, "Ranking", [](std::string_view f) { return EndsWithIgnoringCase(f, ".rkg"); }, DumpRanking);
