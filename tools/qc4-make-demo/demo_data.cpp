#include "demo_data.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <type_traits>
#include <vector>

#include "data/database.h"
#include "data/palette.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "data/world_map.h"
#include "demo_events.h"
#include "demo_palette.h"
#include "demo_pictures.h"
#include "demo_stage_types.h"
#include "demo_world_map.h"
#include "file_writers.h"

namespace {

// Database numbers.
enum : int {
  kBgmTitle = 1,
  kBgmMap = 2,
  kBgmStage = 3,
  kSoundJump = 1,
  kSoundGoal = 2,
  kSoundCoin = 3,
};

// Palette entries.
enum : int {
  kTypeHero = 1,
  kTypeSlime = 2,
  kTypeLift = 3,
  kTypeLiftUp = 4,
  kTypeBeetle = 5,
  kTypeBeetleQuake = 6,
  kTypeTurret = 7,
  kTypeStar = 1,
  kTypeCoin = 2,
  kTypeGem = 3,
  kTypeHeart = 4,
};

// Keys of a key-input step: direction patterns 0-9, then "no button" and buttons 1-8.
constexpr int kKeyLeft = 1;
constexpr int kKeyRight = 2;
constexpr int kKeyButton1 = 11;

// Rows of the movement direction table.
constexpr int8_t kDirectionLeft = 2;
constexpr int8_t kDirectionRight = 3;

// Character-context command kinds and the item-context stage clear.
constexpr int8_t kCmdStraightMove = 2;
constexpr int8_t kCmdGroundTurnaround = 3;
constexpr int8_t kCmdJump = 10;
constexpr int8_t kItemCmdStageClear = 2;
constexpr int kStageClearParams = 11;
constexpr int kJumpParams = 5;

// The three stages, drawn as text: one character per 32-dot cell. '#' ground, 'B' brick,
// 'S' stone, '^' spikes, 'P' spring, 'H' hero, 'E' slime, 'L' lift (across), 'V' lift (up and
// down), 'b' beetle, 'Q' beetle whose stomp shakes the screen, 'T' turret, 'o' coin, 'g' gem,
// 'h' heart, '*' goal star.
const char* const kStageMaps[kDemoStageCount][15] = {
    {
        "",
        "",
        "",
        "",
        "",
        "",
        "                  ooo",
        "",
        "          ooo     BBB",
        "",
        "          BBB",
        "                                      oo",
        "  H             b           g               *",
        "########################L      #################",
        "########################       #################",
    },
    {
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "              ooo",
        "",
        "              SSS                   oo",
        "  H       Q         T     h                     *",
        "################################L      #############",
        "################################       #############",
    },
    {
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "",
        "                                  ooo",
        "      ooo                     g           *",
        "                         SSSSSSSSSSSSSSSSSSSSS",
        "                         SSSSSSSSSSSSSSSSSSSSS",
        "  H         T     b      SSSSSSSSSSSSSSSSSSSSS",
        "########################V#####################",
        "######################## #####################",
    },
};

cCharaType HeroType();
cCharaType SlimeType();

cKeyCond KeyStep(int key) {
  cKeyCond step;
  step.m_anKeyStates[static_cast<size_t>(key)] = 1;  // pressed
  step.m_bAnyHold = 1;
  return step;
}

cFlowCmd MoveCommand(int8_t kind, int8_t direction, int16_t speed, int16_t tenths) {
  cFlowCmd cmd;
  cmd.m_nContext = 0;
  cmd.m_nKind = kind;
  cmd.m_pMove = std::make_shared<cEdMove>();
  cmd.m_pMove->m_nMoveKind = 0;
  cmd.m_pMove->m_nDirection = direction;
  cmd.m_pMove->m_nSpeed = speed;  // tenths of a dot per frame
  cmd.m_nUseTime = tenths;
  return cmd;
}

// While the arrow key is held the hero walks that way.
cFlow WalkFlow(int key, int8_t direction) {
  cFlow flow;
  flow.m_nTrigger = 0;  // always
  flow.m_bKeyRepeat = 1;
  flow.m_aKeyConds.push_back(KeyStep(key));
  flow.m_aCmds.push_back(MoveCommand(kCmdStraightMove, direction, 30, 1));
  return flow;
}

// Button 1 jumps; holding it longer jumps higher.
cFlow JumpFlow() {
  cFlow flow;
  flow.m_nTrigger = 0;
  flow.m_aKeyConds.push_back(KeyStep(kKeyButton1));
  cFlowCmd cmd;
  cmd.m_nKind = kCmdJump;
  cmd.m_anParams = {1, 6, 6, 6, 6};  // jump kind 1 (held key), heights of 6 half blocks
  cmd.m_anParams.resize(kJumpParams);
  cmd.m_nUseTime = 10;
  cmd.m_nSound = kSoundJump;
  flow.m_aCmds.push_back(cmd);
  return flow;
}

cCharaType HeroType() {
  cCharaType t;
  t.m_strName = "主人公";
  t.m_nControl = 0;  // the player
  t.m_nPlayer = 0;
  t.m_nFacing = 1;  // starts facing right
  t.m_nGraphic = kCharaHero;
  t.m_nGraphicKind = 1;  // the character sheets
  t.m_nMaxHp = 3;
  t.m_nStopEase = 40;
  t.m_aFlows = {WalkFlow(kKeyLeft, kDirectionLeft), WalkFlow(kKeyRight, kDirectionRight), JumpFlow()};
  return t;
}

// A slime walks back and forth on the ground and hurts the hero by touch.
cCharaType SlimeType() {
  cCharaType t;
  t.m_strName = "スライム";
  t.m_nControl = 1;
  t.m_nFacing = 0;
  t.m_nGraphic = kCharaSlime;
  t.m_nGraphicKind = 1;
  t.m_nMaxHp = 1;
  t.m_nBodyPower = 1;
  t.m_nBodyImpact = 4;
  t.m_nScore = 100;
  cFlow walk;
  walk.m_nTrigger = 0;
  walk.m_aCmds.push_back(MoveCommand(kCmdGroundTurnaround, 0, 10, 10));
  t.m_aFlows.push_back(walk);
  return t;
}

cBlockType BlockType(const char* name, int graphic) {
  cBlockType b;
  b.m_strName = name;
  b.m_nGraphic = static_cast<int16_t>(graphic);
  b.m_nGraphicKind = 0;  // the block sheet
  b.m_nContact = 1;      // solid
  return b;
}

cItemType StarType(int clearKind) {
  cItemType t = TouchItemType("ゴールの星", kItemStar, kSoundGoal);
  cFlowCmd clear;
  clear.m_nContext = 1;  // item context
  clear.m_nKind = kItemCmdStageClear;
  clear.m_anParams.assign(kStageClearParams, 0);
  clear.m_anParams[0] = clearKind;  // 0 next stage, 3 world clear
  clear.m_anParams[9] = 1;          // save the story when cleared
  t.m_aCmds.push_back(clear);
  return t;
}

cItemType CoinType() {
  cItemType t = TouchItemType("コイン", kItemCoin, kSoundCoin);
  return t;
}

template <class T>
T Placed(const T& type, int x, int y) {
  T placed = type;
  placed.m_nCellX = static_cast<int16_t>(x);
  placed.m_nCellY = static_cast<int16_t>(y);
  if constexpr (std::is_same_v<T, cCharaType>) placed.m_nCarriedItem = kNoCarriedItem;
  return placed;
}

bool Fail(const char* what) {
  std::fprintf(stderr, "qc4-make-demo: cannot write %s\n", what);
  return false;
}

}  // namespace

