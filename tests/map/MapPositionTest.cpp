// The position texts the page receives for a fix, and the route of a recording.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "map/MapPosition.h"
#include "telemetry/TelemetrySamples.h"

namespace {

using mapview::MapPoint;

CGPSData Fix(double latitude, double longitude, bool valid, int32_t recordTime = 0) {
  CGPSData fix;
  fix.latitude = latitude;
  fix.longitude = longitude;
  fix.valid = valid ? 1 : 0;
  fix.recordTime = recordTime;
  return fix;
}

std::string TextFor(const CGPSData& fix) {
  MapPoint point;
  if (!mapview::PositionOfFix(fix, point)) return "";
  return mapview::PositionChangeText(point);
}

TEST(PositionText, NorthEastFixGivesTheDocumentedCall) {
  EXPECT_EQ(TextFor(Fix(3731.5, 12700.0, true)), "javascript:positionChange('37.525000', '127.000000')");
}

TEST(PositionText, SouthAndWestGiveLeadingMinusSigns) {
  EXPECT_EQ(TextFor(Fix(-3731.5, -12700.0, true)), "javascript:positionChange('-37.525000', '-127.000000')");
  EXPECT_EQ(TextFor(Fix(-4807.038, 1131.0, true)), "javascript:positionChange('-48.117300', '11.516667')");
}

TEST(PositionText, DegreesAreConvertedInDoublePrecision) {
  // Single precision would give 37.525002 here.
  MapPoint point;
  ASSERT_TRUE(mapview::PositionOfFix(Fix(3731.5, 12700.0, true), point));
  EXPECT_EQ(point.latitude, 37 + (37.315 - 37) * 100 / 60);
  EXPECT_EQ(mapview::FixedSixDecimals(point.latitude), "37.525000");
  EXPECT_EQ(mapview::NmeaToDegrees(-12700.0), -127.0);
  EXPECT_EQ(mapview::NmeaToDegrees(0.0), 0.0);
}

TEST(PositionText, FixThatIsNotValidGivesNothing) {
  MapPoint point{1, 2};
  EXPECT_FALSE(mapview::PositionOfFix(Fix(3731.5, 12700.0, false), point));
  EXPECT_EQ(point, (MapPoint{1, 2}));
}

TEST(PositionText, ZeroPositionBeforeAnyFix) {
  EXPECT_EQ(mapview::PositionChangeText({0, 0}), "javascript:positionChange('0.000000', '0.000000')");
}

TEST(PositionText, DecimalPointIgnoresTheProcessLocale) {
  const std::string old = std::setlocale(LC_NUMERIC, nullptr);
  // Any installed locale with a decimal comma; the test still checks the C locale
  // when none is installed.
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name)) break;
  }
  EXPECT_EQ(mapview::FixedSixDecimals(127.5), "127.500000");
  EXPECT_EQ(mapview::FixedSixDecimals(-0.0000004), "-0.000000");
  std::setlocale(LC_NUMERIC, old.c_str());
}

TEST(PositionText, LookupGivesTheFirstFixAtOrAfterThePosition) {
  TelemetrySamples samples;
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 1000));
  samples.AddGpsSample(Fix(3732.0, 12701.0, false, 2000));
  samples.AddGpsSample(Fix(3733.0, 12702.0, true, 3000));
  ASSERT_NE(samples.FindGpsSample(0), nullptr);
  EXPECT_EQ(TextFor(*samples.FindGpsSample(0)), "javascript:positionChange('37.525000', '127.000000')");
  EXPECT_EQ(TextFor(*samples.FindGpsSample(1001)), "");  // status V: nothing to send
  EXPECT_EQ(TextFor(*samples.FindGpsSample(2500)), "javascript:positionChange('37.550000', '127.033333')");
  EXPECT_EQ(samples.FindGpsSample(3001), nullptr);
}

TEST(Route, ValidFixesInOrderWithoutRepeatsOrPointsOffTheGlobe) {
  const std::vector<CGPSData> fixes = {
      Fix(3731.5, 12700.0, false),  // still searching
      Fix(3731.5, 12700.0, true),
      Fix(3731.5, 12700.0, true),  // parked: same fix again
      Fix(3732.0, 12700.0, true),
      Fix(9500.0, 12700.0, true),  // latitude 95: damaged
      Fix(3732.0, 18500.0, true),  // longitude 185: damaged
      Fix(std::numeric_limits<double>::quiet_NaN(), 12700.0, true),
      Fix(3731.5, 12700.0, true),  // back where it started: kept, not next to its twin
  };
  const std::vector<MapPoint> route = mapview::RouteOfFixes(fixes);
  ASSERT_EQ(route.size(), 3u);
  EXPECT_EQ(mapview::FixedSixDecimals(route[0].latitude), "37.525000");
  EXPECT_EQ(mapview::FixedSixDecimals(route[1].latitude), "37.533333");
  EXPECT_EQ(route[2], route[0]);
}

TEST(Route, TrackSourceIsTheRouteThenTheTripAsFlatListsAndEmptyClears) {
  const std::vector<MapPoint> route = {{37.525, 127.0}, {-1.5, -0.25}};
  EXPECT_EQ(mapview::TrackChangeSource(route),
            "if(typeof trackChange==='function')trackChange([37.525000,127.000000,-1.500000,-0.250000],[])");
  EXPECT_EQ(mapview::TrackChangeSource({}), "if(typeof trackChange==='function')trackChange([],[])");
  // A trip is its recordings' routes one after another, each whole.
  const std::vector<MapPoint> trip = mapview::JoinRoutes({{{1, 2}}, route, {}, {{-1.5, -0.25}}});
  EXPECT_EQ(trip, (std::vector<MapPoint>{{1, 2}, {37.525, 127.0}, {-1.5, -0.25}, {-1.5, -0.25}}));
  EXPECT_EQ(mapview::TrackChangeSource({{1, 2}}, trip),
            "if(typeof trackChange==='function')trackChange([1.000000,2.000000],[1.000000,2.000000,37.525000,"
            "127.000000,-1.500000,-0.250000,-1.500000,-0.250000])");
}

}  // namespace
