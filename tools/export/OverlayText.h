#pragma once
// The facts burned into an exported clip, as lines of text for one moment: the
// camera clock's date and time, the speed, the position, the G-sensor values and
// the recording's file name. Units and signs are the same in every language, so
// the lines are not translated.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/TimeZone.h"
#include "telemetry/TelemetrySamples.h"

namespace clipexport {

struct OverlayFields {
  bool time = true;
  bool speed = true;
  bool position = true;
  bool g = true;
  // The file name is shown whenever anything is; "none" shows nothing at all.
  bool Any() const { return time || speed || position || g; }
  bool operator==(const OverlayFields&) const = default;
};

// "time,speed,position,g" (any of them, any order) or "none"; false for anything else.
bool ParseOverlayFields(const std::string& text, OverlayFields& fields);
std::string OverlayFieldsText(const OverlayFields& fields);

struct OverlayMoment {
  int64_t clock = 0;  // camera clock of the frame, 100 ns
  int32_t positionMs = 0;
  std::string fileName;
};

// The lines for one frame, top to bottom; empty when no field is on. A value the
// telemetry lacks at the moment (no fix yet) shows as "--". The time is the camera's
// clock, or with a `zone` that zone's local time with its offset from UTC.
std::vector<std::string> OverlayLines(const OverlayMoment& moment, const TelemetrySamples& samples,
                                      const OverlayFields& fields, bool miles,
                                      const platform::TimeZone* zone = nullptr);

}  // namespace clipexport
