#include "data/database_records.h"

#include <gtest/gtest.h>

#include <functional>

#include "byte_builder.h"
#include "core/log.h"
#include "test_support/fresh_game_data.h"

namespace {

// Record bodies built from the field tables of the database record types.
cByteBuilder& AnimeFrame(cByteBuilder& b, int32_t pattern, int32_t duration, int32_t lockFrom) {
  return b.I32(3).I32(pattern).I32(duration).I32(lockFrom).I32(0);
}

// A cAnimeData body with k frames; versions from 55 carry P (int16), Q (uint8), R (int16).
cByteBuilder& Anime(cByteBuilder& b, uint32_t version, const std::string& name, int frames, int16_t p = 7,
                    uint8_t q = 200, int16_t r = -3) {
  if (version >= 55)
    b.I32(3).I16(p).U8(q).I16(r);
  else
    b.I32(0);
  b.I32(1).Str(name).I32(frames);
  for (int i = 0; i < frames; ++i) AnimeFrame(b, 10 + i, 2, 0);
  return b;
}

cByteBuilder& AnimeSet(cByteBuilder& b, uint32_t version, int animations) {
  if (version >= 119)
    b.I32(3).I32(1).I32(2).I32(3);
  else
    b.I32(2).I32(1).I32(2);
  b.I32(1).Str("set").I32(animations);
  for (int i = 0; i < animations; ++i) Anime(b, version, "a" + std::to_string(i), 1);
  return b;
}

template <class T>
T LoadAt(uint32_t version, const cByteBuilder& body) {
  cByteBuilder file;
  file.U32(version).Bytes(body.Get());
  T record;
  EXPECT_EQ(record.LoadFromBytes(file.Get()), 1) << version;
  return record;
}

class DatabaseRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override { g_bQuit = 0; }
  cFreshGameData m_FreshGameData;
};

TEST_F(DatabaseRecordsTest, Defaults) {
  cAnimeSetData set;
  ASSERT_EQ(set.m_aAnimes.size(), 4u);
  EXPECT_EQ(set.m_aAnimes[3].m_strName, "飛行移動");
  EXPECT_EQ(set.m_nOffsetA, 4);
  EXPECT_EQ(set.m_nOffsetB, 8);
  cAnimeData anime;
  EXPECT_EQ(anime.m_bySettingQ, 1);
  ASSERT_EQ(anime.m_aFrames.size(), 1u);
  EXPECT_EQ(anime.m_aFrames[0].m_nDuration, 1);
  cSwordTypeData sword;
  ASSERT_EQ(sword.m_aEntries.size(), 1u);
  EXPECT_EQ(sword.m_aEntries[0].m_nValue10, 1);
  EXPECT_EQ(sword.m_aEntries[0].m_nValue3, 0);
  cEffectData effect;
  EXPECT_EQ(effect.m_nCellWidth, 32);
  ASSERT_EQ(effect.m_aFrames.size(), 1u);
  EXPECT_EQ(cCharaEffectData().m_nKind, 1);
  EXPECT_EQ(cBgmData().m_nVolume, 100);
  EXPECT_EQ(cBmpCharaExcData().m_nCellUnits, 2);
}

TEST_F(DatabaseRecordsTest, AnimeSetBelow119And128HasExactlyFourAnimations) {
  cByteBuilder old;
  AnimeSet(old, 100, 2);
  cAnimeSetData a = LoadAt<cAnimeSetData>(100, old);
  ASSERT_EQ(a.m_aAnimes.size(), 4u);
  EXPECT_EQ(a.m_aAnimes[0].m_strName, "a0");
  EXPECT_EQ(a.m_aAnimes[1].m_strName, "a1");
  EXPECT_EQ(a.m_aAnimes[2].m_strName, "飛行");
  EXPECT_EQ(a.m_aAnimes[3].m_strName, "飛行移動");
  EXPECT_EQ(a.m_nOffsetC, 0);

  cByteBuilder mid;
  AnimeSet(mid, 120, 6);
  cAnimeSetData b = LoadAt<cAnimeSetData>(120, mid);
  ASSERT_EQ(b.m_aAnimes.size(), 4u);
  EXPECT_EQ(b.m_aAnimes[1].m_strName, "a1");
  EXPECT_EQ(b.m_aAnimes[2].m_strName, "飛行");
  EXPECT_EQ(b.m_nOffsetC, 3);

  // Either side of each gate: {version, animations kept, name of entry 2, offset C}.
  const struct {
    uint32_t version;
    size_t kept;
    const char* name2;
    int32_t offsetC;
  } cases[] = {{118, 4, "飛行", 0}, {119, 4, "飛行", 3}, {127, 4, "飛行", 3}, {128, 6, "a2", 3}};
  for (const auto& c : cases) {
    cByteBuilder body;
    AnimeSet(body, c.version, 6);
    cAnimeSetData set = LoadAt<cAnimeSetData>(c.version, body);
    ASSERT_EQ(set.m_aAnimes.size(), c.kept) << c.version;
    EXPECT_EQ(set.m_aAnimes[2].m_strName, c.name2) << c.version;
    EXPECT_EQ(set.m_nOffsetC, c.offsetC) << c.version;
  }
}

