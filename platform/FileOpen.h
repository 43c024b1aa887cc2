#pragma once
// Opening a file the user named without ever hanging on it. A named pipe opened for
// reading waits for a writer that may never come, and a character device may never
// end; a recording, a card image and a settings file are none of those. The kind is
// checked by name before the open, and again by the descriptor after it (the name
// may have changed hands in between), with the open itself made non-blocking.

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace platform {

struct OpenFailure {
  int error = 0;           // errno of a failed open or stat, 0 when the kind was refused
  mode_t refusedKind = 0;  // S_IFIFO, S_IFDIR, ... when the path names the wrong kind
  bool Failed() const { return error != 0 || refusedKind != 0; }
};

// Opens `path` with `access` (O_RDONLY or O_RDWR; O_CLOEXEC is added) when it names a
// regular file, or a block device when `allowBlockDevice`; the descriptor blocks as
// usual afterwards. -1 with `failure` filled in otherwise.
int OpenPlainFile(const std::filesystem::path& path, int access, bool allowBlockDevice, OpenFailure* failure);

// OpenPlainFile for reading as a stdio stream ("rb"); null on failure.
std::FILE* OpenPlainFileStream(const std::filesystem::path& path, OpenFailure* failure = nullptr);

// Why the open failed, for a message after the path: "is a named pipe (FIFO), not a
// file", "is a folder", or the system's text ("No such file or directory").
std::string DescribeOpenFailure(const OpenFailure& failure);

// The system's text for an errno value (strerror), safe to call from any thread.
std::string ErrorText(int error);

}  // namespace platform
