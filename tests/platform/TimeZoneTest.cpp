#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/TimeZone.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

using platform::CivilTime;
using platform::SecondsFromCivil;
using platform::TimeZone;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::WriteBytes;

std::string Text(const CivilTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

std::int64_t Utc(int y, int mo, int d, int h, int mi, int s) { return SecondsFromCivil(y, mo, d, h, mi, s); }

// A version 2 zone file with the given transitions (UTC seconds, type index), types
// (offset, daylight) and footer, written as zic writes them.
std::string Tzif(const std::vector<std::pair<std::int64_t, int>>& transitions,
                 const std::vector<std::pair<std::int32_t, bool>>& types, const std::string& footer) {
  const auto be = [](std::string& out, std::uint64_t v, int width) {
    for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  };
  const auto block = [&](int width) {
    std::string out = "TZif2";
    out.append(15, '\0');
    for (std::size_t count :
         {std::size_t{0}, std::size_t{0}, std::size_t{0}, transitions.size(), types.size(), std::size_t{4}})
      be(out, count, 4);
    for (const auto& t : transitions) be(out, static_cast<std::uint64_t>(t.first), width);
    for (const auto& t : transitions) out.push_back(static_cast<char>(t.second));
    for (const auto& t : types) {
      be(out, static_cast<std::uint32_t>(t.first), 4);
      out.push_back(t.second ? 1 : 0);
      out.push_back(0);
    }
    out.append("ZZZ", 4);
    return out;
  };
  return block(4) + block(8) + "\n" + footer + "\n";
}

TEST(TimeZone, CivilArithmeticCarriesLikeTimegm) {
  EXPECT_EQ(0, SecondsFromCivil(1970, 1, 1, 0, 0, 0));
  EXPECT_EQ(951825600, SecondsFromCivil(2000, 2, 29, 12, 0, 0));
  // Hour 29 of 23 March is 05:00 on the 24th; month 13 is January of the next year.
  EXPECT_EQ("1994-03-24 05:35:19", Text(platform::CivilFromSeconds(SecondsFromCivil(1994, 3, 23, 29, 35, 19))));
  EXPECT_EQ("2025-01-01 00:00:00", Text(platform::CivilFromSeconds(SecondsFromCivil(2024, 13, 1, 0, 0, 0))));
  EXPECT_EQ("1969-12-31 23:59:59", Text(platform::CivilFromSeconds(-1)));
}

TEST(TimeZone, BerlinOnBothSidesOfEachChange) {
  const std::optional<TimeZone> berlin = TimeZone::Load("Europe/Berlin");
  ASSERT_TRUE(berlin) << "tzdata is not installed";
  // 31 March 2024: at 01:00 UTC the clocks go from 02:00 CET to 03:00 CEST.
  const std::int64_t spring = Utc(2024, 3, 31, 1, 0, 0);
  EXPECT_EQ("2024-03-31 01:59:59", Text(berlin->ToLocal(spring - 1)));
  EXPECT_EQ("2024-03-31 03:00:00", Text(berlin->ToLocal(spring)));
  EXPECT_FALSE(berlin->DaylightAt(spring - 1));
  EXPECT_TRUE(berlin->DaylightAt(spring));
  // 27 October 2024: at 01:00 UTC back from 03:00 CEST to 02:00 CET.
  const std::int64_t autumn = Utc(2024, 10, 27, 1, 0, 0);
  EXPECT_EQ("2024-10-27 02:59:59", Text(berlin->ToLocal(autumn - 1)));
  EXPECT_EQ("2024-10-27 02:00:00", Text(berlin->ToLocal(autumn)));
  EXPECT_EQ(7200, berlin->OffsetAt(autumn - 1));
  EXPECT_EQ(3600, berlin->OffsetAt(autumn));
  // Past the file's table the footer's rule goes on: the same dates in 2100.
  EXPECT_EQ(3600, berlin->OffsetAt(Utc(2100, 3, 28, 0, 59, 59)));
  EXPECT_EQ(7200, berlin->OffsetAt(Utc(2100, 3, 28, 1, 0, 0)));
  EXPECT_EQ(3600, berlin->OffsetAt(Utc(2100, 10, 31, 1, 0, 0)));
}

TEST(TimeZone, SouthernSummerHalfHoursAndWesternZones) {
  const std::optional<TimeZone> sydney = TimeZone::Load("Australia/Sydney");
  const std::optional<TimeZone> kolkata = TimeZone::Load("Asia/Kolkata");
  const std::optional<TimeZone> newYork = TimeZone::Load("America/New_York");
  ASSERT_TRUE(sydney && kolkata && newYork);
  // Daylight saving over the new year: 6 October 2024 02:00 AEST becomes 03:00 AEDT.
  const std::int64_t start = Utc(2024, 10, 5, 16, 0, 0);
  EXPECT_EQ("2024-10-06 01:59:59", Text(sydney->ToLocal(start - 1)));
  EXPECT_EQ("2024-10-06 03:00:00", Text(sydney->ToLocal(start)));
  EXPECT_TRUE(sydney->DaylightAt(Utc(2025, 1, 1, 0, 0, 0)));
  EXPECT_EQ("2024-12-31 05:30:00", Text(kolkata->ToLocal(Utc(2024, 12, 31, 0, 0, 0))));
  EXPECT_EQ("2024-12-30 19:00:00", Text(newYork->ToLocal(Utc(2024, 12, 31, 0, 0, 0))));
}

TEST(TimeZone, FooterRulesOfEveryForm) {
  // No transitions at all: the footer decides everything.
  std::optional<TimeZone> zone =
      TimeZone::FromTzif("Test/Rule", Tzif({}, {{3600, false}}, "CET-1CEST,M3.5.0,M10.5.0/3"));
  ASSERT_TRUE(zone);
  EXPECT_EQ(3600, zone->OffsetAt(Utc(2031, 3, 30, 0, 59, 59)));
  EXPECT_EQ(7200, zone->OffsetAt(Utc(2031, 3, 30, 1, 0, 0)));
  // Julian days (J60 is 1 March in every year) and a zero-based day (59 is 29 February
  // in a leap year), with angle-bracket names, minutes and times after midnight.
  zone = TimeZone::FromTzif("Test/Julian", Tzif({}, {{0, false}}, "<-0230>2:30<-0130>,J60/0,300/24"));
  ASSERT_TRUE(zone);
  EXPECT_EQ(-9000, zone->OffsetAt(Utc(2028, 2, 29, 12, 0, 0)));
  EXPECT_EQ(-5400, zone->OffsetAt(Utc(2028, 3, 1, 2, 30, 0)));
  EXPECT_EQ(-9000, zone->OffsetAt(Utc(2028, 3, 1, 2, 29, 59)));
  // Day 300 of 2028 counts from 0: 27 October, ending at 24:00 daylight time.
  EXPECT_EQ(-5400, zone->OffsetAt(Utc(2028, 10, 28, 1, 29, 59)));
  EXPECT_EQ(-9000, zone->OffsetAt(Utc(2028, 10, 28, 1, 30, 0)));
  // A transition table before the footer: the table first, then the rule.
  zone = TimeZone::FromTzif("Test/Table", Tzif({{0, 1}, {1000000, 0}}, {{3600, false}, {-3600, true}}, "<+02>-2"));
  ASSERT_TRUE(zone);
  EXPECT_EQ(3600, zone->OffsetAt(-5));
  EXPECT_EQ(-3600, zone->OffsetAt(999999));
  EXPECT_TRUE(zone->DaylightAt(999999));
  EXPECT_EQ(7200, zone->OffsetAt(1000000));
}

TEST(TimeZone, DamagedAndForeignFilesAreRefused) {
  const std::string good = Tzif({{0, 1}, {1000000, 0}}, {{3600, false}, {-3600, true}}, "<+02>-2");
  ASSERT_TRUE(TimeZone::FromTzif("x", good));
  // Every cut of the file's data blocks is refused, never read past its end.
  const std::size_t footer = std::string("\n<+02>-2\n").size();
  for (std::size_t size = 0; size < good.size() - footer; ++size)
    EXPECT_FALSE(TimeZone::FromTzif("x", good.substr(0, size))) << size;
  // The 64-bit block's first type index (after the 70 bytes of the 32-bit part, its
  // header and two 8-byte times) names a type that is not there.
  std::string badIndex = good;
  badIndex[70 + 44 + 16] = 9;
  EXPECT_FALSE(TimeZone::FromTzif("x", badIndex));
  EXPECT_FALSE(TimeZone::FromTzif("x", "not a zone file at all, but long enough to have a header in it"));
  // A footer that is no rule leaves the table alone.
  const std::optional<TimeZone> noRule = TimeZone::FromTzif("x", Tzif({{0, 0}}, {{3600, false}}, "M3.5.0,garbage"));
  ASSERT_TRUE(noRule);
  EXPECT_EQ(3600, noRule->OffsetAt(Utc(2040, 7, 1, 0, 0, 0)));
}

TEST(TimeZone, NamesThatLeaveTheZoneFolderAreRefused) {
  const TempFolder dir;
  std::filesystem::create_directories(dir.Path() / "Good");
  WriteBytes(dir.Path() / "Good" / "Zone", Tzif({}, {{7200, false}}, "<+02>-2"));
  WriteBytes(dir.Path() / "secret", Tzif({}, {{7200, false}}, "<+02>-2"));
  const ScopedEnv tzdir("TZDIR", (dir.Path() / "Good").c_str());
  EXPECT_TRUE(TimeZone::Load("Zone"));
  for (const char* name : {"../secret", "/etc/passwd", "Zone/../Zone", "", "Zone/", "a b", "Zone\n"})
    EXPECT_FALSE(TimeZone::Load(name)) << name;
  // Without zone files, UTC and the Etc/GMT zones still work (POSIX signs: GMT-9 is
  // nine hours east).
  const ScopedEnv none("TZDIR", (dir.Path() / "none").c_str());
  EXPECT_EQ(0, TimeZone::Load("UTC")->OffsetAt(0));
  EXPECT_EQ(9 * 3600, TimeZone::Load("Etc/GMT-9")->OffsetAt(0));
  EXPECT_EQ(-5 * 3600, TimeZone::Load("Etc/GMT+5")->OffsetAt(0));
  EXPECT_FALSE(TimeZone::Load("Europe/Berlin"));
  EXPECT_TRUE(platform::AvailableTimeZones().empty());
}

TEST(TimeZone, TheSystemOffersItsZonesSorted) {
  const std::vector<std::string> zones = platform::AvailableTimeZones();
  EXPECT_TRUE(std::is_sorted(zones.begin(), zones.end()));
  for (const char* name : {"UTC", "Europe/Berlin", "Asia/Seoul", "America/New_York"})
    EXPECT_NE(zones.end(), std::find(zones.begin(), zones.end(), name)) << name;
}

}  // namespace
