#pragma once
// One G-sensor reading of a recording's telemetry.

#include <cstdint>

class CGSensorData {
 public:
  CGSensorData() = default;
  CGSensorData(const CGSensorData&) = default;
  CGSensorData& operator=(const CGSensorData&) = default;
  CGSensorData(CGSensorData&&) = default;
  CGSensorData& operator=(CGSensorData&&) = default;
  virtual ~CGSensorData() = default;

  // Raw axis values 1-256; 32 units are 1 g.
  int32_t x = 0;
  int32_t y = 0;
  int32_t z = 0;
  int32_t recordTime = 0;  // playback position in milliseconds
};
