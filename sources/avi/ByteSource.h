#pragma once
// Random-access bytes of one recording: a file on disk or a file on a dashcam card.
// The recording reader and the repair read only through this, so a card file
// (reached through the card library) plugs in beside an ordinary file.

#include <cstdint>

class ByteSource {
 public:
  virtual ~ByteSource();
  // Total size in bytes; -1 when it cannot be told.
  virtual int64_t Size() const = 0;
  // Reads up to count bytes at offset into buffer: the bytes read, 0 at the end,
  // a negative value on error. A short count means the end was reached.
  virtual int64_t ReadAt(int64_t offset, void* buffer, int64_t count) = 0;
};
