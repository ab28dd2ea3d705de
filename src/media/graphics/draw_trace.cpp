#include "media/graphics/draw_trace.h"

#include <utility>

namespace {
cDrawTraceHooks g_drawTraceHooks;
}

cDrawTraceHooks SetDrawTraceHooks(const cDrawTraceHooks& hooks) { return std::exchange(g_drawTraceHooks, hooks); }

bool DDTraceCall(const char* name, DDSURFACEDATA* dst, DDSURFACEDATA* src, std::initializer_list<double> args,
                 const char* text) {
  if (!g_drawTraceHooks.record) return false;
  DDTRACECALL call;
  call.strName = name;
  call.lpDst = dst;
  call.lpSrc = src;
  call.adArgs.assign(args.begin(), args.end());
  if (text) call.strText = text;
  g_drawTraceHooks.record(call);
  return true;
}

bool DDTraceCall(const char* name, DDSURFACEDATA* dst, DDSURFACEDATA* src, const std::vector<double>& args) {
  if (!g_drawTraceHooks.record) return false;
  DDTRACECALL call;
  call.strName = name;
  call.lpDst = dst;
  call.lpSrc = src;
  call.adArgs = args;
  g_drawTraceHooks.record(call);
  return true;
}
