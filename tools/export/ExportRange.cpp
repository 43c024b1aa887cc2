#include "tools/export/ExportRange.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "telemetry/GpsClock.h"

namespace clipexport {

namespace {

// Civil time without a zone: timegm counts it as UTC, so no daylight-saving rule of
// the machine running the export can shift it.
bool CivilSeconds(int year, int month, int day, int hour, int minute, int second, int64_t& seconds) {
  if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 ||
      second > 59 || hour < 0 || minute < 0 || second < 0)
    return false;
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  const std::time_t t = timegm(&tm);
  // timegm normalises 31 April into 1 May; such a date does not exist.
  std::tm back{};
  if (!gmtime_r(&t, &back) || back.tm_mday != day || back.tm_mon != month - 1) return false;
  seconds = static_cast<int64_t>(t);
  return true;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

bool ClockOfName(const RecordTime& time, int64_t& seconds) {
  return CivilSeconds(time.year, time.month, time.day, time.hour, time.minute, time.second, seconds);
}

bool ParseClockText(const std::string& text, int64_t& seconds) {
  // Digits at fixed places: "YYYY-MM-DD HH:MM:SS".
  static const char kPattern[] = "dddd-dd-dd dd:dd:dd";
  if (text.size() != sizeof kPattern - 1) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kPattern[i] == 'd' ? !digit : text[i] != kPattern[i]) return false;
  }
  const auto number = [&](std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  return CivilSeconds(number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2), seconds);
}

std::string ClockText(int64_t units) {
  const std::time_t t = static_cast<std::time_t>(FloorDiv(units, kUnitsPerSecond));
  std::tm tm{};
  if (!gmtime_r(&t, &tm)) return "?";
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return text;
}

std::string ZoneClockText(int64_t units, const platform::TimeZone& zone, bool milliseconds) {
  const int64_t utc = FloorDiv(units, kUnitsPerSecond) - telemetry::kCameraClockOffsetHours * 3600;
  const int32_t offset = zone.OffsetAt(utc);
  const platform::CivilTime t = platform::CivilFromSeconds(utc + offset);
  char ms[8] = "";
  if (milliseconds) std::snprintf(ms, sizeof ms, ".%03d", static_cast<int>(FloorDiv(units, kUnitsPerMs) % 1000));
  char text[80];
  std::snprintf(text, sizeof text, "%s%s%c%02d:%02d", telemetry::ClockText(t).c_str(), ms, offset < 0 ? '-' : '+',
                std::abs(offset) / 3600, std::abs(offset) % 3600 / 60);
  return text;
}

namespace {

// The frames of one recording in [from, to): the frames nearest to the times from on
// and before to. Recordings keep frame times in 100-ns steps that run a little early
// (the frame of 1 s may sit at 0.999999 s); it still belongs to a range from 1 s.
RangePart PartOf(const TimelineRecording& r, std::size_t index, int64_t from, int64_t to) {
  RangePart part;
  part.recording = index;
  if (r.frameTimes.empty()) return part;
  const int64_t half = std::max<int64_t>(r.duration / static_cast<int64_t>(r.frameTimes.size()) / 2, 1);
  const auto first = std::lower_bound(r.frameTimes.begin(), r.frameTimes.end(), from - half);
  const auto last = std::lower_bound(first, r.frameTimes.end(), to - half);
  part.frames = last - first;
  if (part.frames == 0) return part;
  part.start = *first;
  part.stop = last == r.frameTimes.end() ? std::max(r.duration, r.frameTimes.back() + 1) : *last;
  return part;
}

}  // namespace

RangePlan PlanRange(const std::vector<TimelineRecording>& recordings, int64_t from, int64_t to) {
  RangePlan plan;
  if (to <= from) {
    plan.error = "the end of the range is not after its start";
    return plan;
  }
  std::size_t i = 0;
  while (i < recordings.size() && !(recordings[i].clockStart * kUnitsPerSecond <= from &&
                                    from < recordings[i].clockStart * kUnitsPerSecond + recordings[i].duration))
    ++i;
  if (i == recordings.size()) {
    plan.error = "no recording holds the start " + ClockText(from);
    return plan;
  }
  int64_t position = from - recordings[i].clockStart * kUnitsPerSecond;
  for (std::size_t j = i;; ++j) {
    const TimelineRecording& r = recordings[j];
    const int64_t begin = r.clockStart * kUnitsPerSecond;
    const int64_t end = begin + r.duration;
    const bool last = to <= end;
    const RangePart part = PartOf(r, j, position, last ? to - begin : r.duration);
    if (part.frames > 0) {
      plan.parts.push_back(part);
      plan.frames += part.frames;
    }
    if (last) break;
    const bool follows = j + 1 < recordings.size() &&
                         std::abs(recordings[j + 1].clockStart * kUnitsPerSecond - end) <= kConsecutiveTolerance;
    if (!follows) {
      plan.error = "no recording follows " + r.fileName + " at " + ClockText(end) + ", before the end " + ClockText(to);
      break;
    }
    // The next recording plays from its first frame, where this one ended.
    position = 0;
    if (to <= recordings[j + 1].clockStart * kUnitsPerSecond) break;
  }
  if (plan.error.empty() && plan.frames == 0) plan.error = "the range holds no picture";
  if (!plan.error.empty()) {
    plan.parts.clear();
    plan.frames = 0;
  }
  return plan;
}

}  // namespace clipexport
