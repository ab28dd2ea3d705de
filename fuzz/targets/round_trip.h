#pragma once
// The round trip of a game or player file through its record: loaded into a fresh record, written,
// read back into another fresh record and written again; the two writings must agree.
#include <cstdint>
#include <vector>

// What SaveToBytes gives for a record of class T made afresh: the same for every input, so it is
// written once per process (on the first input's fresh run) and a broken input is put back to it
// without writing each fresh record first (cRecord::LoadFromBytes with a saved form).
template <class T>
const std::vector<uint8_t>& FreshSavedForm() {
  static const std::vector<uint8_t> form = T().SaveToBytes();
  return form;
}

// Loads the bytes into a record made afresh, as LoadFromBytes does.
template <class T>
bool LoadIntoFresh(T& record, const std::vector<uint8_t>& bytes) {
  return record.LoadFromBytes(bytes, FreshSavedForm<T>()) != 0;
}

// Loads the bytes into a fresh T; when they load, the written form must survive a second trip.
template <class T>
bool LoadWriteReload(const std::vector<uint8_t>& bytes) {
  T first;
  if (!LoadIntoFresh(first, bytes)) return true;
  const std::vector<uint8_t> written = first.SaveToBytes();
  T second;
  if (!LoadIntoFresh(second, written)) return false;
  return second.SaveToBytes() == written;
}
