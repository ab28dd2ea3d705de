#pragma once
// The round trip of a game or player file through its record: loaded into a fresh record, written,
// read back into another fresh record and written again; the two writings must agree.
#include <cstdint>
#include <vector>

#include "core/record.h"

// A record of class T as made afresh, made once per process: every fresh record of an input is a
// copy of it, which costs less than the constructor's reset and defaults (for a project's settings,
// dozens of texts and menu entries built one by one).
template <class T>
const T& FreshRecord() {
  static const T fresh;
  return fresh;
}

// Loads the bytes into a record made afresh as the game's loaders read a file (header, then the
// record's Load); false when the file is refused. A refused file leaves the record part loaded: the
// caller drops it. (The game's LoadFile puts the record back as it was, which for a fresh record is
// a copy of FreshRecord; for an input that is a second load of the same fixed form, which costs as
// much as the input's own load and reads no byte of the input.)
template <class T>
bool LoadIntoFresh(T& record, const std::vector<uint8_t>& bytes) {
  auto file = OpenDataBytesR(bytes);
  return file && record.Load(*file) && !file->Failed();
}

// Loads the bytes into a fresh T; when they load, the written form must survive a second trip.
template <class T>
bool LoadWriteReload(const std::vector<uint8_t>& bytes) {
  T first(FreshRecord<T>());
  if (!LoadIntoFresh(first, bytes)) return true;
  const std::vector<uint8_t> written = first.SaveToBytes();
  T second(FreshRecord<T>());
  if (!LoadIntoFresh(second, written)) return false;
  return second.SaveToBytes() == written;
}
