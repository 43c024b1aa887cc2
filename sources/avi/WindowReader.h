#pragma once
// Small reads (chunk headers, the first bytes of a chunk) through one read-ahead
// window over a ByteSource, so that walking a file's chunks does not turn every
// header into a read of the source. Larger reads go straight to the source. No
// mapping: the source may be a file on a drive that can be pulled out, and a mapping
// would turn that into a crash, not a short read.

#include <cstdint>
#include <vector>

#include "sources/avi/ByteSource.h"

namespace avi {

class WindowReader {
 public:
  WindowReader(ByteSource& source, int64_t windowSize);
  // The source's size when the reader was made (or last Reset); 0 when unknown.
  int64_t Size() const { return size; }
  // Forgets the window and takes the source's size again.
  void Reset();
  // Up to count bytes at offset; fewer at the end of the source, -1 when it fails.
  int64_t Read(int64_t offset, void* out, int64_t count);
  int64_t WindowSize() const { return windowSize; }
  ByteSource& Source() { return source; }

 private:
  ByteSource& source;
  int64_t windowSize;
  int64_t size = 0;
  std::vector<uint8_t> window;
  int64_t windowOffset = 0;
  int64_t windowLength = 0;
};

}  // namespace avi
