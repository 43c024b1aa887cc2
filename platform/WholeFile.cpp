#include "platform/WholeFile.h"

#include <cstdio>
#include <system_error>

namespace platform {

namespace {
constexpr const char* kPartialSuffix = ".partial";
}  // namespace

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  if (path.empty()) return false;
  // The file a link names is the one replaced, not the link.
  std::error_code ec;
  std::filesystem::path target = std::filesystem::is_symlink(path, ec) ? std::filesystem::canonical(path, ec) : path;
  if (ec || target.empty()) target = path;
  std::filesystem::path partial = target;
  partial += kPartialSuffix;
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0) ok = false;
  if (ok) {
    std::filesystem::rename(partial, target, ec);
    ok = !ec;
  }
  if (!ok) std::filesystem::remove(partial, ec);
  return ok;
}

}  // namespace platform
