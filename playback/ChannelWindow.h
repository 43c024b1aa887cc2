#pragma once
// What the video output of a playback graph needs from the window of a channel.
//
// The graph's video sink calls PresentFrame on a GStreamer streaming thread for every
// picture it shows. A window implementing this interface (the screen control in the
// viewer, a plain recorder in tests) keeps the frame and hands it to its own UI thread
// with a queued call; it never touches a widget from the calling thread and returns
// quickly, because a slow PresentFrame holds up the whole channel.
//
// The picture is stretched to the window's whole client area (no aspect ratio kept,
// no border), as the viewer always showed it. Pictures arrive already scaled to the
// client size the window reports (never larger than the camera's picture), so a
// window usually draws them 1:1; after a resize the next picture, or a repaint the
// graph is asked for, comes at the new size.

#include <cstdint>
#include <memory>

namespace playback {

// One decoded picture: top-down rows of 32-bit pixels in B, G, R, A byte order
// (alpha 255). Copies share the pixel bytes; the bytes never change once delivered,
// so any thread may read them for as long as it holds a copy.
struct VideoFrame {
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes from one row to the next, at least width * 4
  // The first byte of the first (top) row; the owner's deleter frees the storage.
  std::shared_ptr<const std::uint8_t> pixels;
  // Position of the picture in the recording, 100-ns units.
  std::int64_t timestamp = 0;

  bool IsEmpty() const { return !pixels || width <= 0 || height <= 0 || stride < width * 4; }
  // Row y (0 = top); y must be below height.
  const std::uint8_t* Row(int y) const { return pixels.get() + static_cast<std::int64_t>(y) * stride; }
};

class ChannelWindow {
 public:
  virtual ~ChannelWindow() = default;

  // A new picture for this window. Called on a streaming thread; the implementer
  // keeps a copy of `frame` and schedules a repaint on its UI thread (queued).
  virtual void PresentFrame(const VideoFrame& frame) = 0;

  // Draw the last picture again, stretched to the current client area. Any thread
  // may call it; the implementer queues the repaint to its UI thread.
  virtual void RequestRepaint() = 0;

  // Size of the client area in pixels. Any thread may call these: the implementer
  // keeps the values in atomics that its UI thread updates on resize.
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;

  // Whether the window shows pictures now: false while it is hidden (a channel view
  // of the other camera) or its top-level window is minimised. Any thread may call it.
  // A window that is not shown is handed nothing; whoever shows it again asks the
  // graph for a repaint (CPlayer::RepaintAll), which hands it the last picture.
  virtual bool IsShown() const { return true; }
};

}  // namespace playback
