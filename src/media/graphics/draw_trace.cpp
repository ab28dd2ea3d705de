#include "media/graphics/draw_trace.h"

#include <atomic>

namespace {
std::atomic<void (*)(const DDTRACECALL&)> g_record{nullptr};
}

cDrawTraceHooks SetDrawTraceHooks(const cDrawTraceHooks& hooks) {
  cDrawTraceHooks previous;
  previous.record = g_record.exchange(hooks.record);
  return previous;
}

bool DDTraceCall(const char* name, DDSURFACEDATA* dst, DDSURFACEDATA* src, std::initializer_list<double> args,
                 const char* text) {
  void (*record)(const DDTRACECALL&) = g_record.load();
  if (!record) return false;
  DDTRACECALL call;
  call.strName = name;
  call.lpDst = dst;
  call.lpSrc = src;
  call.adArgs.assign(args.begin(), args.end());
  if (text) call.strText = text;
  record(call);
  return true;
}
