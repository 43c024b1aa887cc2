#include <gtest/gtest.h>

#include <chrono>
#include <deque>

#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/TelemetryRecordSource.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/TempFolder.h"

namespace {

// Delivers scripted answers: records, "nothing this time" and the end.
class ScriptedSource : public TelemetryRecordSource {
 public:
  struct Answer {
    int result;
    std::string record;
    int32_t time;
  };
  std::deque<Answer> answers;
  int calls = 0;
  int ReadTelemetryRecord(char* buffer, int32_t* size, int32_t* recordTime) override {
    ++calls;
    if (answers.empty()) return kEndOfRecords;
    const Answer a = answers.front();
    answers.pop_front();
    if (a.result == kRecordDelivered) {
      EXPECT_EQ(*size, 1024);
      std::copy(a.record.begin(), a.record.end(), buffer);
      *size = static_cast<int32_t>(a.record.size());
      *recordTime = a.time;
    }
    return a.result;
  }
};

TEST(LoadTelemetry, EmptiesFirstThenReadsUntilTheEndAndRetriesOtherResults) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(std::string("M\x01\x02\x03", 4), 5);
  ScriptedSource source;
  source.answers = {{0, std::string("M\x00\x1f\xff", 4), 100},
                    {7, "", 0},
                    {0, "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 1000},
                    {0, "X-not-a-record", 1100}};
  LoadTelemetry(&source, samples);
  ASSERT_EQ(samples.gsensorSamples.size(), 1u) << "the old sample is gone";
  EXPECT_EQ(samples.gsensorSamples[0].x, 1);
  EXPECT_EQ(samples.gsensorSamples[0].y, 32);
  EXPECT_EQ(samples.gsensorSamples[0].z, 256);
  EXPECT_EQ(samples.gsensorSamples[0].recordTime, 100);
  ASSERT_EQ(samples.gpsSamples.size(), 1u);
  EXPECT_EQ(samples.gpsSamples[0].recordTime, 1000);
  EXPECT_EQ(source.calls, 5);
}

TEST(LoadTelemetry, NoSourceLeavesTheSamplesEmpty) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord(std::string("M\x01\x02\x03", 4), 5);
  LoadTelemetry(nullptr, samples);
  EXPECT_TRUE(samples.gsensorSamples.empty());
  EXPECT_TRUE(samples.gpsSamples.empty());
}

TEST(LoadTelemetry, ASourceThatNeverDeliversIsGivenUp) {
  class Silent : public TelemetryRecordSource {
   public:
    int ReadTelemetryRecord(char*, int32_t*, int32_t*) override { return 1; }
  } source;
  TelemetrySamples samples;
  const auto start = std::chrono::steady_clock::now();
  LoadTelemetry(&source, samples);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(LoadTelemetry, ReadsEveryRecordOfARecordingWithoutPausing) {
  testsupport::TempFolder dir;
  const auto path = fixtures::Record(fixtures::SmallOptions(1, 4, avi::AudioKind::None), dir / "t.avi");
  FileByteSource file(path);
  avi::AviReader reader(file);
  ASSERT_TRUE(reader.Open());
  avi::AviTelemetrySource source(reader);
  TelemetrySamples samples;
  LoadTelemetry(&source, samples);
  EXPECT_EQ(samples.gpsSamples.size(), 4u);
  EXPECT_EQ(samples.gsensorSamples.size(), 40u);
  EXPECT_EQ(samples.gpsSamples[0].valid, 0);
  EXPECT_EQ(samples.gpsSamples[3].valid, 1);
  EXPECT_EQ(samples.gpsSamples[3].recordTime, 3000);
  EXPECT_EQ(samples.gpsSamples[3].hour, 32) << "23 h UTC plus 9";
  EXPECT_EQ(samples.gpsSamples[3].day, 11);
}

}  // namespace
