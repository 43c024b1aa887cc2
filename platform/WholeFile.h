#pragma once
// Writing a small file in one piece.

#include <filesystem>
#include <string_view>

namespace platform {

// Writes `bytes` as the whole of `path`, created or replaced. The bytes go into a
// file of this process beside it that takes its name only once written, flushed to
// the disk and closed, and the folder is flushed after the rename: a full disk or
// card, a power cut or another process writing the same file leaves the old file or
// the new one, never a half-written or empty one. False on any failure, a failed
// close included (a full disk may only show there), with the errno in `error`.
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes, int* error = nullptr);

// Flushes a folder's entries (a rename into it) to the disk; false when it cannot.
bool SyncFolder(const std::filesystem::path& folder);

}  // namespace platform
