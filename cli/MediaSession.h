#pragma once
// What tarvo-tool capture and report need beyond the core: a Qt Gui application for
// JPEG files, fonts and PDF pages (never a window, so never a display), a silent
// player, and the parsing their arguments share.

#include <cstdint>
#include <memory>
#include <string>

class QGuiApplication;
class RecordingMoment;

namespace cli {

class MediaSession {
 public:
  MediaSession();
  ~MediaSession();
  MediaSession(const MediaSession&) = delete;
  MediaSession& operator=(const MediaSession&) = delete;

 private:
  std::unique_ptr<QGuiApplication> app_;
};

// A number given as digits only, 0 to INT32_MAX (a position in ms, a language index).
bool ParseDigits(const std::string& text, std::int32_t& value);

// Opens `path` in `moment` and shows the picture at `positionMs`; false with a
// message for the user in `error` (files on a card are refused with a hint).
bool OpenRecordingMoment(RecordingMoment& moment, const std::string& path, std::int32_t positionMs, std::string& error);

}  // namespace cli
