#include "data/vocabulary_tables.h"

// Rows and packed builders are laid out by hand, one record or field group a line.
// clang-format off
const CMDKIND g_CharaCmdKinds[kCharaCmdKindCount] = {
    {"", 0},
    {"ウエイト", 0},
    {"直線移動", 0},
    {"地上折り返し移動", 0},
    {"円移動", 0},
    {"突撃移動", 0},
    {"誘導移動", 0},
    {"画面外回避移動", 0},
    {"移動の無効化", 0},
    {"向き変更", 1},
    {"ジャンプ", 5},
    {"ショット", 0},
    {"ソード", 0},
    {"ブロック召喚", 1},
    {"キャラ召喚", 1},
    {"アイテム召喚", 0},
    {"フローの操作", 5},
    {"ステージクリア", 11},
    {"ゲームウエイト", 1},
    {"メッセージ", 21},
    {"ワープ", 1},
    {"ターゲットの設定", 17},
    {"ステータスの操作", 25},
    {"ステータスの操作2", 6},
    {"消滅", 4},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 2},
    {"エフェクトの実行", 10},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 16},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
    {"アレンジ", 5},
    {"ループ", 2},
};

const CMDKIND g_ItemCmdKinds[kItemCmdKindCount] = {
    {"", 0},
    {"フローの変更", 2},
    {"ステージクリア", 11},
    {"ゲームウエイト", 1},
    {"メッセージ", 21},
    {"ワープ", 0},
    {"ターゲットの設定", 17},
    {"ステータスの操作", 25},
    {"ステータスの操作2", 6},
    {"消滅", 4},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 2},
    {"エフェクトの実行", 10},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 16},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
    {"アレンジ", 5},
    {"ループ", 2},
};

const char* const g_FlowTriggerNames[kFlowTriggerCount + 1] = {
    "常時",
    "ダメージを受けた時（設定値「威力」が0以外）",
    "ダメージを受けた時（受けたダメージが1以上）",
    "衝撃を受けた時（設定値「衝撃」が0以外）",
    "衝撃を受けた時（受けた衝撃が1以上か-1以下）",
    "死亡した時",
    "キャラに当たった時",
    "ブロックキャラに当たった時",
    "ブロックキャラに乗っている時",
    "ショットに当たった時",
    "アイテムに当たった時",
    "ブロックに当たった時",
    "自分の左右にブロックが当たった時",
    "自分の左にブロックが当たった時",
    "自分の右にブロックが当たった時",
    "自分の上下にブロックが当たった時",
    "自分の上にブロックが当たった時",
    "自分の下にブロックが当たった時",
    "主人公に乗られている時",
    "キャラに乗られている時",
    "アタックでダメージを与えた時（設定値「威力」が0以外）",
    "アタックでダメージを与えた時（与えたダメージが1以上）",
    "アタックで衝撃を与えた時（設定値「衝撃」が0以外）",
    "アタックで衝撃を与えた時（与えた衝撃が1以上か-1以下）",
    "アタックを当てた時",
    "ステージ開始前",
    "なし（フローの操作コマンドで実行）",
    "",
};

const cStatusParam g_StatusParams[kStatusParamCount] = {
    {"キャラ変数", -999999, 999999, -999999, 999999, 0, 0, 1},
    {"HP", 0, 999999, -999999, 999999, 0, 1, 1},
    {"SP", 0, 999999, -999999, 999999, 0, 1, 1},
    {"最大HP", 0, 999999, -999999, 999999, 0, 0, 1},
    {"最大SP", 0, 999999, -999999, 999999, 0, 0, 1},
    {"キャラID", 0, 99, -99, 99, 0, 0, 0},
    {"X座標", -16384, 16384, -16384, 16384, 0, 0, 0},
    {"Y座標", -16384, 16384, -16384, 16384, 0, 0, 0},
    {"Z座標", 0, 8, -8, 8, 0, 0, 0},
    {"マーク番号", 0, 119, -121, 119, 0, 0, 0},
    {"視界範囲(hbl)", 0, 40, -40, 40, 0, 0, 1},
    {"体当たりの威力", -999999, 999999, -999999, 999999, 0, 0, 1},
    {"体当たりの衝撃", -20, 20, -20, 20, 0, 0, 1},
    {"防御力", 0, 999999, -999999, 999999, 0, 0, 1},
    {"衝撃耐性", 0, 20, -20, 20, 0, 0, 1},
    {"止まりやすさ", 0, 200, -200, 200, 0, 0, 1},
    {"倒したら獲得するスコア", -999999, 999999, -999999, 999999, 0, 0, 1},
};