void FillDemoDatabase(cDatabase& db) {
  db.SetDatabaseDefaults();
  // Animation set 0: standing still, and a four-step walk over the sheet's rows 0-3.
  cAnimeSetData& set = db.m_aAnimeSet[0];
  set.m_strName = "基本";
  if (set.m_aAnimes.size() >= 2) {
    cAnimeData& walk = set.m_aAnimes[1];
    walk.m_aFrames.resize(4);
    for (int i = 0; i < 4; ++i) {
      walk.m_aFrames[static_cast<size_t>(i)].m_nPattern = i;
      walk.m_aFrames[static_cast<size_t>(i)].m_nDuration = 1;
    }
  }
  auto bgm = [](const char* name, const char* file) {
    cBgmData b;
    b.m_strName = name;
    b.m_strFileName = file;
    return b;
  };
  db.m_aBgm.resize(1);
  db.m_aBgm[0].m_strName = "なし";
  db.m_aBgm.push_back(bgm("タイトル", "bgm\\Title.ogg"));
  db.m_aBgm.push_back(bgm("ワールドマップ", "bgm\\WorldMap.mid"));
  db.m_aBgm.push_back(bgm("ステージ", "bgm\\Stage.mid"));
  auto sound = [](const char* name, const char* file) {
    cSoundData s;
    s.m_strName = name;
    s.m_strFileName = file;
    return s;
  };
  db.m_aSound.resize(1);
  db.m_aSound[0].m_strName = "なし";
  db.m_aSound.push_back(sound("ジャンプ", "wave\\Jump.wav"));
  db.m_aSound.push_back(sound("ゴール", "wave\\Goal.wav"));
  db.m_aSound.push_back(sound("コイン", "wave\\Coin.wav"));
  db.m_aSound.push_back(sound("ショット", "wave\\Shot.wav"));
  db.m_aSound.push_back(sound("踏みつけ", "wave\\Stomp.wav"));
  db.m_aSound.push_back(sound("宝物", "wave\\Treasure.wav"));
  FillDemoEffects(db);
}

