// The values a new project's settings start with; a loaded "data\System.dat" is read over them.
#include <initializer_list>

#include "data/system_data.h"

namespace {

const char* const kSystemTexts[kSystemTextCount] = {
    "ワールド",
    "ステージ",
    "スコア",
    "ハイスコア",
    "トータルスコア",
    "スコア",
    "残り時間",
    "クリア時間",
    "残りHP",
    "残りSP",
    "ステージに挑む",
    "やっぱりやめる",
    "セーブする",
    "やっぱりやめる",
    "オートセーブＯＮ",
    "オートセーブＯＦＦ",
    "保存先が不明です！一度は「セーブ」して下さい！",
    "タイトルへ戻る",
    "やっぱりやめる",
    "しゅうりょう",
    "つづける",
    "リトライ",
    "マップへ戻る",
    "次のリプレイへ",
    "前のリプレイへ",
    "リプレイの選択へ",
    "リトライ",
    "マップへ戻る",
    "Vキーでジャンルの切り替え",
    "スペースキーでタイトルへ戻る",
    "スペースキーで終了",
    "F3キーでランキングへ登録",
    "Cキー：ソートの切り替え",
    "Vキー：エクスプローラーで開く",
    "Aキー：ファイル情報の更新",
    "更新日時順↓（推奨）",
    "更新日時順↑",
    "ファイル名順↓",
    "ファイル名順↑",
};

const char* const kOptionHelp = "「手動登録」によるランキング登録はステージクリア時にF3キーを押しましょう。";

std::vector<cCmd> Menu(std::initializer_list<const char*> captions) {
  std::vector<cCmd> menu;
  menu.reserve(captions.size());
  for (const char* caption : captions) menu.emplace_back(1, caption);
  return menu;
}

}  // namespace

cSystemData::cSystemData() { SetSystemDefaults(); }

void cSystemData::SetSystemDefaults() {
  ResetFields();
  m_nExtendScore = 100;
  m_bStageDrawOpt = 1;
  m_nFontOpt = 0;
  m_nFontFace = 60;
  m_bFontOpt966 = 1;
  m_bReplayOn = 1;
  m_nTitleOpt157 = 1;
  m_nTitleOpt821 = 1;
  m_bRetryRestore0 = m_bRetryRestore1 = m_bRetryRestore2 = 1;
  m_nStageOpt224a = m_nStageOpt224b = 1;
  m_nStageOpt757 = 1;
  m_nPaletteStep = 16;
  m_bShowOptionHelp = 1;
  m_strOptionHelp = kOptionHelp;
  m_nMapOptA = 1;
  m_nStageOpt191 = 1;
  m_nMapOpt191 = 1;
  m_nSaveVarCount = 40;
  m_nMenuOptA = 1;
  m_nMapOpt167a = 1;
  m_nMenuOpt167a = m_nMenuOpt167b = m_nMenuOpt167c = 1;
  m_nDisplayOpt670a = 0;
  m_nDisplayOpt670b = 2;
  m_nDisplayOpt880 = 0;

  m_abCarryOver.assign(kCarryOverCount, 0);
  for (int i : {0, 1, 13, 14, 16, 17, 19, 20, 21}) m_abCarryOver[static_cast<size_t>(i)] = 1;
  m_abCarryOverClear.assign(kCarryOverCount, 0);
  m_abCarryOverClear[11] = m_abCarryOverClear[12] = 1;

  m_aStatusItems.assign(kStatusItemCount, cSysEntry());
  static const struct {
    const char* label;
    int32_t widthCells;
  } kStatus[kStatusItemCount] = {{"スコア", 4}, {"スコア", 3}, {"HP", 0}, {"SP", 0}, {"人", 2}};
  for (size_t i = 0; i < kStatusItemCount; ++i) {
    m_aStatusItems[i].m_bShown = 1;
    m_aStatusItems[i].m_bIconLabel = 1;
    m_aStatusItems[i].m_nWidthCells = kStatus[i].widthCells;
    m_aStatusItems[i].m_strLabel = kStatus[i].label;
  }

  m_anStartLives = {5, 5, 5, 99};
  m_anModeOpt = {1, 1, 1, 1};
  m_aModeRanking.assign(kGameModeCount, cSysFlags());
  for (size_t i = 0; i < 3; ++i) {
    m_aModeRanking[i].m_bEnabled = 1;
    m_aModeRanking[i].m_abKinds.assign(kRankingKindCount, 1);
  }

  m_astrTexts.assign(kSystemTexts, kSystemTexts + kSystemTextCount);
  m_astrSystemSounds.assign(kSystemSoundCount, std::string());
  m_anSceneBgm.assign(kSceneBgmCount, 0);
  m_abSceneBgm.assign(kSceneBgmCount, 1);

  m_aTitleMenu = Menu({"はじめから", "つづきから", "チャレンジ", "フリー", "リプレイ", "オプション", "しゅうりょう"});
  m_aMapMenu = Menu({"セーブ", "オートセーブ", "もどる", "タイトルへ"});
  m_aOptionMenu = Menu({"カラー", "ゲームパッド", "BGM", "SE", "ランキング登録", "ランキング登録名", "リプレイ自動保存",
                        "リプレイ再生順", "リプレイのメッセージ自動進行秒数", "もどる"});
  m_astrRankRegChoices = {"手動登録（登録名入力）", "手動登録（登録名固定）", "自動登録（登録名入力）",
                          "自動登録（登録名固定）"};
  m_astrReplaySaveChoices = {"自動保存しない", "ステージクリア時のみ", "全て保存"};
  m_astrReplayOrderChoices = {"ソート順", "ソート順＆ステージクリアのみ", "同じリプレイをリピート"};

  m_aIniKeys.assign(kIniKeyCount, cSysParam());
  SetNumberKey(m_aIniKeys[0], "Direct3D", 2);
  SetNumberKey(m_aIniKeys[1], "WindowMode", 0);
  SetNumberKey(m_aIniKeys[2], "Bpp", 0);
  SetNumberKey(m_aIniKeys[3], "VSync", 2);
  SetNumberKey(m_aIniKeys[4], "D3D_FontCache", 0);
  SetNumberKey(m_aIniKeys[5], "DD_FontCache", 1);
  SetNumberKey(m_aIniKeys[6], "DD_VideoStretch", 0);
  SetNumberKey(m_aIniKeys[7], "ShowFps", 1);
  SetTextKey(m_aIniKeys[8], "FreeStage", "");
  SetNumberKey(m_aIniKeys[9], "English", 0);
  SetNumberKey(m_aIniKeys[10], "Midi_DirectMusic", 1);
}
