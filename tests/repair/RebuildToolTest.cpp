// tarvo-tool's recording commands as users script them: exit codes, what is written
// and what is not, and the exact telemetry lines.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ToolRun.h"

namespace {

namespace fs = std::filesystem;

using testsupport::ToolRun;

ToolRun Tool(const std::string& arguments) { return testsupport::RunTarvoTool(arguments); }

std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> lines;
  size_t pos = 0;
  for (size_t nl; (nl = s.find('\n', pos)) != std::string::npos; pos = nl + 1) lines.push_back(s.substr(pos, nl - pos));
  return lines;
}

TEST(RebuildTool, CutOffRecordingIsRebuiltIntoOut) {
  testsupport::TempFolder dir;
  const fs::path in = dir / "cut.avi", out = dir / "out.avi";
  ASSERT_EQ(Tool("record " + in.string() +
                 " --cameras 1 --seconds 2 --size 160x90 --bitrate 100 --audio none "
                 "--start '2024-05-12 08:30:15' --cut-at 30001")
                .code,
            0);
  const ToolRun r = Tool("rebuild " + in.string() + " " + out.string());
  EXPECT_EQ(r.code, 0);
  ASSERT_TRUE(fs::exists(out));
  const ToolRun info = Tool("info " + out.string());
  EXPECT_NE(info.out.find("state: intact"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("index: present"), std::string::npos);
  EXPECT_NE(info.out.find("sound: PCM, 22050 Hz"), std::string::npos);
  // Only IN, OUT: no temporary folder is left beside OUT.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST(RebuildTool, IntactRecordingWithSoundNeedsNothingAndWritesNothing) {
  testsupport::TempFolder dir;
  const fs::path in = dir / "a.avi", out = dir / "out.avi";
  ASSERT_EQ(Tool("record " + in.string() + " --cameras 1 --seconds 1 --size 160x90 --bitrate 100").code, 0);
  const ToolRun r = Tool("rebuild " + in.string() + " " + out.string());
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("nothing to rebuild"), std::string::npos);
  EXPECT_FALSE(fs::exists(out));
}

