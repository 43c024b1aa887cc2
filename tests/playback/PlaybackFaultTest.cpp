// Playing a recording that changes under the player: truncated or deleted after it
// was opened, from a folder or from a card image. Only the player's own calls are
// used, as the main window uses them; each must come back, and Close must end the
// graph, however the reads fail.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "PlaybackTestSupport.h"
#include "kovr/Kovr.h"
#include "playback/CPlaybackGraph.h"
#include "playback/CPlayer.h"

using namespace playback;
using namespace playback_test;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A call that does not come back within this is a hang, not a slow machine.
constexpr auto kLongestCall = std::chrono::seconds(20);

fs::path CopyOf(const std::string& kind, const std::string& name) {
  const fs::path copy = ScratchFolder() / name;
  fs::copy_file(Recording(kind), copy, fs::copy_options::overwrite_existing);
  return copy;
}

// Seeks across the whole recording and grabs a picture at each stop; the calls must
// all return, the position stay within the duration it had when opened.
void SeekAcross(CPlayer& player, std::uint64_t duration) {
  for (const std::int32_t at : {0, 1500, 3000, 4500, 5900, 1000}) {
    const auto start = Clock::now();
    player.Seek(at);
    CapturedImage image;
    EXPECT_TRUE(player.GrabFrame(0, &image));
    EXPECT_LE(player.GetPosition(), duration) << at;
    EXPECT_LT(Clock::now() - start, kLongestCall) << "seek to " << at;
  }
  EXPECT_TRUE(player.SetRate(2.0f));
  EXPECT_TRUE(player.SetVolume(50));
  EXPECT_EQ(player.GetDuration(), duration) << "the duration is the one read at open";
}

TEST(PlaybackFault, RecordingTruncatedWhileOpenSeeksAndClosesWithoutHanging) {
  const fs::path copy = CopyOf("long", "truncated.avi");
  TestChannelWindow front, rear;
  CPlayer player;
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(copy.string()));
  const std::uint64_t duration = player.GetDuration();
  ASSERT_GT(duration, 5000u);
  fs::resize_file(copy, fs::file_size(copy) / 3);
  SeekAcross(player, duration);
  const auto start = Clock::now();
  EXPECT_TRUE(player.Close());
  EXPECT_LT(Clock::now() - start, kLongestCall);
  EXPECT_EQ(player.GetDuration(), 0u);
  fs::remove(copy);
}

TEST(PlaybackFault, RecordingDeletedWhileOpenStillShowsItsPictures) {
  const fs::path copy = CopyOf("long", "deleted.avi");
  TestChannelWindow front, rear;
  CPlayer player;
  player.AttachWindows(&front, &rear);
  ASSERT_TRUE(player.Open(copy.string()));
  const std::uint64_t duration = player.GetDuration();
  ASSERT_EQ(::unlink(copy.c_str()), 0);
  const int before = front.Frames();
  EXPECT_TRUE(player.Seek(4000));
  EXPECT_TRUE(front.WaitForFrames(before + 1, 5000)) << "the open file keeps its bytes";
  SeekAcross(player, duration);
  EXPECT_TRUE(player.Close());
  EXPECT_FALSE(player.Open(copy.string())) << "gone for a new open";
}

TEST(PlaybackFault, CardImageCutWhilePlayingFromItSeeksAndClosesWithoutHanging) {
  const fs::path recording = Recording("long");
  const fs::path image = ScratchFolder() / "cut-card.img";
  ASSERT_EQ(VK_Kovr_Start(), 0);
  unsigned char block[KOVR_CONNECTION_BLOCK_SIZE] = {};
  const std::string tool = "'" + std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool' card ";
  const std::string card = " '" + image.string() + "'";
  ASSERT_EQ(std::system((tool + "mkimage" + card + " 120M >/dev/null").c_str()), 0);
  ASSERT_EQ(std::system((tool + "format" + card + " >/dev/null").c_str()), 0);
  ASSERT_EQ(std::system((tool + "put" + card + " NORMAL '" + recording.string() + "' >/dev/null").c_str()), 0);
  ASSERT_EQ(VK_Kovr_Device_Open(image.c_str(), KOVR_OPEN_DEFAULT, block), 0);
  const std::int32_t number = 1;  // the first file of a fresh card
  {
    TestChannelWindow front, rear;
    CPlayer player;
    player.AttachWindows(&front, &rear);
    player.SetSourceOption(false);  // as the main window does before every open
    ASSERT_TRUE(player.Open(recording.filename().string(), {block, number}));
    const std::uint64_t duration = player.GetDuration();
    ASSERT_GT(duration, 5000u);
    KovrAreaInfo area{};
    ASSERT_EQ(VK_Kovr_Get_Area_Info(block, 0, &area), 0);
    // Cut a third of the way into the recording: a card pulled out while it plays.
    fs::resize_file(image, area.startByte + fs::file_size(recording) / 3 + 333);
    SeekAcross(player, duration);
    const auto start = Clock::now();
    EXPECT_TRUE(player.Close());
    EXPECT_LT(Clock::now() - start, kLongestCall);
  }
  VK_Kovr_Device_Close(block);
  VK_Kovr_Stop();
  fs::remove(image);
}

}  // namespace
