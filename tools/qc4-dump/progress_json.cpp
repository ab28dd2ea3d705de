#include "progress_json.h"

#include "record_json.h"

void WriteProgress(cJsonWriter& out, const char* key, const cSaveData& save) {
  out.Key(key);
  out.BeginObject();
  WriteRecordFields(out, save);
  out.Key("m_SaveTime");
  out.BeginObject();
  const SAVETIME& t = save.m_SaveTime;
  const struct {
    const char* name;
    uint16_t value;
  } parts[] = {
      {"wYear", t.wYear}, {"wMonth", t.wMonth},   {"wDayOfWeek", t.wDayOfWeek}, {"wDay", t.wDay},
      {"wHour", t.wHour}, {"wMinute", t.wMinute}, {"wSecond", t.wSecond},       {"wMilliseconds", t.wMilliseconds}};
  for (const auto& part : parts) {
    out.Key(part.name);
    out.UInt(part.value);
  }
  out.EndObject();
  WriteValueList(out, "m_abCarryStored", save.m_abCarryStored);
  WriteRecordList(out, "m_aCarryOver", save.m_aCarryOver);
  WriteRecordList(out, "m_aStageResults", save.m_aStageResults);
  WriteRecordList(out, "m_aChallenge", save.m_aChallenge);
  WriteValueList(out, "m_anWorldFlags", save.m_anWorldFlags);
  WriteValueList(out, "m_anCommonVars", save.m_anCommonVars);
  WriteValueList(out, "m_anCommonVarsBackup", save.m_anCommonVarsBackup);
  out.EndObject();
}
