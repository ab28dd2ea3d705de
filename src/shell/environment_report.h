#pragma once
// The description of the machine appended to the report log at every start, so that a player's
// problem report carries what a developer needs: the operating system, the processor and its clock,
// memory, free disk space and the screen; once graphics are up, the display mode and the drawing
// device. Lines whose fact this system cannot give are left out; the others keep their layout.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system_info.h"

struct cEnvironmentFacts {
  OsInfo os;
  CpuInfo cpu;
  MemoryInfo memory;
  int32_t diskFreeBytes = 0;  // as GetDiskFreeBytes gives it (at most the largest int32)
  int screenWidth = 0;
  int screenHeight = 0;
};

struct cDisplayFacts {
  int windowed = 1;
  int bpp = 32;
  bool direct3d = false;  // a Direct3D device exists (else DirectDraw)
  DisplayInfo display;
  int refreshRate = 0;  // DirectDraw: the refresh rate the device presents with
  // Direct3D: the device's capabilities.
  int maxTextureWidth = 0;
  int maxTextureHeight = 0;
  bool alphaFullscreenFlipOrDiscard = false;
  bool pow2Textures = false;
  bool squareOnlyTextures = false;
  bool dynamicTextures = false;
};

// The operating system's name: the distribution, the kernel and the machine (empty parts left out).
std::string OsVersionText(const OsInfo& os);

// The report's lines, without line ends, in Shift-JIS.
std::vector<std::string> EnvironmentReportLines(const cEnvironmentFacts& facts);
std::vector<std::string> DisplayReportLines(const cDisplayFacts& facts);

// The facts of this machine and of the display now.
cEnvironmentFacts ReadEnvironmentFacts();
cDisplayFacts ReadDisplayFacts();

// Append the reports to the report log; 1, or 0 when the log cannot be written.
int ReportEnvironment();
int ReportDisplay();
