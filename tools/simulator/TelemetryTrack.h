#pragma once
// The dashcam's telemetry for one recording: an RMC fix every second (the first few
// invalid while the receiver is still looking for satellites) and a G-sensor reading
// every 100 ms.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "tools/simulator/Drive.h"

namespace simulator {

struct TelemetryRecord {
  int32_t time;       // playback position, ms
  std::string bytes;  // "GPRMC,..." or "M" + three axis bytes
};

// The camera's clock runs at UTC+9; its RMC sentences carry UTC.
constexpr int kCameraUtcOffsetHours = 9;
constexpr int kInvalidFixesAtStart = 3;
constexpr int kGpsPeriodMs = 1000;
constexpr int kGsensorPeriodMs = 100;

// A hard braking laid over the drive's readings: a jolt of 1 g as the brakes bite,
// then 0.8 g for the rest of the second, along the car (X) and without noise.
constexpr double kBrakingJoltG = 1.0;
constexpr double kBrakingG = 0.8;
constexpr int kBrakingMs = 1000;

// start: the camera's local clock at the recording's first frame, as a UTC-less
// broken-down time (the file name's date and time). Without `gps` only the G-sensor
// records are made (a camera without a receiver). A `brakeAtMs` of 0 or more puts a
// hard braking into the G-sensor readings from that position on.
std::vector<TelemetryRecord> MakeTelemetry(const Drive& drive, const std::tm& start, double seconds, bool gps = true,
                                           int32_t brakeAtMs = -1);

// One RMC sentence (without "$" and line end, with its checksum).
std::string RmcSentence(const std::tm& utc, int hundredths, bool valid, const DriveState& state);
// "M" and the three axis bytes: magnitudes in 1/32 g, saturated at 255.
std::string GsensorRecord(double x, double y, double z);

}  // namespace simulator
