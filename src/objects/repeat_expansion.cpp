// The repeat ("ループ") commands of a flow are expanded when the flow is installed: the block of
// commands after a repeat is written out as many times as it repeats, so the runner never loops.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/containers.h"
#include "core/log.h"
#include "objects/flow_runner.h"

namespace {

constexpr int kCharaCmdRepeat = 39;
constexpr int kItemCmdRepeat = 24;
// Commands copied by the expansions of one list at most. Every expansion removes one repeat, but
// copies may bring others (a repeat of one command that is itself a repeat keeps the list as it
// is): past this much work the repeats still left are dropped.
constexpr int64_t kMaxRepeatWork = int64_t{1} << 20;

bool IsRepeatCmd(const cFlowCmd& cmd) {
  return cmd.IsItemContext() ? cmd.m_nKind == kItemCmdRepeat : cmd.m_nKind == kCharaCmdRepeat;
}

}  // namespace

int ExpandOneRepeat(std::vector<cFlowCmd>& cmds) {
  const auto repeat = std::find_if(cmds.begin(), cmds.end(), IsRepeatCmd);
  if (repeat == cmds.end()) return 0;
  const int64_t at = repeat - cmds.begin();
  const int64_t size = static_cast<int64_t>(cmds.size());
  const int32_t times = VecAt(repeat->m_anParams, 0);
  const int32_t length = VecAt(repeat->m_anParams, 1);

  // The block: the commands after the repeat, cut at the end of the list. A count of 0 or 1 (or
  // less) leaves it once.
  const int64_t block = std::clamp<int64_t>(length, 0, size - at - 1);
  int64_t copies = times > 1 ? int64_t{times} - 1 : 0;
  if (block > 0 && copies > 0) {
    // The list never grows beyond its limit (the repeat command itself goes).
    const int64_t room = std::max<int64_t>(0, kMaxFlowCmds - size);
    if (copies * block > room) {
      ReportLogPrintf("err Loop ( %d , %d )", times, length);
      copies = room / block;
    }
  }
  if (block > 0 && copies > 0) {
    std::vector<cFlowCmd> added;
    added.reserve(static_cast<size_t>(copies * block));
    for (int64_t c = 0; c < copies; ++c) added.insert(added.end(), repeat + 1, repeat + 1 + block);
    cmds.insert(cmds.begin() + at + 1, added.begin(), added.end());
  }
  cmds.erase(cmds.begin() + at);
  return 1;
}

void ExpandRepeats(std::vector<cFlowCmd>& cmds) {
  int64_t work = 0;
  while (ExpandOneRepeat(cmds)) {
    work += static_cast<int64_t>(cmds.size());
    if (work > kMaxRepeatWork) {
      ReportLogPrintf("err Loop ( %d )", static_cast<int>(cmds.size()));
      std::erase_if(cmds, IsRepeatCmd);
      return;
    }
  }
}
