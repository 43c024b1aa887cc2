#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-model-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Absolute path of `relative` inside the folder, as a string with "/" separators.
  std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }
  std::string Path() const { return path_.string(); }

  // Creates a file of `size` bytes (and its folders).
  std::string File(const std::string& relative, std::size_t size = 0) const {
    const std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << std::string(size, 'x');
    return file.string();
  }
  std::string Folder(const std::string& relative) const {
    std::filesystem::create_directories(path_ / relative);
    return (path_ / relative).string();
  }

 private:
  std::filesystem::path path_;
};
