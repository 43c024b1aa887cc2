#pragma once
// Reading exported clips back for the export suites, with GStreamer's own MP4 reader
// and decoders (never the export's code): frames, frame rate, sound, box order; and
// the source recordings' camera pictures to compare them with.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/export/ClipSettings.h"

namespace clipcheck {

// One decoded picture, the luma plane only (what the comparisons look at).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> y;
  uint8_t At(int x, int row) const { return y[static_cast<std::size_t>(row) * width + x]; }
};

struct Clip {
  std::string error;  // empty when the file was read
  int width = 0;
  int height = 0;
  int fpsN = 0;
  int fpsD = 1;
  std::vector<Picture> frames;
  std::vector<uint64_t> framePts;  // ns
  uint64_t durationNs = 0;         // the container's
  int audioRate = 0;
  uint64_t audioSamples = 0;  // decoded
  uint64_t audioStartNs = 0;
  uint64_t audioEndNs = 0;
  std::vector<std::string> boxes;  // top-level MP4 boxes in file order
};

Clip ReadClip(const std::filesystem::path& path);

// The pictures of one camera (0 front, 1 rear) of a recording, in order.
std::vector<Picture> CameraPictures(const std::filesystem::path& recording, int cameraId);

// The region `box` of a picture as a picture of its own; scaled (bilinear) to
// width x height, mirrored left to right when asked.
Picture Crop(const Picture& picture, const clipexport::Box& box);
Picture Scale(const Picture& picture, int width, int height, bool mirror = false);

// Peak signal-to-noise ratio of the luma of two pictures of the same size in dB,
// leaving out the pixels inside `skip` (the overlay); 99 for identical pictures.
double Psnr(const Picture& a, const Picture& b, const clipexport::Box& skip = {});

// The luma a premultiplied ARGB image of QImage gives (BT.601, video range).
Picture LumaOfArgb(const uint32_t* pixels, int width, int height);

}  // namespace clipcheck