TEST_F(DatabaseRecordsTest, AnimeBefore55HasNoSettings) {
  cByteBuilder b54;
  Anime(b54, 54, "old", 2);
  cAnimeData a = LoadAt<cAnimeData>(54, b54);
  EXPECT_EQ(a.m_nSettingP, 0);
  EXPECT_EQ(a.m_bySettingQ, 1);
  EXPECT_EQ(a.m_nSettingR, 0);
  EXPECT_EQ(a.m_strName, "old");
  ASSERT_EQ(a.m_aFrames.size(), 2u);
  EXPECT_EQ(a.m_aFrames[1].m_nPattern, 11);

  cByteBuilder b55;
  Anime(b55, 55, "new", 1);
  cAnimeData b = LoadAt<cAnimeData>(55, b55);
  EXPECT_EQ(b.m_nSettingP, 7);
  EXPECT_EQ(b.m_bySettingQ, 200);  // unsigned
  EXPECT_EQ(b.m_nSettingR, -3);
}

TEST_F(DatabaseRecordsTest, SwordEntriesBefore138HaveEightValuesAndStartWithValue3Set) {
  auto sword = [](uint32_t version) {
    cByteBuilder b;
    if (version >= 151)
      b.I32(1).I32(9);
    else
      b.I32(0);
    b.I32(3).Str("s").Str("second").Str("pic.bmp").I32(2);
    for (int e = 0; e < 2; ++e) {
      const int groups = version >= 138 ? 10 : 8;
      b.I32(groups);
      for (int g = 0; g < groups; ++g) b.I32(100 + g);
      b.I32(0);
    }
    return b;
  };
  cSwordTypeData a = LoadAt<cSwordTypeData>(137, sword(137));
  ASSERT_EQ(a.m_aEntries.size(), 2u);
  EXPECT_EQ(a.m_aEntries[1].m_nValue1, 100);
  EXPECT_EQ(a.m_aEntries[1].m_nValue2, 101);
  EXPECT_EQ(a.m_aEntries[1].m_nValue3, 1);
  EXPECT_EQ(a.m_aEntries[1].m_nValue4, 0);
  EXPECT_EQ(a.m_aEntries[1].m_nValue5, 102);
  EXPECT_EQ(a.m_aEntries[1].m_nValue10, 107);
  EXPECT_EQ(a.m_strPicture, "pic.bmp");

  cSwordTypeData b = LoadAt<cSwordTypeData>(138, sword(138));
  EXPECT_EQ(b.m_aEntries[0].m_nValue3, 102);
  EXPECT_EQ(b.m_aEntries[0].m_nValue10, 109);
}

TEST_F(DatabaseRecordsTest, SettingSIsClearedBelow153) {
  auto picture = [](int32_t s) {
    cByteBuilder b;
    b.I32(1).I32(s).I32(2).Str("name").Str("file.bmp");
    return b;
  };
  EXPECT_EQ(LoadAt<cPictureData>(152, picture(5)).m_nSettingS, 0);
  EXPECT_EQ(LoadAt<cPictureData>(153, picture(5)).m_nSettingS, 5);
  cByteBuilder old;
  old.I32(0).I32(2).Str("n").Str("f");
  cPictureData p = LoadAt<cPictureData>(150, old);
  EXPECT_EQ(p.m_strFileName, "f");

  // The bitmap record declares S from 152 only.
  cByteBuilder bmp151;
  bmp151.I32(0).I32(2).Str("n").Str("f");
  EXPECT_EQ(LoadAt<cBmpCharaExcData>(151, bmp151).m_strFileName, "f");
  cByteBuilder bmp171;
  bmp171.I32(1).I32(4).I32(2).Str("n").Str("f");
  cBmpCharaExcData old171 = LoadAt<cBmpCharaExcData>(171, bmp171);
  EXPECT_EQ(old171.m_nSettingS, 4);
  EXPECT_EQ(old171.m_nCellUnits, 2);
  cByteBuilder bmp172;
  bmp172.I32(3).I32(4).I32(1).I32(3).I32(2).Str("n").Str("f");
  cBmpCharaExcData c = LoadAt<cBmpCharaExcData>(172, bmp172);
  EXPECT_EQ(c.m_nSettingS, 4);
  EXPECT_EQ(c.m_bCellSize, 1);
  EXPECT_EQ(c.m_nCellUnits, 3);
}