TEST(RebuildTool, FailuresExitOneAndLeaveNoOut) {
  testsupport::TempFolder dir;
  const fs::path bad = dir / "bad.avi", out = dir / "out.avi";
  std::vector<uint8_t> bytes(300, 0x11);
  avi::WriteLe32(&bytes[4], 0);
  avi::WriteLe32(&bytes[16], 100);
  testsupport::WriteAll(bad, bytes);
  EXPECT_EQ(Tool("rebuild " + bad.string() + " " + out.string()).code, 1);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(Tool("rebuild " + (dir / "missing.avi").string() + " " + out.string()).code, 1);
  EXPECT_EQ(Tool("rebuild " + bad.string() + " " + bad.string()).code, 1);
  EXPECT_EQ(Tool("rebuild " + bad.string()).code, 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// A killed rebuild left its hidden folder (a copy of the whole recording in it) beside
// OUT for ever.
TEST(RebuildTool, FoldersOfEndedRunsBesideOutAreRemovedByTheNextRun) {
  testsupport::TempFolder dir;
  const fs::path in = dir / "cut.avi", out = dir / "out.avi";
  ASSERT_EQ(Tool("record " + in.string() + " --cameras 1 --seconds 1 --size 160x90 --bitrate 100 --cut-at 20001").code,
            0);
  const fs::path ended = dir / ".tarvo-rebuild-4242-Ab12Cd", running = dir / ".tarvo-rebuild-4343-Ef34Gh";
  for (const fs::path& folder : {ended, running}) {
    fs::create_directories(folder);
    testsupport::WriteAll(folder / "owner.lock", {});
    testsupport::WriteAll(folder / "cut.avi_movi", {1, 2, 3});
  }
  const int held = ::open((running / "owner.lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_EQ(0, ::flock(held, LOCK_EX));
  // A folder that only shares the prefix keeps what is not a rebuild's.
  testsupport::WriteAll(dir / ".tarvo-rebuild-4242-Ab12Cd-notes", {});
  ASSERT_EQ(Tool("rebuild " + in.string() + " " + out.string()).code, 0);
  EXPECT_FALSE(fs::exists(ended));
  EXPECT_TRUE(fs::exists(running / "cut.avi_movi")) << "its run still goes on";
  EXPECT_TRUE(fs::exists(dir / ".tarvo-rebuild-4242-Ab12Cd-notes"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 4);
  ::close(held);
}

TEST(RebuildTool, EveryRecordingCommandAnswersHelp) {
  for (const char* command : {"record", "info", "rebuild", "telemetry"}) {
    const ToolRun r = Tool(std::string(command) + " --help");
    EXPECT_EQ(r.code, 0) << command;
    EXPECT_EQ(r.out.rfind("usage: tarvo-tool " + std::string(command), 0), 0u) << command;
  }
}

TEST(TelemetryTool, TsvLinesCarryTheStoredValues) {
  testsupport::TempFolder dir;
  const fs::path in = dir / "t.avi";
  ASSERT_EQ(Tool("record " + in.string() +
                 " --cameras 1 --seconds 5 --size 160x90 --bitrate 100 --audio none "
                 "--start '2024-05-12 08:30:15'")
                .code,
            0);
  const std::vector<std::string> lines = Lines(Tool("telemetry " + in.string()).out);
  ASSERT_EQ(lines.size(), 55u);
  EXPECT_EQ(lines[0], "G\t0\t0\t0.000000\t0.000000\t0.00\t0.00\t2024-05-12 08:30:15");
  // Axis values are the stored bytes plus one.
  FileByteSource source(in);
  avi::AviReader reader(source);
  ASSERT_TRUE(reader.Open());
  std::vector<uint8_t> data;
  for (const avi::ChunkEntry& c : reader.Chunks()) {
    if (c.kind != avi::ChunkKind::Text) continue;
    ASSERT_TRUE(reader.ReadChunk(c, data));
    if (data[4] != 'M') continue;
    char expected[64];
    std::snprintf(expected, sizeof expected, "M\t0\t%d\t%d\t%d", data[5] + 1, data[6] + 1, data[7] + 1);
    EXPECT_EQ(lines[1], expected);
    break;
  }
  // The fourth fix is the first valid one: 08:30:18 local, a position in Seoul.
  const std::string& fix = lines[33];
  EXPECT_EQ(fix.rfind("G\t3000\t1\t37.", 0), 0u) << fix;
  EXPECT_NE(fix.find("\t126.9"), std::string::npos) << fix;
  EXPECT_EQ(fix.substr(fix.size() - 19), "2024-05-12 08:30:18");
  const std::vector<std::string> csv = Lines(Tool("telemetry " + in.string() + " --format csv").out);
  ASSERT_EQ(csv.size(), 55u);
  EXPECT_EQ(csv[0], "G,0,0,0.000000,0.000000,0.00,0.00,2024-05-12 08:30:15");
  // In a zone: 08:30:15 on the camera's clock (UTC+09:00) is 01:30:15 summer time in Berlin.
  const std::vector<std::string> zoned =
      Lines(Tool("telemetry " + in.string() + " --format csv --zone Europe/Berlin").out);
  ASSERT_EQ(zoned.size(), 55u);
  EXPECT_EQ(zoned[0], "G,0,0,0.000000,0.000000,0.00,0.00,2024-05-12 01:30:15+02:00");
  EXPECT_EQ(Tool("telemetry " + in.string() + " --zone Nowhere/Land").code, 1);
}

TEST(TelemetryTool, GpxHoldsTheValidFixesWithUtcTimes) {
  testsupport::TempFolder dir;
  const fs::path in = dir / "t.avi";
  ASSERT_EQ(Tool("record " + in.string() +
                 " --cameras 1 --seconds 5 --size 160x90 --bitrate 100 --audio none "
                 "--start '2024-05-12 08:30:15'")
                .code,
            0);
  const ToolRun r = Tool("telemetry " + in.string() + " --format gpx");
  EXPECT_EQ(r.code, 0);
  size_t points = 0;
  for (size_t p = 0; (p = r.out.find("<trkpt ", p)) != std::string::npos; ++p) ++points;
  EXPECT_EQ(points, 2u) << "five fixes, the first three invalid";
  EXPECT_NE(r.out.find("<time>2024-05-11T23:30:18Z</time>"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.rfind("<?xml", 0), 0u);
  EXPECT_NE(r.out.find("</gpx>"), std::string::npos);
  EXPECT_EQ(Tool("telemetry " + in.string() + " --format xml").code, 1);
}

}  // namespace
