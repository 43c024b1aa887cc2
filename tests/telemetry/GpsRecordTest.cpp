// GPS fixes from RMC sentence text: fields, the +9 hour clock, units and timestamps.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

#include "telemetry/TelemetrySamples.h"
#include "tests/support/ScopedEnv.h"

namespace {

// Timestamps are local time; a fixed zone nine hours east of UTC, without summer time,
// makes them the same on every machine.
class GpsRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    zone_.emplace("TZ", "KST-9");
    ::tzset();
  }
  void TearDown() override {
    zone_.reset();
    ::tzset();
  }

 private:
  std::optional<testsupport::ScopedEnv> zone_;
};

constexpr const char* kExample = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";

TEST_F(GpsRecord, WorkedRmcExampleGivesEveryField) {
  CGPSData fix;
  EXPECT_TRUE(ParseGpsRecord(fix, 1500, kExample));
  EXPECT_EQ(fix.recordTime, 1500);
  EXPECT_EQ(fix.hour, 21);
  EXPECT_EQ(fix.minute, 35);
  EXPECT_EQ(fix.second, 19);
  EXPECT_EQ(fix.valid, 1);
  EXPECT_EQ(fix.latitude, 4807.038);
  EXPECT_EQ(fix.longitude, 1131.0);
  EXPECT_EQ(fix.speed, static_cast<double>(static_cast<float>(22.4 * 1.852)));
  EXPECT_EQ(fix.speed, static_cast<double>(41.4848f));
  EXPECT_EQ(fix.course, static_cast<double>(84.4f));
  EXPECT_EQ(fix.day, 23);
  EXPECT_EQ(fix.month, 3);
  EXPECT_EQ(fix.year, 94);
  // 1994-03-23 21:35:19 in UTC+9.
  EXPECT_EQ(fix.timestamp, 764426119);
}

TEST_F(GpsRecord, SouthAndWestAreNegative) {
  CGPSData fix;
  EXPECT_TRUE(ParseGpsRecord(fix, 0, "GPRMC,123519,A,4807.038,S,01131.000,W,022.4,084.4,230394,003.1,W"));
  EXPECT_EQ(fix.latitude, -4807.038);
  EXPECT_EQ(fix.longitude, -1131.0);
}

TEST_F(GpsRecord, AnythingButNAndEIsTakenAsSouthAndWest) {
  CGPSData fix;
  EXPECT_TRUE(ParseGpsRecord(fix, 0, "GPRMC,123519,A,4807.038,n,01131.000,,022.4,084.4,230394"));
  EXPECT_EQ(fix.latitude, -4807.038);
  EXPECT_EQ(fix.longitude, -1131.0);
}

TEST_F(GpsRecord, SpeedOfOneKnotOrLessIsZero) {
  CGPSData fix;
  ParseGpsRecord(fix, 0, "GPRMC,123519,A,4807.038,N,01131.000,E,1.0,084.4,230394");
  EXPECT_EQ(fix.speed, 0.0);
  ParseGpsRecord(fix, 0, "GPRMC,123519,A,4807.038,N,01131.000,E,0.5,084.4,230394");
  EXPECT_EQ(fix.speed, 0.0);
  ParseGpsRecord(fix, 0, "GPRMC,123519,A,4807.038,N,01131.000,E,1.5,084.4,230394");
  EXPECT_EQ(fix.speed, static_cast<double>(static_cast<float>(1.5 * 1.852)));
}

TEST_F(GpsRecord, StatusOtherThanAIsNotValid) {
  CGPSData fix;
  EXPECT_TRUE(ParseGpsRecord(fix, 0, "GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394"));
  EXPECT_EQ(fix.valid, 0);
}

TEST_F(GpsRecord, HourPast23CarriesTheTimestampIntoTheNextDay) {
  CGPSData fix;
  EXPECT_TRUE(ParseGpsRecord(fix, 0, "GPRMC,200000,A,3733.000,N,12658.000,E,10.0,0.0,150312"));
  EXPECT_EQ(fix.hour, 29);
  EXPECT_EQ(fix.day, 15);
  // 2012-03-16 05:00:00 in UTC+9.
  EXPECT_EQ(fix.timestamp, 1331841600);
}

TEST_F(GpsRecord, TwoDigitYearsBelow70AreThisCentury) {
  CGPSData fix;
  ParseGpsRecord(fix, 0, "GPRMC,000000,A,0,N,0,E,0,0,010169");
  EXPECT_EQ(fix.year, 69);
  // 2069-01-01 09:00 in UTC+9 = 2069-01-01 00:00 UTC.
  EXPECT_EQ(fix.timestamp, 3124224000);
  ParseGpsRecord(fix, 0, "GPRMC,000000,A,0,N,0,E,0,0,010170");
  EXPECT_EQ(fix.timestamp, 0);  // 1970-01-01 09:00 in UTC+9
}

