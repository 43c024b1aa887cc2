// Telemetry records into the two arrays, and the lookups by playback position.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/ViewerSettings.h"
#include "telemetry/TelemetrySamples.h"

namespace {

std::string GSensorRecord(unsigned char x, unsigned char y, unsigned char z) {
  return std::string{'M', static_cast<char>(x), static_cast<char>(y), static_cast<char>(z)};
}

const std::string kFix = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";

// --- records ---

TEST(TelemetryRecords, GSensorAxisBytesAreUnsignedPlusOne) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(GSensorRecord(0x00, 0x1F, 0xFF), 400);
  ASSERT_EQ(samples.gsensorSamples.size(), 1u);
  EXPECT_EQ(samples.gsensorSamples[0].x, 1);
  EXPECT_EQ(samples.gsensorSamples[0].y, 32);
  EXPECT_EQ(samples.gsensorSamples[0].z, 256);
  EXPECT_EQ(samples.gsensorSamples[0].recordTime, 400);
  double x = -1, y = -1, z = -1;
  EXPECT_TRUE(samples.FindGValues(400, x, y, z));
  EXPECT_EQ(x, 0.03125);
  EXPECT_EQ(y, 1.0);
  EXPECT_EQ(z, 8.0);
}

TEST(TelemetryRecords, ShortGSensorRecordReadsMissingAxesAsZeroBytes) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(std::string_view("M\x40", 2), 0);
  ASSERT_EQ(samples.gsensorSamples.size(), 1u);
  EXPECT_EQ(samples.gsensorSamples[0].x, 65);
  EXPECT_EQ(samples.gsensorSamples[0].y, 1);
  EXPECT_EQ(samples.gsensorSamples[0].z, 1);
}

TEST(TelemetryRecords, GpsRecordIsKeptEvenWhenItsSentenceIsIncomplete) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(kFix, 100);
  samples.AddTelemetryRecord("GPRMC,123519,A", 200);
  ASSERT_EQ(samples.gpsSamples.size(), 2u);
  EXPECT_EQ(samples.gpsSamples[0].year, 94);
  EXPECT_EQ(samples.gpsSamples[1].recordTime, 200);
  EXPECT_EQ(samples.gpsSamples[1].valid, 1);
  EXPECT_EQ(samples.gpsSamples[1].timestamp, 0);
}

TEST(TelemetryRecords, OtherKindsAndEmptyRecordsAreIgnored) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord("", 1);
  samples.AddTelemetryRecord("X123", 1);
  samples.AddTelemetryRecord("m\x01\x02\x03", 1);
  samples.AddTelemetryRecord("gprmc,1", 1);
  EXPECT_TRUE(samples.gpsSamples.empty());
  EXPECT_TRUE(samples.gsensorSamples.empty());
}

TEST(TelemetryRecords, ClearEmptiesBothArraysAndTheirLookups) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(kFix, 100);
  samples.AddTelemetryRecord(GSensorRecord(1, 2, 3), 100);
  samples.Clear();
  EXPECT_EQ(samples.gpsSamples.capacity(), 0u);
  EXPECT_EQ(samples.gsensorSamples.capacity(), 0u);
  double speed = 0;
  EXPECT_FALSE(samples.FindSpeed(0, speed, false));
  samples.AddTelemetryRecord(GSensorRecord(9, 9, 9), 50);
  double x, y, z;
  EXPECT_TRUE(samples.FindGValues(0, x, y, z));
  EXPECT_EQ(x, 10 * 0.03125);
}

// --- lookups ---

TEST(TelemetryLookup, PositionBeforeTheFirstSampleFindsTheFirst) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(kFix, 1000);
  samples.AddTelemetryRecord("GPRMC,123520,A,4807.038,N,01131.000,E,044.8,084.4,230394", 2000);
  double speed = 0;
  EXPECT_TRUE(samples.FindSpeed(0, speed, false));
  EXPECT_EQ(speed, static_cast<double>(41.4848f));
  EXPECT_TRUE(samples.FindSpeed(1001, speed, false));
  EXPECT_EQ(speed, static_cast<double>(static_cast<float>(44.8 * 1.852)));
}

TEST(TelemetryLookup, PositionAfterTheLastSampleFindsNothingAndZeroesOutputs) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(kFix, 1000);
  samples.AddTelemetryRecord(GSensorRecord(5, 5, 5), 1000);
  double speed = 7, x = 7, y = 7, z = 7;
  float lat = 7, lon = 7;
  EXPECT_FALSE(samples.FindSpeed(1001, speed, false));
  EXPECT_FALSE(samples.FindPosition(1001, lat, lon));
  EXPECT_FALSE(samples.FindGValues(1001, x, y, z));
  EXPECT_EQ(speed, 0.0);
  EXPECT_EQ(lat, 0.0f);
  EXPECT_EQ(lon, 0.0f);
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(z, 0.0);
}

