#pragma once
// A seam for tests that check what game code draws: while a trace is installed, the drawing
// functions game objects, flows and the stage use record each call (function, surfaces and
// arguments) instead of drawing. Nothing is traced in play.
#include <initializer_list>
#include <string>
#include <vector>

#include "media/graphics/surface_data.h"

// One drawing call.
struct DDTRACECALL {
  std::string strName;             // "DDBlt", "DDFillRect", "cFont::DrawString", ...
  DDSURFACEDATA* lpDst = nullptr;  // the target, or null when the call has none
  DDSURFACEDATA* lpSrc = nullptr;  // the source surface, or null when the call has none
  std::vector<double>
      adArgs;  // the other numeric arguments in the function's order (an effect's blend pair, when given, last)
  std::string strText;  // the text of a text call
};

// What the traced functions report to, installed by a test before anything draws.
struct cDrawTraceHooks {
  // Receives every traced call; while set, the traced functions draw nothing. Without it they draw.
  void (*record)(const DDTRACECALL& call) = nullptr;
};
// Installs the hooks; returns the ones they replace.
cDrawTraceHooks SetDrawTraceHooks(const cDrawTraceHooks& hooks);

// Called first by each traced function: records the call and returns true while a trace is
// installed (the function then returns without drawing).
bool DDTraceCall(const char* name, DDSURFACEDATA* dst, DDSURFACEDATA* src, std::initializer_list<double> args,
                 const char* text = nullptr);
// The same for arguments gathered at run time.
bool DDTraceCall(const char* name, DDSURFACEDATA* dst, DDSURFACEDATA* src, const std::vector<double>& args);
