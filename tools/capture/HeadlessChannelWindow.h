#pragma once
// A channel window without a screen, for capturing and printing from the command
// line: it only counts the pictures the graph hands over and lets a caller wait for
// the next one. The pictures themselves are taken from the player at full size.

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "playback/ChannelWindow.h"

class HeadlessChannelWindow final : public playback::ChannelWindow {
 public:
  void PresentFrame(const playback::VideoFrame& frame) override;
  void RequestRepaint() override {}
  // The graph scales each shown picture to this size; the smallest it accepts keeps
  // that work negligible.
  int ClientWidth() const override { return kClientSize; }
  int ClientHeight() const override { return kClientSize; }

  // Pictures handed over so far.
  std::uint64_t Frames();
  // Waits until more than `seen` pictures arrived; false after `timeoutMs`.
  bool WaitForFrameAfter(std::uint64_t seen, int timeoutMs);

 private:
  static constexpr int kClientSize = 16;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::uint64_t frames_ = 0;
};
