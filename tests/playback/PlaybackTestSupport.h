#pragma once
// What the playback suites share: a plain window that records the pictures it is
// handed, and recordings made by the dashcam simulator in a temporary folder.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "playback/ChannelWindow.h"
#include "tests/support/TempFolder.h"

namespace playback_test {

// Stands in for the screen control: keeps the last picture, counts pictures and
// repaint requests, notes each picture's time, and remembers which threads called it.
class TestChannelWindow final : public playback::ChannelWindow {
 public:
  explicit TestChannelWindow(int width = 320, int height = 180) : width_(width), height_(height) {}

  void PresentFrame(const playback::VideoFrame& frame) override {
    std::lock_guard<std::mutex> lock(mutex_);
    last_ = frame;
    ++frames_;
    stamps_.push_back(frame.timestamp);
    if (std::this_thread::get_id() == owner_) ++framesOnOwner_;
    changed_.notify_all();
  }
  void RequestRepaint() override { ++repaints_; }
  int ClientWidth() const override { return width_.load(); }
  int ClientHeight() const override { return height_.load(); }
  bool IsShown() const override { return shown_.load(); }
  void SetShown(bool shown) { shown_ = shown; }
  void SetClientSize(int width, int height) {
    width_ = width;
    height_ = height;
  }

  playback::VideoFrame Last() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
  }
  int Frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
  }
  // The time of every picture handed over, in order.
  std::vector<std::int64_t> Stamps() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stamps_;
  }
  // Pictures handed over on the thread that made the window (the "UI" thread).
  int FramesOnOwner() {
    std::lock_guard<std::mutex> lock(mutex_);
    return framesOnOwner_;
  }
  int Repaints() const { return repaints_.load(); }
  // Waits until at least `count` pictures arrived; false after `ms` milliseconds.
  bool WaitForFrames(int count, int ms);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  playback::VideoFrame last_;
  int frames_ = 0;
  int framesOnOwner_ = 0;
  std::vector<std::int64_t> stamps_;
  std::atomic<int> repaints_{0};
  std::thread::id owner_ = std::this_thread::get_id();
  std::atomic<int> width_;
  std::atomic<int> height_;
  std::atomic<bool> shown_{true};
};

using TempFolder = testsupport::TempFolder;

// Makes a recording with the simulator: `options` are tarvo-tool record's options.
// Returns the file's path, or an empty path when the simulator failed.
std::filesystem::path MakeRecording(const std::filesystem::path& folder, const std::string& name,
                                    const std::string& options);

// Recordings made once per test process, on first use, in a folder removed at exit:
//   "two-pcm"   2 cameras (front 320x180, rear 192x108), 2 s, 15 fps, PCM sound
//   "two-aac"   the same with AAC sound        "two-none"  the same without sound
//   "one-aac"   1 camera 320x180, AAC          "four-aac"  4 cameras, AAC
//   "long"      2 cameras, 6 s, PCM (for seeking and rates)
//   "cut"       2 cameras with AAC, cut off by a power loss at byte 250000
// Fails the calling test when the simulator does not deliver.
std::filesystem::path Recording(const std::string& kind);

// A process-wide temporary folder for files a test writes.
const std::filesystem::path& ScratchFolder();

// Mean of one BGRA channel (0 blue, 1 green, 2 red) over a picture region.
double MeanOf(const std::uint8_t* pixels, int width, int stride, int x0, int y0, int x1, int y1, int channel);

}  // namespace playback_test