TEST_F(DatabaseRecordsTest, SettingSGateOfEveryClassThatHasIt) {
  // Each class at the version before S exists (its other fields must not shift into S), at the
  // versions that carry S but clear it, and at 153 where it stands. The value read back is S and
  // the field after it.
  struct Read {
    int32_t s, next;
  };
  const struct {
    const char* name;
    uint32_t gate;
    std::function<std::vector<uint8_t>(uint32_t)> body;  // S = 5, next field 16
    std::function<Read(const std::vector<uint8_t>&)> load;
  } classes[] = {
      {"effect", 151,
       [](uint32_t v) {
         cByteBuilder b;
         if (v >= 151)
           b.I32(4).I32(5);
         else
           b.I32(3);
         b.I32(16).I32(24).I32(0).I32(2).Str("e").Str("e.bmp").I32(0);
         return b.Get();
       },
       [](const std::vector<uint8_t>& f) {
         cEffectData e;
         EXPECT_EQ(e.LoadFromBytes(f), 1);
         return Read{e.m_nSettingS, e.m_nCellWidth};
       }},
      {"bgm", 151,
       [](uint32_t v) {
         cByteBuilder b;
         if (v >= 151)
           b.I32(1).I32(5);
         else
           b.I32(0);
         b.I32(2).Str("m").Str("m.ogg");
         return b.Get();
       },
       [](const std::vector<uint8_t>& f) {
         cBgmData m;
         EXPECT_EQ(m.LoadFromBytes(f), 1);
         return Read{m.m_nSettingS, m.m_strFileName == "m.ogg" ? 16 : 0};
       }},
      {"sound", 151,
       [](uint32_t v) {
         cByteBuilder b;
         if (v >= 151)
           b.I32(1).I32(5);
         else
           b.I32(0);
         b.I32(2).Str("n").Str("se.wav");
         return b.Get();
       },
       [](const std::vector<uint8_t>& f) {
         cSoundData m;
         EXPECT_EQ(m.LoadFromBytes(f), 1);
         return Read{m.m_nSettingS, m.m_strFileName == "se.wav" ? 16 : 0};
       }},
      {"sword", 151,
       [](uint32_t v) {
         cByteBuilder b;
         if (v >= 151)
           b.I32(1).I32(5);
         else
           b.I32(0);
         b.I32(3).Str("s").Str("").Str("s.bmp").I32(1).I32(10);
         for (int g = 0; g < 10; ++g) b.I32(16 + g);
         b.I32(0);
         return b.Get();
       },
       [](const std::vector<uint8_t>& f) {
         cSwordTypeData t;
         EXPECT_EQ(t.LoadFromBytes(f), 1);
         return Read{t.m_nSettingS, t.m_aEntries.at(0).m_nValue1};
       }},
      {"bitmap", 152,
       [](uint32_t v) {
         cByteBuilder b;
         if (v >= 152)
           b.I32(1).I32(5);
         else
           b.I32(0);
         b.I32(2).Str("n").Str("f.bmp");
         return b.Get();
       },
       [](const std::vector<uint8_t>& f) {
         cBmpCharaExcData m;
         EXPECT_EQ(m.LoadFromBytes(f), 1);
         return Read{m.m_nSettingS, m.m_strFileName == "f.bmp" ? 16 : 0};
       }},
  };
  for (const auto& c : classes) {
    for (uint32_t version : {c.gate - 1, c.gate, 152u, 153u}) {
      cByteBuilder file;
      file.U32(version).Bytes(c.body(version));
      const Read r = c.load(file.Get());
      EXPECT_EQ(r.s, version >= 153 ? 5 : 0) << c.name << " at " << version;
      EXPECT_EQ(r.next, 16) << c.name << " at " << version;
    }
  }
}

TEST_F(DatabaseRecordsTest, SoundKeepsItsNumericGroupBeforeBothStrings) {
  cByteBuilder b;
  b.I32(1).I32(6).I32(2).Str("名前").Str("se.wav");
  cSoundData s = LoadAt<cSoundData>(986, b);
  EXPECT_EQ(s.m_nSettingS, 6);
  EXPECT_EQ(s.m_strName, "名前");
  EXPECT_EQ(s.m_strFileName, "se.wav");
  cByteBuilder file;
  file.U32(986).Bytes(b.Get());
  EXPECT_EQ(s.SaveToBytes(), file.Get());
}

