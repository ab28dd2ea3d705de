#include "ogg_vorbis_encoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace {
constexpr int kSerialNumber = 0x71C4;
constexpr int kChunkFrames = 1024;

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}
}  // namespace

std::vector<uint8_t> EncodeOggVorbisMono(const std::vector<float>& samples, int rate, float quality) {
  std::vector<uint8_t> out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, 1, rate, quality) != 0) {
    vorbis_info_clear(&info);
    return out;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "TITLE", "qc4 demo title");
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, kSerialNumber);

  ogg_packet header, commentHeader, codeHeader;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentHeader);
  ogg_stream_packetin(&stream, &codeHeader);
  ogg_page page;
  // The headers get pages of their own, so the sound starts on a fresh page.
  while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

  size_t done = 0;
  bool ended = false;
  while (!ended) {
    const size_t n = std::min(samples.size() - done, static_cast<size_t>(kChunkFrames));
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
      std::copy(samples.begin() + static_cast<std::ptrdiff_t>(done),
                samples.begin() + static_cast<std::ptrdiff_t>(done + n), buffer[0]);
      vorbis_analysis_wrote(&dsp, static_cast<int>(n));
      done += n;
    } else {
      vorbis_analysis_wrote(&dsp, 0);  // the end of the stream
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) {
          AppendPage(out, page);
          if (ogg_page_eos(&page) != 0) ended = true;
        }
      }
    }
    if (n == 0) break;  // everything after the end was taken above
  }
  if (!ended)
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}
