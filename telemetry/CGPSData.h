#pragma once
// One GPS fix of a recording's telemetry, as read from its RMC sentence.

#include <cstdint>

class CGPSData {
 public:
  CGPSData() = default;
  CGPSData(const CGPSData&) = default;
  CGPSData& operator=(const CGPSData&) = default;
  CGPSData(CGPSData&&) = default;
  CGPSData& operator=(CGPSData&&) = default;
  virtual ~CGPSData() = default;

  int32_t year = 0;   // two digits as sent (0-99)
  int32_t month = 0;  // 1-12
  int32_t day = 0;
  int32_t hour = 0;  // UTC hour + 9; may exceed 23
  int32_t minute = 0;
  int32_t second = 0;      // whole seconds
  int32_t valid = 0;       // 1 when the fix status is "A"
  double latitude = 0;     // ddmm.mmmm, negative for south
  double longitude = 0;    // dddmm.mmmm, negative for west
  double speed = 0;        // km/h through single precision; 0 at 1 knot or less
  double course = 0;       // degrees through single precision
  int64_t timestamp = 0;   // seconds since 1970 of date and corrected time, local time
  int32_t recordTime = 0;  // playback position in milliseconds
};
