#pragma once
// A stage: map size and scrolling, physics, timing, music, hit-box sizes, keep areas, background
// layers, texts, its own palette and the blocks, characters and items placed on its map. The same
// body, with the settings taken from the copy in g_StageData, opens every replay file.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"
#include "data/block_type.h"
#include "data/chara_type.h"
#include "data/item_type.h"
#include "data/save_records.h"

// Every stage file of version 173 and later ends with this value.
constexpr int32_t kStageTrailer = 123456789;
constexpr uint32_t kStageTrailerReadVersion = 173;
constexpr uint32_t kStageTrailerCheckVersion = 174;
constexpr int kStageTextCount = 1000;
// The largest map side in cells. Placements name their cells by 16-bit columns and rows, so no stage
// file can place anything beyond it; a larger side is damage (one flipped bit of the width asks for
// a map of gigabytes) and the file is refused.
constexpr int32_t kMaxMapCells = 32768;
constexpr int kKeepAreaCount = 5;

// A keep area: per side a switch and a margin in cells beyond the view.
class cStageQuad : public cRecord {
 public:
  cStageQuad();
  void DeclareFields(uint32_t version) override;
  void Set(int32_t on, int32_t margin);

  int32_t m_bLeftOn = 0;
  int32_t m_bRightOn = 0;
  int32_t m_bTopOn = 0;
  int32_t m_bBottomOn = 0;
  int32_t m_nLeft = 0;
  int32_t m_nRight = 0;
  int32_t m_nTop = 0;
  int32_t m_nBottom = 0;
};

// A background layer: a picture (or a colour fill) scrolling with a factor of the view.
class cBackLayer : public cRecord {
 public:
  cBackLayer();
  void DeclareFields(uint32_t version) override;

  int32_t m_bShown = 1;
  int32_t m_bColourFill = 0;
  int32_t m_nColour = 16;
  int32_t m_nGroup = 0;
  double m_dFactorX = 0.1;
  double m_dFactorY = 0.1;
  int32_t m_bAutoScrollX = 0;
  int32_t m_bAutoScrollY = 0;
  double m_dAutoSpeedX = 0.0;
  double m_dAutoSpeedY = 0.0;
  double m_dAutoOffsetX = 0.0;
  double m_dAutoOffsetY = 0.0;
  std::string m_strPicture;

 private:
  // Values old files store in place of the scroll factors and offsets; read and dropped.
  int32_t m_anOldValues[4] = {};
};

class cStageData : public cRecord {
 public:
  cStageData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  void ResetStageData();
  // Scroll limits, hit-check values, music number, palette padding and validation of every type.
  void NormaliseStage();
  // Sets the hit-check level and the values derived from it.
  void SetHitCheckLevel(int32_t level);
  // Writes a stage body whose settings (header, int list, keep areas, layers, texts) come from
  // settings and whose palette and placed lists come from this stage.
  bool WriteStageToReplay(cDataFile& file, cStageData& settings);
  // Index of the hero among the placed characters, or -1.
  int FindHero() const { return FindHeroIndex(m_aCharas); }

