#include "platform/WholeFile.h"

#include <cstdio>

namespace platform {

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  if (path.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0) ok = false;
  return ok;
}

}  // namespace platform
