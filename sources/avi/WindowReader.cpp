#include "sources/avi/WindowReader.h"

#include <algorithm>
#include <cstring>

namespace avi {

WindowReader::WindowReader(ByteSource& byteSource, int64_t bytes) : source(byteSource), windowSize(bytes) { Reset(); }

void WindowReader::Reset() {
  size = std::max<int64_t>(0, source.Size());
  for (Window& w : windows) w.offset = w.length = 0;
}

int64_t WindowReader::Read(int64_t offset, void* out, int64_t count) {
  if (offset < 0 || count < 0) return -1;
  if (count > windowSize) return source.ReadAt(offset, out, count);
  int hit = windows[recent].Holds(offset, count) ? recent : windows[1 - recent].Holds(offset, count) ? 1 - recent : -1;
  if (hit < 0) {
    if (offset >= size) return 0;
    hit = 1 - recent;
    Window& w = windows[hit];
    w.bytes.resize(static_cast<size_t>(windowSize));
    const int64_t n = source.ReadAt(offset, w.bytes.data(), windowSize);
    if (n < 0) {
      w.length = 0;
      return -1;
    }
    w.offset = offset;
    w.length = n;
  }
  recent = hit;
  const Window& w = windows[hit];
  const int64_t available = std::min(count, w.offset + w.length - offset);
  if (available <= 0) return 0;
  std::memcpy(out, w.bytes.data() + (offset - w.offset), static_cast<size_t>(available));
  return available;
}

}  // namespace avi
