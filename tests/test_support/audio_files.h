#pragma once
// Sound files built byte by byte for tests: WAVE, Standard MIDI and (through the encoder) Ogg
// Vorbis; and a synthesiser that records what it is sent.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/midi/midi_sink.h"

namespace test_audio {

// Little-endian numbers, as WAVE files and MIDI stream buffers hold them.
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}
inline void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// A 16-bit mono WAVE at 48 kHz with every sample = value; fmtSize 16 or 18 with cbSize.
inline std::vector<uint8_t> Wave16(int frames, int16_t value, uint32_t fmtSize = 16, uint16_t cbSize = 0) {
  std::vector<uint8_t> body{'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  Put32(body, fmtSize);
  Put16(body, 1);
  Put16(body, 1);
  Put32(body, 48000);
  Put32(body, 96000);
  Put16(body, 2);
  Put16(body, 16);
  if (fmtSize >= 18) Put16(body, cbSize);
  body.insert(body.end(), {'d', 'a', 't', 'a'});
  Put32(body, static_cast<uint32_t>(frames * 2));
  for (int i = 0; i < frames; ++i) Put16(body, static_cast<uint16_t>(value));
  std::vector<uint8_t> file{'R', 'I', 'F', 'F'};
  Put32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

// A Standard MIDI File from raw track bodies (the end-of-track event is not added).
inline std::vector<uint8_t> Smf(uint16_t format, uint16_t division, const std::vector<std::vector<uint8_t>>& tracks,
                                uint32_t headerLength = 6) {
  std::vector<uint8_t> f = {'M',
                            'T',
                            'h',
                            'd',
                            0,
                            0,
                            0,
                            uint8_t(headerLength),
                            uint8_t(format >> 8),
                            uint8_t(format),
                            0,
                            uint8_t(tracks.size()),
                            uint8_t(division >> 8),
                            uint8_t(division)};
  for (uint32_t i = 6; i < headerLength; ++i) f.push_back(0);
  for (const auto& t : tracks) {
    f.insert(f.end(), {'M', 'T', 'r', 'k'});
    const uint32_t n = static_cast<uint32_t>(t.size());
    f.insert(f.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    f.insert(f.end(), t.begin(), t.end());
  }
  return f;
}

// Records every event with the frame at which it arrived.
class cRecordingSink : public cMidiSink {
 public:
  struct Event {
    long frame;
    uint32_t shortMsg;
    std::vector<uint8_t> longMsg;
  };
  void ShortMessage(uint32_t packed) override { events.push_back({frame, packed, {}}); }
  void LongMessage(const uint8_t* b, size_t n) override { events.push_back({frame, 0, {b, b + n}}); }
  void RenderAdd(float*, int frames) override { frame += frames; }
  void SetMasterGain(float g) override { gain = g; }
  // Note-ons that start a note (velocity above 0).
  std::vector<Event> NotesOn() const {
    std::vector<Event> out;
    for (const Event& e : events)
      if ((e.shortMsg & 0xF0) == 0x90 && (e.shortMsg >> 16) != 0) out.push_back(e);
    return out;
  }
  long frame = 0;
  float gain = -1;
  std::vector<Event> events;
};

// A 0.5-amplitude stereo sine in Ogg Vorbis.
inline bool WriteSineOgg(const std::string& path, int rate, int frames, double hz) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 2, rate, 0.4f) != 0) {
    std::fclose(out);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 7);
  ogg_packet h0, h1, h2;
  vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
  ogg_stream_packetin(&os, &h0);
  ogg_stream_packetin(&os, &h1);
  ogg_stream_packetin(&os, &h2);
  ogg_page og;
  while (ogg_stream_flush(&os, &og)) {
    std::fwrite(og.header, 1, og.header_len, out);
    std::fwrite(og.body, 1, og.body_len, out);
  }
  int done = 0;
  bool eos = false;
  while (!eos) {
    const int n = std::min(1024, frames - done);
    if (n > 0) {
      float** buf = vorbis_analysis_buffer(&vd, n);
      for (int i = 0; i < n; ++i)
        buf[0][i] = buf[1][i] = static_cast<float>(0.5 * std::sin(2 * M_PI * hz * (done + i) / rate));
      vorbis_analysis_wrote(&vd, n);
      done += n;
    } else {
      vorbis_analysis_wrote(&vd, 0);
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og)) {
          std::fwrite(og.header, 1, og.header_len, out);
          std::fwrite(og.body, 1, og.body_len, out);
          if (ogg_page_eos(&og)) eos = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return std::fclose(out) == 0;
}

}  // namespace test_audio
