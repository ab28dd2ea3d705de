#include "objects/draw_report.h"

#include <cstdarg>
#include <string>
#include <utility>

#include "core/log.h"

namespace {
// Only the thread that runs game frames draws.
std::string g_lastDrawProblem;
}  // namespace

void ReportDrawProblem(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string line = FormatBounded(kLogBufferSize, format, args);
  va_end(args);
  if (line == g_lastDrawProblem) return;
  ReportLogPuts(line.c_str());
  g_lastDrawProblem = std::move(line);
}
