// WAVE reading: a table of headers built byte by byte, including malformed ones, and the conversion
// of 8/16-bit mono/stereo samples at any rate to the mixer's format.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/audio/wave_file.h"

// Rows and packed builders are laid out by hand, one record or field group a line.
// clang-format off
namespace {

struct cWaveSpec {
  uint32_t fmtSize = 16;
  uint16_t tag = 1, channels = 1;
  uint32_t rate = 22050;
  uint16_t align = 1, bits = 8, cbSize = 0;
  bool withData = true;
  uint32_t declaredData = 4;
  std::vector<uint8_t> data{128, 255, 0, 128};
  bool listChunkFirst = false;
  size_t cutTo = 0;  // 0: whole file
};

void Put32(std::vector<uint8_t>& v, uint32_t x) { for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i))); }
void Put16(std::vector<uint8_t>& v, uint16_t x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); }
void PutId(std::vector<uint8_t>& v, const char* id) { v.insert(v.end(), id, id + 4); }

std::vector<uint8_t> BuildWave(const cWaveSpec& s) {
  std::vector<uint8_t> body;
  PutId(body, "WAVE");
  if (s.listChunkFirst) {
    PutId(body, "LIST");
    Put32(body, 3);
    body.insert(body.end(), {1, 2, 3, 0});  // odd size, padded
  }
  PutId(body, "fmt ");
  Put32(body, s.fmtSize);
  std::vector<uint8_t> fmt;
  Put16(fmt, s.tag);
  Put16(fmt, s.channels);
  Put32(fmt, s.rate);
  Put32(fmt, s.rate * s.align);
  Put16(fmt, s.align);
  Put16(fmt, s.bits);
  Put16(fmt, s.cbSize);
  fmt.resize(s.fmtSize, 0);
  body.insert(body.end(), fmt.begin(), fmt.end());
  if (s.withData) {
    PutId(body, "data");
    Put32(body, s.declaredData);
    body.insert(body.end(), s.data.begin(), s.data.end());
  }
  std::vector<uint8_t> file;
  PutId(file, "RIFF");
  Put32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  if (s.cutTo != 0 && s.cutTo < file.size()) file.resize(s.cutTo);
  return file;
}

