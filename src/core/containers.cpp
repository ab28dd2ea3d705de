#include "core/containers.h"

#include <string>

#include "core/log.h"

void LogRangeError(char kind, int32_t index, int32_t count, int32_t elementSize) {
  std::string text;
  if (kind == 'L')
    FormatStr(text, "err L[%d] ( %d , %d )", index, count, elementSize);
  else
    FormatStr(text, "err V[%d] ( %d , %d )", index, count, elementSize);
  ECLogPuts(text.c_str());
  ReportLogPuts(text.c_str());
}

void ReportRangeError(char kind, int32_t index, int32_t count, int32_t elementSize) {
  LogRangeError(kind, index, count, elementSize);
  FatalStop();
}

int ContainsPair(const std::vector<cIntPair>& v, const cIntPair& p) {
  for (int32_t i = 0; i < static_cast<int32_t>(v.size()); ++i)
    if (VecAt(v, i) == p) return 1;
  return 0;
}