const cStatusParam g_SystemValueParams[kSystemValueCount] = {
    {"時間", 0, 999, -999, 999, 0, 0, 1},
    {"横スクロール速度", -480, 480, -480, 480, 0, 0, 1},
    {"縦スクロール速度", -480, 480, -480, 480, 0, 0, 1},
    {"スコア", 0, 999999, -999999, 999999, 0, 0, 1},
    {"残り人数", 0, 99, -99, 99, 0, 0, 1},
};

const cStatusEffect g_StatusEffects[kStatusEffectCount] = {
    {"消滅", 0, 0, 0, {"ON"}},
    {"透明", 0, 1, 0, {"OFF", "ON"}},
    {"向き固定", 0, 1, 0, {"OFF", "ON"}},
    {"飛行", 0, 3, 0,
     {"OFF", "ON (ブロックをすり抜ける)", "ON (ブロックに当たる)", "ON (ブロックに当たると即死)"}},
    {"無敵", 0, 2, 0, {"OFF", "ON (ショットが当たる)", "ON (ショットがすり抜ける)"}},
    {"巨大化", 1, 10, 1,
     {"しない", "×4", "×9", "×16", "×25", "×36", "×49", "×64", "×81", "×100"}},
    {"オートスクロールとシンクロ", 0, 1, 0, {"OFF", "ON"}},
};

const cStatusEffect g_StatusEffects2[2] = {};

// ---------------------------------------------------------------------------------------------
// Character effects

const char* const g_CharaEffectNames[kCharaEffectKindCount + 1] = {
    "", "破裂", "分割（横）", "分割（縦）", "波（横）", "波（縦）", "点滅", "回転A", "回転B",
    "回転（奥）", "円", "拡大", "レンズ", "色変化", "半透明", "モザイク", "ぼかし", "",
};

namespace {
using P = cEffectParam;
constexpr P kNone{};
const char* const kRunTime = "実行時間(1/10s)";
}  // namespace

const cEffectParam g_CharaEffectParams[kCharaEffectKindCount * kEffectParamsPerKind] = {
    // 0: none
    kNone, kNone, kNone, kNone, kNone,
    // 1 破裂
    P(kRunTime, 1, 9999, 5), P("開始位置(dot)", 0, 999, 0), P("終了位置(dot)", 0, 999, 32), kNone,
    kNone,
    // 2 分割（横）
    P(kRunTime, 1, 9999, 5), P("開始位置(dot)", 0, 999, 0), P("終了位置(dot)", 0, 999, 32),
    P("分割数", 2, 16, 4), kNone,
    // 3 分割（縦）
    P(kRunTime, 1, 9999, 5), P("開始位置(dot)", 0, 999, 0), P("終了位置(dot)", 0, 999, 32),
    P("分割数", 2, 16, 4), kNone,
    // 4 波（横）
    P(kRunTime, 1, 9999, 5), P("開始幅(dot)", 0, 999, 0), P("終了幅(dot)", 0, 999, 32),
    P("波の数", 2, 16, 2), P("波の粗さ(dot)", 1, 4, 2),
    // 5 波（縦）
    P(kRunTime, 1, 9999, 5), P("開始幅(dot)", 0, 999, 0), P("終了幅(dot)", 0, 999, 32),
    P("波の数", 2, 16, 2), P("波の粗さ(dot)", 1, 4, 2),
    // 6 点滅
    P(kRunTime, 1, 9999, 10), P("点滅間隔(1/60s)", 1, 9999, 2), kNone, kNone, kNone,
    // 7 回転A
    P(kRunTime, 1, 9999, 10), P("開始角度", 0, 9999, 0), P("終了角度", 0, 9999, 1440), kNone, kNone,
    // 8 回転B
    P(kRunTime, 1, 9999, 10), P("開始角度", 0, 9999, 0), P("終了角度", 0, 9999, 1440), kNone, kNone,
    // 9 回転（奥）
    P(kRunTime, 1, 9999, 10), P("開始位置(dot)", 0, 9999, 0), P("終了位置(dot)", 0, 9999, 256),
    kNone, kNone,
    // 10 円
    P(kRunTime, 1, 9999, 5), P("開始半径(dot)", 0, 32, 32), P("終了半径(dot)", 0, 32, 0),
    P("円の粗さ(dot)", 1, 4, 2), kNone,
    // 11 拡大
    P(kRunTime, 1, 9999, 10), P("開始幅(dot)", 0, 320, 32), P("終了幅(dot)", 0, 320, 64), kNone,
    kNone,
    // 12 レンズ
    P(kRunTime, 1, 9999, 10), P("開始距離", 0, 100, 100), P("終了距離", 0, 100, 5),
    P("ズレX(dot)", -16, 16, 0), P("ズレY(dot)", -16, 16, 0),
    // 13 色変化
    P(kRunTime, 1, 9999, 10), P("開始合成度", 1, 4, 1), P("終了合成度", 1, 4, 1),
    P("色", 16, 207, 16), kNone,
    // 14 半透明
    P(kRunTime, 1, 9999, 10), P("点滅間隔(1/60s)", 1, 9999, 9999), kNone, kNone, kNone,
    // 15 モザイク
    P(kRunTime, 1, 9999, 10), P("開始強度", 1, 16, 1), P("終了強度", 1, 16, 8), kNone, kNone,
    // 16 ぼかし
    P(kRunTime, 1, 9999, 10), P("開始強度", 1, 4, 1), P("終了強度", 1, 4, 4), kNone, kNone,
};

