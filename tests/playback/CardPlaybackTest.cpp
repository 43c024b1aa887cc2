// Playing a recording straight from a dashcam card image, as the viewer does for
// intact card recordings: the card connection and the file number go to the source.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "PlaybackTestSupport.h"
#include "kovr/Kovr.h"
#include "playback/CPlaybackGraph.h"
#include "playback/CPlayer.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"

using namespace playback;
using namespace playback_test;

namespace {

std::string Tool() {
  const char* tool = std::getenv("TARVO_TOOL");
  return tool && *tool ? tool : std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool";
}

std::string Run(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) out += line;
    ::pclose(pipe);
  }
  return out;
}

// A formatted card image holding the "two-pcm" recording in NORMAL; its file number.
std::int32_t PrepareCard(const std::filesystem::path& image, const std::filesystem::path& recording) {
  const std::string tool = "'" + Tool() + "' card ";
  Run(tool + "mkimage '" + image.string() + "' 120M");
  Run(tool + "format '" + image.string() + "'");
  Run(tool + "put '" + image.string() + "' NORMAL '" + recording.string() + "'");
  std::istringstream listing(Run(tool + "ls '" + image.string() + "' NORMAL"));
  std::string name;
  std::int32_t number = 0;
  while (listing >> name >> number) {
    if (name == recording.filename().string()) return number;
    std::string rest;
    std::getline(listing, rest);
  }
  return 0;
}

class CardPlayback : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(VK_Kovr_Start(), 0); }
  void TearDown() override {
    if (opened) VK_Kovr_Device_Close(block);
    VK_Kovr_Stop();
  }
  unsigned char block[KOVR_CONNECTION_BLOCK_SIZE] = {};
  bool opened = false;
};

}  // namespace

TEST_F(CardPlayback, ARecordingPlaysFromTheCardWithItsTelemetry) {
  const auto recording = Recording("two-pcm");
  const auto image = ScratchFolder() / "card.img";
  const std::int32_t number = PrepareCard(image, recording);
  ASSERT_GT(number, 0);
  ASSERT_EQ(VK_Kovr_Device_Open(image.string().c_str(), KOVR_OPEN_DEFAULT, block), 0);
  opened = true;

  TestChannelWindow front{320, 180}, rear{192, 108};
  CPlayer player;
  player.AttachWindows(&front, &rear);
  player.SetSourceOption(false);
  ASSERT_TRUE(player.Open(recording.filename().string(), {block, number}));
  EXPECT_EQ(player.Graph()->videoChannels(), 2);
  EXPECT_EQ(player.Graph()->state(), kStateStopped);
  EXPECT_GE(rear.Frames(), 1);
  ASSERT_EQ(player.Graph()->Play(), kSOk);
  const int before = front.Frames();
  EXPECT_TRUE(front.WaitForFrames(before + 5, 3000));

  // The records read through the card are those of the file itself.
  FileByteSource bytes;
  ASSERT_TRUE(bytes.Open(recording));
  avi::AviReader reader(bytes);
  ASSERT_TRUE(reader.Open());
  avi::AviTelemetrySource direct(reader);
  const std::shared_ptr<TelemetryRecordSource> viaCard = player.TelemetrySource();
  ASSERT_NE(viaCard, nullptr);
  int records = 0;
  for (;;) {
    char a[1024] = {}, b[1024] = {};
    std::int32_t sizeA = 1024, sizeB = 1024, timeA = 0, timeB = 0;
    const int ra = direct.ReadTelemetryRecord(a, &sizeA, &timeA);
    const int rb = viaCard->ReadTelemetryRecord(b, &sizeB, &timeB);
    ASSERT_EQ(rb, ra);
    if (ra == 38) break;
    ASSERT_EQ(std::string(b, static_cast<std::size_t>(sizeB)), std::string(a, static_cast<std::size_t>(sizeA)));
    ASSERT_EQ(timeB, timeA);
    ++records;
  }
  EXPECT_GT(records, 10);
  player.Close();
}

TEST_F(CardPlayback, AFileNumberTheCardDoesNotHoldFailsTheOpen) {
  const auto image = ScratchFolder() / "empty-card.img";
  const std::int32_t number = PrepareCard(image, Recording("one-aac"));
  ASSERT_GT(number, 0);
  ASSERT_EQ(VK_Kovr_Device_Open(image.string().c_str(), KOVR_OPEN_DEFAULT, block), 0);
  opened = true;
  TestChannelWindow front, rear;
  CPlayer player;
  player.AttachWindows(&front, &rear);
  EXPECT_FALSE(player.Open("REC_20000101_000000_2.avi", {block, number + 1000}));
  EXPECT_EQ(player.Graph(), nullptr);
}
