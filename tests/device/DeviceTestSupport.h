#pragma once
// Card images in a drive table for the settings dialog and formatting suites: a root
// folder standing in for the mounted first partition, the image as the whole card.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/card/CardTestSupport.h"
#include "tests/kovr/KovrTestCard.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace devicetest {

namespace fs = std::filesystem;
using kovrtest::kMiB;

// The whole file; "" when it cannot be read.
inline std::string ReadAll(const fs::path& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec) return {};
  std::string bytes(static_cast<size_t>(size), '\0');
  std::ifstream in(path, std::ios::binary);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

inline void WriteAll(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Sets environment variables for one scope and puts the old values back.
class EnvScope {
 public:
  void Set(const char* name, const std::string& value) {
    Remember(name);
    ::setenv(name, value.c_str(), 1);
  }
  void Unset(const char* name) {
    Remember(name);
    ::unsetenv(name);
  }
  ~EnvScope() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->had)
        ::setenv(it->name.c_str(), it->value.c_str(), 1);
      else
        ::unsetenv(it->name.c_str());
    }
  }

 private:
  struct Saved {
    std::string name;
    bool had;
    std::string value;
  };
  void Remember(const char* name) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old != nullptr, old ? old : ""});
  }
  std::vector<Saved> saved_;
};

// A home folder of the test's own, so the default capture folder lands in it.
inline void UseHome(EnvScope& env, const fs::path& home) {
  env.Set("HOME", home.string());
  env.Unset("XDG_CONFIG_HOME");
}

struct ImageCard {
  fs::path root;
  fs::path image;
};

// A removable card in the table: folder `name` and image `name`.img of `size` bytes,
// formatted as the camera does when `formatted`.
inline ImageCard AddImageCard(const fs::path& folder, const std::string& name, uint64_t size, bool formatted) {
  ImageCard card{folder / name, folder / (name + ".img")};
  fs::create_directories(card.root);
  testsupport::MakeSparse(card.image, size);
  if (formatted) device::RunPartitionAndFormat(card.image.string());
  return card;
}

inline std::string TableLine(const ImageCard& card, const char* flags = "removable") {
  return card.root.string() + "|" + card.image.string() + "|" + flags + "\n";
}

// Runs a shell command; its standard output, and whether it exited with 0.
inline bool Shell(const std::string& command, std::string* output = nullptr) {
  std::string text;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return false;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = ::pclose(pipe);
  if (output) *output = text;
  return status == 0;
}

// A file out of the FAT32 at `offset` bytes of `image`, through mtools.
inline bool CopyOutOfFat(const fs::path& image, uint64_t offset, const std::string& name, const fs::path& to) {
  return Shell("MTOOLS_SKIP_CHECK=1 mcopy -n -i '" + image.string() + "@@" + std::to_string(offset) + "' '::" + name +
               "' '" + to.string() + "' 2>/dev/null");
}

}  // namespace devicetest
