#pragma once
// What the files of the flow runner share: the per-id bytes of a character (ids 1-26, vectors of 27
// entries made by the character's initialisation) and the marker that a character's flows are
// being triggered or stepped.
#include <cstdint>
#include <vector>

#include "objects/chara_base.h"

// The byte of a flow id, or null for id 0 and for an id the vector does not hold.
inline uint8_t* FlowIdByte(std::vector<uint8_t>& bytes, int id) {
  if (id <= 0 || static_cast<size_t>(id) >= bytes.size()) return nullptr;
  return &bytes[static_cast<size_t>(id)];
}

inline bool FlowIdByteSet(std::vector<uint8_t>& bytes, int id) {
  const uint8_t* byte = FlowIdByte(bytes, id);
  return byte && *byte != 0;
}

inline void SetFlowIdByte(std::vector<uint8_t>& bytes, int id) {
  if (uint8_t* byte = FlowIdByte(bytes, id)) *byte = 1;
}

// Marks a character's flows busy for its lifetime (nested marks count): removals and new flows wait
// until the character's frame step ends (RemoveFlaggedFlows).
class cFlowsBusyScope {
 public:
  explicit cFlowsBusyScope(cCharaBase* chara) : m_lpChara(chara) {
    if (m_lpChara) ++m_lpChara->m_FlowsBusy.m_nDepth;
  }
  ~cFlowsBusyScope() {
    if (m_lpChara) --m_lpChara->m_FlowsBusy.m_nDepth;
  }
  cFlowsBusyScope(const cFlowsBusyScope&) = delete;
  cFlowsBusyScope& operator=(const cFlowsBusyScope&) = delete;

 private:
  cCharaBase* m_lpChara;
};

inline bool FlowsBusy(const cCharaBase& chara) { return chara.m_FlowsBusy.m_nDepth > 0; }
