#include "kovr/CardDevice.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
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

struct Bindings {
  std::mutex mutex;
  std::map<std::string, int> fds;  // our own duplicates
};

Bindings& TheBindings() {
  static Bindings bindings;
  return bindings;
}

// A duplicate of the descriptor bound to `path`, or -1 when none is.
int BoundDuplicate(const std::string& path) {
  Bindings& b = TheBindings();
  std::lock_guard<std::mutex> lock(b.mutex);
  const auto it = b.fds.find(path);
  return it == b.fds.end() ? -1 : ::fcntl(it->second, F_DUPFD_CLOEXEC, 0);
}

bool IsBound(const std::string& path) {
  Bindings& b = TheBindings();
  std::lock_guard<std::mutex> lock(b.mutex);
  return b.fds.count(path) != 0;
}

}  // namespace

CardDevice::~CardDevice() { Close(); }

bool CardDevice::BindDescriptor(const std::string& path, int fd) {
  Bindings& b = TheBindings();
  std::lock_guard<std::mutex> lock(b.mutex);
  if (const auto it = b.fds.find(path); it != b.fds.end()) {
    ::close(it->second);
    b.fds.erase(it);
  }
  if (fd < 0) return true;
  const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own < 0) return false;
  b.fds[path] = own;
  return true;
}

bool CardDevice::OpenDescriptor(int fd) {
  Close();
  if (fd < 0) return false;
  const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own < 0) return false;
  const int flags = ::fcntl(own, F_GETFL);
  return Adopt(own, flags >= 0 && (flags & O_ACCMODE) != O_RDONLY, {});
}

bool CardDevice::Open(const std::string& path, bool wantWrite, bool exclusive) {
  Close();
  if (path.empty()) return false;
  if (IsBound(path)) {
    // The descriptor's own access mode and claim hold; nothing is opened by name.
    const int fd = BoundDuplicate(path);
    if (fd < 0) return false;
    const int flags = ::fcntl(fd, F_GETFL);
    return Adopt(fd, wantWrite && flags >= 0 && (flags & O_ACCMODE) != O_RDONLY, path);
  }
  // A card is a block device or an image file. Anything else is refused before it is
  // opened, and the open itself does not wait (a named pipe would hold it until a
  // writer came); Adopt looks again at what was opened.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISBLK(st.st_mode))) return false;
  // O_EXCL without O_CREAT claims a block device and means nothing for a file.
  const int claim = (exclusive ? O_EXCL : 0) | O_NONBLOCK;
  int fd = -1;
  bool writable = false;
  if (wantWrite) {
    fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | claim);
    writable = fd >= 0;
    // Busy is an answer: the device is in use, and read-only would hide that.
    if (fd < 0 && errno == EBUSY) return false;
  }
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | claim);
  if (fd < 0) return false;
  return Adopt(fd, writable, path);
}

bool CardDevice::Adopt(int fd, bool writable, const std::string& path) {
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
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK)) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
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
