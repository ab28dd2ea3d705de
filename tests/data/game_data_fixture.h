// A fresh game-data context around each test (database, project settings, palettes, stage, file
// versions), and reading records from hand-built bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "byte_builder.h"
#include "core/log.h"
#include "core/record.h"
#include "data/data_queries.h"
#include "data/game_data.h"
#include "test_support/fresh_game_data.h"

class GameDataTest : public ::testing::Test {
 protected:
  cFreshGameData m_FreshGameData;

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
