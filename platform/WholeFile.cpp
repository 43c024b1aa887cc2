#include "platform/WholeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace platform {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

bool SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, int* error) {
  int failure = 0;
  const auto fail = [&](int e) {
    if (failure == 0) failure = e;
    return false;
  };
  bool ok = true;
  if (path.empty()) {
    ok = fail(ENOENT);
  } else {
    // The file a link names is the one replaced, not the link.
    std::error_code ec;
    std::filesystem::path target = std::filesystem::is_symlink(path, ec) ? std::filesystem::canonical(path, ec) : path;
    if (ec || target.empty()) target = path;
    // Named for this process: two viewers saving at once never write into one file.
    std::filesystem::path partial = target;
    partial += ".partial." + std::to_string(static_cast<long>(::getpid()));
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
      ok = fail(errno);
    } else {
      if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) ok = fail(errno);
      if (::close(fd) != 0) ok = fail(errno);
      if (ok) {
        std::filesystem::rename(partial, target, ec);
        if (ec) ok = fail(ec.value());
      }
      if (ok) {
        // The rename is only lasting once the folder's entry is on the disk; a folder
        // that cannot be flushed (some network file systems) keeps the file all the same.
        SyncFolder(target.parent_path());
      } else {
        std::filesystem::remove(partial, ec);
      }
    }
  }
  if (error != nullptr) *error = failure;
  return ok;
}

}  // namespace platform
