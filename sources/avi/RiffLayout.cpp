#include "sources/avi/RiffLayout.h"

#include "sources/avi/AviFormat.h"

namespace avi {

namespace {

constexpr int64_t kFormHeader = 12;

// Walks the chunks and lists of one RIFF form, [pos, end); false once the walk cannot
// go on (a size past the end of the file, a movi list of unknown length).
bool WalkForm(ByteSource& source, int64_t pos, int64_t end, int64_t fileSize, bool first, RiffLayout& layout) {
  while (pos + 8 <= end) {
    uint8_t h[12];
    const int64_t n = source.ReadAt(pos, h, sizeof h);
    if (n < 8) return false;
    const uint32_t id = ReadLe32(h);
    const uint32_t size = ReadLe32(h + 4);
    const int64_t next = pos + 8 + int64_t{size};
    const uint32_t type = n == 12 ? ReadLe32(h + 8) : 0;
    if (id == kList && type == kMovi) {
      if (first && layout.movi.empty()) layout.firstMoviSize = size;
      if (size < 4 || next > fileSize) {
        // Cut off: its chunks run to the end of what was written.
        layout.truncated = true;
        layout.movi.push_back({pos + 8, fileSize});
        return false;
      }
      layout.movi.push_back({pos + 8, next});
    } else if (next > fileSize) {
      layout.truncated = true;
      return false;
    } else if (first && id == kList && type == kHdrl && layout.headerList < 0) {
      layout.headerList = pos + kFormHeader;
      layout.headerListSize = size < 4 ? 0 : size - 4;
    } else if (first && id == kIdx1 && layout.idx1 < 0) {
      layout.idx1 = pos + 8;
      layout.idx1Size = size;
    }
    pos = next + (size & 1);
  }
  return true;
}

}  // namespace

bool WalkRiff(ByteSource& source, RiffLayout& layout) {
  layout = RiffLayout();
  const int64_t fileSize = source.Size();
  uint8_t head[kFormHeader];
  if (fileSize < kFormHeader || source.ReadAt(0, head, kFormHeader) != kFormHeader) return false;
  if (ReadLe32(head) != kRiff || ReadLe32(head + 8) != kAvi) return false;
  layout.riffSize = ReadLe32(head + 4);
  int64_t formEnd = 8 + int64_t{layout.riffSize};
  if (layout.riffSize == 0 || formEnd > fileSize) {
    layout.truncated = true;
    formEnd = fileSize;
  }
  if (!WalkForm(source, kFormHeader, formEnd, fileSize, true, layout)) return true;
  // OpenDML: 'AVIX' forms follow the first one, each with a movi list of its own.
  for (int64_t pos = formEnd + (formEnd & 1); pos + kFormHeader <= fileSize;) {
    if (source.ReadAt(pos, head, kFormHeader) != kFormHeader || ReadLe32(head) != kRiff || ReadLe32(head + 8) != kAvix)
      break;
    const uint32_t size = ReadLe32(head + 4);
    int64_t end = pos + 8 + int64_t{size};
    if (size < 4 || end > fileSize) {
      layout.truncated = true;
      end = fileSize;
    }
    if (!WalkForm(source, pos + kFormHeader, end, fileSize, false, layout)) break;
    pos = end + (end & 1);
  }
  return true;
}

bool HasSuperIndex(const uint8_t* list, size_t size) {
  for (size_t pos = 0; pos + 12 <= size;) {
    const uint32_t id = ReadLe32(list + pos);
    const uint32_t len = ReadLe32(list + pos + 4);
    if (len > size - pos - 8) break;
    if (id == kList && ReadLe32(list + pos + 8) == kStrl) {
      const uint8_t* strl = list + pos + 12;
      const size_t strlSize = len - 4;
      for (size_t p = 0; p + 8 <= strlSize;) {
        const uint32_t sub = ReadLe32(strl + p + 4);
        if (sub > strlSize - p - 8) break;
        if (ReadLe32(strl + p) == kIndx) return true;
        p += 8 + size_t{sub} + (sub & 1);
      }
    }
    pos += 8 + size_t{len} + (len & 1);
  }
  return false;
}

bool IsCutOff(const RiffLayout& layout, bool hasSuperIndex) {
  if (layout.truncated) return true;
  return !layout.movi.empty() && layout.idx1 < 0 && !hasSuperIndex;
}

}  // namespace avi
