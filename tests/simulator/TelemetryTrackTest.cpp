#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/simulator/Drive.h"
#include "tools/simulator/TelemetryTrack.h"

namespace {

std::vector<std::string> Fields(const std::string& s) {
  std::vector<std::string> f;
  size_t pos = 0;
  for (;;) {
    const size_t comma = s.find(',', pos);
    f.push_back(s.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  return f;
}

double NmeaToDegrees(const std::string& text) {
  const double v = std::atof(text.c_str()) / 100;
  const double d = std::trunc(v);
  return d + (v - d) * 100 / 60;
}

TEST(TelemetryTrack, GpsOncePerSecondGsensorTenTimesWithInvalidFixesFirst) {
  const simulator::Drive drive;
  const auto records = simulator::MakeTelemetry(drive, fixtures::CameraClock(8, 30, 15), 6);
  int gps = 0, gsensor = 0;
  for (const auto& r : records) {
    if (r.bytes[0] == 'G') {
      EXPECT_EQ(r.time % 1000, 0);
      const std::vector<std::string> f = Fields(r.bytes);
      ASSERT_GE(f.size(), 10u);
      EXPECT_EQ(f[2], gps < simulator::kInvalidFixesAtStart ? "V" : "A") << r.bytes;
      ++gps;
    } else {
      ASSERT_EQ(r.bytes.size(), 4u);
      EXPECT_EQ(r.bytes[0], 'M');
      EXPECT_EQ(r.time % 100, 0);
      ++gsensor;
    }
  }
  EXPECT_EQ(gps, 6);
  EXPECT_EQ(gsensor, 60);
  for (size_t i = 1; i < records.size(); ++i) EXPECT_LE(records[i - 1].time, records[i].time);
}

TEST(TelemetryTrack, FixesCarryUtcNineHoursBehindTheCameraClockAndAChecksum) {
  const simulator::Drive drive;
  const auto records = simulator::MakeTelemetry(drive, fixtures::CameraClock(3, 0, 0), 5);
  const std::string& fix = records[4 * 11].bytes;  // the fix at 4 s
  ASSERT_EQ(fix[0], 'G');
  const std::vector<std::string> f = Fields(fix);
  EXPECT_EQ(f[1], "180004.00");
  EXPECT_EQ(f[9], "110524") << "the day before in UTC";
  const size_t star = fix.find('*');
  ASSERT_NE(star, std::string::npos);
  unsigned sum = 0;
  for (size_t i = 0; i < star; ++i) sum ^= static_cast<unsigned char>(fix[i]);
  EXPECT_EQ(std::strtoul(fix.substr(star + 1).c_str(), nullptr, 16), sum);
}

TEST(TelemetryTrack, BuiltInDriveStaysInCentralSeoulAndReachesMotorwaySpeeds) {
  const simulator::Drive drive;
  double fastest = 0, slowest = 1000, hardestBrake = 0;
  for (double t = 0; t < simulator::Drive::CycleLength(); t += 0.5) {
    const simulator::DriveState s = drive.At(8 * 3600 + t);
    EXPECT_GT(s.position.latitude, 37.50);
    EXPECT_LT(s.position.latitude, 37.58);
    EXPECT_GT(s.position.longitude, 126.93);
    EXPECT_LT(s.position.longitude, 126.99);
    EXPECT_GE(s.courseDegrees, 0);
    EXPECT_LT(s.courseDegrees, 360);
    fastest = std::max(fastest, s.speedKmh);
    slowest = std::min(slowest, s.speedKmh);
    hardestBrake = std::min(hardestBrake, s.longitudinalG);
  }
  EXPECT_EQ(slowest, 0);
  EXPECT_GE(fastest, 95);
  EXPECT_LE(fastest, 105);
  EXPECT_LT(hardestBrake, -0.5) << "a hard braking in every cycle";
}

TEST(TelemetryTrack, RmcFieldsMatchTheDriveState) {
  simulator::DriveState s{};
  s.position = {37.5665, 126.9780};
  s.speedKmh = 50;
  s.courseDegrees = 183.5;
  std::tm utc = fixtures::CameraClock(23, 59, 58);
  const std::vector<std::string> f = Fields(simulator::RmcSentence(utc, 0, true, s));
  EXPECT_EQ(f[0], "GPRMC");
  EXPECT_NEAR(NmeaToDegrees(f[3]), 37.5665, 1e-6);
  EXPECT_EQ(f[4], "N");
  EXPECT_NEAR(NmeaToDegrees(f[5]), 126.9780, 1e-6);
  EXPECT_EQ(f[6], "E");
  EXPECT_EQ(f[7], "27.00");  // 50 km/h in knots
  EXPECT_EQ(f[8], "183.50");
}

TEST(TelemetryTrack, AxisBytesSaturateAt255) {
  const std::string r = simulator::GsensorRecord(9.0, -1.0, 0.0);
  EXPECT_EQ(static_cast<unsigned char>(r[1]), 255);
  EXPECT_EQ(static_cast<unsigned char>(r[2]), 32);
  EXPECT_EQ(static_cast<unsigned char>(r[3]), 0);
}

TEST(TelemetryTrack, GpxRouteReplacesTheBuiltInDrive) {
  const testsupport::TempFolder dir;
  const std::filesystem::path route = dir.Path() / "route.gpx";
  testsupport::WriteBytes(
      route,
      "<gpx><trk><trkseg><trkpt lat=\"48.1370\" lon=\"11.5750\"></trkpt>"
      "<trkpt lat='48.1400' lon='11.5800'/><trkpt lat=\"48.1450\" lon=\"11.5900\"/></trkseg></trk></gpx>");
  simulator::Drive drive;
  std::string error;
  ASSERT_TRUE(drive.LoadGpx(route, error)) << error;
  const simulator::DriveState s = drive.At(0);
  EXPECT_NEAR(s.position.latitude, 48.1370, 1e-9);
  EXPECT_NEAR(s.position.longitude, 11.5750, 1e-9);
  EXPECT_FALSE(drive.LoadGpx("/nonexistent/route.gpx", error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
