#include "data/fixed_tables.h"

#include <vector>

#include "core/containers.h"
#include "core/log.h"

// Rows and packed builders are laid out by hand, one record or field group a line.
// clang-format off
const char* const g_Paths[kPathCount] = {
    "data\\",
    "default\\",
    "data\\stg4\\",
    "data\\stg4\\old_ver\\",
    "data\\work\\",
    "data_backup\\",
    "e_data\\",
    "e_data\\SheetSize.dat",
    "e_data\\EditConfig.dat",
    "e_data_backup\\",
    "data\\PrjOption.dat",
    "default\\PrjOption.dat",
    "data\\CommonPalette.cplt4",
    "default\\CommonPalette.cplt4",
    "data\\GValInfo.dat",
    "default\\GValInfo.dat",
    "data\\stg4\\Default.stg4_***",
    "default\\stg4\\Default.stg4_***",
    "data\\WorldMap.dat",
    "default\\WorldMap.dat",
    "data\\database\\AnimeSet.dat",
    "default\\database\\AnimeSet.dat",
    "data\\database\\Anime.dat",
    "default\\database\\Anime.dat",
    "data\\database\\Bmp_CharaExc.dat",
    "default\\database\\Bmp_CharaExc.dat",
    "data\\database\\SwordType.dat",
    "default\\database\\SwordType.dat",
    "data\\database\\Effect.dat",
    "default\\database\\Effect.dat",
    "data\\database\\CharaEffect.dat",
    "default\\database\\CharaEffect.dat",
    "data\\database\\ScrEffect.dat",
    "default\\database\\ScrEffect.dat",
    "data\\database\\Picture.dat",
    "default\\database\\Picture.dat",
    "data\\database\\Sound.dat",
    "default\\database\\Sound.dat",
    "data\\database\\Bgm.dat",
    "default\\database\\Bgm.dat",
    "data\\System.dat",
    "default\\System.dat",
    "data\\stg4\\c",
    "user_data\\story\\",
    "user_data\\challenge\\",
    "user_data\\free\\",
    "user_data\\rpl4\\",
    "user_data\\story\\Story",
    "user_data\\challenge\\Challenge.dat",
    "user_data\\Free.dat",
    "user_data\\Replay.dat",
    "user_data\\Option.dat",
    "user_data\\",
    "user_data\\KeyConfig.dat",
    "user_data\\Boot.dat",
    "user_data\\Window.dat",
};

const char* const g_Exts[kExtCount] = {"cplt4", "stg4", "plt4", "rpl4", "rkg"};

const char* const g_FontFaces[kFontFaceCount] = {
    "System", "Terminal", "FixedSys", "Roman", "Script", "Modern", "Small Fonts", "MS Serif",
    "WST_Czec", "WST_Engl", "WST_Fren", "WST_Germ", "WST_Ital", "WST_Span", "WST_Swed", "Courier",
    "MS Sans Serif", "Marlett", "Arial", "Arial CE", "Arial CYR", "Arial Greek", "Arial TUR",
    "Arial Baltic", "Courier New", "Courier New CE", "Courier New CYR", "Courier New Greek",
    "Courier New TUR", "Courier New Baltic", "Lucida Console", "Lucida Sans Unicode",
    "Times New Roman", "Times New Roman CE", "Times New Roman CYR", "Times New Roman Greek",
    "Times New Roman TUR", "Times New Roman Baltic", "Wingdings", "Symbol", "Verdana",
    "Arial Black", "Comic Sans MS", "Impact", "Georgia", "Franklin Gothic Medium",
    "Palatino Linotype", "Tahoma", "Trebuchet MS", "Webdings", "Estrangelo Edessa", "Gautami",
    "Latha", "Mangal", "MV Boli", "Raavi", "Shruti", "Tunga", "Sylfaen", "ＭＳ ゴシック",
    "ＭＳ Ｐゴシック", "MS UI Gothic", "ＭＳ 明朝", "ＭＳ Ｐ明朝", "Microsoft Sans Serif", "Gulim",
    "GulimChe", "Dotum", "DotumChe", "Batang", "BatangChe", "Gungsuh", "GungsuhChe", "SimSun",
    "NSimSun", "SimSun-PUA", "SimHei", "MingLiU", "PMingLiU", "Arial Narrow", "Book Antiqua",
    "Bookman Old Style", "Century", "Century Gothic", "Garamond", "MS Outlook", "HGｺﾞｼｯｸE",
    "HGPｺﾞｼｯｸE", "HGSｺﾞｼｯｸE", "HG丸ｺﾞｼｯｸM-PRO", "HG創英角ｺﾞｼｯｸUB", "HGP創英角ｺﾞｼｯｸUB",
    "HGS創英角ｺﾞｼｯｸUB", "HG創英角ﾎﾟｯﾌﾟ体", "HGP創英角ﾎﾟｯﾌﾟ体", "HGS創英角ﾎﾟｯﾌﾟ体",
    "HG正楷書体-PRO", "InMusicSym", "Kartika", "Vrinda", "メイリオ", "MT Extra", "HGｺﾞｼｯｸM",
    "HGPｺﾞｼｯｸM", "HGSｺﾞｼｯｸM", "HG行書体", "HGP行書体", "HGS行書体", "HG教科書体", "HGP教科書体",
    "HGS教科書体", "HG明朝B", "HGP明朝B", "HGS明朝B", "HG明朝E", "HGP明朝E", "HGS明朝E",
    "HG創英ﾌﾟﾚｾﾞﾝｽEB", "HGP創英ﾌﾟﾚｾﾞﾝｽEB", "HGS創英ﾌﾟﾚｾﾞﾝｽEB", "OCRB", "Sydnie", "",
};

const char* const g_SecondsLabels[kSecondsLabelCount] = {
    "0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0", "4.5", "5.0", "5.5",
    "6.0", "6.5", "7.0", "7.5", "8.0", "8.5", "9.0", "9.5", "10.0", "OFF", "",
};

const char* const kDefaultDataQuestion = "データが存在しません！デフォルトデータを作成しますか？\n";
const char* const kDefaultDataCaption = "デフォルトデータ作成の確認";

namespace {
const char* CheckedRow(const char* const* rows, int count, int index) {
  if (index >= 0 && index < count) return rows[index];
  ReportRangeError('V', index, count, static_cast<int32_t>(sizeof(std::string)));
  return rows[0];
}
}  // namespace

const char* PathAt(int index) { return CheckedRow(g_Paths, kPathCount, index); }
const char* ExtAt(int index) { return CheckedRow(g_Exts, kExtCount, index); }
const char* SecondsLabelAt(int index) {
  return CheckedRow(g_SecondsLabels, kSecondsLabelCount, index);
}

const char* FontFaceFor(int index) {
  // The end entry is empty and no face either.
  if (index >= 0 && index < kFontFaceCount - 1) return g_FontFaces[index];
  ReportLogPrintf("font face %d is outside the face table; using %s", index,
                  g_FontFaces[kDefaultFontFace]);
  return g_FontFaces[kDefaultFontFace];
}
