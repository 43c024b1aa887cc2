#include "tools/capture/LocalTime.h"

#include <ctime>

#include "telemetry/GpsClock.h"

LocalTime ToLocalTime(std::chrono::system_clock::time_point when, const platform::TimeZone* zone) {
  const auto sinceEpoch = when.time_since_epoch();
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
  auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - seconds).count();
  // Before 1970 the remainder is negative: borrow a second so the milliseconds stay
  // 0-999 and the seconds round down.
  if (millis < 0) {
    millis += 1000;
    seconds -= std::chrono::seconds(1);
  }
  LocalTime time;
  time.millisecond = static_cast<int>(millis);
  if (zone) {
    const platform::CivilTime civil = zone->ToLocal(seconds.count());
    time.year = civil.year;
    time.month = civil.month;
    time.day = civil.day;
    time.hour = civil.hour;
    time.minute = civil.minute;
    time.second = civil.second;
    return time;
  }
  const std::time_t whole = static_cast<std::time_t>(seconds.count());
  std::tm broken{};
  if (::localtime_r(&whole, &broken) == nullptr) return {};
  time.year = broken.tm_year + 1900;
  time.month = broken.tm_mon + 1;
  time.day = broken.tm_mday;
  time.hour = broken.tm_hour;
  time.minute = broken.tm_min;
  time.second = broken.tm_sec;
  return time;
}

LocalTime ToLocalTime(std::chrono::system_clock::time_point when) {
  return ToLocalTime(when, telemetry::ViewerZone().get());
}

LocalTime LocalTimeNow() { return ToLocalTime(std::chrono::system_clock::now()); }
