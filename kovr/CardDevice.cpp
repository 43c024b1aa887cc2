#include "kovr/CardDevice.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace kovr {

namespace {

// pread or pwrite until all of `count` is moved; a short transfer resumes where it
// stopped, and end of file or an error fails.
template <typename Call, typename Byte>
bool TransferAll(Call call, int fd, Byte* p, uint64_t offset, uint64_t count) {
  while (count > 0) {
    const ssize_t n = call(fd, p, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    offset += static_cast<uint64_t>(n);
    count -= static_cast<uint64_t>(n);
  }
  return true;
}

}  // namespace

CardDevice::~CardDevice() { Close(); }

bool CardDevice::Open(const std::string& path, bool wantWrite) {
  Close();
  if (path.empty()) return false;
  int fd = -1;
  bool writable = false;
  if (wantWrite) {
    fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    writable = fd >= 0;
  }
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  uint64_t size = 0;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  if (S_ISREG(st.st_mode)) {
    size = static_cast<uint64_t>(st.st_size);
  } else if (S_ISBLK(st.st_mode)) {
    if (::ioctl(fd, BLKGETSIZE64, &size) != 0) {
      ::close(fd);
      return false;
    }
  } else {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  writable_ = writable;
  size_ = size;
  path_ = path;
  return true;
}

void CardDevice::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  writable_ = false;
  size_ = 0;
  path_.clear();
}

bool CardDevice::ReadAt(uint64_t offset, void* buffer, uint64_t count) const {
  if (fd_ < 0 || offset > size_ || count > size_ - offset) return false;
  return TransferAll(::pread, fd_, static_cast<unsigned char*>(buffer), offset, count);
}

bool CardDevice::WriteAt(uint64_t offset, const void* buffer, uint64_t count) {
  if (fd_ < 0 || !writable_ || offset > size_ || count > size_ - offset) return false;
  return TransferAll(::pwrite, fd_, static_cast<const unsigned char*>(buffer), offset, count);
}

bool CardDevice::ZeroRange(uint64_t offset, uint64_t count) {
  if (fd_ < 0 || !writable_ || offset > size_ || count > size_ - offset) return false;
  // Images stay sparse where the file system allows punching holes.
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) &&
      ::fallocate(fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                  static_cast<off_t>(count)) == 0)
    return true;
  const std::vector<unsigned char> zeros(1 << 20, 0);
  while (count > 0) {
    const uint64_t n = count < zeros.size() ? count : zeros.size();
    if (!WriteAt(offset, zeros.data(), n)) return false;
    offset += n;
    count -= n;
  }
  return true;
}

void CardDevice::RereadPartitions() {
  struct stat st {};
  // Fails while a partition is mounted; the table is on the card all the same.
  if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISBLK(st.st_mode)) (void)::ioctl(fd_, BLKRRPART);
}

bool CardDevice::Flush() { return fd_ >= 0 && (!writable_ || ::fsync(fd_) == 0); }

}  // namespace kovr