TEST(TelemetryLookup, PositionIsConvertedToDecimalDegrees) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(kFix, 500);
  float lat = 0, lon = 0;
  EXPECT_TRUE(samples.FindPosition(500, lat, lon));
  EXPECT_EQ(lat, static_cast<float>(48.0 + (48.07038 - 48.0) * 100 / 60));
  EXPECT_FLOAT_EQ(lat, 48.1173f);
  EXPECT_FLOAT_EQ(lon, 11.516667f);
  samples.AddTelemetryRecord("GPRMC,123519,A,4807.038,S,01131.000,W,022.4,084.4,230394", 600);
  EXPECT_TRUE(samples.FindPosition(600, lat, lon));
  EXPECT_FLOAT_EQ(lat, -48.1173f);
  EXPECT_FLOAT_EQ(lon, -11.516667f);
}

TEST(TelemetryLookup, InvalidFixGivesNoSpeedOrPosition) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord("GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394", 100);
  samples.AddTelemetryRecord(kFix, 200);
  double speed = 1;
  float lat = 1, lon = 1;
  EXPECT_FALSE(samples.FindSpeed(50, speed, false));
  EXPECT_FALSE(samples.FindPosition(100, lat, lon));
  EXPECT_EQ(speed, 0.0);
  EXPECT_EQ(lat, 0.0f);
  // The invalid fix is found, not skipped over.
  EXPECT_TRUE(samples.FindSpeed(101, speed, false));
}

TEST(TelemetryLookup, SpeedInMilesPerHour) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(kFix, 100);
  double speed = 0;
  EXPECT_TRUE(samples.FindSpeed(100, speed, true));
  EXPECT_EQ(speed, static_cast<double>(41.4848f) * 0.621371);
}

TEST(TelemetryLookup, SpeedFollowsTheViewersSpeedSetting) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(kFix, 100);
  const bool saved = TheViewerSettings().speedInMiles;
  double speed = 0;
  TheViewerSettings().speedInMiles = true;
  EXPECT_TRUE(samples.FindSpeed(100, speed));
  EXPECT_EQ(speed, static_cast<double>(41.4848f) * 0.621371);
  TheViewerSettings().speedInMiles = false;
  EXPECT_TRUE(samples.FindSpeed(100, speed));
  EXPECT_EQ(speed, static_cast<double>(41.4848f));
  TheViewerSettings().speedInMiles = saved;
}

TEST(TelemetryLookup, SamplesPushedDirectlyAreFoundToo) {
  TelemetrySamples samples;
  CGSensorData reading;
  reading.x = 64;
  reading.recordTime = 300;
  samples.gsensorSamples.push_back(reading);
  double x, y, z;
  EXPECT_TRUE(samples.FindGValues(250, x, y, z));
  EXPECT_EQ(x, 2.0);
}

// The lookups must give exactly what a scan from the first sample gives.
int LinearFirstAtOrAfter(const std::vector<CGSensorData>& samples, int32_t position) {
  for (std::size_t i = 0; i < samples.size(); ++i)
    if (samples[i].recordTime >= position) return static_cast<int>(i);
  return -1;
}

TEST(TelemetryLookup, MatchesTheLinearScanOnRandomPartlyUnsortedTimes) {
  std::mt19937 random(20121215);
  for (int round = 0; round < 40; ++round) {
    TelemetrySamples samples;
    const int count = static_cast<int>(random() % 300);
    int32_t time = static_cast<int32_t>(random() % 100) - 50;
    for (int i = 0; i < count; ++i) {
      // Mostly ascending; now and then a damaged record jumps back or far ahead.
      const auto kind = random() % 10;
      if (kind == 0)
        time -= static_cast<int32_t>(random() % 2000);
      else if (kind == 1)
        time += static_cast<int32_t>(random() % 5000);
      else
        time += static_cast<int32_t>(random() % 3);  // repeated times too
      const unsigned char axis = static_cast<unsigned char>(i & 0xFF);
      samples.AddTelemetryRecord(GSensorRecord(axis, 0, 0), time);
      // Lookups between appends must see the appended samples.
      if (i % 17 == 0) {
        double x, y, z;
        const int32_t probe = time - static_cast<int32_t>(random() % 100);
        const int expect = LinearFirstAtOrAfter(samples.gsensorSamples, probe);
        ASSERT_EQ(samples.FindGValues(probe, x, y, z), expect >= 0);
      }
    }
    for (int probe = -3000; probe < time + 3000; probe += 1 + static_cast<int>(random() % 40)) {
      double x = 0, y = 0, z = 0;
      const int expect = LinearFirstAtOrAfter(samples.gsensorSamples, probe);
      const bool found = samples.FindGValues(probe, x, y, z);
      ASSERT_EQ(found, expect >= 0) << "round " << round << " position " << probe;
      if (found) {
        ASSERT_EQ(x, samples.gsensorSamples[static_cast<std::size_t>(expect)].x * 0.03125)
            << "round " << round << " position " << probe;
      }
    }
  }
}

TEST(TelemetryLookup, ExtremePositionsDoNotOverflow) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(GSensorRecord(1, 1, 1), INT32_MIN);
  samples.AddTelemetryRecord(GSensorRecord(2, 2, 2), INT32_MAX);
  double x, y, z;
  EXPECT_TRUE(samples.FindGValues(INT32_MIN, x, y, z));
  EXPECT_EQ(x, 2 * 0.03125);
  EXPECT_TRUE(samples.FindGValues(INT32_MAX, x, y, z));
  EXPECT_EQ(x, 3 * 0.03125);
}

}  // namespace
