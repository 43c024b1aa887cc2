#pragma once
// The stretch of driving an export covers: a start and an end on the camera's clock,
// laid over the recordings that hold it. Consecutive recordings of a drive follow
// each other without a gap (each one starts, by the time in its name, where the one
// before ends), so one range may run through several of them; the clip then plays
// the part of each in turn.
//
// Clock times are the dashcam's own (the times in the recording names), counted as
// civil time without a zone: seconds since 1970-01-01 00:00:00 of that clock, or
// 100-ns units where a position inside a recording matters.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/TimeZone.h"
#include "sources/RecordingEntry.h"

namespace clipexport {

inline constexpr int64_t kUnitsPerSecond = 10000000;  // 100-ns units
inline constexpr int64_t kUnitsPerMs = 10000;

// A recording's clock at its first frame, from its name; false when the name holds
// no valid date and time.
bool ClockOfName(const RecordTime& time, int64_t& seconds);
// "YYYY-MM-DD HH:MM:SS" (exactly that form); false for anything else or a date that
// does not exist.
bool ParseClockText(const std::string& text, int64_t& seconds);
// The same form back; fractions of a second are dropped.
std::string ClockText(int64_t units);
// A camera-clock moment in `zone`, with the zone's offset from UTC at that moment so
// a daylight-saving change stays readable: "2024-05-12 01:30:16+02:00", or with
// `milliseconds` "2024-05-12 01:30:16.000+02:00".
std::string ZoneClockText(int64_t units, const platform::TimeZone& zone, bool milliseconds);

// A frame time to the nearest millisecond. Recordings keep frame times in 100-ns
// steps that run a hair early (the frame of 1 s sits at 0.999999 s); to the
// millisecond they are the positions the viewer shows.
inline int64_t RoundToMs(int64_t units) { return (units + kUnitsPerMs / 2) / kUnitsPerMs * kUnitsPerMs; }

// What the range needs of one recording.
struct TimelineRecording {
  std::string fileName;
  int64_t clockStart = 0;  // seconds, from the name
  int64_t duration = 0;    // 100 ns
  int cameras = 0;
  std::vector<int64_t> frameTimes;  // the first camera's frames, 100 ns, ascending
};

// The part of one recording a range covers: every frame of the first camera whose
// time, to the nearest frame, lies in the range. start is the first such frame's
// time; stop the time of the first frame after the range, or the recording's end.
struct RangePart {
  std::size_t recording = 0;  // index into the recordings given
  int64_t start = 0;
  int64_t stop = 0;
  int64_t frames = 0;
};

struct RangePlan {
  std::vector<RangePart> parts;
  int64_t frames = 0;  // all parts
  std::string error;   // set when no plan could be made; parts are then empty
  bool Ok() const { return error.empty(); }
};

// Names' times are whole seconds, so the next recording may begin up to this much
// before or after the end of the one before and still follow it.
inline constexpr int64_t kConsecutiveTolerance = kUnitsPerSecond;

// Lays [from, to) (100 ns on the camera clock) over `recordings`, which are in clock
// order. The range must start inside a recording and run through consecutive ones;
// its end may lie inside the last one or at its end.
RangePlan PlanRange(const std::vector<TimelineRecording>& recordings, int64_t from, int64_t to);

}  // namespace clipexport
