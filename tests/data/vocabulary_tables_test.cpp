#include "data/vocabulary_tables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(VocabularyTables, CommandKindsOfTheTwoContexts) {
  EXPECT_EQ(g_CharaCmdKinds[20].nParams, 1);
  EXPECT_EQ(g_ItemCmdKinds[5].nParams, 0);
  EXPECT_STREQ(g_CharaCmdKinds[20].name, "\x83\x8F\x81\x5B\x83\x76");  // "ワープ" in CP932
  // Item kind k from 2 is character kind k + 15, with the same count except the warp.
  for (int k = 2; k < kItemCmdKindCount; ++k) {
    EXPECT_STREQ(g_ItemCmdKinds[k].name, g_CharaCmdKinds[k + 15].name) << k;
    if (k != 5) { EXPECT_EQ(g_ItemCmdKinds[k].nParams, g_CharaCmdKinds[k + 15].nParams) << k; }
  }
  EXPECT_EQ(g_CharaCmdKinds[19].nParams, 21);
  EXPECT_EQ(g_CharaCmdKinds[22].nParams, 25);
  EXPECT_STREQ(g_CharaCmdKinds[0].name, "");
  EXPECT_STREQ(g_CharaCmdKinds[39].name, "ループ");
}

TEST(VocabularyTables, LabelTablesEndWithAnEmptyRow) {
  EXPECT_STREQ(g_FlowTriggerNames[kFlowTriggerCount], "");
  EXPECT_STREQ(g_FlowTriggerNames[26], "なし（フローの操作コマンドで実行）");
  EXPECT_STREQ(g_CharaEffectNames[kCharaEffectKindCount], "");
  EXPECT_STREQ(g_ScrEffectNames[13], "モザイク");
  EXPECT_STREQ(g_TrajectoryNames[kTrajectoryCount], "");
  EXPECT_EQ(labels::kMoveDirs.count, 13);
  EXPECT_STREQ(labels::kMoveDirs.rows[13], "");
  EXPECT_STREQ(labels::kMoveDirs.At(12), "入力方向");
  EXPECT_STREQ(labels::kMoveDirs.At(13), "");
  EXPECT_EQ(labels::kLettersAll.count, 27);
  EXPECT_STREQ(labels::kLettersLower.At(26), "z");
  EXPECT_EQ(labels::kTargetSetting.count, 11);
  EXPECT_EQ(labels::kFacing.count, 12);
  EXPECT_EQ(labels::kMessagePos.count, 11);
  EXPECT_EQ(labels::kPicturePos.count, 7);
  EXPECT_STREQ(labels::kPicturePos.At(3), labels::kMessagePos.At(7));
}

TEST(VocabularyTables, EffectParameterRows) {
  EXPECT_EQ(CharaEffectParam(4, 4).nDefault, 2);
  EXPECT_STREQ(CharaEffectParam(4, 4).name, "波の粗さ(dot)");
  EXPECT_EQ(ScrEffectParam(6, 4).nDefault, 8);
  EXPECT_EQ(ScrEffectParam(7, 4).nDefault, 10);
  EXPECT_EQ(ScrEffectParam(10, 3).nDefault, 8);
  EXPECT_EQ(CharaEffectParam(10, 3).nMax, 4);
  EXPECT_STREQ(CharaEffectParam(0, 0).name, "");  // the first five rows are empty
  EXPECT_STREQ(CharaEffectParam(6, 2).name, "");
  EXPECT_EQ(CharaEffectParam(14, 1).nDefault, 9999);
  EXPECT_EQ(ScrEffectParam(12, 4).nMin, -240);
  EXPECT_EQ(ScrEffectParam(99, 0).nMax, 0);  // outside the table: an empty row
  EXPECT_EQ(ShotKindParam(3, 1).nMin, 1);
  EXPECT_EQ(TrajectoryParam(7, 2).nMax, 7);
  EXPECT_EQ(TrajectoryParam(8, 2).nMax, 359);
  for (int kind = 1; kind < kScrEffectKindCount; ++kind) {
    EXPECT_STREQ(ScrEffectParam(kind, 0).name, "実行時間(1/10s)") << kind;
    EXPECT_EQ(ScrEffectParam(kind, 0).nDefault, 10) << kind;
  }
  const cEffectParam nullLabel(nullptr, 1, 2, 3);
  EXPECT_STREQ(nullLabel.name, "");
}

TEST(VocabularyTables, SpeedNotesJoinBothPrefixes) {
  EXPECT_EQ(g_CharaEffectNotes[4], "Direct3D有効時：\nDirect3D無効時：やや遅い");
  EXPECT_EQ(g_ScrEffectNotes[12], "Direct3D有効時：遅過ぎ\nDirect3D無効時：遅過ぎ");
}

TEST(VocabularyTables, StatusRows) {
  EXPECT_EQ(g_StatusParams[9].nOperandMin, -121);
  EXPECT_EQ(g_StatusParams[1].nFlag2, 1);
  EXPECT_EQ(g_StatusParams[3].nFlag2, 0);
  EXPECT_EQ(g_StatusParams[5].nFlag3, 0);
  EXPECT_EQ(g_SystemValueParams[1].nOperandMin, -480);
  const cStatusEffect& giant = g_StatusEffects[5];
  EXPECT_EQ(giant.labels.at(static_cast<size_t>(10 - giant.nMin)), "×100");
  EXPECT_EQ(g_StatusEffects[3].labels.size(), 4u);
  EXPECT_TRUE(g_StatusEffects2[1].labels.empty());
}

TEST(VocabularyTables, MapDirKind) {
  const int expected[10] = {kMoveDirRight,  kMoveDirLeft,     kMoveDirRight,   kMoveDirUp,        kMoveDirDown,
                            kMoveDirUpLeft, kMoveDirDownLeft, kMoveDirUpRight, kMoveDirDownRight, kMoveDirFront};
  for (int code = 1; code <= 9; ++code) EXPECT_EQ(MapDirKind(code, 1, 0), expected[code]) << code;
  EXPECT_EQ(MapDirKind(0, 1, 1), kMoveDirRight);
  EXPECT_EQ(MapDirKind(0, 1, 0), kMoveDirLeft);
  EXPECT_EQ(MapDirKind(9, 0, 1), kMoveDirRight);
  EXPECT_EQ(MapDirKind(9, 0, 0), kMoveDirLeft);
  // A replay being played back decides the flag by its own data version.
  EXPECT_EQ(MapDirKind(9, 0, 0, 777), kMoveDirFront);
  EXPECT_EQ(MapDirKind(9, 1, 0, 778), kMoveDirLeft);
  EXPECT_EQ(MapDirKind(9, 1, 0, 779), kMoveDirLeft);
  EXPECT_EQ(MapDirKind(9, 1, 0, 780), kMoveDirFront);
  EXPECT_EQ(MapDirKind(9, 0, 0, 986), kMoveDirLeft);
}

}  // namespace
