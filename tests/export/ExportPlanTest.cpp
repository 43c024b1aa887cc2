// The export's plain parts: the range over consecutive recordings, the clip's
// geometry, the overlay's lines, the telemetry files and the package's checksums.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/TimeZone.h"
#include "sources/RecordingCollection.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/export/Checksums.h"
#include "tools/export/ClipSettings.h"
#include "tools/export/ExportMarks.h"
#include "tools/export/ExportRange.h"
#include "tools/export/OverlayText.h"
#include "tools/export/TelemetryFiles.h"

namespace {

using namespace clipexport;

constexpr int64_t kSecond = kUnitsPerSecond;

int64_t Clock(const char* text) {
  int64_t seconds = 0;
  EXPECT_TRUE(ParseClockText(text, seconds)) << text;
  return seconds;
}

// A recording of `seconds` at 30 frames per second, frame k at k/30 s (in 100-ns
// steps, cut off as the recording's reader computes them).
TimelineRecording Recording(const char* name, const char* clock, int seconds) {
  TimelineRecording r;
  r.fileName = name;
  r.clockStart = Clock(clock);
  r.duration = seconds * kSecond;
  for (int64_t k = 0; k < seconds * 30; ++k) r.frameTimes.push_back(k * kSecond / 30);
  return r;
}

std::vector<TimelineRecording> ThreeRecordings(const char* third = "2024-05-12 08:30:19") {
  return {Recording("A.avi", "2024-05-12 08:30:15", 2), Recording("B.avi", "2024-05-12 08:30:17", 2),
          Recording("C.avi", third, 2)};
}

TEST(ExportRange, ClockTextIsReadStrictlyAndWrittenBack) {
  int64_t s = 0;
  EXPECT_TRUE(ParseClockText("2024-05-12 08:30:15", s));
  EXPECT_EQ(1715502615, s);
  EXPECT_EQ("2024-05-12 08:30:15", ClockText(s * kSecond + kSecond / 2));
  for (const char* bad : {"2024-02-30 00:00:00", "2024-05-12 24:00:00", "2024-05-12T08:30:15", "2024-5-12 08:30:15",
                          "2024-05-12 08:30:15 ", ""})
    EXPECT_FALSE(ParseClockText(bad, s)) << bad;
  RecordTime name;
  name.year = 2024, name.month = 5, name.day = 12, name.hour = 8, name.minute = 30, name.second = 15;
  ASSERT_TRUE(ClockOfName(name, s));
  EXPECT_EQ(1715502615, s);
}

TEST(ExportRange, RangeRunsThroughConsecutiveRecordingsFrameByFrame) {
  const auto recordings = ThreeRecordings();
  // 08:30:16.0 to 08:30:18.5: the second half of A, then the first 1.5 s of B.
  RangePlan plan = PlanRange(recordings, Clock("2024-05-12 08:30:16") * kSecond,
                             Clock("2024-05-12 08:30:18") * kSecond + kSecond / 2);
  ASSERT_TRUE(plan.Ok()) << plan.error;
  ASSERT_EQ(2u, plan.parts.size());
  EXPECT_EQ(0u, plan.parts[0].recording);
  EXPECT_EQ(10000000, plan.parts[0].start);
  EXPECT_EQ(20000000, plan.parts[0].stop);
  EXPECT_EQ(30, plan.parts[0].frames);
  EXPECT_EQ(1u, plan.parts[1].recording);
  EXPECT_EQ(0, plan.parts[1].start);
  EXPECT_EQ(15000000, plan.parts[1].stop);
  EXPECT_EQ(45, plan.parts[1].frames);
  EXPECT_EQ(75, plan.frames);

  // Between two frames the range takes the nearest: from 1.01 s the frame of 1.0 s,
  // up to 1.49 s the frames before the one of 1.5 s; from 1.02 s the frame of
  // 1.033 s, and up to 1.51 s still not the frame of 1.5 s.
  plan = PlanRange(recordings, Clock("2024-05-12 08:30:16") * kSecond + 100000,
                   Clock("2024-05-12 08:30:16") * kSecond + 4900000);
  ASSERT_EQ(1u, plan.parts.size());
  EXPECT_EQ(10000000, plan.parts[0].start);
  EXPECT_EQ(15000000, plan.parts[0].stop);
  EXPECT_EQ(15, plan.parts[0].frames);
  plan = PlanRange(recordings, Clock("2024-05-12 08:30:16") * kSecond + 200000,
                   Clock("2024-05-12 08:30:16") * kSecond + 5100000);
  EXPECT_EQ(10333333, plan.parts[0].start);
  EXPECT_EQ(15000000, plan.parts[0].stop);
  EXPECT_EQ(14, plan.parts[0].frames);

  // The whole drive, to the last frame of C.
  plan = PlanRange(recordings, Clock("2024-05-12 08:30:15") * kSecond, Clock("2024-05-12 08:30:21") * kSecond);
  ASSERT_EQ(3u, plan.parts.size());
  EXPECT_EQ(180, plan.frames);
}

TEST(ExportRange, GapsAndEmptyRangesAreRefusedWithTheReason) {
  const int64_t start = Clock("2024-05-12 08:30:16") * kSecond;
  RangePlan plan = PlanRange(ThreeRecordings("2024-05-12 08:30:22"), start, Clock("2024-05-12 08:30:20") * kSecond);
  EXPECT_FALSE(plan.Ok());
  EXPECT_TRUE(plan.parts.empty());
  EXPECT_EQ("no recording follows B.avi at 2024-05-12 08:30:19, before the end 2024-05-12 08:30:20", plan.error);
  // A name one second late still follows (names keep whole seconds).
  EXPECT_TRUE(PlanRange(ThreeRecordings("2024-05-12 08:30:20"), start, Clock("2024-05-12 08:30:21") * kSecond).Ok());
  plan = PlanRange(ThreeRecordings(), Clock("2024-05-12 08:30:10") * kSecond, start);
  EXPECT_EQ("no recording holds the start 2024-05-12 08:30:10", plan.error);
  EXPECT_EQ("the end of the range is not after its start", PlanRange(ThreeRecordings(), start, start).error);
}

TEST(ExportMarks, MarksAndTheRangeBetweenThemFallOnTheirRecordings) {
  RecordingEntry a, b, c;
  for (auto [entry, name] : {std::pair{&a, "REC_20240512_083015_2.avi"}, std::pair{&b, "REC_20240512_083017_2.avi"},
                             std::pair{&c, "REC_20240512_083019_2.avi"}}) {
    entry->fileName = name;
    RecordingCollection::ParseRecordingName(name, *entry);
  }
  ExportMarks marks;
  ASSERT_TRUE(marks.SetStart(a, 1500));
  EXPECT_FALSE(marks.Complete());
  EXPECT_EQ((MarksOnRecording{1500, -1, -1, -1}), marks.On(a, 2000));
  ASSERT_TRUE(marks.SetEnd(b, 1000));
  EXPECT_EQ(Clock("2024-05-12 08:30:18") * kSecond, marks.End().clock);
  EXPECT_EQ((MarksOnRecording{1500, -1, 1500, 2000}), marks.On(a, 2000));
  EXPECT_EQ((MarksOnRecording{-1, 1000, 0, 1000}), marks.On(b, 2000));
  EXPECT_EQ(MarksOnRecording{}, marks.On(c, 2000));
  // An end before the start marks no range.
  ASSERT_TRUE(marks.SetStart(b, 1500));
  EXPECT_EQ((MarksOnRecording{1500, 1000, -1, -1}), marks.On(b, 2000));
  RecordingEntry unnamed;
  unnamed.fileName = "clip.avi";
  EXPECT_FALSE(marks.SetEnd(unnamed, 0));
  EXPECT_EQ("REC_20240512_083017_2.avi", marks.End().fileName);
}

TEST(ClipSettings, LayoutsPlaceEachCameraAtItsOwnAspect) {
  CanvasGeometry g = ComputeCanvas(Layout::Side, {1280, 720}, {640, 480});
  EXPECT_EQ(2240, g.width);
  EXPECT_EQ(720, g.height);
  EXPECT_EQ((Box{0, 0, 1280, 720}), g.front);
  EXPECT_EQ((Box{1280, 0, 960, 720}), g.rear);
  g = ComputeCanvas(Layout::Pip, {1280, 720}, {640, 360});
  EXPECT_EQ(1280, g.width);
  EXPECT_EQ((Box{0, 0, 1280, 720}), g.front);
  EXPECT_EQ((Box{870, 26, 384, 216}), g.rear);
  g = ComputeCanvas(Layout::Rear, {1280, 720}, {640, 360});
  EXPECT_EQ(640, g.width);
  EXPECT_EQ(0, g.front.width);
  EXPECT_EQ((Box{0, 0, 640, 360}), g.rear);
  g = ComputeCanvas(Layout::Front, {1920, 1080}, {});
  EXPECT_EQ((Box{0, 0, 1920, 1080}), g.front);
  EXPECT_EQ(0, g.rear.width);

  Layout layout = Layout::Front;
  EXPECT_TRUE(ParseLayout("pip", layout));
  EXPECT_EQ(Layout::Pip, layout);
  EXPECT_FALSE(ParseLayout("PIP", layout));
  OverlayFields fields;
  EXPECT_TRUE(ParseOverlayFields("speed,time", fields));
  EXPECT_EQ("time,speed", OverlayFieldsText(fields));
  EXPECT_TRUE(ParseOverlayFields("none", fields));
  EXPECT_FALSE(fields.Any());
  EXPECT_FALSE(ParseOverlayFields("time,,speed", fields));
  EXPECT_FALSE(ParseOverlayFields("altitude", fields));
}

// One fix and one G-sensor reading at 1 s, one more reading at 2.5 s.
TelemetrySamples Samples() {
  TelemetrySamples samples;
  samples.AddTelemetryRecord("GPRMC,233018.00,A,3731.71233,N,12658.03813,E,16.20,39.93,110524,,,A*50", 1000);
  samples.AddTelemetryRecord(std::string_view("M\x1f\x00\x20", 4), 1000);
  samples.AddTelemetryRecord(std::string_view("M\x20\x20\x20", 4), 2500);
  return samples;
}

TEST(OverlayText, LinesShowTheMomentsFactsAndDashesWithoutThem) {
  const TelemetrySamples samples = Samples();
  OverlayMoment moment{Clock("2024-05-12 08:30:15") * kSecond + 10000000, 1000, "REC_20240512_083015_2.avi"};
  EXPECT_EQ(
      (std::vector<std::string>{"2024-05-12 08:30:16   30 km/h",
                                "37.52854 N  126.96730 E   G  x +1.00  y +0.03  z +1.03", "REC_20240512_083015_2.avi"}),
      OverlayLines(moment, samples, OverlayFields{}, false));
  EXPECT_EQ("2024-05-12 08:30:16   19 mph", OverlayLines(moment, samples, OverlayFields{}, true)[0]);
  moment.positionMs = 3000;  // after the last sample
  EXPECT_EQ(
      (std::vector<std::string>{"2024-05-12 08:30:16   -- km/h", "-- N  -- E   G  --", "REC_20240512_083015_2.avi"}),
      OverlayLines(moment, samples, OverlayFields{}, false));
  EXPECT_EQ((std::vector<std::string>{"2024-05-12 08:30:16", "REC_20240512_083015_2.avi"}),
            OverlayLines(moment, samples, OverlayFields{true, false, false, false}, false));
  EXPECT_TRUE(OverlayLines(moment, samples, OverlayFields{false, false, false, false}, false).empty());
}

TEST(TelemetryFiles, CsvAndGpxHoldTheRecordsOfTheRangeOnly) {
  const TelemetrySamples samples = Samples();
  const TelemetryPart part{"REC,1.avi", Clock("2024-05-12 08:30:15"), 0, 2 * kSecond, &samples};
  EXPECT_EQ(
      std::string(kTelemetryCsvHeader) +
          "\n"
          "2024-05-12 08:30:16.000,\"REC,1.avi\",1000,M,,,,,,,1.00000,0.03125,1.03125\n"

          "2024-05-12 08:30:16.000,\"REC,1.avi\",1000,G,1,37.528539,126.967302,30.00,39.93,2024-05-11T23:30:18Z,,,\n",
      TelemetryCsv({part}));
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.0\" creator=\"tarvo-tool\" xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
      "<trk><name>a &amp; b</name><trkseg>\n"
      "<trkpt lat=\"37.528539\" lon=\"126.967302\"><time>2024-05-11T23:30:18Z</time><course>39.93</course>"
      "<speed>8.33</speed></trkpt>\n"
      "</trkseg></trk>\n</gpx>\n",
      TelemetryGpx({part}, "a & b"));
}