TEST_F(DatabaseRecordsTest, EffectRoughnessTakesItsTableDefaultUpTo510) {
  auto effect = [](int32_t kind) {
    cByteBuilder b;
    b.I32(2).I32(kind).I32s({10, 1, 2, 3, 4}).I32(1).Str("e");
    return b;
  };
  EXPECT_EQ(LoadAt<cCharaEffectData>(510, effect(4)).m_anParams[4], 2);
  EXPECT_EQ(LoadAt<cCharaEffectData>(510, effect(5)).m_anParams[4], 2);
  EXPECT_EQ(LoadAt<cCharaEffectData>(510, effect(10)).m_anParams[3], 2);
  EXPECT_EQ(LoadAt<cCharaEffectData>(511, effect(4)).m_anParams[4], 4);
  EXPECT_EQ(LoadAt<cCharaEffectData>(510, effect(6)).m_anParams[4], 4);
  EXPECT_EQ(LoadAt<cScrEffectData>(510, effect(6)).m_anParams[4], 8);
  EXPECT_EQ(LoadAt<cScrEffectData>(510, effect(7)).m_anParams[4], 10);
  EXPECT_EQ(LoadAt<cScrEffectData>(510, effect(10)).m_anParams[3], 8);
  EXPECT_EQ(LoadAt<cScrEffectData>(511, effect(10)).m_anParams[3], 3);
}

TEST_F(DatabaseRecordsTest, BgmVolumeArrivesAt814) {
  cByteBuilder b813;
  b813.I32(1).I32(0).I32(2).Str("m").Str("m.ogg");
  EXPECT_EQ(LoadAt<cBgmData>(813, b813).m_nVolume, 100);
  cByteBuilder b814;
  b814.I32(2).I32(0).I32(40).I32(2).Str("m").Str("m.ogg");
  EXPECT_EQ(LoadAt<cBgmData>(814, b814).m_nVolume, 40);
}

TEST_F(DatabaseRecordsTest, EffectWithNoFramesLoadsAnEmptyFrameList) {
  cByteBuilder b;
  b.I32(4).I32(0).I32(16).I32(24).I32(1).I32(2).Str("e").Str("e.bmp").I32(0);
  cEffectData e = LoadAt<cEffectData>(986, b);
  EXPECT_TRUE(e.m_aFrames.empty());
  EXPECT_EQ(e.m_nCellHeight, 24);
}

TEST_F(DatabaseRecordsTest, SaveWritesTheLayoutItReads) {
  cAnimeSetData set;
  set.m_aAnimes[1].m_aFrames.push_back(cAnimeFrame());
  set.m_aAnimes[1].m_aFrames[1].m_bLockFrom = 1;
  cAnimeSetData copy;
  ASSERT_EQ(copy.LoadFromBytes(set.SaveToBytes()), 1);
  EXPECT_EQ(copy.SaveToBytes(), set.SaveToBytes());
  EXPECT_EQ(copy.m_aAnimes[1].m_aFrames[1].m_bLockFrom, 1);

  cByteBuilder body;
  AnimeSet(body, 986, 4);
  cByteBuilder file;
  file.U32(986).Bytes(body.Get());
  cAnimeSetData loaded;
  ASSERT_EQ(loaded.LoadFromBytes(file.Get()), 1);
  EXPECT_EQ(loaded.SaveToBytes(), file.Get());
}

TEST_F(DatabaseRecordsTest, BrokenNestedListsAreRefused) {
  cByteBuilder b;
  b.I32(4).I32(0).I32(16).I32(24).I32(1).I32(2).Str("e").Str("e.bmp").I32(1000000);
  cByteBuilder file;
  file.U32(986).Bytes(b.Get());
  cEffectData e;
  EXPECT_EQ(e.LoadFromBytes(file.Get()), 0);
  EXPECT_EQ(e.m_aFrames.size(), 1u);
  EXPECT_EQ(e.m_nCellHeight, 32);
}

TEST_F(DatabaseRecordsTest, DamagedNestedRecordsNeverCrashTheLoader) {
  cAnimeSetData set;
  set.m_aAnimes[0].m_aFrames.resize(3);
  cSwordTypeData sword;
  sword.m_aEntries.resize(3);
  const std::vector<std::vector<uint8_t>> goods = {set.SaveToBytes(), sword.SaveToBytes(), cEffectData().SaveToBytes()};
  uint32_t state = 99;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  };
  for (int round = 0; round < 300; ++round) {
    for (size_t k = 0; k < goods.size(); ++k) {
      std::vector<uint8_t> bytes = goods[k];
      bytes[4 + next() % (bytes.size() - 4)] = static_cast<uint8_t>(next());
      if (k == 0) {
        cAnimeSetData r;
        r.LoadFromBytes(bytes);
      } else if (k == 1) {
        cSwordTypeData r;
        r.LoadFromBytes(bytes);
      } else {
        cEffectData r;
        r.LoadFromBytes(bytes);
      }
    }
  }
  EXPECT_EQ(g_bQuit.load(), 0);
}

}  // namespace
