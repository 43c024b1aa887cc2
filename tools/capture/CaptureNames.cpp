#include "tools/capture/CaptureNames.h"

#include <cstdio>

std::string CaptureBaseName(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot != std::string_view::npos && dot != 0) fileName = fileName.substr(0, dot);
  std::string base(fileName);
  // With no separator left the name is a single entry of the capture folder, and the
  // stamp after it means it can never be "." or "..".
  for (char& c : base)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '_';
  return base;
}

std::string CaptureStamp(const LocalTime& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d-%02dh%02dm%02ds%03d", time.year, time.month, time.day, time.hour,
                time.minute, time.second, time.millisecond);
  return text;
}

CaptureFileNames MakeCaptureFileNames(const std::string& folder, std::string_view fileName, const LocalTime& time) {
  const std::string stem = folder + "/" + CaptureBaseName(fileName) + "-" + CaptureStamp(time);
  return {stem + kCaptureTrack1 + kCaptureExtension, stem + kCaptureTrack2 + kCaptureExtension};
}