namespace {
std::string SpeedNote(const char* direct3d, const char* directDraw) {
  return std::string("Direct3D有効時：") + direct3d + "\n" + "Direct3D無効時：" + directDraw;
}
}  // namespace

const std::string g_CharaEffectNotes[kCharaEffectKindCount] = {
    SpeedNote("", ""),
    SpeedNote("", ""),
    SpeedNote("", ""),
    SpeedNote("", ""),
    SpeedNote("", "やや遅い"),
    SpeedNote("", "やや遅い"),
    SpeedNote("速い", "速い"),
    SpeedNote("回転Aと回転Bは同じ", "巨大キャラには実行速度重視"),
    SpeedNote("回転Aと回転Bは同じ", "やや遅い。巨大キャラには描画精度重視"),
    SpeedNote("", ""),
    SpeedNote("", "やや遅い"),
    SpeedNote("", ""),
    SpeedNote("遅過ぎ", "遅い"),
    SpeedNote("", "画面が8bit色→精度悪い、16bit色以上→やや遅い"),
    SpeedNote("", "画面が8bit色→精度悪い、16bit色以上→遅過ぎ"),
    SpeedNote("", "画面が16bit色以上だと遅い"),
    SpeedNote("やや遅い", "画面が16bit色以上でのみ有効。遅い"),
};

// ---------------------------------------------------------------------------------------------
// Screen effects

const char* const g_ScrEffectNames[kScrEffectKindCount + 1] = {
    "", "移動", "振動（横）", "振動（縦）", "分割（横）", "分割（縦）", "波（横）", "波（縦）",
    "点滅", "回転", "円", "拡大", "レンズ", "モザイク", "",
};

