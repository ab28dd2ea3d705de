#pragma once
// "user_data\Boot.dat": the start-up dialog's answer, kept for the next start.
#include <cstdint>

#include "core/record.h"

constexpr const char* kBootDataPath = "user_data\\Boot.dat";

class cBootData : public cRecord {
 public:
  cBootData();
  void DeclareFields(uint32_t version) override;

  int32_t m_nDrawMode = 1;  // 1 Direct3D, 0 DirectDraw
  int32_t m_nNoAsk = 0;     // non-zero: the start-up dialog is not shown, the drawing mode is used
};
// Lives for the whole process.
extern cBootData g_BootData;
