#pragma once
// Small reads (chunk headers, the first bytes of a chunk) through read-ahead windows
// over a ByteSource, so that walking a file's chunks does not turn every header into a
// read of the source. Two windows: the walk looks at the next chunk's header before
// the caller looks at the current chunk's first bytes, and neither look throws the
// other's window away. Larger reads go straight to the source. No mapping: the source
// may be a file on a drive that can be pulled out, and a mapping would turn that into
// a crash, not a short read.

#include <cstdint>
#include <vector>

#include "sources/avi/ByteSource.h"

namespace avi {

class WindowReader {
 public:
  WindowReader(ByteSource& source, int64_t windowSize);
  // The source's size when the reader was made (or last Reset); 0 when unknown.
  int64_t Size() const { return size; }
  // Forgets the windows and takes the source's size again.
  void Reset();
  // Up to count bytes at offset; fewer at the end of the source, -1 when it fails.
  int64_t Read(int64_t offset, void* out, int64_t count);

 private:
  struct Window {
    std::vector<uint8_t> bytes;
    int64_t offset = 0;
    int64_t length = 0;
    bool Holds(int64_t at, int64_t count) const { return at >= offset && at + count <= offset + length; }
  };

  ByteSource& source;
  int64_t windowSize;
  int64_t size = 0;
  Window windows[2];
  int recent = 0;  // the window read from last; a miss refills the other
};

}  // namespace avi
