#include "sources/Trips.h"

#include <algorithm>

namespace trips {

std::vector<TripRow> GroupTrips(const std::vector<TripSpan>& spans) {
  std::vector<TripRow> rows(spans.size());
  int64_t tripEnd = 0;   // the latest end of any of the trip's recordings
  int64_t chainEnd = 0;  // the end of the last one that lengthened it
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const TripSpan& span = spans[i];
    const int64_t end = span.startMs + std::max<int64_t>(span.durationMs, 0);
    const TripSpan* before = i > 0 ? &spans[i - 1] : nullptr;
    const bool joins = before && before->hasStart && span.hasStart && before->parking == span.parking &&
                       span.startMs <= tripEnd + kTripGapMs;
    if (!joins) {
      rows[i] = {static_cast<int>(i), true};
      tripEnd = chainEnd = end;
      continue;
    }
    rows[i].first = rows[i - 1].first;
    // One that starts well before the last link's end (an event recording inside a
    // normal one) repeats a stretch the trip has.
    rows[i].extends = span.startMs >= chainEnd - kTripGapMs;
    if (rows[i].extends) chainEnd = end;
    tripEnd = std::max(tripEnd, end);
  }
  return rows;
}

}  // namespace trips