TEST(TelemetryFiles, CsvFollowsTheSpeedUnitAndTheTimeZoneAcrossADaylightSavingChange) {
  const TelemetrySamples samples = Samples();
  const TelemetryPart part{"REC,1.avi", Clock("2024-05-12 08:30:15"), 0, 2 * kSecond, &samples};
  const std::optional<platform::TimeZone> berlin = platform::TimeZone::Load("Europe/Berlin");
  ASSERT_TRUE(berlin);
  // 08:30:16 on the camera's clock is 23:30:16 UTC the day before, 01:30:16 summer
  // time in Berlin; 30 km/h is 18.64 mph.
  EXPECT_EQ(
      "clock,local_time(Europe/Berlin),recording,position_ms,kind,valid,latitude,longitude,speed_mph,course,gps_utc,"
      "gx,gy,gz\n"
      "2024-05-12 08:30:16.000,2024-05-12 01:30:16.000+02:00,\"REC,1.avi\",1000,M,,,,,,,1.00000,0.03125,1.03125\n"
      "2024-05-12 08:30:16.000,2024-05-12 01:30:16.000+02:00,\"REC,1.avi\",1000,G,1,37.528539,126.967302,18.64,39.93,"
      "2024-05-11T23:30:18Z,,,\n",
      TelemetryCsv({part}, true, &*berlin));
  // Berlin's clocks go from 02:00 to 03:00 at 01:00 UTC on 31 March 2024 (10:00 on the
  // camera's clock): readings 1 s and 3 s into a recording from 09:59:58 fall on
  // either side, two seconds apart on the camera's clock and an hour and two on Berlin's.
  TelemetrySamples change;
  change.AddTelemetryRecord(std::string_view("M\x1f\x1f\x1f", 4), 1000);
  change.AddTelemetryRecord(std::string_view("M\x1f\x1f\x1f", 4), 3000);
  const TelemetryPart spring{"REC_20240331_095958_2.avi", Clock("2024-03-31 09:59:58"), 0, 4 * kSecond, &change};
  EXPECT_EQ(
      "clock,local_time(Europe/Berlin),recording,position_ms,kind,valid,latitude,longitude,speed_kmh,course,gps_utc,"
      "gx,gy,gz\n"
      "2024-03-31 09:59:59.000,2024-03-31 01:59:59.000+01:00,REC_20240331_095958_2.avi,1000,M,,,,,,,1.00000,1.00000,"
      "1.00000\n"
      "2024-03-31 10:00:01.000,2024-03-31 03:00:01.000+02:00,REC_20240331_095958_2.avi,3000,M,,,,,,,1.00000,1.00000,"
      "1.00000\n",
      TelemetryCsv({spring}, false, &*berlin));
  // The burned-in clock follows the zone too, to the second; without one it stays the
  // camera's.
  OverlayMoment moment{Clock("2024-03-31 09:59:58") * kSecond + kSecond, 1000, spring.fileName};
  const OverlayFields timeOnly{true, false, false, false};
  EXPECT_EQ("2024-03-31 01:59:59+01:00", OverlayLines(moment, change, timeOnly, false, &*berlin)[0]);
  moment.clock += 2 * kSecond;
  EXPECT_EQ("2024-03-31 03:00:01+02:00", OverlayLines(moment, change, timeOnly, false, &*berlin)[0]);
  EXPECT_EQ("2024-03-31 10:00:01", OverlayLines(moment, change, timeOnly, false)[0]);
}