TEST(AudioWave, HeaderTable) {
  struct Case { const char* name; cWaveSpec spec; eWaveResult expected; size_t sampleBytes; };
  std::vector<Case> cases;
  cases.push_back({"plain 8-bit mono, 16-byte fmt", {}, eWaveResult::kOk, 4});
  { cWaveSpec s; s.fmtSize = 18; cases.push_back({"18-byte fmt, cbSize 0", s, eWaveResult::kOk, 4}); }
  { cWaveSpec s; s.fmtSize = 18; s.cbSize = 22; cases.push_back({"extensible (cbSize 22)", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.fmtSize = 12; cases.push_back({"fmt too short", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.tag = 3; s.bits = 32; s.align = 4; cases.push_back({"float samples", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.tag = 2; cases.push_back({"compressed", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.bits = 24; s.align = 3; cases.push_back({"24 bits", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.channels = 3; s.align = 3; cases.push_back({"three channels", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.channels = 0; s.align = 0; cases.push_back({"no channels", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.align = 2; cases.push_back({"block alignment wrong", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.rate = 0; cases.push_back({"rate 0", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.rate = 500; cases.push_back({"a very low rate", s, eWaveResult::kOk, 4}); }
  { cWaveSpec s; s.withData = false; cases.push_back({"no data chunk", s, eWaveResult::kNoData, 0}); }
  { cWaveSpec s; s.declaredData = 0; s.data.clear(); cases.push_back({"empty data", s, eWaveResult::kNoData, 0}); }
  { cWaveSpec s; s.declaredData = 0x7FFFFFF0; cases.push_back({"data size beyond the file", s, eWaveResult::kOk, 4}); }
  { cWaveSpec s; s.bits = 16; s.align = 2; s.declaredData = 5; s.data = {1, 2, 3, 4, 5};
    cases.push_back({"16-bit with a stray byte", s, eWaveResult::kOk, 4}); }
  { cWaveSpec s; s.listChunkFirst = true; cases.push_back({"other chunk before fmt", s, eWaveResult::kOk, 4}); }
  { cWaveSpec s; s.cutTo = 26; cases.push_back({"cut inside fmt", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.fmtSize = 18; s.withData = false; s.cutTo = 20 + 16;
    cases.push_back({"18-byte fmt with 16 present", s, eWaveResult::kBadFormat, 0}); }
  { cWaveSpec s; s.rate = 1000; s.data.assign(300 * 1000 + 1, 128); s.declaredData = 300 * 1000 + 1;
    cases.push_back({"over five minutes", s, eWaveResult::kTooLong, 0}); }
  { cWaveSpec s; s.rate = 1000; s.data.assign(300 * 1000, 128); s.declaredData = 300 * 1000;
    cases.push_back({"five minutes", s, eWaveResult::kOk, 300 * 1000}); }
  { cWaveSpec s; s.cutTo = 10; cases.push_back({"cut inside the RIFF header", s, eWaveResult::kNotWave, 0}); }

  for (const Case& c : cases) {
    const std::vector<uint8_t> bytes = BuildWave(c.spec);
    cWaveData wave;
    EXPECT_EQ(ParseWave(bytes.data(), bytes.size(), wave), c.expected) << c.name;
    EXPECT_EQ(wave.samples.size(), c.sampleBytes) << c.name;
  }

  std::vector<uint8_t> notRiff = BuildWave({});
  std::memcpy(notRiff.data(), "RIFX", 4);
  cWaveData wave;
  EXPECT_EQ(ParseWave(notRiff.data(), notRiff.size(), wave), eWaveResult::kNotWave);
  EXPECT_EQ(ParseWave(nullptr, 0, wave), eWaveResult::kNotWave);
  EXPECT_EQ(ReadWave("/nonexistent/file.wav", wave), eWaveResult::kUnreadable);
}

TEST(AudioWave, ConvertsSamplesToStereoAtTheMixerRate) {
  cWaveSpec s;
  s.rate = 48000;
  cWaveData wave;
  std::vector<uint8_t> bytes = BuildWave(s);
  ASSERT_EQ(ParseWave(bytes.data(), bytes.size(), wave), eWaveResult::kOk);
  auto clip = MakeClipFromWave(wave);
  ASSERT_EQ(clip->Frames(), 4);
  EXPECT_EQ(clip->samples[0], 0.0f);
  EXPECT_EQ(clip->samples[1], 0.0f);
  EXPECT_NEAR(clip->samples[2], 127 / 128.0f, 1e-6f);
  EXPECT_EQ(clip->samples[4], -1.0f);
  EXPECT_EQ(clip->samples[5], -1.0f);

  cWaveSpec st;
  st.rate = 48000; st.channels = 2; st.bits = 16; st.align = 4; st.declaredData = 4;
  st.data = {0x00, 0x40, 0x00, 0xC0};  // left 16384, right -16384
  bytes = BuildWave(st);
  ASSERT_EQ(ParseWave(bytes.data(), bytes.size(), wave), eWaveResult::kOk);
  clip = MakeClipFromWave(wave);
  ASSERT_EQ(clip->Frames(), 1);
  EXPECT_EQ(clip->samples[0], 0.5f);
  EXPECT_EQ(clip->samples[1], -0.5f);

  cWaveSpec slow;
  slow.rate = 24000;
  slow.declaredData = 100;
  slow.data.assign(100, 200);
  bytes = BuildWave(slow);
  ASSERT_EQ(ParseWave(bytes.data(), bytes.size(), wave), eWaveResult::kOk);
  clip = MakeClipFromWave(wave);
  EXPECT_EQ(clip->Frames(), 200);
  EXPECT_NEAR(clip->samples[150], 72 / 128.0f, 1e-6f);
}

}  // namespace
