#pragma once
// Byte sources that go wrong the way a card or a pulled-out drive does: reads that
// fail from some offset on, and a recording that ends sooner than its size said
// (cut short while it is read), and a file-size limit that stands for a full disk.

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <limits>

#include "sources/avi/ByteSource.h"

namespace testsupport {

// Passes reads to `base`, except that a read reaching past failFrom gives the bytes
// before it and the next one fails (as the card library does when a sector cannot
// be read), and nothing is read from endAt on although Size() still tells the whole
// (a file truncated under its reader). Failures are counted so a test can tell the
// fault was reached.
class FaultyByteSource : public ByteSource {
 public:
  static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

  explicit FaultyByteSource(ByteSource& base, int64_t failFrom = kNever, int64_t endAt = kNever)
      : base_(base), failFrom_(failFrom), endAt_(endAt) {}

  int64_t Size() const override { return base_.Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
    if (offset >= failFrom_) {
      ++failures_;
      return -1;
    }
    if (offset >= endAt_) return 0;
    return base_.ReadAt(offset, buffer, std::min({count, failFrom_ - offset, endAt_ - offset}));
  }
  int Failures() const { return failures_; }

 private:
  ByteSource& base_;
  int64_t failFrom_;
  int64_t endAt_;
  int failures_ = 0;
};

// While it lives, this process cannot make any file larger than `bytes`: writes
// past it fail with EFBIG as they would with ENOSPC on a full disk, at a size the
// test chooses. The signal the kernel also sends is ignored for that time.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, old_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*previous_)(int) = SIG_DFL;
};

}  // namespace testsupport
