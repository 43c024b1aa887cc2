#pragma once
// A window of another ByteSource: bytes [offset, offset + length) of the base, seen
// from 0. Lets the header and the body of a local recording be read in place, where
// a card recording first has them copied into files of their own.

#include <algorithm>
#include <cstdint>
#include <limits>

#include "sources/avi/ByteSource.h"

class ByteSourceView : public ByteSource {
 public:
  static constexpr int64_t kToTheEnd = -1;

  // length kToTheEnd: everything of the base from offset on, however long it is.
  ByteSourceView(ByteSource& whole, int64_t from, int64_t count = kToTheEnd)
      : base(whole), offset(std::max<int64_t>(0, from)), length(count) {}

  ByteSource& Base() const { return base; }
  int64_t Offset() const { return offset; }

  int64_t Size() const override {
    const int64_t whole = base.Size();
    if (whole < 0) return -1;
    const int64_t rest = std::max<int64_t>(0, whole - offset);
    return length == kToTheEnd ? rest : std::min(rest, length);
  }

  int64_t ReadAt(int64_t at, void* buffer, int64_t count) override {
    if (at < 0 || count < 0) return -1;
    if (at > std::numeric_limits<int64_t>::max() - offset) return 0;
    if (length != kToTheEnd) {
      if (at >= length) return 0;
      count = std::min(count, length - at);
    }
    return base.ReadAt(offset + at, buffer, count);
  }

 private:
  ByteSource& base;
  int64_t offset;
  int64_t length;
};
