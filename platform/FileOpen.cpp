#include "platform/FileOpen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

bool Allowed(mode_t mode, bool allowBlockDevice) { return S_ISREG(mode) || (allowBlockDevice && S_ISBLK(mode)); }

int Fail(OpenFailure* failure, int error, mode_t refusedKind) {
  if (failure != nullptr) *failure = OpenFailure{error, refusedKind};
  return -1;
}

}  // namespace

int OpenPlainFile(const std::filesystem::path& path, int access, bool allowBlockDevice, OpenFailure* failure) {
  if (failure != nullptr) *failure = OpenFailure{};
  if (path.empty()) return Fail(failure, ENOENT, 0);
  // Refused by name first: opening some devices does something by itself.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Fail(failure, errno, 0);
  if (!Allowed(st.st_mode, allowBlockDevice)) return Fail(failure, 0, st.st_mode & S_IFMT);
  const int fd = ::open(path.c_str(), access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Fail(failure, errno, 0);
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return Fail(failure, error, 0);
  }
  if (!Allowed(st.st_mode, allowBlockDevice)) {
    ::close(fd);
    return Fail(failure, 0, st.st_mode & S_IFMT);
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

std::FILE* OpenPlainFileStream(const std::filesystem::path& path, OpenFailure* failure) {
  const int fd = OpenPlainFile(path, O_RDONLY, false, failure);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) {
    if (failure != nullptr) *failure = OpenFailure{errno, 0};
    ::close(fd);
  }
  return file;
}

std::string DescribeOpenFailure(const OpenFailure& failure) {
  switch (failure.refusedKind) {
    case 0:
      return ErrorText(failure.error);
    case S_IFIFO:
      return "is a named pipe (FIFO), not a file";
    case S_IFDIR:
      return "is a folder, not a file";
    case S_IFCHR:
      return "is a character device, not a file";
    case S_IFBLK:
      return "is a block device, not a file";
    case S_IFSOCK:
      return "is a socket, not a file";
    default:
      return "is not a regular file";
  }
}

std::string ErrorText(int error) {
  char buffer[256] = {};
  // The GNU strerror_r returns its text, which need not be in the buffer.
  return ::strerror_r(error, buffer, sizeof buffer);
}

}  // namespace platform
