#pragma once
// The viewer's clock: the time zone GPS times are shown in (the time text), and the
// moments it stamps (captures' names, the report's header: tools/capture/LocalTime.h).
//
// The fixes keep the camera's own clock (UTC + 9 hours, CGPSData::hour); the zone is
// applied when a time is shown. The default, no zone chosen, shows that camera clock
// for GPS times and the machine's local time for "now", as the viewer always did.
// With a zone chosen (an IANA name, TIME_ZONE in option.ini), both follow the zone,
// daylight saving included.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/TimeZone.h"
#include "telemetry/CGPSData.h"

namespace telemetry {

// The hours the camera's clock runs ahead of UTC.
inline constexpr int kCameraClockOffsetHours = 9;

// The zone named `name`; null for the default (an empty name) and for a name the
// system does not know (the default clock then stays). Zones are kept once loaded.
std::shared_ptr<const platform::TimeZone> ZoneNamed(const std::string& name);
// The zone of the viewer's TIME_ZONE setting.
std::shared_ptr<const platform::TimeZone> ViewerZone();

// The UTC moment of a valid fix that carries a date; nothing otherwise.
std::optional<std::int64_t> FixUtcSeconds(const CGPSData& fix);
// A valid fix's wall-clock time: in `zone`, or on the camera's clock when null.
std::optional<platform::CivilTime> FixClock(const CGPSData& fix, const platform::TimeZone* zone);
// "YYYY-MM-DD HH:MM:SS".
std::string ClockText(const platform::CivilTime& time);

}  // namespace telemetry