const cEffectParam g_ScrEffectParams[kScrEffectKindCount * kEffectParamsPerKind] = {
    // 0: none
    kNone, kNone, kNone, kNone, kNone,
    // 1 移動
    P(kRunTime, 1, 9999, 10), P("開始座標X(dot)", -640, 640, 0), P("開始座標Y(dot)", -480, 480, 0),
    P("終了座標X(dot)", -640, 640, 640), P("終了座標Y(dot)", -480, 480, 0),
    // 2 振動（横）
    P(kRunTime, 1, 9999, 10), P("振動幅(dot)", 1, 640, 4), P("振動回数", 1, 9999, 4), kNone, kNone,
    // 3 振動（縦）
    P(kRunTime, 1, 9999, 10), P("振動幅(dot)", 1, 480, 4), P("振動回数", 1, 9999, 4), kNone, kNone,
    // 4 分割（横）
    P(kRunTime, 1, 9999, 10), P("開始位置(dot)", 0, 640, 0), P("終了位置(dot)", 0, 640, 640),
    P("分割数", 2, 240, 15), kNone,
    // 5 分割（縦）
    P(kRunTime, 1, 9999, 10), P("開始位置(dot)", 0, 480, 0), P("終了位置(dot)", 0, 480, 480),
    P("分割数", 2, 320, 20), kNone,
    // 6 波（横）
    P(kRunTime, 1, 9999, 10), P("開始幅(dot)", 0, 640, 0), P("終了幅(dot)", 0, 640, 640),
    P("波の数", 2, 240, 4), P("波の粗さ(dot)", 1, 48, 8),
    // 7 波（縦）
    P(kRunTime, 1, 9999, 10), P("開始幅(dot)", 0, 480, 0), P("終了幅(dot)", 0, 480, 480),
    P("波の数", 2, 320, 4), P("波の粗さ(dot)", 1, 64, 10),
    // 8 点滅
    P(kRunTime, 1, 9999, 10), P("点滅間隔(1/60s)", 1, 9999, 10), kNone, kNone, kNone,
    // 9 回転
    P(kRunTime, 1, 9999, 10), P("開始角度", 0, 9999, 0), P("終了角度", 0, 9999, 1440), kNone, kNone,
    // 10 円
    P(kRunTime, 1, 9999, 10), P("開始半径(dot)", 0, 640, 640), P("終了半径(dot)", 0, 640, 0),
    P("円の粗さ(dot)", 1, 48, 8), kNone,
    // 11 拡大
    P(kRunTime, 1, 9999, 10), P("開始幅(dot)", 0, 6400, 640), P("終了幅(dot)", 0, 6400, 1280),
    kNone, kNone,
    // 12 レンズ
    P(kRunTime, 1, 9999, 10), P("開始距離", 0, 1500, 1500), P("終了距離", 0, 1500, 5),
    P("ズレX(dot)", -320, 320, 0), P("ズレY(dot)", -240, 240, 0),
    // 13 モザイク
    P(kRunTime, 1, 9999, 10), P("開始強度", 1, 240, 1), P("終了強度", 1, 240, 60), kNone, kNone,
};

const std::string g_ScrEffectNotes[kScrEffectKindCount] = {
    SpeedNote("", ""),
    SpeedNote("", ""),
    SpeedNote("", ""),
    SpeedNote("", ""),
    SpeedNote("", ""),
    SpeedNote("", ""),
    SpeedNote("やや遅い", "やや遅い"),
    SpeedNote("やや遅い", "やや遅い"),
    SpeedNote("速い", "速い"),
    SpeedNote("", "遅い"),
    SpeedNote("やや遅い", "やや遅い"),
    SpeedNote("", "やや遅い"),
    SpeedNote("遅過ぎ", "遅過ぎ"),
    SpeedNote("遅過ぎ", "画面が16bit色以上だと遅過ぎ"),
};

// ---------------------------------------------------------------------------------------------
// Shot kinds and trajectories

const char* const g_ShotKindNames[kShotKindCount + 1] = {
    "直進A", "直進B", "拡散", "落雷", "爆発", "包囲", "",
};

const cEffectParam g_ShotKindParams[kShotKindCount * kShotParamsPerKind] = {
    P("間隔(hbl)", 0, 40, 0), kNone, kNone,
    P("間隔(hbl)", 0, 40, 0), kNone, kNone,
    P("角度", 0, 180, 30), kNone, kNone,
    P("間隔(hbl)", 0, 40, 0), P("列の数", 1, 50, 1), P("列の間隔(hbl)", 0, 40, 0),
    kNone, kNone, kNone,
    P("距離(hbl)", 0, 40, 6), kNone, kNone,
};

const char* const g_TrajectoryNames[kTrajectoryCount + 1] = {
    "直進",
    "主人公を狙う",
    "近いキャラを狙う",
    "ターゲットを狙う",
    "主人公へ誘導",
    "近いキャラへ誘導（対象死亡時、誘導を無効化）",
    "ターゲットへ誘導",
    "近いキャラへ誘導（対象死亡時、対象を変更）",
    "ウェーブ",
    "落下",
    "",
};

