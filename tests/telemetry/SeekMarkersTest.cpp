// The seek bar's markers: hard G moments and an event recording's trigger, found from
// the readings, and the jumps to the next and previous one.

#include <gtest/gtest.h>

#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/SeekMarkers.h"
#include "telemetry/TelemetrySamples.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/TempFolder.h"

namespace {

using Kind = SeekMarkerKind;

CGSensorData Reading(std::int32_t timeMs, std::int32_t x, std::int32_t y = 1) {
  CGSensorData r;
  r.x = x;
  r.y = y;
  r.z = 33;
  r.recordTime = timeMs;
  return r;
}

// A quiet drive at 10 Hz from 0 to `lastMs`, with the given readings put in place of
// the quiet ones at their times.
std::vector<CGSensorData> Drive(std::int32_t lastMs, const std::vector<CGSensorData>& hard) {
  std::vector<CGSensorData> readings;
  for (std::int32_t t = 0; t <= lastMs; t += 100) {
    CGSensorData r = Reading(t, 3, 2);
    for (const CGSensorData& h : hard)
      if (h.recordTime == t) r = h;
    readings.push_back(r);
  }
  return readings;
}

TEST(SeekMarkers, AHardBrakingOfTheSimulatorIsMarkedAtItsSecondAndAsTheTriggerOfAnEvent) {
  testsupport::TempFolder dir;
  simulator::RecordOptions options = fixtures::SmallOptions(1, 10, avi::AudioKind::None);
  options.start = fixtures::CameraClock(8, 0, 0);  // standing at the lights for ten seconds
  options.brakeAt = 6;
  const auto path = fixtures::Record(options, dir / "braking.avi");
  FileByteSource file(path);
  avi::AviReader reader(file);
  ASSERT_TRUE(reader.Open());
  avi::AviTelemetrySource source(reader);
  TelemetrySamples samples;
  LoadTelemetry(&source, samples);
  ASSERT_EQ(samples.gsensorSamples.size(), 100u);

  EXPECT_EQ(FindSeekMarkers(samples.gsensorSamples, kDefaultMarkerThreshold, false),
            (std::vector<SeekMarker>{{6000, Kind::HardG}}));
  EXPECT_EQ(FindSeekMarkers(samples.gsensorSamples, kDefaultMarkerThreshold, true),
            (std::vector<SeekMarker>{{6000, Kind::EventTrigger}}))
      << "the jolt as the brakes bite is the peak";
  // 0.8 g for the rest of the second: a threshold above it marks only the jolt.
  EXPECT_EQ(FindSeekMarkers(samples.gsensorSamples, 90, false), (std::vector<SeekMarker>{{6000, Kind::HardG}}));
  EXPECT_TRUE(FindSeekMarkers(samples.gsensorSamples, 110, false).empty());

  options.brakeAt = -1;
  const auto quiet = fixtures::Record(options, dir / "quiet.avi");
  FileByteSource quietFile(quiet);
  avi::AviReader quietReader(quietFile);
  ASSERT_TRUE(quietReader.Open());
  avi::AviTelemetrySource quietSource(quietReader);
  LoadTelemetry(&quietSource, samples);
  EXPECT_TRUE(FindSeekMarkers(samples.gsensorSamples, kLowestMarkerThreshold, false).empty());
  EXPECT_TRUE(FindSeekMarkers(samples.gsensorSamples, kDefaultMarkerThreshold, true).empty())
      << "an event saved without a jolt has no trigger to point at";
}

TEST(SeekMarkers, ReadingsAboveTheThresholdLessThanTwoSecondsApartAreOneMarker) {
  // 16 raw is exactly 0.5 g: not above the default threshold; 17 (with Y at 1) is.
  const std::vector<CGSensorData> readings =
      Drive(20000, {Reading(1000, 16, 0), Reading(2000, 17), Reading(2100, 30), Reading(3900, 1, 17), Reading(5900, 20),
                    Reading(9000, 40), Reading(12000, 40)});
  EXPECT_EQ(
      FindSeekMarkers(readings, kDefaultMarkerThreshold, false),
      (std::vector<SeekMarker>{{2000, Kind::HardG}, {5900, Kind::HardG}, {9000, Kind::HardG}, {12000, Kind::HardG}}))
      << "3900 is 1800 ms after 2100 and joins it; 5900 is 2000 ms after 3900 and starts its own";
  // The same readings delivered out of order, and one at a negative time, give the same.
  std::vector<CGSensorData> shuffled(readings.rbegin(), readings.rend());
  shuffled.push_back(Reading(-500, 200));
  EXPECT_EQ(FindSeekMarkers(shuffled, kDefaultMarkerThreshold, false), FindSeekMarkers(readings, 50, false));
}

TEST(SeekMarkers, TheTriggerTakesThePlaceOfItsBrakingsMarkerAndKeepsTheOthers) {
  const std::vector<CGSensorData> readings = Drive(20000, {Reading(2000, 20), Reading(5000, 24), Reading(6900, 24),
                                                           Reading(8800, 60), Reading(10700, 20), Reading(13600, 24)});
  EXPECT_EQ(FindSeekMarkers(readings, kDefaultMarkerThreshold, true),
            (std::vector<SeekMarker>{{2000, Kind::HardG}, {8800, Kind::EventTrigger}, {13600, Kind::HardG}}))
      << "5000 to 10700 is one braking whose peak at 8800 is the trigger; 13600 comes 2900 ms after it";
  // Two equal peaks: the first is the trigger.
  EXPECT_EQ(FindSeekMarkers(Drive(5000, {Reading(1000, 40), Reading(4000, 40)}), 100, true),
            (std::vector<SeekMarker>{{1000, Kind::EventTrigger}, {4000, Kind::HardG}}));
  EXPECT_TRUE(FindSeekMarkers({}, kDefaultMarkerThreshold, true).empty());
}

TEST(SeekMarkers, NextIsAfterThePositionAndPreviousASecondOrMoreBeforeIt) {
  const std::vector<SeekMarker> markers{{2000, Kind::HardG}, {9500, Kind::EventTrigger}, {15000, Kind::HardG}};
  EXPECT_EQ(NextMarkerTime(markers, 0), 2000);
  EXPECT_EQ(NextMarkerTime(markers, 2000), 9500) << "from a marker the next one";
  EXPECT_EQ(NextMarkerTime(markers, 14999), 15000);
  EXPECT_EQ(NextMarkerTime(markers, 15000), -1);
  EXPECT_EQ(PreviousMarkerTime(markers, 20000), 15000);
  EXPECT_EQ(PreviousMarkerTime(markers, 15999), 9500) << "just past a marker, as after a jump while playing";
  EXPECT_EQ(PreviousMarkerTime(markers, 16000), 15000);
  EXPECT_EQ(PreviousMarkerTime(markers, 2999), -1);
  EXPECT_EQ(NextMarkerTime({}, 0), -1);
  EXPECT_EQ(PreviousMarkerTime({}, 5000), -1);
}

}  // namespace