void FillDemoSystemData(cSystemData& sd) {
  sd.SetSystemDefaults();
  sd.m_strTitle = "qc4 デモ";
  const char* const sounds[kSystemSoundCount] = {"wave\\Cursor.wav",    "wave\\Decide.wav",      "wave\\Cancel.wav",
                                                 "wave\\Refuse.wav",    "wave\\MenuOpen.wav",    "wave\\Save.wav",
                                                 "wave\\Ranking.wav",   "wave\\Hit.wav",         "wave\\HeroDown.wav",
                                                 "wave\\EnemyDown.wav", "wave\\Blip10.wav",      "wave\\Blip11.wav",
                                                 "wave\\Blip12.wav",    "wave\\TimeWarning.wav", "wave\\StageClear.wav",
                                                 "wave\\ExtraLife.wav", "wave\\RankingEntry.wav"};
  sd.m_astrSystemSounds.assign(sounds, sounds + kSystemSoundCount);
  // Title and options play the title tune; the map and the lists the map tune.
  sd.m_anSceneBgm = {kBgmTitle, kBgmMap, kBgmMap, kBgmMap, kBgmMap, kBgmTitle};
  sd.m_abSceneBgm.assign(kSceneBgmCount, 1);
}

void FillDemoPalette(cPalette& pal) {
  pal.m_aBlockTypes.resize(1);
  pal.m_aBlockTypes.push_back(BlockType("草地", kBlockGround));
  pal.m_aBlockTypes.push_back(BlockType("土", kBlockEarth));
  pal.m_aBlockTypes.push_back(BlockType("レンガ", kBlockBrick));
  pal.m_aBlockTypes.push_back(BlockType("石", kBlockStone));
  cBlockType spikes = BlockType("トゲ", kBlockSpikes);
  spikes.m_nContact = 2;  // the hero dies on contact
  pal.m_aBlockTypes.push_back(spikes);
  cBlockType spring = BlockType("バネ", kBlockSpring);
  spring.m_nEffect = 1;        // jump
  spring.m_nEffectValue = 10;  // half blocks
  pal.m_aBlockTypes.push_back(spring);

  pal.m_aCharaTypes.resize(1);
  cCharaType hero = HeroType();
  hero.m_nOpt28 = 0;  // the hero's group; the enemies are of group 1
  // The bounce comes before the jump key's flow, so that it takes the frame's jump when both run.
  hero.m_aFlows.insert(hero.m_aFlows.begin() + 2, HeroBounceFlow());
  pal.m_aCharaTypes.push_back(hero);
  cCharaType slime = SlimeType();
  slime.m_nOpt28 = 1;
  pal.m_aCharaTypes.push_back(slime);
  pal.m_aCharaTypes.push_back(LiftType(false, 6));
  pal.m_aCharaTypes.push_back(LiftType(true, 3));
  pal.m_aCharaTypes.push_back(BeetleType(false));
  pal.m_aCharaTypes.push_back(BeetleType(true));
  pal.m_aCharaTypes.push_back(TurretType());

  pal.m_aItemTypes.resize(1);
  pal.m_aItemTypes.push_back(StarType(0));
  pal.m_aItemTypes.push_back(CoinType());
  pal.m_aItemTypes.push_back(GemType());
  pal.m_aItemTypes.push_back(HeartType());

  // The events' types go last.
  AddDemoEventTypes(pal);
}

