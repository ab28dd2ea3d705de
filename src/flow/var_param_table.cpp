// The table of variable-assignable parameters: per character command kind, the settable entries
// in the order the arrange command numbers them, with their labels and limits.
#include <utility>

#include "flow/var_params.h"

std::vector<std::vector<cVarParam>> g_VarParamTable;

namespace {

constexpr int32_t kAny = 2147483647;  // entries whose limits come from the formation or trajectory

// The summon commands' entries: their own first, then the formation, the count, the offsets and
// the sound that the three share.
std::vector<cVarParam> Summon(std::vector<cVarParam> entries) {
  entries.insert(entries.end(), {{"フォーメーション固有1", 0, kAny},
                                 {"フォーメーション固有2", 0, kAny},
                                 {"フォーメーション固有3", 0, kAny},
                                 {"数", 1, 127},
                                 {"召喚位置のズレX(dot)", -640, 640},
                                 {"召喚位置のズレY(dot)", -640, 640},
                                 {"効果音", 1, 9999}});
  return entries;
}

std::vector<cVarParam> Group(int kind) {
  switch (kind) {
    case 2:
      return {{"目標X", -16383, 16383},  {"目標X(dot)", -640, 640}, {"目標Y", -16383, 16383},
              {"目標Y(dot)", -640, 640}, {"角度", -7200, 7200},     {"分身値による増加角度", -7200, 7200}};
    case 5:
      return {{"目標のズレX(bl)", -640, 640},  {"目標Xのズレ(dot)", -640, 640}, {"目標Yのズレ(bl)", -640, 640},
              {"目標Yのズレ(dot)", -640, 640}, {"角度", -7200, 7200},           {"分身値による増加角度", -7200, 7200}};
    case 6:
      return {{"誘導性能の悪さ", 0, 10},      {"分身値による増加誘導性能の悪さ", 0, 10},
              {"目標Xのズレ(bl)", -640, 640}, {"目標Xのズレ(dot)", -640, 640},
              {"目標Yのズレ(bl)", -640, 640}, {"目標Yのズレ(dot)", -640, 640}};
    case 9:
    case 10:
    case 35: return {{"効果音", 1, 9999}};
    case 11:
      return {{"グラフィック", 1, 120},
              {"Z座標", 0, 7},
              {"フォーメーション固有1", 0, kAny},
              {"フォーメーション固有2", 0, kAny},
              {"フォーメーション固有3", 0, kAny},
              {"発射数", 1, 127},
              {"発射数に対する分身数", 0, 20},
              {"角度のズレ", -7200, 7200},
              {"分身値による角度のズレ", -7200, 7200},
              {"分散角度", 0, 180},
              {"発射位置のズレX(dot)", -640, 640},
              {"分身値による発射位置のズレX(dot)", -640, 640},
              {"発射位置のズレY(dot)", -640, 640},
              {"分身値による発射位置のズレY(dot)", -640, 640},
              {"効果音", 1, 9999},
              {"勢力", 0, 7},
              {"移動タイプ固有1", 0, kAny},
              {"移動タイプ固有2", 0, kAny},
              {"移動タイプ固有3", 0, kAny},
              {"速度", -200, 200},
              {"分身値による増加速度", -200, 200},
              {"加速度", -200, 200},
              {"分身値による増加加速度", -200, 200},
              {"飛距離(hbl)", 0, 64},
              {"分身値による増加飛距離", -40, 40},
              {"存在時間(1/10s)", 1, 999},
              {"分身値よる増加存在時間", -99, 99},
              {"消滅値", 1, 9},
              {"威力", -999999, 999999},
              {"衝撃", -20, 20},
              {"エフェクト", 1, 999},
              {"取得アイテム", 1, 9999}};
    case 12:
      return {{"勢力", 0, 7},         {"Z座標", 0, 7},           {"威力", -999999, 999999}, {"衝撃", -20, 20},
              {"エフェクト", 1, 999}, {"取得アイテム", 1, 9999}, {"効果音", 1, 9999}};
    case 13: return Summon({{"ブロック", 1, 9999}});
    case 14: return Summon({{"キャラ", 1, 9999}, {"存在時間(1/10s)", 1, 9999}, {"勢力", 0, 7}});
    case 15: return Summon({{"アイテム", 1, 9999}, {"存在時間(1/10s)", 1, 9999}});
    case 17:
      return {{"次のステージの番号", 1, 99},
              {"次のステージの初期位置X(bl)", 0, 999},
              {"次のステージの初期位置Y(bl)", 0, 999},
              {"クリア後のワールドマップの位置X", 0, 999},
              {"クリア後のワールドマップの位置Y", 0, 999}};
    case 19:
      return {{"メッセージID", 0, 999},
              {"座標X", 0, 16383},
              {"座標Y", 0, 16383},
              {"表示位置のズレX(dot)", -999, 999},
              {"表示位置のズレY(dot)", -999, 999}};
    case 20:
      return {{"距離(hbl)", 0, 64},     {"分身値による増加距離(hbl)", -40, 40}, {"目標X", -16383, 16383},
              {"目標Y", -16383, 16383}, {"目標Xのズレ(dot)", -640, 640},        {"目標Yのズレ(dot)", -640, 640}};
    case 21: return {{"対象勢力", 0, 7}, {"対象キャラID", 0, 99}, {"キャラ変数と比較する数値", -999999, 999999}};
    case 22:
      return {{"変数（左辺）", 1, 999},
              {"定数", -999999, 999999},
              {"乱数の最小値", -999999, 999999},
              {"乱数の最大値", -999999, 999999},
              {"変数（右辺）", 1, 999}};
    case 24: return {{"対象勢力", 0, 7}};
    case 25: return {{"アイテム", 1, 9999}};
    case 26: return {{"グラフィック", 1, 999}, {"ズレ", -999, 999}};
    case 29:
      return {{"エフェクト", 1, 999},
              {"座標X", 0, 16383},
              {"座標Y", 0, 16383},
              {"表示位置のズレX(dot)", -999, 999},
              {"表示位置のズレY(dot)", -999, 999},
              {"拡大率(%)", 1, 1000}};
    case 30: return {{"キャラエフェクト", 1, 999}};
    case 31: return {{"画面エフェクト", 1, 999}};
    case 32:
      return {{"ピクチャー", 1, 9999},
              {"ピクチャーID", 0, 999},
              {"座標X", 0, 16383},
              {"座標Y", 0, 16383},
              {"表示位置のズレX(dot)", -999, 999},
              {"表示位置のズレY(dot)", -999, 999},
              {"拡大率(%)", 1, 1000}};
    case 33: return {{"R", 0, 255}, {"G", 0, 255}, {"B", 0, 255}, {"%", 0, 100}};
    case 34: return {{"背景番号", 1, 8}};
    case 36: return {{"BGM", 1, 999}};
    default: return {};
  }
}

}  // namespace

void InitVarParamTable() {
  g_VarParamTable.resize(kCharaCmdKindCount);
  for (int kind = 0; kind < kCharaCmdKindCount; ++kind) g_VarParamTable[static_cast<size_t>(kind)] = Group(kind);
}
