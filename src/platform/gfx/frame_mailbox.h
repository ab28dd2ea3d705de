// The frame mailbox: where the graphics device leaves each shown frame as 32-bit RGB for whoever
// puts it on screen (the UI thread's window) or keeps it (headless runs, `--dump-frame`).
//
// The device posts on the thread that runs game frames; the reader takes the newest frame from any
// thread. Only the latest frame is kept: a reader that falls behind skips frames. Thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace gfx {

// One shown frame: width x height pixels 0x00RRGGBB, rows packed (pitch = width).
struct Frame {
  int width = 0;
  int height = 0;
  uint64_t serial = 0;  // 1 for the first frame posted, +1 for each post
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class FrameMailbox {
 public:
  // Replaces the held frame (its serial is set here).
  void Post(Frame frame);
  // A frame of width x height whose pixels the caller overwrites entirely: it reuses the pixel
  // memory of an earlier frame that nobody holds any more, so posting every frame allocates and
  // clears no new picture. The pixel values are unspecified.
  Frame Blank(int width, int height);
  // The newest frame, or null when none was posted. The frame is shared and never changes.
  std::shared_ptr<const Frame> Latest() const;
  // The newest frame when it is newer than `lastSerial` (then updates lastSerial), else null.
  std::shared_ptr<const Frame> TakeIfNewer(uint64_t* lastSerial) const;
  uint64_t Serial() const;
  void Clear();

 private:
  mutable std::mutex m_mutex;
  std::shared_ptr<Frame> m_frame;
  std::vector<uint32_t> m_spare;  // pixels of a replaced frame no reader held
  uint64_t m_serial = 0;
};

// The process's mailbox, which every device posts to.
FrameMailbox& TheFrameMailbox();

// Writes a frame as an 8-bit RGB PNG (libpng), replacing `path` atomically. False on failure
// (`error` gets a reason when given).
bool WriteFramePng(const Frame& frame, const std::string& path, std::string* error = nullptr);

}  // namespace gfx
