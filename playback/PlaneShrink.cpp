#include "playback/PlaneShrink.h"

#include <algorithm>
#include <cstddef>

// The kernels are written for the vectoriser (this file is built with -O3): one run
// over contiguous bytes each, whose rounded means compile to the byte-average
// instruction, sixteen or more pixels at a time. On x86-64 each kernel is also built
// for the two later instruction-set levels, and the loader picks the one the machine
// runs: taking every third pixel needs their byte shuffles to stay out of a scalar loop.
// Not in sanitizer builds: the loader runs the picking function before the sanitizer's
// runtime is up, and ThreadSanitizer's build crashed there.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__) && \
    !defined(__SANITIZE_ADDRESS__)
#define TARVO_KERNEL __attribute__((target_clones("default", "arch=x86-64-v2", "arch=x86-64-v3")))
#else
#define TARVO_KERNEL
#endif

namespace playback {
namespace {

using Byte = std::uint8_t;

TARVO_KERNEL void MeanOfTwoRows(const Byte* __restrict a, const Byte* __restrict b, int count, Byte* __restrict out) {
  for (int x = 0; x < count; ++x) out[x] = static_cast<Byte>((a[x] + b[x] + 1u) >> 1);
}

// 1:2:1 around the middle row.
TARVO_KERNEL void MeanOfThreeRows(const Byte* __restrict a, const Byte* __restrict b, const Byte* __restrict c,
                                  int count, Byte* __restrict out) {
  for (int x = 0; x < count; ++x) {
    const unsigned outer = (a[x] + c[x] + 1u) >> 1;
    out[x] = static_cast<Byte>((outer + b[x] + 1u) >> 1);
  }
}

TARVO_KERNEL void MeanOfPairs(const Byte* __restrict in, int count, Byte* __restrict out) {
  for (int i = 0; i < count; ++i) out[i] = static_cast<Byte>((in[2 * i] + in[2 * i + 1] + 1u) >> 1);
}

// 1:2:1 around the middle pixel of each three.
TARVO_KERNEL void MeanOfTriples(const Byte* __restrict in, int count, Byte* __restrict out) {
  for (int i = 0; i < count; ++i) {
    const unsigned outer = (in[3 * i] + in[3 * i + 2] + 1u) >> 1;
    out[i] = static_cast<Byte>((outer + in[3 * i + 1] + 1u) >> 1);
  }
}

constexpr int kMaxSteps = 4;  // 16 = 2 * 2 * 2 * 2

// The steps of a factor, threes first; -1 when it is not made of twos and threes
// within kMaxShrinkFactor.
int Steps(int factor, int* steps) {
  if (factor < 1 || factor > kMaxShrinkFactor) return -1;
  int count = 0;
  for (int step : {3, 2}) {
    while (factor % step == 0) {
      steps[count++] = step;
      factor /= step;
    }
  }
  return factor == 1 ? count : -1;
}

}  // namespace

int ShrinkFactor(int source, int target) {
  if (source <= 0 || target <= 0) return 1;
  int steps[kMaxSteps];
  for (int f = std::min(source / target, kMaxShrinkFactor); f >= 2; --f)
    if (source % (2 * f) == 0 && Steps(f, steps) > 0) return f;
  return 1;
}

bool PlaneShrinker::Shrink(const std::uint8_t* source, int sourceStride, int factorX, int factorY, std::uint8_t* target,
                           int targetStride, int width, int height) {
  int stepsX[kMaxSteps], stepsY[kMaxSteps];
  const int countX = Steps(factorX, stepsX), countY = Steps(factorY, stepsY);
  if (countX < 0 || countY < 0 || !source || !target || width <= 0 || height <= 0) return false;
  const int stages = std::max({countX, countY, 1});
  const Byte* in = source;
  std::ptrdiff_t inStride = sourceStride;
  int inWidth = width * factorX, inHeight = height * factorY;
  for (int k = 0; k < stages; ++k) {
    const int sx = k < countX ? stepsX[k] : 1, sy = k < countY ? stepsY[k] : 1;
    const int outWidth = inWidth / sx, outHeight = inHeight / sy;
    Byte* out = target;
    std::ptrdiff_t outStride = targetStride;
    if (k + 1 < stages) {
      // Between steps the picture lives in one of two buffers, never the one read.
      std::vector<Byte>& buffer = step_[k % 2];
      const auto size = static_cast<std::size_t>(outWidth) * static_cast<std::size_t>(outHeight);
      if (buffer.size() < size) buffer.resize(size);
      out = buffer.data();
      outStride = outWidth;
    }
    const int span = outWidth * sx;
    if (row_.size() < static_cast<std::size_t>(span)) row_.resize(static_cast<std::size_t>(span));
    for (int y = 0; y < outHeight; ++y) {
      const Byte* first = in + inStride * sy * y;
      Byte* line = out + outStride * y;
      // Rows first, into the output line itself when no columns are to be combined.
      const Byte* rows = first;
      Byte* merged = sx == 1 ? line : row_.data();
      if (sy == 2) {
        MeanOfTwoRows(first, first + inStride, span, merged);
        rows = merged;
      } else if (sy == 3) {
        MeanOfThreeRows(first, first + inStride, first + 2 * inStride, span, merged);
        rows = merged;
      }
      if (sx == 2) {
        MeanOfPairs(rows, outWidth, line);
      } else if (sx == 3) {
        MeanOfTriples(rows, outWidth, line);
      } else if (rows != line) {
        std::copy(rows, rows + span, line);
      }
    }
    in = out;
    inStride = outStride;
    inWidth = outWidth;
    inHeight = outHeight;
  }
  return true;
}

}  // namespace playback
