#pragma once
// Trips: the recordings of one drive. The camera closes a recording and opens the
// next at once, so each one starts, by the time in its name, where the one before
// ended; names keep whole seconds and a camera may lose a moment between files, so a
// recording that starts within kTripGapMs of the trip's end so far continues it.
//
// An event recording is written beside the normal one that runs on (the trigger's
// seconds before and after, in a folder of its own), so it lies inside the drive:
// normal and event recordings make one trip, and an event recording neither ends nor
// lengthens it much. Parking recordings (parking, motion) are written while the car
// stands and make trips of their own: a drive and the parking after it stay apart.

#include <cstdint>
#include <vector>

namespace trips {

inline constexpr int64_t kTripGapMs = 3000;

// What grouping needs of one recording.
struct TripSpan {
  bool hasStart = false;   // false: the name holds no valid date and time
  int64_t startMs = 0;     // the camera clock at its start, from the name, ms
  int64_t durationMs = 0;  // its length; 0 when not known (its trip then ends at its start)
  bool parking = false;    // a parking or motion recording
};

struct TripRow {
  int first = 0;  // the index its trip begins at
  // It continues the trip's last link (the trip's route takes its points); false for
  // one that starts well inside it (an event recording during a normal one).
  bool extends = true;
};

// The recordings in list order (the list's time order); for each, its trip. A
// recording joins the trip of the one before it when both are of the same kind
// (driving or parking), both have a start, and it starts no later than kTripGapMs
// after the latest end of the trip so far (its recordings' ends by start and length).
std::vector<TripRow> GroupTrips(const std::vector<TripSpan>& spans);

}  // namespace trips
