#pragma once
// A Standard MIDI File (format 0 or 1) turned into a format-0 image in memory: every track merged into
// one time-ordered track whose events all carry their full status byte (no running status).
//
// Image: "MThd" 00000006 0000 0001 <division, 2 bytes> "MTrk" <length, uint32 BE> <events>; events
// start at offset 22 and end at 22 + length; each is a variable-length delta, the status byte and its
// data: C0-DF one data byte; F0 a variable-length length and that many bytes; FF a type byte, a
// variable-length length and the bytes; every other status two data bytes. The last event is
// FF 2F 00. A system-exclusive message split over F0/F7 packets is joined into one F0 event; an F7
// escape holding a channel message or a whole F0 message becomes that event; other escapes are left
// out (their time is kept by the deltas of what follows).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/midi/midi_bytes.h"  // ReadVarLen and WriteVarLen, for the image's numbers

constexpr size_t kSmfImageHeader = 22;

// Converts a file image; on failure `error` holds the report text's tail after the file name (for
// example "Init 標準MIDIでない(4)") and the result is false. A damaged track is read up to its fault:
// the result is true and `error` says so; otherwise `error` is empty.
bool ConvertSmf(const uint8_t* bytes, size_t size, std::vector<uint8_t>& image, std::string& error);

class cSmf {
 public:
  explicit cSmf(const char* path);  // LoadSmf: reads and converts; failures are logged
  virtual ~cSmf();
  cSmf(const cSmf&) = delete;
  cSmf& operator=(const cSmf&) = delete;

  bool HasImage() const { return !m_Image.empty(); }
  const std::vector<uint8_t>& Image() const { return m_Image; }
  const std::string& Name() const { return m_strName; }
  size_t TrackEnd() const;  // offset one past the last event
  uint16_t Division() const;

 protected:
  std::vector<uint8_t> m_Image;
  std::string m_strName;
};
