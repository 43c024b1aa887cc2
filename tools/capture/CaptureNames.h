#pragma once
// The names of still captures: one JPEG file per camera channel in the capture
// folder, "<recording>-<local time>(Track1).jpg" and "(Track2)".

#include <string>
#include <string_view>

#include "tools/capture/LocalTime.h"

inline constexpr const char* kCaptureTrack1 = "(Track1)";
inline constexpr const char* kCaptureTrack2 = "(Track2)";
inline constexpr const char* kCaptureExtension = ".jpg";

// The recording's file name without its extension: everything from the last "." on,
// unless that "." is the first character. Characters that would lead out of the
// capture folder or cut the name short ("/", "\", control characters) become "_":
// card file names come from outside.
std::string CaptureBaseName(std::string_view fileName);

// "YYYY-MM-DD-HHhMMmSSsmmm".
std::string CaptureStamp(const LocalTime& time);

struct CaptureFileNames {
  std::string track1;  // channel 1
  std::string track2;  // channel 2
};

// folder + "/" + base + "-" + stamp + "(TrackN).jpg" for both channels.
CaptureFileNames MakeCaptureFileNames(const std::string& folder, std::string_view fileName, const LocalTime& time);
