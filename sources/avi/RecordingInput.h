#pragma once
// A recording named by a path on the command line: an ordinary file, or a file on a
// dashcam card written CARD::/FOLDER/NAME (CARD a card device or card image).

#include <memory>
#include <string>

#include "sources/avi/ByteSource.h"

inline constexpr const char* kCardPathMark = "::/";

// Null when the file (or the card, or the file on it) cannot be opened; `why` (when
// given) then says so after the path: "is a named pipe (FIFO), not a file".
std::unique_ptr<ByteSource> OpenRecordingInput(const std::string& path, std::string* why = nullptr);
