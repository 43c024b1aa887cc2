#pragma once
// What the fuzz targets share: the input as a byte source, the input as a file (in
// memory, so a run touches no disk) and a scratch folder for outputs.

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "sources/avi/ByteSource.h"

namespace fuzzsupport {

// The fuzz input as a recording that is neither a file nor a card file: the rebuild
// and the reader take their other road for it.
class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const uint8_t* bytes, size_t size) : data(bytes), length(static_cast<int64_t>(size)) {}
  int64_t Size() const override { return length; }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count) override {
    if (offset < 0 || count < 0) return -1;
    if (offset >= length) return 0;
    const int64_t n = std::min(count, length - offset);
    std::memcpy(buffer, data + offset, static_cast<size_t>(n));
    return n;
  }

 private:
  const uint8_t* data;
  int64_t length;
};

// A file in memory holding the given bytes, reached by path like any other file.
class MemoryFile {
 public:
  MemoryFile() : fd(::memfd_create("tarvo-fuzz", MFD_CLOEXEC)) {}
  MemoryFile(const uint8_t* bytes, size_t size) : MemoryFile() { Assign(bytes, size); }
  ~MemoryFile() {
    if (fd >= 0) ::close(fd);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Replaces the content.
  bool Assign(const uint8_t* bytes, size_t size) {
    if (fd < 0 || ::ftruncate(fd, 0) != 0) return false;
    return WriteAt(0, bytes, size);
  }
  bool WriteAt(uint64_t offset, const uint8_t* bytes, size_t size) {
    while (size > 0) {
      const ssize_t n = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
      if (n <= 0) return false;
      bytes += n;
      offset += static_cast<uint64_t>(n);
      size -= static_cast<size_t>(n);
    }
    return true;
  }
  bool Resize(uint64_t size) { return fd >= 0 && ::ftruncate(fd, static_cast<off_t>(size)) == 0; }
  int Descriptor() const { return fd; }
  std::string Path() const { return "/proc/self/fd/" + std::to_string(fd); }

 private:
  int fd;
};

// Makes writes past `bytes` of any file fail (EFBIG) instead of going on. A damaged
// header may ask the rebuild for gigabytes of silent track, which it writes as long
// as the file stays a RIFF file; under the limit such an input costs little and runs
// the rebuild's write failures as well.
// Called from LLVMFuzzerInitialize.
inline void LimitFileSize(rlim_t bytes) {
  const rlimit limit{bytes, bytes};
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

// Called first in each run: libFuzzer takes SIGXFSZ for a fault of its own once the
// target is initialised, but here a write past the limit is only a failed write.
inline void IgnoreFileSizeSignal() {
  static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
  (void)ignored;
}

// One folder per fuzzing process for files a target writes, removed at exit. The path
// is never destroyed: the removal runs after the statics' destructors.
inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path* const folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    auto* made = new std::filesystem::path(pattern);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*folder, ec);
    });
    return made;
  }();
  return *folder;
}

}  // namespace fuzzsupport
