#include "platform/ProcessFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

namespace {

constexpr const char* kLockName = "owner.lock";
// A folder without its lock is as young as the moment between mkdtemp and the lock.
constexpr auto kLocklessGrace = std::chrono::minutes(1);

int OpenLock(const fs::path& folder, int flags) {
  return ::open((folder / kLockName).c_str(), flags | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// The owner's plain files (links count as files: the link goes, never what it names).
void DeleteOwnFiles(const fs::path& folder, const OwnFileRule& ownFiles) {
  if (!ownFiles) return;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::file_status status = it->symlink_status(ec);
    if (ec || fs::is_directory(status)) continue;
    const std::string name = it->path().filename().string();
    if (name != kLockName && ownFiles(name)) fs::remove(it->path(), ec);
  }
}

// The lock goes before the folder, so a folder without a lock is only ever one being
// made or one being removed.
void DeleteLockAndFolder(const fs::path& folder) {
  std::error_code ec;
  fs::remove(folder / kLockName, ec);
  fs::remove(folder, ec);  // only when empty
}

bool LocklessAndOld(const fs::path& folder) {
  std::error_code ec;
  const auto written = fs::last_write_time(folder, ec);
  return !ec && fs::file_time_type::clock::now() - written > kLocklessGrace;
}

}  // namespace

bool ProcessFolder::Create(const fs::path& root, const std::string& prefix, OwnFileRule ownFiles, int* error) {
  Remove();
  int failure = 0;
  std::error_code ec;
  if (root.empty()) {
    failure = ENOENT;
  } else if (fs::create_directories(root, ec); ec && !fs::is_directory(root)) {
    failure = ec.value();
  } else {
    std::string pattern = (root / (prefix + std::to_string(static_cast<long>(::getpid())) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      failure = errno;
    } else {
      const int lock = OpenLock(pattern, O_CREAT | O_EXCL);
      if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        failure = errno;
        if (lock >= 0) ::close(lock);
        DeleteLockAndFolder(pattern);
      } else {
        path_ = pattern;
        lock_ = lock;
        ownFiles_ = std::move(ownFiles);
      }
    }
  }
  if (error != nullptr) *error = failure;
  return failure == 0;
}

void ProcessFolder::Empty() const {
  if (!path_.empty()) DeleteOwnFiles(path_, ownFiles_);
}

void ProcessFolder::Remove() {
  if (path_.empty()) return;
  DeleteOwnFiles(path_, ownFiles_);
  DeleteLockAndFolder(path_);
  if (lock_ >= 0) ::close(lock_);
  lock_ = -1;
  path_.clear();
}

int RemoveEndedProcessFolders(const fs::path& root, const std::string& prefix, const OwnFileRule& ownFiles) {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code statusError;
    if (name.rfind(prefix, 0) != 0 || !fs::is_directory(it->symlink_status(statusError))) continue;
    const fs::path folder = it->path();
    const int lock = OpenLock(folder, 0);
    if (lock < 0) {
      if (errno != ENOENT || !LocklessAndOld(folder)) continue;
    } else if (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
      ::close(lock);  // its owner still runs
      continue;
    }
    DeleteOwnFiles(folder, ownFiles);
    DeleteLockAndFolder(folder);
    if (lock >= 0) ::close(lock);
    if (!fs::exists(folder, statusError)) ++removed;
  }
  return removed;
}

}  // namespace platform
