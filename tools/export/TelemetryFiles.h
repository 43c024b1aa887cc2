#pragma once
// The telemetry of an exported range as files an insurer's or the police's tools
// open: CSV with one line per record (G-sensor readings and GPS fixes in time
// order), and GPX with the valid fixes as a track.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/TimeZone.h"
#include "telemetry/CGPSData.h"
#include "telemetry/TelemetrySamples.h"

namespace clipexport {

// The records of one recording that fall in [start, stop) (100 ns from its start).
struct TelemetryPart {
  std::string fileName;
  int64_t clockStart = 0;  // the camera clock at the recording's start, seconds
  int64_t start = 0;
  int64_t stop = 0;
  const TelemetrySamples* samples = nullptr;
};

inline constexpr const char* kTelemetryCsvHeader =
    "clock,recording,position_ms,kind,valid,latitude,longitude,speed_kmh,course,gps_utc,gx,gy,gz";

// The heading line: speed_mph in place of speed_kmh with `miles`; with a `zone`, a
// column local_time(ZONE) after clock.
std::string TelemetryCsvHeader(bool miles, const platform::TimeZone* zone = nullptr);
// With `miles` the speed column is in mph. The clock column is the camera's clock
// (the clock of the recordings' names); with a `zone`, the next column is that zone's
// local time followed by its offset from UTC at the moment
// ("2024-05-12 01:30:16.000+02:00"), so daylight saving stays readable.
std::string TelemetryCsv(const std::vector<TelemetryPart>& parts, bool miles = false,
                         const platform::TimeZone* zone = nullptr);
std::string TelemetryGpx(const std::vector<TelemetryPart>& parts, const std::string& trackName);

// The fix's own UTC time, "YYYY-MM-DDTHH:MM:SSZ" (the sample's hour carries the
// camera's +9); empty when the fix has no date.
std::string GpsUtcText(const CGPSData& fix);
std::string XmlEscape(const std::string& text);

}  // namespace clipexport
