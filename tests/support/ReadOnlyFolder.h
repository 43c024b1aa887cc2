#pragma once
// A folder nobody may write into for the object's life, for root too: the folder's
// write bits go, and a root test process gives up, on the calling thread, the
// capability that lets it write anyway (Linux capabilities are per thread, so only
// code running on this thread is held back). Children started meanwhile get their
// capabilities back at exec; tests that run a program use ReadOnlyCommandPrefix().

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::error_code ec;
    std::filesystem::permissions(folder_,
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove, ec);
    if (::geteuid() != 0) return;
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    dropped_ = ::syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~ReadOnlyFolder() {
    if (dropped_) ::syscall(SYS_capset, &header_, saved_);
    std::error_code ec;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ec);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

 private:
  std::filesystem::path folder_;
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
  bool dropped_ = false;
};

// Put before a command line so that a program run by a root test cannot write past
// a folder's permissions either; empty when not root.
inline std::string ReadOnlyCommandPrefix() {
  return ::geteuid() == 0 ? "setpriv --bounding-set -dac_override --inh-caps -dac_override -- " : "";
}

}  // namespace testsupport
