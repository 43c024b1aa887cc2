#include "sources/avi/FileByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileOpen.h"

FileByteSource::FileByteSource(const std::filesystem::path& path) { Open(path); }

FileByteSource::~FileByteSource() { Close(); }

bool FileByteSource::Open(const std::filesystem::path& path) {
  Close();
  fd = platform::OpenPlainFile(path, O_RDONLY, false, &failure);
  return fd >= 0;
}

void FileByteSource::Close() {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

int64_t FileByteSource::Size() const {
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  return st.st_size;
}

int64_t FileByteSource::ReadAt(int64_t offset, void* buffer, int64_t count) {
  if (fd < 0 || offset < 0 || count < 0) return -1;
  auto* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, out + done, static_cast<size_t>(count - done), static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return done > 0 ? done : -1;
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}