const cEffectParam g_TrajectoryParams[kTrajectoryCount * kShotParamsPerKind] = {
    kNone, kNone, kNone,
    P("軌道変更(hbl)", 0, 40, 0), kNone, kNone,
    P("軌道変更(hbl)", 0, 40, 0), P("対象勢力", 0, 7, 0), kNone,
    P("軌道変更(hbl)", 0, 40, 0), kNone, kNone,
    P("誘導開始(hbl)", 0, 40, 0), P("誘導終了(hbl)", 0, 999, 999), kNone,
    P("誘導開始(hbl)", 0, 40, 0), P("誘導終了(hbl)", 0, 999, 999), P("対象勢力", 0, 7, 0),
    P("誘導開始(hbl)", 0, 40, 0), P("誘導終了(hbl)", 0, 999, 999), kNone,
    P("誘導開始(hbl)", 0, 40, 0), P("誘導終了(hbl)", 0, 999, 999), P("対象勢力", 0, 7, 0),
    P("波の最大(hbl)", 0, 100, 4), P("波の速度", 0, 100, 4), P("開始角度", 0, 359, 0),
    P("軌道変更(hbl)", 0, 40, 0), kNone, kNone,
};

namespace {
const cEffectParam& RowOf(const cEffectParam* rows, int kinds, int perKind, int kind, int p) {
  static const cEffectParam kEmpty{};
  if (kind < 0 || kind >= kinds || p < 0 || p >= perKind) return kEmpty;
  return rows[kind * perKind + p];
}
}  // namespace

const cEffectParam& CharaEffectParam(int kind, int p) {
  return RowOf(g_CharaEffectParams, kCharaEffectKindCount, kEffectParamsPerKind, kind, p);
}
const cEffectParam& ScrEffectParam(int kind, int p) {
  return RowOf(g_ScrEffectParams, kScrEffectKindCount, kEffectParamsPerKind, kind, p);
}
const cEffectParam& ShotKindParam(int kind, int p) {
  return RowOf(g_ShotKindParams, kShotKindCount, kShotParamsPerKind, kind, p);
}
const cEffectParam& TrajectoryParam(int kind, int p) {
  return RowOf(g_TrajectoryParams, kTrajectoryCount, kShotParamsPerKind, kind, p);
}

// ---------------------------------------------------------------------------------------------
// Label tables

