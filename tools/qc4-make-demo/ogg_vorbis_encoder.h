#pragma once
// Ogg Vorbis of mono float samples (-1..1), through libvorbisenc. The stream's serial number is fixed,
// so the same samples always give the same file.
#include <cstdint>
#include <vector>

// The whole file image; empty when the encoder refuses the rate.
std::vector<uint8_t> EncodeOggVorbisMono(const std::vector<float>& samples, int rate, float quality);
