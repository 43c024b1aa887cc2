#pragma once
// A fresh folder under the system's temporary folder for one test, removed with
// everything in it when the object goes. Every suite makes its folders with this one;
// tests/support/FileBytes.h fills them.

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {

class TempFolder {
 public:
  explicit TempFolder(const char* stem = "tarvo-test-") {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(stem) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    if (path_.empty()) return;
    std::error_code ec;
    // Tests that make a folder read-only must not leave it behind.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace testsupport
