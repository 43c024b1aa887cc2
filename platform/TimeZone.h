#pragma once
// Time zones by their IANA names (Europe/Berlin, Asia/Seoul), read from the system's
// zone files (TZif, /usr/share/zoneinfo or $TZDIR): the offset from UTC at any moment,
// daylight saving included. The standard library of this compiler has no zone
// database, and the C library's localtime works on one process-wide zone only.
//
// A TimeZone never changes once made; any thread may use it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A wall-clock time, normalised (month 1-12, day 1-31, hour 0-23).
struct CivilTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Seconds since 1970 of a wall-clock time read as UTC; fields out of range carry over
// (hour 25 is 01:00 of the next day), as timegm does.
std::int64_t SecondsFromCivil(int year, int month, int day, int hour, int minute, int second);
CivilTime CivilFromSeconds(std::int64_t seconds);

class TimeZone {
 public:
  // A zone without daylight saving, `offsetSeconds` east of UTC.
  static TimeZone Fixed(std::string name, std::int32_t offsetSeconds);
  // The zone of `name` from the zone files. Names are the files' own paths below the
  // zone folder; anything else (a path that leads out of it, a file that is no zone
  // file, a damaged one) gives nothing. "UTC" and "Etc/GMT+N" / "Etc/GMT-N" work
  // without the zone files too.
  static std::optional<TimeZone> Load(std::string_view name);
  // As Load, from the bytes of a zone file (tests, fuzzing).
  static std::optional<TimeZone> FromTzif(std::string name, std::string_view bytes);

  const std::string& Name() const { return name_; }
  // Seconds east of UTC at the UTC moment `utcSeconds`.
  std::int32_t OffsetAt(std::int64_t utcSeconds) const;
  // True while daylight saving is in force at `utcSeconds`.
  bool DaylightAt(std::int64_t utcSeconds) const;
  CivilTime ToLocal(std::int64_t utcSeconds) const;

 private:
  struct LocalType {
    std::int32_t offset = 0;  // seconds east of UTC
    bool daylight = false;
  };
  // The rule of a zone file's footer (a POSIX TZ text), for moments after its last
  // transition: standard time, and daylight saving between two dates of each year.
  struct DateRule {
    char kind = 'M';  // 'M' month.week.day, 'J' day 1-365 without 29 Feb, 'N' day 0-365
    int month = 0, week = 0, weekday = 0, day = 0;
    std::int32_t time = 7200;  // seconds after local midnight
  };
  struct Footer {
    bool present = false;
    LocalType standard;
    bool hasDaylight = false;
    LocalType daylight;
    DateRule start, end;
  };
  static bool ParseFooter(std::string_view text, Footer& footer);
  static std::int64_t RuleDay(const DateRule& rule, int year);
  LocalType TypeAt(std::int64_t utcSeconds) const;
  static LocalType FooterTypeAt(const Footer& footer, std::int64_t utcSeconds);

  std::string name_;
  std::vector<std::int64_t> transitions_;  // UTC seconds, ascending
  std::vector<std::uint8_t> transitionType_;
  std::vector<LocalType> types_;
  Footer footer_;
};

// The zone names the system offers (from its zone tables), sorted, with "UTC" among
// them; empty when the system has no zone files.
std::vector<std::string> AvailableTimeZones();

}  // namespace platform
