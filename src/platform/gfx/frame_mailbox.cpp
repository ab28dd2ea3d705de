// The latest-frame mailbox between the drawing thread and the presenting side, and the PNG dump.
#include "platform/gfx/frame_mailbox.h"

#include <atomic>

#include "platform/png_writer.h"

namespace gfx {

void FrameMailbox::Post(Frame frame) {
  auto shared = std::make_shared<Frame>(std::move(frame));
  std::lock_guard<std::mutex> lock(m_mutex);
  shared->serial = ++m_serial;
  // Readers copy the pointer only under the lock, so a count of one here means no reader holds
  // the old frame and none can take it: its pixel memory is free for the next Blank. The fence
  // orders the last reader's reads (released by its count decrement) before that reuse.
  if (m_frame && m_frame.use_count() == 1) {
    std::atomic_thread_fence(std::memory_order_acquire);
    m_spare = std::move(m_frame->pixels);
  }
  m_frame = std::move(shared);
}

Frame FrameMailbox::Blank(int width, int height) {
  Frame frame;
  frame.width = width;
  frame.height = height;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    frame.pixels = std::move(m_spare);
    m_spare = {};
  }
  frame.pixels.resize(static_cast<size_t>(width > 0 ? width : 0) * static_cast<size_t>(height > 0 ? height : 0));
  return frame;
}

std::shared_ptr<const Frame> FrameMailbox::Latest() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_frame;
}

std::shared_ptr<const Frame> FrameMailbox::TakeIfNewer(uint64_t* lastSerial) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_frame || (lastSerial && m_frame->serial <= *lastSerial)) return nullptr;
  if (lastSerial) *lastSerial = m_frame->serial;
  return m_frame;
}

uint64_t FrameMailbox::Serial() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_serial;
}

void FrameMailbox::Clear() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_frame.reset();
  m_spare = {};
}

FrameMailbox& TheFrameMailbox() {
  static FrameMailbox mailbox;
  return mailbox;
}

bool WriteFramePng(const Frame& frame, const std::string& path, std::string* error) {
  if (frame.width <= 0 || frame.height <= 0 || frame.pixels.size() < static_cast<size_t>(frame.width) * frame.height) {
    if (error) *error = "empty frame";
    return false;
  }
  return WritePngRgb32(path, frame.pixels.data(), frame.width, frame.height, frame.width, error);
}

}  // namespace gfx
