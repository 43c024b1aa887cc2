#pragma once
// Comparing a written JPEG file with the picture it was made from.

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "playback/ChannelSink.h"

namespace capture_test {

struct PictureDifference {
  double meanAbsolute = 255;  // over every colour byte
  double worstBlock = 255;    // largest difference of 8 x 8 block means of one colour
};

// Decoded JPEG against the grabbed BGRA picture; both must have the same size.
inline PictureDifference Compare(const QImage& decoded, const playback::CapturedImage& grabbed) {
  PictureDifference result;
  if (decoded.width() != grabbed.width || decoded.height() != grabbed.height) return result;
  const QImage rgb = decoded.convertToFormat(QImage::Format_RGB32);
  const int w = grabbed.width, h = grabbed.height;
  double total = 0;
  constexpr int kGrid = 8;
  double blockSum[kGrid][kGrid][3] = {};
  double blockRef[kGrid][kGrid][3] = {};
  for (int y = 0; y < h; ++y) {
    const uchar* row = rgb.constScanLine(y);
    for (int x = 0; x < w; ++x) {
      const int gx = x * kGrid / w, gy = y * kGrid / h;
      for (int c = 0; c < 3; ++c) {
        const int a = row[x * 4 + c];
        const int b = grabbed.pixels[(static_cast<std::size_t>(y) * w + x) * 4 + c];
        total += std::abs(a - b);
        blockSum[gy][gx][c] += a;
        blockRef[gy][gx][c] += b;
      }
    }
  }
  result.meanAbsolute = total / (static_cast<double>(w) * h * 3);
  result.worstBlock = 0;
  const double perBlock = static_cast<double>(w) * h / (kGrid * kGrid);
  for (int gy = 0; gy < kGrid; ++gy)
    for (int gx = 0; gx < kGrid; ++gx)
      for (int c = 0; c < 3; ++c)
        result.worstBlock = std::max(result.worstBlock, std::abs(blockSum[gy][gx][c] - blockRef[gy][gx][c]) / perBlock);
  return result;
}

}  // namespace capture_test
