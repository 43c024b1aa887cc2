#include "tools/repair/RebuildOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace repair {

namespace {
constexpr size_t kBufferSize = 1 << 20;
constexpr size_t kFallbackPiece = 1 << 20;

// Writes `size` bytes at `offset`, going on after short writes and interruptions; the
// count written, short of `size` only on an error.
size_t WriteAt(int fd, const char* data, size_t size, int64_t offset) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

}  // namespace

int64_t CopyFileRange(int fromFd, int64_t fromOffset, int toFd, int64_t toOffset, int64_t count) {
  int64_t done = 0;
  bool kernel = true;
  std::vector<char> piece;
  while (done < count) {
    if (kernel) {
      loff_t in = fromOffset + done, out = toOffset + done;
      const ssize_t n = ::copy_file_range(fromFd, &in, toFd, &out, static_cast<size_t>(count - done), 0);
      if (n > 0) {
        done += n;
        continue;
      }
      if (n == 0) break;
      if (errno == EINTR) continue;
      if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EBADF) return done;
      kernel = false;  // file systems that cannot: plain reads and writes
    }
    piece.resize(kFallbackPiece);
    const size_t want = static_cast<size_t>(std::min<int64_t>(count - done, kFallbackPiece));
    const ssize_t n = ::pread(fromFd, piece.data(), want, fromOffset + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    const size_t written = WriteAt(toFd, piece.data(), static_cast<size_t>(n), toOffset + done);
    done += static_cast<int64_t>(written);
    if (written != static_cast<size_t>(n)) return done;
  }
  return done;
}

RebuildOutput::~RebuildOutput() { Close(); }

bool RebuildOutput::Create(const std::filesystem::path& path) {
  Close();
  failed = false;
  position = 0;
  buffer.clear();
  buffer.reserve(kBufferSize);
  fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd >= 0;
}

bool RebuildOutput::Flush() {
  if (!failed && !buffer.empty()) {
    const int64_t start = position - static_cast<int64_t>(buffer.size());
    const auto* data = reinterpret_cast<const char*>(buffer.data());
    if (WriteAt(fd, data, buffer.size(), start) != buffer.size()) failed = true;
  }
  buffer.clear();
  return !failed;
}

bool RebuildOutput::Write(const void* data, size_t size) {
  if (fd < 0 || failed) return false;
  if (buffer.size() + size > kBufferSize && !Flush()) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  if (size > kBufferSize) {
    // Too big for the buffer (which is empty now): written straight, not copied first.
    if (WriteAt(fd, reinterpret_cast<const char*>(p), size, position) != size) failed = true;
    position += static_cast<int64_t>(size);
    return !failed;
  }
  buffer.insert(buffer.end(), p, p + size);
  position += static_cast<int64_t>(size);
  return true;
}

bool RebuildOutput::WriteZeros(size_t size) {
  static const uint8_t kZeros[4096] = {};
  while (size > 0) {
    const size_t n = std::min(size, sizeof kZeros);
    if (!Write(kZeros, n)) return false;
    size -= n;
  }
  return true;
}

bool RebuildOutput::CopyFrom(int sourceFd, int64_t offset, int64_t count) {
  if (fd < 0 || failed || !Flush()) return false;
  if (count <= 0) return true;
  const int64_t n = CopyFileRange(sourceFd, offset, fd, position, count);
  if (n > 0) position += n;
  if (n != count) failed = true;
  return !failed;
}

bool RebuildOutput::Patch(int64_t offset, const void* data, size_t size) {
  if (fd < 0 || failed || !Flush()) return false;
  if (WriteAt(fd, static_cast<const char*>(data), size, offset) != size) failed = true;
  return !failed;
}

bool RebuildOutput::Close() {
  if (fd < 0) return !failed;
  Flush();
  if (::close(fd) != 0) failed = true;
  fd = -1;
  return !failed;
}

}  // namespace repair