void FillDemoStage(int number, const cPalette& pal, cStageData& st) {
  st.ResetStageData();
  const char* const* rows = kStageMaps[number - 1];
  size_t width = 0;
  for (int y = 0; y < 15; ++y) width = std::max(width, std::string(rows[y]).size());
  st.m_nWidth = static_cast<int32_t>(width);
  st.m_nHeight = 15;
  char name[32];
  std::snprintf(name, sizeof name, "ステージ%d", number);
  st.m_strName = name;
  st.m_nBgm = kBgmStage;
  st.m_bBgmLoop = 1;
  st.m_bBgmKeep = 1;

  // The stage's own palette repeats the common one, so that an editor shows the same types.
  st.m_aPalBlocks = pal.m_aBlockTypes;
  st.m_aPalCharas = pal.m_aCharaTypes;
  st.m_aPalItems = pal.m_aItemTypes;

  auto cellAt = [&](int x, int y) -> char {
    if (y < 0 || y >= 15) return ' ';
    const std::string row(rows[y]);
    return static_cast<size_t>(x) < row.size() ? row[static_cast<size_t>(x)] : ' ';
  };
  const cItemType star = StarType(number < kDemoStageCount ? 0 : 3);
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < static_cast<int>(width); ++x) {
      switch (cellAt(x, y)) {
        case '#': st.m_aBlocks.push_back(Placed(pal.m_aBlockTypes[cellAt(x, y - 1) == '#' ? 2 : 1], x, y)); break;
        case 'B': st.m_aBlocks.push_back(Placed(pal.m_aBlockTypes[3], x, y)); break;
        case 'S': st.m_aBlocks.push_back(Placed(pal.m_aBlockTypes[4], x, y)); break;
        case '^': st.m_aBlocks.push_back(Placed(pal.m_aBlockTypes[5], x, y)); break;
        case 'P': st.m_aBlocks.push_back(Placed(pal.m_aBlockTypes[6], x, y)); break;
        case 'H': st.m_aCharas.push_back(Placed(pal.m_aCharaTypes[kTypeHero], x, y)); break;
        case 'E': st.m_aCharas.push_back(Placed(pal.m_aCharaTypes[kTypeSlime], x, y)); break;
        case 'L': st.m_aCharas.push_back(Placed(pal.m_aCharaTypes[kTypeLift], x, y)); break;
        case 'V': st.m_aCharas.push_back(Placed(pal.m_aCharaTypes[kTypeLiftUp], x, y)); break;
        case 'b': st.m_aCharas.push_back(Placed(pal.m_aCharaTypes[kTypeBeetle], x, y)); break;
        case 'Q': st.m_aCharas.push_back(Placed(pal.m_aCharaTypes[kTypeBeetleQuake], x, y)); break;
        case 'T': st.m_aCharas.push_back(Placed(pal.m_aCharaTypes[kTypeTurret], x, y)); break;
        case 'o': st.m_aItems.push_back(Placed(pal.m_aItemTypes[kTypeCoin], x, y)); break;
        case 'g': st.m_aItems.push_back(Placed(pal.m_aItemTypes[kTypeGem], x, y)); break;
        case 'h': st.m_aItems.push_back(Placed(pal.m_aItemTypes[kTypeHeart], x, y)); break;
        case '*': st.m_aItems.push_back(Placed(star, x, y)); break;
        default: break;
      }
    }
  PlaceDemoEvents(number, pal, st);
  // The hero first: it is the first placed character with a graphic under the player's control.
  std::stable_partition(st.m_aCharas.begin(), st.m_aCharas.end(),
                        [](const cCharaType& c) { return c.m_nControl == 0; });

  // A sky colour behind everything; over it the clouds, drifting by themselves and barely moving
  // with the view, and in front of them the hills, which follow the view a quarter of its way.
  st.m_aLayers.resize(3);
  st.m_aLayers[0].m_bColourFill = 1;
  st.m_aLayers[0].m_nColour = kSky;
  st.m_aLayers[1].m_bColourFill = 0;
  st.m_aLayers[1].m_strPicture = "背景その2.bmp";
  st.m_aLayers[1].m_dFactorX = 0.05;
  st.m_aLayers[1].m_dFactorY = 0.0;
  st.m_aLayers[1].m_bAutoScrollX = 1;
  st.m_aLayers[1].m_dAutoSpeedX = 0.25;
  st.m_aLayers[2].m_bColourFill = 0;
  st.m_aLayers[2].m_strPicture = "背景その1.bmp";
  st.m_aLayers[2].m_dFactorX = 0.25;
  st.m_aLayers[2].m_dFactorY = 0.0;
}

