// Hand-built bodies of flows and commands, straight from their file forms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_builder.h"

struct cCmdBytes {
  int8_t context = 0, kind = 0;
  int16_t useTime = 0, factor = 0;
  int8_t runOn = 0;
  int16_t sound = 0;
  int8_t onScreen = 1;
  int16_t anime = 0;
  std::string text;
  std::vector<uint8_t> move, shot, condList;  // empty: the flag is 0
  std::vector<std::vector<uint8_t>> flows;
  std::vector<int32_t> params;
  int32_t paramCount = -1;  // -1: the size of params
};

inline std::vector<uint8_t> CmdBody(uint32_t version, const cCmdBytes& c) {
  cByteBuilder b;
  b.I32(8).U8(static_cast<uint8_t>(c.context)).U8(static_cast<uint8_t>(c.kind)).I16(c.useTime).I16(c.factor);
  b.U8(static_cast<uint8_t>(c.runOn)).I16(c.sound).U8(static_cast<uint8_t>(c.onScreen)).I16(c.anime);
  b.I32(1).Str(c.text);
  for (const auto* settings : {&c.move, &c.shot}) {
    b.I32(settings->empty() ? 0 : 1);
    b.Bytes(*settings);
  }
  if (version >= 764) {
    b.I32(c.condList.empty() ? 0 : 1);
    b.Bytes(c.condList);
  }
  b.I32(static_cast<int32_t>(c.flows.size()));
  for (const auto& f : c.flows) b.Bytes(f);
  b.I32(c.paramCount >= 0 ? c.paramCount : static_cast<int32_t>(c.params.size()));
  for (int32_t p : c.params) b.I32(p);
  return b.Get();
}

struct cFlowBytes {
  int8_t group = 0, flowId = 0, testPlay = 0, condMode = 0, latch = 0, trigger = 0;
  int8_t partner = 0, slot = 0, gap = 3, repeat = 0;
  std::string name;
  std::vector<std::vector<uint8_t>> conds, keyConds, cmds;
};

inline std::vector<uint8_t> FlowBody(uint32_t version, const cFlowBytes& f) {
  cByteBuilder b;
  int32_t n = 8 + (version >= 762) + (version >= 767);
  b.I32(n);
  for (int8_t v : {f.group, f.flowId, f.testPlay, f.condMode, f.latch, f.trigger}) b.U8(static_cast<uint8_t>(v));
  if (version >= 762) b.U8(static_cast<uint8_t>(f.partner));
  if (version >= 767) b.U8(static_cast<uint8_t>(f.slot));
  b.U8(static_cast<uint8_t>(f.gap)).U8(static_cast<uint8_t>(f.repeat));
  if (version >= 676)
    b.I32(1).Str(f.name);
  else
    b.I32(0);
  for (const auto* list : {&f.conds, &f.keyConds, &f.cmds}) {
    b.I32(static_cast<int32_t>(list->size()));
    for (const auto& e : *list) b.Bytes(e);
  }
  return b.Get();
}

// A key step: facing-relative, holds, any-hold, logic, then the key states.
inline std::vector<uint8_t> KeyCondBody(const std::vector<uint8_t>& states, int32_t count = -1) {
  cByteBuilder b;
  b.I32(5).U8(1).I16(2).I16(30).U8(0).U8(1).I32(0);
  b.I32(count >= 0 ? count : static_cast<int32_t>(states.size()));
  b.Bytes(states);
  return b.Get();
}
