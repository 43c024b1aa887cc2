#include "tools/capture/HeadlessChannelWindow.h"

#include <chrono>

void HeadlessChannelWindow::PresentFrame(const playback::VideoFrame&) {
  // Called on a streaming thread.
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++frames_;
  }
  arrived_.notify_all();
}

std::uint64_t HeadlessChannelWindow::Frames() {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_;
}

bool HeadlessChannelWindow::WaitForFrameAfter(std::uint64_t seen, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return frames_ > seen; });
}