std::string DemoStagePath(int number) {
  char path[64];
  std::snprintf(path, sizeof path, "data\\stg4\\c%02d-1.stg4_000", number);
  return path;
}

std::string DemoSystemIni() {
  // Key=value lines; a value ends at a space, so a comment may follow it. "Exit" ends the file.
  return "Direct3D=1 / 0 DirectDraw, 1 Direct3D, 2 ask at start\r\n"
         "WindowMode=1 / 0 full screen, 1 window\r\n"
         "Bpp=0 / 0 automatic, or 16 or 32\r\n"
         "VSync=2\r\n"
         "D3D_FontCache=0\r\n"
         "DD_FontCache=1\r\n"
         "DD_VideoStretch=0\r\n"
         "ShowFps=0\r\n"
         "English=0\r\n"
         "Midi_DirectMusic=1\r\n"
         "Exit\r\n";
}

bool WriteDemoProject() {
  // The database first: the palette and the stages check their references against it.
  FillDemoDatabase(g_Database);
  for (int i = 0; i < kDatabaseFileCount; ++i) {
    const auto which = static_cast<eDatabaseFile>(i);
    const std::string path = std::string("data\\database\\") + DatabaseFileName(which);
    if (!g_Database.SaveDatabaseFile(which, path)) return Fail(path.c_str());
  }

  cSystemData settings;
  FillDemoSystemData(settings);
  if (!settings.SaveFile("data\\System.dat")) return Fail("data\\System.dat");

  FillDemoPalette(g_CommonPalette);
  if (!g_CommonPalette.SaveFile("data\\CommonPalette.cplt4")) return Fail("data\\CommonPalette.cplt4");

  for (int n = 1; n <= kDemoStageCount; ++n) {
    auto stage = std::make_unique<cStageData>();
    FillDemoStage(n, g_CommonPalette, *stage);
    const std::string path = DemoStagePath(n);
    if (!stage->SaveFile(path)) return Fail(path.c_str());
  }
  auto bonus = std::make_unique<cStageData>();
  FillDemoBonusStage(g_CommonPalette, *bonus);
  if (!bonus->SaveFile(DemoStagePath(kDemoBonusStage))) return Fail(DemoStagePath(kDemoBonusStage).c_str());

  cWorldMap map;
  FillDemoWorldMap(map);
  if (!map.SaveFile("data\\WorldMap.dat")) return Fail("data\\WorldMap.dat");

  const std::string ini = DemoSystemIni();
  if (!WriteGameFile("System.ini", std::vector<uint8_t>(ini.begin(), ini.end()))) return Fail("System.ini");
  return true;
}
