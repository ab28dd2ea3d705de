#pragma once
// "user_data\Boot.dat": the start-up dialog's drawing-mode choice and whether to ask again.
#include <cstdint>

#include "core/record.h"

constexpr const char* kBootDataPath = "user_data\\Boot.dat";

class cBootData : public cRecord {
 public:
  cBootData();
  void DeclareFields(uint32_t version) override;

  int32_t m_nDrawMode = 1;  // 1 Direct3D, 0 DirectDraw
  int32_t m_bNoAsk = 0;     // non-zero: start with the drawing mode without asking
};

// The one boot record of the run, loaded by start-up when "System.ini" leaves the drawing mode open.
extern cBootData g_BootData;
