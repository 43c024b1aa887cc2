#pragma once
// Shrinks 8-bit picture planes by whole factors made of twos and threes, one step of
// 2 or 3 per direction at a time: a step of 2 averages each pair of pixels, a step of
// 3 weighs its three pixels 1:2:1 around the middle one. A window shows a camera's
// picture at a half, a third or less of its size; shrinking the planes this way first
// leaves libswscale a picture at or near the shown size, whose conversion to BGRA
// (and any last fractional step) costs a fraction of running its scaler over every
// line of the full picture. No GStreamer or Qt here.

#include <cstdint>
#include <vector>

namespace playback {

// Largest factor one shrink takes (the window is then at most a sixteenth of the
// picture; libswscale scales whatever is left).
inline constexpr int kMaxShrinkFactor = 16;

// The factor by which a 4:2:0 picture of `source` pixels (in one direction) shrinks
// on its way to `target`: the largest product of twos and threes, at most
// kMaxShrinkFactor and at most source / target, that divides both the luma and the
// half-size chroma evenly. 1 when none of 2 or more fits.
int ShrinkFactor(int source, int target);

// Keeps its row and step buffers between pictures, so that pictures of one size
// allocate nothing. One thread at a time.
class PlaneShrinker {
 public:
  // Shrinks `source`, width * factorX by height * factorY pixels with rows
  // `sourceStride` bytes apart, into `target`, width by height pixels with rows
  // `targetStride` bytes apart. Factors are products of twos and threes up to
  // kMaxShrinkFactor; false (and nothing written) for any other.
  bool Shrink(const std::uint8_t* source, int sourceStride, int factorX, int factorY, std::uint8_t* target,
              int targetStride, int width, int height);

 private:
  std::vector<std::uint8_t> row_;
  std::vector<std::uint8_t> step_[2];
};

}  // namespace playback
