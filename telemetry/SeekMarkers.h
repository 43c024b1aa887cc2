#pragma once
// The moments of a recording worth jumping to, drawn on the seek bar: where the car's
// horizontal acceleration (braking, swerving, an impact) reached the viewer's marker
// threshold, and in an event recording the moment that made the camera keep it.
//
// The recording format carries no trigger time, so an event recording's trigger is
// taken as its G peak: the reading with the largest horizontal G, the jolt that made
// the camera save the recording.

#include <cstdint>
#include <vector>

#include "telemetry/CGSensorData.h"

// The threshold in hundredths of a g (option.ini MARKER_G) and its range. Half a g
// is a hard braking; a car at rest reads about a tenth.
inline constexpr std::int32_t kDefaultMarkerThreshold = 50;
inline constexpr std::int32_t kLowestMarkerThreshold = 20;
inline constexpr std::int32_t kHighestMarkerThreshold = 400;

// Readings above the threshold less than this far from the one before belong to the
// same marker: one braking gives one marker, however long it lasts.
inline constexpr std::int32_t kMarkerMergeMs = 2000;
// The previous marker is one at least this far before the position, so that a second
// press while playing goes on past the marker the first one jumped to.
inline constexpr std::int32_t kPreviousMarkerGraceMs = 1000;

enum class SeekMarkerKind { HardG, EventTrigger };

struct SeekMarker {
  std::int32_t timeMs = 0;
  SeekMarkerKind kind = SeekMarkerKind::HardG;
  bool operator==(const SeekMarker&) const = default;
};

// The horizontal magnitude of a reading in g, from the X and Y values as the viewer's
// G texts show them (a raw value of 32 is 1 g).
double HorizontalG(const CGSensorData& reading);

// The markers of a recording's readings (delivery order), sorted by time: one at the
// first reading of each run above `thresholdHundredths` / 100 g, runs closer than
// kMarkerMergeMs merged; with `eventRecording`, the G peak as the trigger, which
// takes the place of the marker of its run. Readings at negative times are left out.
std::vector<SeekMarker> FindSeekMarkers(const std::vector<CGSensorData>& readings, std::int32_t thresholdHundredths,
                                        bool eventRecording);

// The time of the first marker after `positionMs`, or of the last one at least
// kPreviousMarkerGraceMs before it; -1 when there is none.
std::int32_t NextMarkerTime(const std::vector<SeekMarker>& markers, std::int64_t positionMs);
std::int32_t PreviousMarkerTime(const std::vector<SeekMarker>& markers, std::int64_t positionMs);
