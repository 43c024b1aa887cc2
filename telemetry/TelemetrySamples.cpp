#include "telemetry/TelemetrySamples.h"

#include <algorithm>
#include <cmath>

#include "settings/ViewerSettings.h"
#include "telemetry/SinglePrecision.h"

namespace {

constexpr double kMilesPerKilometre = 0.621371;
// Raw axis units per g is 32.
constexpr double kGPerUnit = 0.03125;

// NMEA ddmm.mmmm to decimal degrees.
float Degrees(double nmea) {
  const double v = nmea * 0.01;
  const double d = std::trunc(v);
  return telemetry::ToSingle(d + (v - d) * 100 / 60);
}

// Brings the running maximum up to date with samples appended since it was built.
template <typename Sample>
void ExtendReach(const std::vector<Sample>& samples, std::vector<int32_t>& reach) {
  if (reach.size() > samples.size()) reach.clear();
  for (std::size_t i = reach.size(); i < samples.size(); ++i)
    reach.push_back(i == 0 ? samples[i].recordTime : std::max(reach[i - 1], samples[i].recordTime));
}

template <typename Sample>
const Sample* FirstAtOrAfter(const std::vector<Sample>& samples, std::vector<int32_t>& reach, int32_t positionMs) {
  ExtendReach(samples, reach);
  const auto it = std::lower_bound(reach.begin(), reach.end(), positionMs);
  if (it == reach.end()) return nullptr;
  return &samples[static_cast<std::size_t>(it - reach.begin())];
}

}  // namespace

void TelemetrySamples::Clear() {
  std::vector<CGPSData>().swap(gpsSamples);
  std::vector<CGSensorData>().swap(gsensorSamples);
  std::vector<int32_t>().swap(gpsReach);
  std::vector<int32_t>().swap(gsensorReach);
}

void TelemetrySamples::AddGpsSample(const CGPSData& sample) {
  gpsSamples.push_back(sample);
  ExtendReach(gpsSamples, gpsReach);
}

void TelemetrySamples::AddGSensorSample(const CGSensorData& sample) {
  gsensorSamples.push_back(sample);
  ExtendReach(gsensorSamples, gsensorReach);
}

void TelemetrySamples::AddTelemetryRecord(std::string_view record, int32_t recordTime) {
  if (record.empty()) return;
  if (record[0] == kGSensorRecordKind) {
    // Axis bytes missing from a short record read as the zeroed buffer would: 0.
    auto axis = [&](std::size_t i) {
      return i < record.size() ? static_cast<int32_t>(static_cast<unsigned char>(record[i])) + 1 : 1;
    };
    CGSensorData sample;
    sample.x = axis(1);
    sample.y = axis(2);
    sample.z = axis(3);
    sample.recordTime = recordTime;
    AddGSensorSample(sample);
  } else if (record[0] == kGpsRecordKind) {
    CGPSData sample;
    // Kept whatever the parse gave: a short sentence still marks a GPS record.
    ParseGpsRecord(sample, recordTime, record);
    AddGpsSample(sample);
  }
}

const CGPSData* TelemetrySamples::FindGpsSample(int32_t positionMs) const {
  return FirstAtOrAfter(gpsSamples, gpsReach, positionMs);
}

const CGSensorData* TelemetrySamples::FindGSensorSample(int32_t positionMs) const {
  return FirstAtOrAfter(gsensorSamples, gsensorReach, positionMs);
}

bool TelemetrySamples::FindSpeed(int32_t positionMs, double& speed, bool inMiles) const {
  speed = 0;
  const CGPSData* sample = FindGpsSample(positionMs);
  if (!sample || sample->valid == 0) return false;
  speed = inMiles ? sample->speed * kMilesPerKilometre : sample->speed;
  return true;
}

bool TelemetrySamples::FindSpeed(int32_t positionMs, double& speed) const {
  return FindSpeed(positionMs, speed, TheViewerSettings().speedInMiles);
}

bool TelemetrySamples::FindPosition(int32_t positionMs, float& latitude, float& longitude) const {
  latitude = 0;
  longitude = 0;
  const CGPSData* sample = FindGpsSample(positionMs);
  if (!sample || sample->valid == 0) return false;
  latitude = Degrees(sample->latitude);
  longitude = Degrees(sample->longitude);
  return true;
}

bool TelemetrySamples::FindGValues(int32_t positionMs, double& x, double& y, double& z) const {
  x = y = z = 0;
  const CGSensorData* sample = FindGSensorSample(positionMs);
  if (!sample) return false;
  x = sample->x * kGPerUnit;
  y = sample->y * kGPerUnit;
  z = sample->z * kGPerUnit;
  return true;
}
