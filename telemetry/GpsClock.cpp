#include "telemetry/GpsClock.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "settings/ViewerSettings.h"

namespace telemetry {

std::shared_ptr<const platform::TimeZone> ZoneNamed(const std::string& name) {
  if (name.empty()) return nullptr;
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const platform::TimeZone>> loaded;
  std::lock_guard<std::mutex> lock(mutex);
  const auto found = loaded.find(name);
  if (found != loaded.end()) return found->second;
  std::shared_ptr<const platform::TimeZone> zone;
  if (std::optional<platform::TimeZone> made = platform::TimeZone::Load(name))
    zone = std::make_shared<const platform::TimeZone>(std::move(*made));
  // Unknown names are remembered too, so a bad setting is not looked up on every tick.
  loaded.emplace(name, zone);
  return zone;
}

std::shared_ptr<const platform::TimeZone> ViewerZone() { return ZoneNamed(TheViewerSettings().timeZone); }

std::optional<std::int64_t> FixUtcSeconds(const CGPSData& fix) {
  if (fix.valid == 0 || fix.month < 1 || fix.month > 12 || fix.day < 1 || fix.day > 31) return std::nullopt;
  // Two-digit years as the fix's timestamp reads them: 00-69 are 2000-2069.
  const int year = ((fix.year + 30) % 100 + 100) % 100 + 1970;
  return platform::SecondsFromCivil(year, fix.month, fix.day, fix.hour - kCameraClockOffsetHours, fix.minute,
                                    fix.second);
}

std::optional<platform::CivilTime> FixClock(const CGPSData& fix, const platform::TimeZone* zone) {
  const std::optional<std::int64_t> utc = FixUtcSeconds(fix);
  if (!utc) return std::nullopt;
  if (!zone) return platform::CivilFromSeconds(*utc + kCameraClockOffsetHours * 3600);
  return zone->ToLocal(*utc);
}

std::string ClockText(const platform::CivilTime& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

}  // namespace telemetry
