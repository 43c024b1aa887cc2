#include "sources/avi/WindowReader.h"

#include <algorithm>
#include <cstring>

namespace avi {

WindowReader::WindowReader(ByteSource& byteSource, int64_t bytes) : source(byteSource), windowSize(bytes) { Reset(); }

void WindowReader::Reset() {
  size = std::max<int64_t>(0, source.Size());
  windowOffset = windowLength = 0;
}

int64_t WindowReader::Read(int64_t offset, void* out, int64_t count) {
  if (offset < 0 || count < 0) return -1;
  if (count > windowSize) return source.ReadAt(offset, out, count);
  if (offset < windowOffset || offset + count > windowOffset + windowLength) {
    if (offset >= size) return 0;
    window.resize(static_cast<size_t>(windowSize));
    const int64_t n = source.ReadAt(offset, window.data(), windowSize);
    if (n < 0) {
      windowLength = 0;
      return -1;
    }
    windowOffset = offset;
    windowLength = n;
  }
  const int64_t available = std::min(count, windowOffset + windowLength - offset);
  if (available <= 0) return 0;
  std::memcpy(out, window.data() + (offset - windowOffset), static_cast<size_t>(available));
  return available;
}

}  // namespace avi
