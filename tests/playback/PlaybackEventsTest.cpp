// What the graph tells its listener without being asked: the end of the recording,
// once per segment, and a pipeline error, once per recording.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "PlaybackTestSupport.h"
#include "playback/CPlaybackGraph.h"
#include "playback/CPlayer.h"
#include "playback/PlaybackListener.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/FileByteSource.h"

using namespace playback;
using namespace playback_test;

namespace {

// Records the events with the thread they came on.
class RecordingListener final : public PlaybackListener {
 public:
  void OnEndOfStream() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++ends_;
    threads_.push_back(std::this_thread::get_id());
    changed_.notify_all();
  }
  void OnNextRecording() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++nexts_;
    changed_.notify_all();
  }
  int Nexts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return nexts_;
  }
  void OnError(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    errors_.push_back(text);
    threads_.push_back(std::this_thread::get_id());
    changed_.notify_all();
  }
  int Ends() {
    std::lock_guard<std::mutex> lock(mutex_);
    return ends_;
  }
  std::vector<std::string> Errors() {
    std::lock_guard<std::mutex> lock(mutex_);
    return errors_;
  }
  bool CalledOn(std::thread::id id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::find(threads_.begin(), threads_.end(), id) != threads_.end();
  }
  template <typename Pred>
  bool WaitFor(Pred pred, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return pred(ends_, errors_.size(), nexts_); });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int ends_ = 0;
  int nexts_ = 0;
  std::vector<std::string> errors_;
  std::vector<std::thread::id> threads_;
};

// A copy of `recording` whose pictures are noise from `fromSecond` on: the chunks
// stay where they are and keep their start codes and NAL headers, so the demultiplexer
// hands them on and the decoder chokes on them, as on a recording damaged on the card.
std::filesystem::path Garbled(const std::filesystem::path& recording, double fromSecond) {
  const auto out = ScratchFolder() / ("garbled-" + recording.filename().string());
  std::filesystem::copy_file(recording, out, std::filesystem::copy_options::overwrite_existing);
  FileByteSource bytes;
  EXPECT_TRUE(bytes.Open(recording));
  avi::AviReader reader(bytes);
  EXPECT_TRUE(reader.Open());
  std::fstream file(out, std::ios::in | std::ios::out | std::ios::binary);
  std::mt19937 noise(7);
  for (const avi::ChunkEntry& chunk : reader.Chunks()) {
    if (chunk.kind != avi::ChunkKind::Video || chunk.time < static_cast<std::int64_t>(fromSecond * 1e7)) continue;
    if (chunk.size <= 5) continue;
    std::string junk(chunk.size - 5, '\0');
    for (char& c : junk) c = static_cast<char>(noise());
    file.seekp(chunk.offset + 5);
    file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
  }
  return out;
}

class Events : public ::testing::Test {
 protected:
  void SetUp() override {
    player.AttachWindows(&front, &rear);
    player.SetListener(&listener);
  }
  TestChannelWindow front{320, 180};
  TestChannelWindow rear{192, 108};
  RecordingListener listener;
  CPlayer player;
};

}  // namespace

TEST_F(Events, TheEndArrivesOnceOnAStreamingThread) {
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  ASSERT_TRUE(player.Play());
  ASSERT_TRUE(listener.WaitFor([](int ends, std::size_t, int) { return ends > 0; }, std::chrono::seconds(10)));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(listener.Ends(), 1);
  EXPECT_FALSE(listener.CalledOn(std::this_thread::get_id()));
  EXPECT_EQ(player.GetPosition(), player.GetDuration());
  EXPECT_TRUE(listener.Errors().empty());
}

TEST_F(Events, ASeekBackAfterTheEndEndsAgain) {
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  ASSERT_TRUE(player.Play());
  ASSERT_TRUE(listener.WaitFor([](int ends, std::size_t, int) { return ends == 1; }, std::chrono::seconds(10)));
  ASSERT_TRUE(player.Seek(static_cast<std::int32_t>(player.GetDuration()) - 300));
  ASSERT_TRUE(listener.WaitFor([](int ends, std::size_t, int) { return ends == 2; }, std::chrono::seconds(10)));
}

TEST_F(Events, PicturesTurningToNoiseHalfWayGiveOneError) {
  const auto garbled = Garbled(Recording("long"), 3.0);
  ASSERT_TRUE(player.Open(garbled.string()));
  ASSERT_TRUE(player.Play());
  ASSERT_TRUE(listener.WaitFor([](int, std::size_t errors, int) { return errors > 0; }, std::chrono::seconds(15)));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const std::vector<std::string> errors = listener.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(errors[0].empty());
  EXPECT_EQ(player.LastError(), errors[0]);
  EXPECT_FALSE(listener.CalledOn(std::this_thread::get_id()));
}

TEST_F(Events, AnArmedStandbyTakesOverAtTheEndOfThePicturesAndADroppedOneDoesNot) {
  // Dropped: nothing to arm, and the end is the recording's own.
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  ASSERT_TRUE(player.PrepareStandby(Recording("two-aac").string()));
  player.DropStandby();
  EXPECT_EQ(player.Standby(), nullptr);
  EXPECT_FALSE(player.ArmStandby());
  ASSERT_TRUE(player.Play());
  ASSERT_TRUE(listener.WaitFor([](int ends, std::size_t, int) { return ends == 1; }, std::chrono::seconds(10)));
  EXPECT_EQ(listener.Nexts(), 0);

  // Armed: the standby's first picture waits in its renderers until the first
  // recording's pictures end, then it plays in its place and no end is reported.
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  const std::shared_ptr<CPlaybackGraph> first = player.Graph();
  ASSERT_TRUE(player.PrepareStandby(Recording("two-aac").string()));
  const std::shared_ptr<CPlaybackGraph> second = player.Standby();
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(player.ArmStandby());
  const std::size_t before = front.Stamps().size();
  ASSERT_TRUE(player.Play());
  ASSERT_TRUE(listener.WaitFor([](int, std::size_t, int nexts) { return nexts == 1; }, std::chrono::seconds(10)));
  EXPECT_EQ(listener.Ends(), 1);
  EXPECT_EQ(player.Graph(), second);
  EXPECT_EQ(player.Standby(), nullptr);
  EXPECT_EQ(player.state(), kStateRunning);
  // The ended graph is torn down on the player's thread, just after the change.
  for (int i = 0; i < 500 && first->built(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(first->built());
  ASSERT_TRUE(front.WaitForFrames(static_cast<int>(before) + 31, 10000));
  // One drop of the time, from the first recording's last seconds to the second's start.
  const std::vector<std::int64_t> stamps = front.Stamps();
  std::size_t turns = 0, turn = 0;
  for (std::size_t k = before + 1; k < stamps.size(); ++k) {
    if (stamps[k] < stamps[k - 1]) {
      ++turns;
      turn = k;
    }
  }
  ASSERT_EQ(turns, 1u);
  EXPECT_EQ(stamps[turn], 0);
  EXPECT_GT(stamps[turn - 1], 18000000);
  // The second one ends as any recording does.
  ASSERT_TRUE(listener.WaitFor([](int ends, std::size_t, int) { return ends == 2; }, std::chrono::seconds(10)));
  EXPECT_EQ(listener.Nexts(), 1);
  EXPECT_TRUE(listener.Errors().empty());
}