namespace labels {
namespace {
template <size_t N>
constexpr cLabelTable Table(const char* const (&rows)[N]) {
  return cLabelTable{rows, static_cast<int>(N) - 1};
}

const char* const kCondKindsRows[] = {"", "コモン変数条件", "ステージ変数条件", "キャラ変数条件",
                                  "ステータス条件", "ステータス条件2", "ステータス条件3",
                                  "距離条件", ""};
const char* const kCondModesRows[] = {"全ての条件が真なら成立", "1つ以上の条件が真なら成立", ""};
const char* const kDistanceRefsRows[] = {"主人公", "ターゲット1", "ターゲット2", "ターゲット3",
                                     "ターゲット4", ""};
const char* const kDistanceShapesRows[] = {"横", "前", "後", "縦", "前Y", "後Y", "円", ""};
const char* const kInsideOutsideRows[] = {"以内", "外", ""};
const char* const kAreaDisplayRows[] = {"表示しない", "表示する", "テストプレイ時のみ表示", ""};

const char* const kLettersDashRows[] = {"-", "A", "B", "C", "D", "E", "F", "G", "H", "I",
                                    "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S",
                                    "T", "U", "V", "W", "X", "Y", "Z", ""};
const char* const kLettersAllRows[] = {"全て", "A", "B", "C", "D", "E", "F", "G", "H", "I",
                                   "J",    "K", "L", "M", "N", "O", "P", "Q", "R", "S",
                                   "T",    "U", "V", "W", "X", "Y", "Z", ""};
const char* const kLettersLowerRows[] = {"-", "a", "b", "c", "d", "e", "f", "g", "h", "i",
                                     "j", "k", "l", "m", "n", "o", "p", "q", "r", "s",
                                     "t", "u", "v", "w", "x", "y", "z", ""};

const char* const kOwnersSelfRows[] = {"自分", "ターゲット1", "ターゲット2", "ターゲット3",
                                   "ターゲット4", ""};
const char* const kOwnersSelfSystemRows[] = {"自分",        "ターゲット1", "ターゲット2",
                                         "ターゲット3", "ターゲット4", "システム", ""};
const char* const kOwnersHeroRows[] = {"主人公", "ターゲット1", "ターゲット2", "ターゲット3",
                                   "ターゲット4", ""};
const char* const kOwnersHeroSystemRows[] = {"主人公",      "ターゲット1", "ターゲット2",
                                         "ターゲット3", "ターゲット4", "システム", ""};

const char* const kFlowOpsRows[] = {"開始", "終了", "一時停止", "再開", "削除", "永久停止", ""};
const char* const kFlowOpTargetsRows[] = {"このフロー", "このフロー以外全て", "指定IDのフロー", ""};

const char* const kValueKinds3Rows[] = {"ステータス", "変数", "フロー変数", ""};
const char* const kValueKinds2Rows[] = {"ステータス", "変数", ""};
const char* const kOperandSources5Rows[] = {"定数", "乱数", "ステータス", "変数", "フロー変数", ""};
const char* const kOperandSources4Rows[] = {"定数", "乱数", "ステータス", "変数", ""};
const char* const kVarKinds2Rows[] = {"コモン変数", "ステージ変数", ""};
const char* const kVarKinds4Rows[] = {"コモン変数", "ステージ変数", "キャラ変数", "フロー変数", ""};
const char* const kCalcModesRows[] = {"通常の計算", "最大値に対する％で指定", "現在値に対する％で指定",
                                  ""};
const char* const kCoords3Rows[] = {"相対座標", "絶対座標", "画面座標", ""};
const char* const kCoords4Rows[] = {"配置位置からの相対座標", "相対座標", "絶対座標", "画面座標", ""};
const char* const kOnOnlyRows[] = {"ON", ""};

const char* const kStatesRows[] = {"左向き", "右向き", "ブロックに乗っている(ブロックキャラも含む)",
                               "画面内にいる", "存在している", ""};
const char* const kKeyLogicRows[] = {"全てのキーが真なら成立", "1つ以上のキーが真なら成立",
                                 "1つだけキーが真なら成立", ""};
const char* const kKeyStatesRows[] = {"--", "押", "離", ""};

const char* const kStageClearRows[] = {"次のステージへ", "番号で指定", "パスで指定", "ワールドクリア",
                                   ""};
const char* const kClearFacingRows[] = {"左向き", "右向き", "ステージクリア時の向きと同じ", ""};

const char* const kMessagePosRows[] = {"画面中央に表示",
                                   "自分の上に表示",
                                   "自分の下に表示",
                                   "自分の中心に表示",
                                   "主人公の上に表示",
                                   "主人公の下に表示",
                                   "主人公の中心に表示",
                                   "画面座標で指定（左上を指定）",
                                   "画面座標で指定（中心を指定）",
                                   "ステージ座標で指定（左上を指定）",
                                   "ステージ座標で指定（中心を指定）",
                                   ""};
const char* const kPicturePosRows[] = {"画面中央に表示",
                                   "キャラの中心に表示",
                                   "主人公の中心に表示",
                                   "画面座標で指定（左上を指定）",
                                   "画面座標で指定（中心を指定）",
                                   "ステージ座標で指定（左上を指定）",
                                   "ステージ座標で指定（中心を指定）",
                                   ""};
const char* const kDisplayTimeRows[] = {"進行キーが押されるまで表示", "ステージ終了まで表示",
                                    "時間で指定", ""};

const char* const kTargetSettingRows[] = {"主人公",
                                      "自分",
                                      "最も近いキャラ",
                                      "キャラ（キャラIDで指定）",
                                      "親キャラ（自分を召喚したキャラ）",
                                      "子キャラ（最後に召喚したキャラ）",
                                      "子キャラ（条件付き。後で召喚したキャラ優先)",
                                      "ターゲット1",
                                      "ターゲット2",
                                      "ターゲット3",
                                      "ターゲット4",
                                      ""};
const char* const kSearchRangeRows[] = {"全範囲（画面内のキャラ優先）", "全範囲", "画面内", ""};
const char* const kTargetNoneRows[] = {"ターゲット無し", "ターゲットを変更しない", ""};

const char* const kEraseKindsRows[] = {"キャラ",
                                   "ショット",
                                   "子以下のキャラ",
                                   "子のショット",
                                   "子以下のキャラと子以下のショット",
                                   "子以下のキャラと孫以下のショット",
                                   ""};
const char* const kEraseRangeRows[] = {"画面内", "全範囲", ""};

const char* const kPalettesRows[] = {"コモンパレット", "ステージパレット", ""};
const char* const kPaletteCommonRows[] = {"コモンパレット", ""};
const char* const kItemChoiceRows[] = {"パレットの設定に準ずる", "使用者と同じ", "番号で指定", ""};
const char* const kBlockSummonRows[] = {"ブロックを召喚", "ブロックを消す",
                                    "ブロックがなければ召喚、ブロックがあれば消す", ""};
const char* const kShotTargetRows[] = {"ターゲット", "主人公", "自分", ""};

const char* const kEffectPlayRows[] = {"通常実行", "反転実行", "往復実行", ""};
const char* const kShowHideRows[] = {"表示", "非表示", "反転(表示⇔非表示)", ""};

const char* const kMoveByRows[] = {"方向で指定", "目標座標で指定", ""};
const char* const kMoveByTargetRows[] = {"方向と距離で指定",
                                     "ターゲット1からの方向と距離で指定",
                                     "ターゲット2からの方向と距離で指定",
                                     "ターゲット3からの方向と距離で指定",
                                     "ターゲット4からの方向と距離で指定",
                                     "目標座標で指定",
                                     ""};
const char* const kMoveDirsRows[] = {"前",   "後",   "左",   "右",   "前Y",  "後Y",      "上",
                                 "下",   "左上", "左下", "右上", "右下", "入力方向", ""};
const char* const kUnitsBlRows[] = {"(bl)で指定", "(dot)で指定", ""};
const char* const kUnitsHblRows[] = {"(hbl)で指定", "(dot)で指定", ""};
const char* const kAnchorRows[] = {"キャラの中心", "キャラの中央下", "歩行なら中央下、飛行なら中心",
                               ""};
const char* const kTargetsRows[] = {"ターゲット1", "ターゲット2", "ターゲット3", "ターゲット4", ""};
const char* const kTurningRows[] = {"右回り", "左回り", "左向きなら右回り、右向きなら左回り",
                                "左向きなら左回り、右向きなら右回り", ""};
const char* const kMoveAnimeRows[] = {"移動アニメ", "静止アニメ", "その他", ""};
const char* const kFacingRows[] = {"左を向く",
                               "右を向く",
                               "ターゲット1がいる方を向く",
                               "ターゲット1がいる方の逆を向く",
                               "ターゲット2がいる方を向く",
                               "ターゲット2がいる方の逆を向く",
                               "ターゲット3がいる方を向く",
                               "ターゲット3がいる方の逆を向く",
                               "ターゲット4がいる方を向く",
                               "ターゲット4がいる方の逆を向く",
                               "最後にブロックが当たった方を向く",
                               "最後にブロックが当たった方の逆を向く",
                               ""};
const char* const kTimingARows[] = {"時間と速度を指定", "時間と距離を指定", "速度と距離を指定", ""};
const char* const kTimingBRows[] = {"時間を指定", "速度を指定", ""};
const char* const kJumpHeightRows[] = {"高さがキーで調節できない",
                                   "高さがキーで調節できる(主人公のみ有効)",
                                   "慣性移動速度に応じて高さを決定(主人公のみ有効)", ""};
}  // namespace

const cLabelTable kCondKinds = Table(kCondKindsRows), kCondModes = Table(kCondModesRows),
                  kDistanceRefs = Table(kDistanceRefsRows), kDistanceShapes = Table(kDistanceShapesRows),
                  kInsideOutside = Table(kInsideOutsideRows), kAreaDisplay = Table(kAreaDisplayRows);
const cLabelTable kLettersDash = Table(kLettersDashRows), kLettersAll = Table(kLettersAllRows),
                  kLettersLower = Table(kLettersLowerRows);
const cLabelTable kOwnersSelfA = Table(kOwnersSelfRows), kOwnersSelfB = Table(kOwnersSelfRows),
                  kOwnersSelfSystem = Table(kOwnersSelfSystemRows), kOwnersHero = Table(kOwnersHeroRows),
                  kOwnersHeroSystem = Table(kOwnersHeroSystemRows);
const cLabelTable kFlowOps = Table(kFlowOpsRows), kFlowOpTargets = Table(kFlowOpTargetsRows);
const cLabelTable kValueKinds3 = Table(kValueKinds3Rows), kValueKinds2 = Table(kValueKinds2Rows),
                  kOperandSources5 = Table(kOperandSources5Rows),
                  kOperandSources4 = Table(kOperandSources4Rows), kVarKinds2 = Table(kVarKinds2Rows),
                  kVarKinds4 = Table(kVarKinds4Rows), kCalcModes = Table(kCalcModesRows),
                  kCoords3a = Table(kCoords3Rows), kCoords3b = Table(kCoords3Rows), kCoords4 = Table(kCoords4Rows),
                  kOnOnly = Table(kOnOnlyRows);
const cLabelTable kStates = Table(kStatesRows), kKeyLogic = Table(kKeyLogicRows),
                  kKeyStates = Table(kKeyStatesRows);
const cLabelTable kStageClear = Table(kStageClearRows), kClearFacing = Table(kClearFacingRows);
const cLabelTable kMessagePos = Table(kMessagePosRows), kPicturePos = Table(kPicturePosRows),
                  kDisplayTimeA = Table(kDisplayTimeRows), kDisplayTimeB = Table(kDisplayTimeRows);
const cLabelTable kTargetSetting = Table(kTargetSettingRows), kSearchRange = Table(kSearchRangeRows),
                  kTargetNone = Table(kTargetNoneRows);
const cLabelTable kEraseKinds = Table(kEraseKindsRows), kEraseRange = Table(kEraseRangeRows);
const cLabelTable kPalettesA = Table(kPalettesRows), kPalettesB = Table(kPalettesRows),
                  kPaletteCommonA = Table(kPaletteCommonRows), kPaletteCommonB = Table(kPaletteCommonRows),
                  kItemChoice = Table(kItemChoiceRows), kBlockSummon = Table(kBlockSummonRows),
                  kShotTarget = Table(kShotTargetRows);
const cLabelTable kEffectPlay = Table(kEffectPlayRows), kShowHide = Table(kShowHideRows);
const cLabelTable kMoveBy = Table(kMoveByRows), kMoveByTarget = Table(kMoveByTargetRows),
                  kMoveDirs = Table(kMoveDirsRows), kUnitsBl = Table(kUnitsBlRows),
                  kUnitsHbl = Table(kUnitsHblRows), kAnchor = Table(kAnchorRows), kTargets = Table(kTargetsRows),
                  kTurning = Table(kTurningRows), kMoveAnime = Table(kMoveAnimeRows), kFacing = Table(kFacingRows),
                  kTimingA = Table(kTimingARows), kTimingB = Table(kTimingBRows),
                  kJumpHeight = Table(kJumpHeightRows);
}  // namespace labels

// ---------------------------------------------------------------------------------------------

int MapDirKind(int code, int flag, int bFacingRight, uint32_t nPlaybackVersion) {
  if (nPlaybackVersion != 0) {
    if (nPlaybackVersion <= 777)
      flag = 1;
    else if (nPlaybackVersion <= 779)
      flag = 0;
  }
  const int facingDefault = bFacingRight ? kMoveDirRight : kMoveDirLeft;
  if (code == 0 || (code == 9 && flag == 0)) return facingDefault;
  static const int kByCode[10] = {kMoveDirRight, kMoveDirLeft,     kMoveDirRight,     kMoveDirUp,
                                  kMoveDirDown,  kMoveDirUpLeft,   kMoveDirDownLeft,  kMoveDirUpRight,
                                  kMoveDirDownRight, kMoveDirFront};
  if (code >= 1 && code <= 9) return kByCode[code];
  return facingDefault;  // codes outside 0-9 never come from input; keep the facing default
}
