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
    return changed_.wait_for(lock, timeout, [&] { return pred(ends_, errors_.size()); });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int ends_ = 0;
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
  ASSERT_TRUE(listener.WaitFor([](int ends, std::size_t) { return ends > 0; }, std::chrono::seconds(10)));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(listener.Ends(), 1);
  EXPECT_FALSE(listener.CalledOn(std::this_thread::get_id()));
  EXPECT_EQ(player.GetPosition(), player.GetDuration());
  EXPECT_TRUE(listener.Errors().empty());
}

TEST_F(Events, ASeekBackAfterTheEndEndsAgain) {
  ASSERT_TRUE(player.Open(Recording("two-pcm").string()));
  ASSERT_TRUE(player.Play());
  ASSERT_TRUE(listener.WaitFor([](int ends, std::size_t) { return ends == 1; }, std::chrono::seconds(10)));
  ASSERT_TRUE(player.Seek(static_cast<std::int32_t>(player.GetDuration()) - 300));
  ASSERT_TRUE(listener.WaitFor([](int ends, std::size_t) { return ends == 2; }, std::chrono::seconds(10)));
}

TEST_F(Events, PicturesTurningToNoiseHalfWayGiveOneError) {
  const auto garbled = Garbled(Recording("long"), 3.0);
  ASSERT_TRUE(player.Open(garbled.string()));
  ASSERT_TRUE(player.Play());
  ASSERT_TRUE(listener.WaitFor([](int, std::size_t errors) { return errors > 0; }, std::chrono::seconds(15)));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const std::vector<std::string> errors = listener.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(errors[0].empty());
  EXPECT_EQ(player.LastError(), errors[0]);
  EXPECT_FALSE(listener.CalledOn(std::this_thread::get_id()));
}
