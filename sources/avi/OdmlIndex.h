#pragma once
// OpenDML (AVI 2.0) indexes: the super index ('indx') of a stream list, which points
// to the standard index chunks ('ix00', ...) in the movi lists, which list the
// stream's chunks with 64-bit base offsets, so that files past 1 GB, made of several
// RIFF forms, are indexed whole.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sources/avi/ByteSource.h"

namespace avi {

struct OdmlEntry {
  uint32_t id = 0;     // the chunk id the index names
  int64_t offset = 0;  // file offset of the chunk's data
  uint32_t size = 0;
  bool keyFrame = false;
};

// The entries of the standard indexes an 'indx' payload points to (or that it holds
// itself, when it is a standard index), appended to out. Entries whose data lie past
// fileSize are dropped; false when the payload is no index or no standard index
// could be read.
bool ReadOdmlIndex(ByteSource& source, const uint8_t* indx, size_t size, int64_t fileSize, std::vector<OdmlEntry>& out);

}  // namespace avi
