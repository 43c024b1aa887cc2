#pragma once
// Writing a small file in one piece.

#include <filesystem>
#include <string_view>

namespace platform {

// Writes `bytes` as the whole of `path`, created or replaced. The bytes go into a
// file beside it that takes its name only once written and closed, so a full disk
// or card leaves the old file as it was, never a half-written one. False on any
// failure, a failed close included (a full disk may only show there).
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace platform