  // Header, in file order (the number is the field's position among the numeric fields).
  int32_t m_nWidth = 0;                   // 1: map width in cells
  int32_t m_nEditor2 = 0;                 // 2
  int32_t m_nEditor3 = 0;                 // 3
  int32_t m_nHeight = 0;                  // 4: map height in cells
  int32_t m_abScrollLimitOn[4] = {};      // 5-8: left, right, top, bottom
  int32_t m_anScrollLimit[4] = {};        // 9-12: left, right, top, bottom (cells)
  int32_t m_nFps = 60;                    // 13: 0 unthrottled
  int32_t m_bTimeLimit = 0;               // 14
  int32_t m_nTimeLimit = 200;             // 15
  int32_t m_nTimeWarning = 20;            // 16
  int32_t m_bAutoScrollX = 0;             // 17
  int32_t m_bAutoScrollY = 0;             // 18
  int32_t m_nAutoScrollSpeedX = 0;        // 19: tenths of a dot per frame
  int32_t m_nAutoScrollSpeedY = 0;        // 20
  double m_dGravity = 0.4;                // 21
  int32_t m_nHitCheckLevel = 10;          // 22
  int32_t m_nShotHitChecks = 0;           // 23: shot-hit checks per frame (0: every sub-step)
  int32_t m_nBgm = 0;                     // 24
  int32_t m_bBgmLoop = 0;                 // 25
  int32_t m_bBgmKeep = 0;                 // 26
  int32_t m_bDrawByLayer = 1;             // 27
  int32_t m_bCarryOver = 0;               // 28: the hero's carried-over status applies
  int32_t m_nStageOpt29 = 0;              // 29
  int32_t m_bStatusDisplay = 1;           // 30: the scene's status display
  int32_t m_bAutoResultEnd = 0;           // 31
  int32_t m_bReplayAllowed = 0;           // 32
  int32_t m_bCaption1 = 0;                // 33
  int32_t m_bCaption2 = 1;                // 34
  int32_t m_nStageEndOpt35 = 1;           // 35
  int32_t m_bKeyWaitCaption = 1;          // 36
  int32_t m_anHeroHitBox[4] = {};         // 37-40: walking w, h, flying w, h
  int32_t m_anHeroCharaBoxWalk[2] = {};   // 41-42
  int32_t m_anHeroCharaBoxFly[2] = {};    // 43-44
  int32_t m_anHeroShotBox[2] = {};        // 45-46
  int32_t m_anHeroItemBox[2] = {};        // 47-48
  int32_t m_anHeroHitBoxBottom[2] = {};   // 49-50: walking, flying
  int32_t m_anHeroCharaBoxAlign[2] = {};  // 51-52
  int32_t m_nHeroHitBoxShow = 0;          // 53
  int32_t m_anHeroBoxShow[3] = {};        // 54-56: character, shot, item box
  int32_t m_nHeroHitBoxColour = 0;        // 57
  int32_t m_anHeroBoxColour[3] = {};      // 58-60
  int32_t m_anCharaHitBox[4] = {};        // 61-64
  int32_t m_anCharaBoxWalk[2] = {};       // 65-66
  int32_t m_anCharaBoxFly[2] = {};        // 67-68
  int32_t m_anCharaShotBox[2] = {};       // 69-70
  int32_t m_anCharaHitBoxBottom[2] = {};  // 71-72
  int32_t m_anCharaBoxAlign[2] = {};      // 73-74
  int32_t m_anItemHitBox[2] = {};         // 75-76
  int32_t m_anShotCharaBox[2] = {};       // 77-78
  int32_t m_anShotBoxes[6] = {};          // 79-84
  int32_t m_bActiveOnlyHits = 1;          // 85: only active objects take part in hits
  int32_t m_nScrollAxisX = 0;             // 86
  int32_t m_nScrollAxisY = 0;             // 87
  int32_t m_nSubSteps = 0;                // 88: derived from the hit-check level
  double m_dSubSteps = 0;                 // 89
  double m_dSubStepsSq = 0;               // 90
  double m_dSpeedLimit = 0;               // 91
  double m_dGravityPerStep = 0;           // 92: gravity / sub-steps squared
  double m_dSpeedLimitPerStep = 0;        // 93
  int32_t m_nSubSteps8 = 0;               // 94
  int32_t m_bNearestOnScreen = 1;         // 95
  int32_t m_nHeroInvSame = 30;            // 96
  int32_t m_nHeroInvDamage = 0;           // 97
  int32_t m_nCharaInvSame = 30;           // 98
  int32_t m_nCharaInvDamage = 0;          // 99
  std::string m_strName;

  std::vector<int32_t> m_anTotalsLines;  // which lines of the play-totals panel are shown
  cStageQuad m_aKeepAreas[kKeepAreaCount];
  std::vector<cBlockType> m_aPalBlocks;
  std::vector<cCharaType> m_aPalCharas;
  std::vector<cItemType> m_aPalItems;
  std::vector<cBlockType> m_aBlocks;
  std::vector<cCharaType> m_aCharas;
  std::vector<cItemType> m_aItems;
  std::vector<cBackLayer> m_aLayers;
  std::vector<cStrRecord> m_aTexts;

  std::string m_strPath;     // the file it was read from
  int32_t m_nSubSteps6 = 0;  // derived: 6 x sub-steps

 private:
  void SetDefaultHitBoxes();
  void Upgrade(uint32_t version);
  bool SaveBody(cDataFile& file, cStageData& settings);
};

// The stage as read by the loader and played, and the copy of its settings taken after loading (both
// in g_GameData, data/game_data.h).
extern cStageData& g_StageFile;
extern cStageData& g_StageData;

// Copies the settings (header, int list, keep areas, layers and texts) of src into dst.
void CopyStageSettings(cStageData& dst, const cStageData& src);
// After a stage is loaded: g_StageData takes g_StageFile's settings and holds no types.
void TakeStageSettingsCopy();
// A restart: g_StageFile takes back the settings kept in g_StageData.
void RestoreStageSettings();

// The check before play: a file of version 174 or later must end with the trailer.
bool IsStageFileIntact(const std::vector<uint8_t>& fileBytes);