void Write(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

TEST(Checksums, ListIsReadBySha256sumAndEveryChangeIsNamed) {
  testsupport::TempFolder folder;
  Write(folder / "abc.txt", "abc");
  Write(folder / "originals/empty", "");
  Write(folder / "back\\slash", "x");
  std::string error;
  ASSERT_TRUE(WriteChecksumFile(folder.Path(), {"abc.txt", "originals/empty", "back\\slash"}, error)) << error;
  EXPECT_EQ(
      "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  abc.txt\n"
      "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855  originals/empty\n"
      "\\2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881  back\\\\slash\n",
      testsupport::ReadBytes(folder / kChecksumFileName));
  EXPECT_EQ(0, std::system(("cd '" + folder.Path().string() + "' && sha256sum --quiet -c SHA256SUMS").c_str()));
  EXPECT_TRUE(VerifyChecksumFile(folder.Path()).Passed());

  Write(folder / "abc.txt", "abd");
  std::filesystem::remove(folder / "originals/empty");
  Write(folder / "added", "new");
  VerifyReport report = VerifyChecksumFile(folder.Path());
  EXPECT_FALSE(report.Passed());
  EXPECT_EQ(std::vector<std::string>{"abc.txt"}, report.bad);
  EXPECT_EQ(std::vector<std::string>{"originals/empty"}, report.missing);
  EXPECT_EQ(std::vector<std::string>{"added"}, report.unlisted);
  EXPECT_EQ(std::vector<std::string>{"back\\slash"}, report.good);

  // A list that names a file outside the folder is not followed there.
  Write(folder / kChecksumFileName,
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  ../abc.txt\nnot a line\n");
  report = VerifyChecksumFile(folder.Path());
  EXPECT_EQ(2u, report.malformed.size());
  EXPECT_FALSE(report.Passed());
  std::filesystem::remove(folder / kChecksumFileName);
  EXPECT_FALSE(VerifyChecksumFile(folder.Path()).listRead);
}

}  // namespace
