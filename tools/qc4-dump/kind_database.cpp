// The ten database files under "data\database".
#include <string>

#include "data/database.h"
#include "data/load_error.h"
#include "dump_kind.h"
#include "record_json.h"

namespace {

void WriteEntries(cJsonWriter& out, const cDatabase& db, eDatabaseFile which) {
  switch (which) {
    case kDbAnimeSet:
      WriteRecordList<cAnimeSetData>(out, "entries", db.m_aAnimeSet, [](cJsonWriter& w, const cAnimeSetData& set) {
        WriteRecordList<cAnimeData>(w, "m_aAnimes", set.m_aAnimes, [](cJsonWriter& w2, const cAnimeData& anime) {
          WriteRecordList(w2, "m_aFrames", anime.m_aFrames);
        });
      });
      break;
    case kDbAnime:
      WriteRecordList<cAnimeData>(out, "entries", db.m_aAnime, [](cJsonWriter& w, const cAnimeData& anime) {
        WriteRecordList(w, "m_aFrames", anime.m_aFrames);
      });
      break;
    case kDbBmpCharaExc: WriteRecordList(out, "entries", db.m_aBmpCharaExc); break;
    case kDbSwordType:
      WriteRecordList<cSwordTypeData>(out, "entries", db.m_aSwordType, [](cJsonWriter& w, const cSwordTypeData& sword) {
        WriteRecordList(w, "m_aEntries", sword.m_aEntries);
      });
      break;
    case kDbEffect:
      WriteRecordList<cEffectData>(out, "entries", db.m_aEffect, [](cJsonWriter& w, const cEffectData& effect) {
        WriteRecordList(w, "m_aFrames", effect.m_aFrames);
      });
      break;
    case kDbCharaEffect: WriteRecordList(out, "entries", db.m_aCharaEffect); break;
    case kDbScrEffect: WriteRecordList(out, "entries", db.m_aScrEffect); break;
    case kDbPicture: WriteRecordList(out, "entries", db.m_aPicture); break;
    case kDbSound: WriteRecordList(out, "entries", db.m_aSound); break;
    case kDbBgm: WriteRecordList(out, "entries", db.m_aBgm); break;
    default: break;
  }
}

template <eDatabaseFile Which>
bool DumpDatabaseFile(const std::string& path, cJsonWriter& out, std::string& error) {
  // A fresh container: a file with no entries shows the defaults the game would keep.
  cDatabase db;
  const bool loaded = db.LoadDatabaseFile(Which, path);
  WriteVersionAndResult(out, path, loaded);
  if (!loaded) {
    error = LoadErrorText(path.c_str());
    return false;
  }
  WriteEntries(out, db, Which);
  return true;
}

template <eDatabaseFile Which>
bool MatchesDatabaseFile(std::string_view fileName) {
  return SameFileName(fileName, DatabaseFileName(Which));
}

}  // namespace

QC4_DUMP_KIND(AnimeSet, "AnimeSet.dat", MatchesDatabaseFile<kDbAnimeSet>, DumpDatabaseFile<kDbAnimeSet>);
QC4_DUMP_KIND(Anime, "Anime.dat", MatchesDatabaseFile<kDbAnime>, DumpDatabaseFile<kDbAnime>);
QC4_DUMP_KIND(BmpCharaExc, "Bmp_CharaExc.dat", MatchesDatabaseFile<kDbBmpCharaExc>, DumpDatabaseFile<kDbBmpCharaExc>);
QC4_DUMP_KIND(SwordType, "SwordType.dat", MatchesDatabaseFile<kDbSwordType>, DumpDatabaseFile<kDbSwordType>);
QC4_DUMP_KIND(Effect, "Effect.dat", MatchesDatabaseFile<kDbEffect>, DumpDatabaseFile<kDbEffect>);
QC4_DUMP_KIND(CharaEffect, "CharaEffect.dat", MatchesDatabaseFile<kDbCharaEffect>, DumpDatabaseFile<kDbCharaEffect>);
QC4_DUMP_KIND(ScrEffect, "ScrEffect.dat", MatchesDatabaseFile<kDbScrEffect>, DumpDatabaseFile<kDbScrEffect>);
QC4_DUMP_KIND(Picture, "Picture.dat", MatchesDatabaseFile<kDbPicture>, DumpDatabaseFile<kDbPicture>);
QC4_DUMP_KIND(Sound, "Sound.dat", MatchesDatabaseFile<kDbSound>, DumpDatabaseFile<kDbSound>);
QC4_DUMP_KIND(Bgm, "Bgm.dat", MatchesDatabaseFile<kDbBgm>, DumpDatabaseFile<kDbBgm>);
