#pragma once
// Encoders for the media files of the demo game: Windows bitmaps (8-bit with a colour table, or
// 24-bit), PCM WAVE files and Standard MIDI Files. Each returns the whole file image; the caller
// writes it with the file layer's atomic write.
#include <cstdint>
#include <string_view>
#include <vector>

#include "demo_palette.h"
#include "pixel_canvas.h"

// Bottom-up BITMAPINFOHEADER bitmap of 8 bits per pixel with all 256 colour-table entries.
std::vector<uint8_t> EncodeBmp8(const cCanvas& picture, const cColourTable& colours);
// Bottom-up 24-bit bitmap of the canvas's colours looked up in the table (no colour table).
std::vector<uint8_t> EncodeBmp24(const cCanvas& picture, const cColourTable& colours);

// RIFF/WAVE of mono PCM with a 16-byte "fmt " chunk. 8-bit samples are unsigned (128 is silence).
std::vector<uint8_t> EncodeWave8(const std::vector<uint8_t>& samples, uint32_t rate);
std::vector<uint8_t> EncodeWave16(const std::vector<int16_t>& samples, uint32_t rate);

// One MIDI event of a track, at an absolute time in ticks.
struct cMidiEvent {
  uint32_t tick = 0;
  std::vector<uint8_t> bytes;  // status byte and data (a meta event: FF, type, length, data)
};

// Format-1 file: each track's events are sorted by time (stable: events at one tick keep their
// order) and written with delta times and full status bytes, ending with FF 2F 00 at `endTick` (or
// at its last event, if later).
std::vector<uint8_t> EncodeSmf(uint16_t division, const std::vector<std::vector<cMidiEvent>>& tracks, uint32_t endTick);

// Writes bytes to a game path (relative to the working folder), replacing the file atomically.
bool WriteGameFile(std::string_view gamePath, const std::vector<uint8_t>& bytes);
