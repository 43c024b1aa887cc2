#pragma once
// The small types of the player's contract. Free of GStreamer, so the windows that
// drive the player include this and CPlayer.h and nothing of the engine's inside.

#include <cstdint>
#include <vector>

namespace playback {

inline constexpr int kMaxChannels = 4;

// The playback state of the current recording, with the values the window has always
// read: 0 running, 1 paused, 2 stopped, 3 empty (no graph, or one with nothing built).
enum PlaybackState : std::int32_t { kStateRunning = 0, kStatePaused = 1, kStateStopped = 2, kStateEmpty = 3 };

// Where a recording that lives on a memory card is read from: the card connection the
// card library opened (its block) and the file's number on the card. The default, no
// card, reads the recording as a plain file at its path.
struct CardSource {
  void* card = nullptr;
  std::int32_t fileNumber = -1;
  bool OnCard() const { return card != nullptr; }
};

// A picture copied out as top-down rows of 32-bit BGRA, width * 4 bytes per row.
struct CapturedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// Pictures shown and pictures dropped as late since a renderer started.
struct ChannelSinkStats {
  std::uint64_t rendered = 0;
  std::uint64_t dropped = 0;
};

}  // namespace playback
