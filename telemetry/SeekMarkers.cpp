#include "telemetry/SeekMarkers.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kGPerUnit = 0.03125;
}  // namespace

double HorizontalG(const CGSensorData& reading) { return std::hypot(reading.x * kGPerUnit, reading.y * kGPerUnit); }

std::vector<SeekMarker> FindSeekMarkers(const std::vector<CGSensorData>& readings, std::int32_t thresholdHundredths,
                                        bool eventRecording) {
  const double threshold = thresholdHundredths / 100.0;
  // A damaged recording may deliver its readings out of order; the runs are found in
  // time order whatever the delivery order was.
  std::vector<std::int32_t> above;
  const CGSensorData* peak = nullptr;
  for (const CGSensorData& reading : readings) {
    if (reading.recordTime < 0) continue;
    const double g = HorizontalG(reading);
    if (g > threshold) above.push_back(reading.recordTime);
    if (!peak || g > HorizontalG(*peak) || (g == HorizontalG(*peak) && reading.recordTime < peak->recordTime))
      peak = &reading;
  }
  std::sort(above.begin(), above.end());
  struct Run {
    std::int32_t first;
    std::int32_t last;
  };
  std::vector<Run> runs;
  for (std::int32_t t : above) {
    if (runs.empty() || t - runs.back().last >= kMarkerMergeMs)
      runs.push_back({t, t});
    else
      runs.back().last = t;
  }
  // An event saved by its button has no jolt to point at: a peak no higher than a car
  // at rest reads is no trigger. The run the peak belongs to is marked by the trigger.
  const bool hasTrigger = eventRecording && peak && HorizontalG(*peak) >= kLowestMarkerThreshold / 100.0;
  const std::int32_t trigger = hasTrigger ? peak->recordTime : 0;
  std::vector<SeekMarker> markers;
  for (const Run& run : runs) {
    if (hasTrigger && run.first <= trigger && trigger <= run.last) continue;
    markers.push_back({run.first, SeekMarkerKind::HardG});
  }
  if (hasTrigger) {
    const auto at = std::lower_bound(markers.begin(), markers.end(), trigger,
                                     [](const SeekMarker& m, std::int32_t t) { return m.timeMs < t; });
    markers.insert(at, {trigger, SeekMarkerKind::EventTrigger});
  }
  return markers;
}

std::int32_t NextMarkerTime(const std::vector<SeekMarker>& markers, std::int64_t positionMs) {
  for (const SeekMarker& m : markers)
    if (m.timeMs > positionMs) return m.timeMs;
  return -1;
}

std::int32_t PreviousMarkerTime(const std::vector<SeekMarker>& markers, std::int64_t positionMs) {
  for (auto it = markers.rbegin(); it != markers.rend(); ++it)
    if (it->timeMs <= positionMs - kPreviousMarkerGraceMs) return it->timeMs;
  return -1;
}
