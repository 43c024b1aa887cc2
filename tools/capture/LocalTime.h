#pragma once
// The wall clock as the capture names and the printout show it: local time broken
// down to the millisecond, in the zone of the viewer's TIME_ZONE setting when one is
// chosen, else the machine's.

#include <chrono>

#include "platform/TimeZone.h"

struct LocalTime {
  int year = 0;   // e.g. 2012
  int month = 0;  // 1-12
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The local time of `when` on the viewer's clock; all zero when the system cannot
// convert it.
LocalTime ToLocalTime(std::chrono::system_clock::time_point when);
// As above in `zone`, or the machine's local time when null.
LocalTime ToLocalTime(std::chrono::system_clock::time_point when, const platform::TimeZone* zone);

// The local time now.
LocalTime LocalTimeNow();
