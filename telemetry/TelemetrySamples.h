#pragma once
// The GPS fixes and G-sensor readings of the recording opened last, and their lookups
// by playback position. The main window holds the pair of the recording it plays and
// lends it to the graph, the readouts, the map and the printout.
//
// The load worker fills the arrays; the position timer looks up samples only while no
// worker runs, so the arrays need no lock.

#include <cstdint>
#include <string_view>
#include <vector>

#include "telemetry/CGPSData.h"
#include "telemetry/CGSensorData.h"

// Record kinds: first byte of a telemetry record.
inline constexpr char kGSensorRecordKind = 'M';
inline constexpr char kGpsRecordKind = 'G';
// Longest record text a GPS fix is parsed from; the rest is cut off.
inline constexpr std::size_t kMaxGpsRecordText = 1023;

// Fills `sample` from an NMEA RMC sentence. False when the sentence has fewer than the
// nine fields after its identifier; the fields read until then are kept.
bool ParseGpsRecord(CGPSData& sample, int32_t recordTime, std::string_view text);

class TelemetrySamples {
 public:
  // Empties both arrays and frees their storage.
  void Clear();
  // Appends the sample one record holds ("M" G-sensor, "G" GPS); other records are
  // ignored.
  void AddTelemetryRecord(std::string_view record, int32_t recordTime);
  void AddGpsSample(const CGPSData& sample);
  void AddGSensorSample(const CGSensorData& sample);

  // The sample of a playback position is the first one, in delivery order, whose
  // recordTime is at or after the position. Each lookup is false, with zero outputs,
  // when there is none.

  // km/h, or mph when inMiles; false also for a fix that is not valid.
  bool FindSpeed(int32_t positionMs, double& speed, bool inMiles) const;
  // As above in the unit of the viewer's SPEED setting.
  bool FindSpeed(int32_t positionMs, double& speed) const;
  // Decimal degrees; false also for a fix that is not valid.
  bool FindPosition(int32_t positionMs, float& latitude, float& longitude) const;
  // In g.
  bool FindGValues(int32_t positionMs, double& x, double& y, double& z) const;
  // The fix of a position, valid or not (the map converts its coordinates in double
  // precision); null when there is none.
  const CGPSData* FindGpsSample(int32_t positionMs) const;

  // Delivery order. Append through the calls above (a plain push_back is noticed and
  // the lookup index rebuilt; changing the recordTime of a stored sample is not).
  std::vector<CGPSData> gpsSamples;
  std::vector<CGSensorData> gsensorSamples;

 private:
  // Running maximum of recordTime: entry i is the largest recordTime of samples 0..i.
  // It never decreases, so a binary search on it finds the first sample at or after a
  // position exactly as a scan from the first sample would, even when a damaged
  // recording delivers times out of order.
  mutable std::vector<int32_t> gpsReach;
  mutable std::vector<int32_t> gsensorReach;

  const CGSensorData* FindGSensorSample(int32_t positionMs) const;
};