TEST_F(GpsRecord, LeadingCommasAreSkippedAndEmptyFieldsKeepTheirPlaces) {
  CGPSData fix;
  EXPECT_TRUE(ParseGpsRecord(fix, 0, ",,GPRMC,123519,A,,N,01131.000,E,,,230394"));
  EXPECT_EQ(fix.latitude, 0.0);
  EXPECT_EQ(fix.longitude, 1131.0);
  EXPECT_EQ(fix.speed, 0.0);
  EXPECT_EQ(fix.course, 0.0);
  EXPECT_EQ(fix.day, 23);
}

TEST_F(GpsRecord, MissingFieldsStopTheParseWithZeroesAndNoTimestamp) {
  CGPSData fix;
  EXPECT_FALSE(ParseGpsRecord(fix, 700, "GPRMC,123519,A,4807.038,N"));
  EXPECT_EQ(fix.recordTime, 700);
  EXPECT_EQ(fix.hour, 21);
  EXPECT_EQ(fix.valid, 1);
  EXPECT_EQ(fix.latitude, 4807.038);
  EXPECT_EQ(fix.longitude, 0.0);
  EXPECT_EQ(fix.day, 0);
  EXPECT_EQ(fix.timestamp, 0);

  CGPSData eight;
  EXPECT_FALSE(ParseGpsRecord(eight, 0, "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4"));
  EXPECT_EQ(eight.course, static_cast<double>(84.4f));
  EXPECT_EQ(eight.timestamp, 0);
}

TEST_F(GpsRecord, NonNumericPiecesReadAsZero) {
  CGPSData fix;
  EXPECT_TRUE(ParseGpsRecord(fix, 0, "GPRMC,ab1x,A,north,N,east,E,fast,turn,xx0394"));
  EXPECT_EQ(fix.hour, 9);  // nothing plus the nine hours
  EXPECT_EQ(fix.minute, 1);
  EXPECT_EQ(fix.second, 0);
  EXPECT_EQ(fix.latitude, 0.0);
  EXPECT_EQ(fix.speed, 0.0);
  EXPECT_EQ(fix.day, 0);
  EXPECT_EQ(fix.month, 3);
  EXPECT_EQ(fix.year, 94);
}

TEST_F(GpsRecord, NumbersOutsideSinglePrecisionAndNotANumberStayFinite) {
  CGPSData fix;
  EXPECT_TRUE(ParseGpsRecord(fix, 0, "GPRMC,123519,A,nan,N,inf,E,1e300,-1e300,230394"));
  EXPECT_EQ(fix.latitude, 0.0);
  EXPECT_EQ(fix.longitude, 0.0);
  EXPECT_EQ(fix.speed, static_cast<double>(std::numeric_limits<float>::max()));
  EXPECT_EQ(fix.course, -static_cast<double>(std::numeric_limits<float>::max()));
}

TEST_F(GpsRecord, TextEndsAtItsFirstNulAsInTheRecordBuffer) {
  const std::string record = std::string(kExample, 40) + std::string(1, '\0') + ",1,2,3,4,5,6";
  CGPSData fix;
  EXPECT_FALSE(ParseGpsRecord(fix, 0, record));
  EXPECT_EQ(fix.day, 0);
}

TEST_F(GpsRecord, OverLongRecordIsCutAt1023Characters) {
  // The date field starts past character 1023 and is lost with the rest.
  std::string record = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,";
  record += std::string(1023 - record.size(), '9');
  record += ",230394";
  CGPSData fix;
  EXPECT_FALSE(ParseGpsRecord(fix, 0, record));
  EXPECT_EQ(fix.day, 0);

  std::string huge(100000, ',');
  huge += kExample;
  EXPECT_FALSE(ParseGpsRecord(fix, 0, huge));
}

TEST_F(GpsRecord, BinaryGarbageNeverCrashes) {
  std::string garbage;
  for (int i = 0; i < 2048; ++i) garbage.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
  CGPSData fix;
  ParseGpsRecord(fix, 3, garbage);
  EXPECT_EQ(fix.recordTime, 3);
  ParseGpsRecord(fix, 3, "");
  ParseGpsRecord(fix, 3, ",,,,,,,,,,,,,,,,,,,,");
}

}  // namespace
