#pragma once
// The top-level structure of an AVI file: where its header list, movi lists and idx1
// stand among whatever else a writer put between them (JUNK, LIST INFO, odml), across
// the 'AVIX' forms of an OpenDML file, and whether the file is whole. Only the list
// and chunk headers are read.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sources/avi/ByteSource.h"

namespace avi {

struct MoviRegion {
  int64_t code = 0;  // file offset of the "movi" four-character code
  int64_t end = 0;   // end of the list, or of the file when its size is not to be trusted
};

struct RiffLayout {
  uint32_t riffSize = 0;
  int64_t headerList = -1;  // file offset of the header list's payload (after "hdrl")
  uint32_t headerListSize = 0;
  uint32_t firstMoviSize = 0;
  std::vector<MoviRegion> movi;  // in file order
  int64_t idx1 = -1;             // file offset of idx1's entries
  uint32_t idx1Size = 0;
  // Sizes that run past the end of the file, or left at 0 by a power cut.
  bool truncated = false;
};

// False when the source is not a RIFF AVI file.
bool WalkRiff(ByteSource& source, RiffLayout& layout);

// Whether a header list holds an OpenDML super index ('indx') in a stream list.
bool HasSuperIndex(const uint8_t* headerList, size_t size);

// Cut off: truncated, or an index missing although the sizes were written (a copy
// cut short at the end of its chunks). One walk of the list headers.
bool IsCutOff(const RiffLayout& layout, bool hasSuperIndex);

}  // namespace avi
