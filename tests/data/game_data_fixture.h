// Puts the game's global data (database, project settings, common palette, stage) back to a fresh
// start around each test, and reads records from hand-built bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "byte_builder.h"
#include "core/log.h"
#include "core/record.h"
#include "data/data_queries.h"
#include "data/database.h"
#include "data/palette.h"
#include "data/stage_data.h"
#include "data/system_data.h"
#include "data/world_map.h"

class GameDataTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override { ResetGlobals(); }

  static void ResetGlobals() {
    g_nDataVersion = kDataVersion;
    g_nFileVersion = kDataVersion;
    g_bStripCR = 1;
    g_TestPlay = 0;
    g_SystemData.m_bKeepTestFlows = 0;
    g_Database.SetDatabaseDefaults();
    g_CommonPalette = cPalette();
    g_StageFile.ResetStageData();
    g_StageData.ResetStageData();
  }

  // Loads a record from body bytes as if they followed a file header of the given version.
  template <class T>
  static bool LoadBody(T& record, uint32_t version, const std::vector<uint8_t>& body, size_t* consumed = nullptr) {
    g_nFileVersion = version;
    auto file = cDataFile::FromBytes(body);
    bool ok = record.Load(*file) && !file->Failed();
    if (consumed) *consumed = file->Position();
    g_nFileVersion = kDataVersion;
    return ok;
  }

  // The body bytes Save writes (no version header).
  template <class T>
  static std::vector<uint8_t> SaveBody(T& record) {
    auto file = cDataFile::ForWriting("");
    record.Save(*file);
    return file->Bytes();
  }

  // Save, then load into a fresh record at the current version.
  template <class T>
  static T RoundTrip(T& record) {
    T copy;
    EXPECT_TRUE(LoadBody(copy, kDataVersion, SaveBody(record)));
    return copy;
  }

  // Makes the database list hold n default entries.
  template <class T>
  static void SetCount(std::vector<T>& list, size_t n) {
    list.resize(n);
  }
};
