#pragma once
// Writing a small file in one piece.

#include <filesystem>
#include <string_view>

namespace platform {

// Creates or truncates `path` and writes `bytes`; false on any failure, a failed close
// included (a full disk may only show there).
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace platform
