// The record types of the ten database files: animation sets, animations and their frames,
// dedicated character bitmaps, sword types and their entries, effects and their frames, character
// effects, screen effects, pictures, sound effects and music. Each declares its fields per file
// version (the version gates are the history of the file format) and corrects older files as it
// loads them. Every class writes exactly the layout it reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/record.h"

// One frame of an animation: a pattern shown for a duration in tenths of a second. From the first
// frame whose lock-from flag is set to the end, the animation cannot be switched away without force.
class cAnimeFrame : public cRecord {
 public:
  cAnimeFrame();
  void DeclareFields(uint32_t version) override;

  int32_t m_nPattern = 0;
  int32_t m_nDuration = 1;
  int32_t m_bLockFrom = 0;
};

// One animation: settings P, Q, R (since 55), a name and its frames.
class cAnimeData : public cRecord {
 public:
  cAnimeData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  int16_t m_nSettingP = 0;
  uint8_t m_bySettingQ = 1;
  int16_t m_nSettingR = 0;
  std::string m_strName;
  std::vector<cAnimeFrame> m_aFrames;
};

// An animation set: the basic animations of a character and three pattern offsets that character
// drawing adds while the character is in the state each belongs to.
class cAnimeSetData : public cRecord {
 public:
  cAnimeSetData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  int32_t m_nOffsetA = 4;
  int32_t m_nOffsetB = 8;
  int32_t m_nOffsetC = 0;  // since 119
  std::string m_strName;
  std::vector<cAnimeData> m_aAnimes;  // at least the four basic animations
};

// A dedicated character bitmap. Its cell size is m_nCellUnits x 32 pixels when m_bCellSize is set.
class cBmpCharaExcData : public cRecord {
 public:
  cBmpCharaExcData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;

  int32_t m_nSettingS = 0;   // since 152, cleared for files older than 153
  int32_t m_bCellSize = 0;   // since 172
  int32_t m_nCellUnits = 2;  // since 172
  std::string m_strName;
  std::string m_strFileName;
};

// One entry of a sword type: ten values that the sword shot reads (3 and 4 since 138).
class cSwordEntry : public cRecord {
 public:
  cSwordEntry();
  void DeclareFields(uint32_t version) override;

  int32_t m_nValue1 = 0, m_nValue2 = 0, m_nValue3 = 0, m_nValue4 = 0, m_nValue5 = 0;
  int32_t m_nValue6 = 0, m_nValue7 = 0, m_nValue8 = 0, m_nValue9 = 0, m_nValue10 = 0;
};

// A sword (melee attack) type.
class cSwordTypeData : public cRecord {
 public:
  cSwordTypeData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  int32_t m_nSettingS = 0;  // since 151, cleared for files older than 153
  std::string m_strName;
  std::string m_strText2;
  std::string m_strPicture;
  std::vector<cSwordEntry> m_aEntries;
};

// One frame of an effect: a cell of the effect's picture shown for tenths of a second.
class cEffectFrame : public cRecord {
 public:
  cEffectFrame();
  void DeclareFields(uint32_t version) override;

  int32_t m_nPattern = 0;
  int32_t m_nDuration = 1;
};

// An effect animation: a picture cut into cells and played frame by frame.
class cEffectData : public cRecord {
 public:
  cEffectData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;
  bool Save(cDataFile& file) override;

  int32_t m_nSettingS = 0;  // since 151, cleared for files older than 153
  int32_t m_nCellWidth = 32;
  int32_t m_nCellHeight = 32;
  int32_t m_bEnlargeable = 0;
  std::string m_strName;
  std::string m_strPicture;
  std::vector<cEffectFrame> m_aFrames;
};

// The fields shared by character effects and screen effects: a kind (0 none) and five parameters;
// parameter 1 is the run time in tenths of a second.
class cEffectKindData : public cRecord {
 public:
  void DeclareFields(uint32_t version) override;

  int32_t m_nKind = 1;
  int32_t m_anParams[5] = {0, 0, 0, 0, 0};
  std::string m_strName;

 protected:
  cEffectKindData();
};

// A per-pixel effect applied to a character's drawing.
class cCharaEffectData : public cEffectKindData {
 public:
  cCharaEffectData();
  bool Load(cDataFile& file) override;
};

// A transition applied to the whole screen.
class cScrEffectData : public cEffectKindData {
 public:
  cScrEffectData();
  bool Load(cDataFile& file) override;
};

// A picture shown by the picture command.
class cPictureData : public cRecord {
 public:
  cPictureData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;

  int32_t m_nSettingS = 0;
  std::string m_strName;
  std::string m_strFileName;
};

// A sound effect; database entry n becomes sound slot n + 16.
class cSoundData : public cRecord {
 public:
  cSoundData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;

  int32_t m_nSettingS = 0;
  std::string m_strName;
  std::string m_strFileName;
};

// A background-music entry with its volume in percent.
class cBgmData : public cRecord {
 public:
  cBgmData();
  void DeclareFields(uint32_t version) override;
  bool Load(cDataFile& file) override;

  int32_t m_nSettingS = 0;
  int32_t m_nVolume = 100;  // since 814
  std::string m_strName;
  std::string m_strFileName;
};
