// Still captures from the player: JPEG files at the camera's picture size with the
// grabbed picture in them, one per camera channel drawn.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <filesystem>

#include "CaptureTestSupport.h"
#include "tests/playback/PlaybackTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtApplication.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tools/capture/CaptureJpeg.h"
#include "tools/capture/RecordingMoment.h"
#include "tools/capture/StillCapture.h"

namespace fs = std::filesystem;
using capture_test::Compare;
using playback::CapturedImage;
using playback_test::Recording;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

QGuiApplication& App() { return testsupport::TestApplication<QGuiApplication>(); }
const bool kAppReady = (App(), true);

const LocalTime kTime{2024, 5, 12, 8, 30, 45, 123};

int FilesIn(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
  return count;
}

class StillCapture : public ::testing::Test {
 protected:
  // Opens a recording as the viewer's player would and stops on `positionMs`.
  void OpenAt(const std::string& kind, std::int32_t positionMs) {
    std::string error;
    ASSERT_TRUE(moment.Open(Recording(kind).string(), error)) << error;
    ASSERT_TRUE(moment.ShowPosition(positionMs, error)) << error;
  }
  CapturedImage Grab(int channel) {
    CapturedImage image;
    EXPECT_TRUE(moment.Player().GrabFrame(channel, &image));
    return image;
  }
  // The file holds the grabbed picture at its size, within the losses of JPEG at the
  // encoder's default quality (saturated colour edges lose most in small pictures).
  void ExpectHolds(const std::string& path, const CapturedImage& grabbed, int width, int height) {
    const QImage decoded(QString::fromStdString(path), "JPEG");
    ASSERT_FALSE(decoded.isNull()) << path;
    EXPECT_EQ(width, decoded.width());
    EXPECT_EQ(height, decoded.height());
    const auto difference = Compare(decoded, grabbed);
    EXPECT_LT(difference.meanAbsolute, 6.0) << path;
    EXPECT_LT(difference.worstBlock, 12.0) << path;
  }

  TempFolder dir;
  RecordingMoment moment;
};

TEST_F(StillCapture, TwoCamerasGiveTwoFilesAtEachCamerasFullPictureSize) {
  OpenAt("two-pcm", 1000);
  EXPECT_EQ(2, moment.VideoChannels());
  const StillCaptureResult result =
      CaptureStill(moment.Player(), dir.Path().string(), "REC_20240512_083015_2.avi", moment.VideoChannels(), kTime);
  EXPECT_TRUE(result.complete);
  EXPECT_EQ((dir / "REC_20240512_083015_2-2024-05-12-08h30m45s123(Track1).jpg").string(), result.names.track1);
  EXPECT_EQ((dir / "REC_20240512_083015_2-2024-05-12-08h30m45s123(Track2).jpg").string(), result.names.track2);
  // The headless windows are 16 x 16: the files have the cameras' sizes, not theirs.
  ExpectHolds(result.names.track1, Grab(0), 320, 180);
  ExpectHolds(result.names.track2, Grab(1), 192, 108);
  EXPECT_EQ(2, FilesIn(dir.Path()));
  // Kept for a look: what a user finds in the capture folder.
  const fs::path kept = fs::path(TARVO_BINARY_DIR) / "screenshots" / "capture";
  fs::create_directories(kept);
  fs::copy_file(result.names.track1, kept / "capture-track1.jpg", fs::copy_options::overwrite_existing);
  fs::copy_file(result.names.track2, kept / "capture-track2.jpg", fs::copy_options::overwrite_existing);
}

TEST_F(StillCapture, TheFrontFileIsNotTheRearPicture) {
  // The comparison itself must tell pictures apart, or the content checks prove nothing.
  OpenAt("four-aac", 500);
  const StillCaptureResult result =
      CaptureStill(moment.Player(), dir.Path().string(), "four.avi", moment.VideoChannels(), kTime);
  ASSERT_TRUE(result.complete);
  const QImage front(QString::fromStdString(result.names.track1), "JPEG");
  const CapturedImage rear = Grab(1);
  ASSERT_EQ(front.size(), QSize(rear.width, rear.height));
  EXPECT_GT(Compare(front, rear).meanAbsolute, 20.0);
}

TEST_F(StillCapture, OneCameraGivesOnlyTheTrack1File) {
  OpenAt("one-aac", 1000);
  EXPECT_EQ(1, moment.VideoChannels());
  const StillCaptureResult result =
      CaptureStill(moment.Player(), dir.Path().string(), "REC_one.avi", moment.VideoChannels(), kTime);
  EXPECT_TRUE(result.complete);
  EXPECT_TRUE(result.track1Written);
  EXPECT_FALSE(result.track2Written);
  ExpectHolds(result.names.track1, Grab(0), 320, 180);
  EXPECT_FALSE(fs::exists(result.names.track2));
  EXPECT_EQ(1, FilesIn(dir.Path()));
}

TEST_F(StillCapture, FourCamerasGiveTheTwoChannelsThePlayerDraws) {
  OpenAt("four-aac", 1000);
  EXPECT_EQ(4, moment.VideoChannels());
  const StillCaptureResult result =
      CaptureStill(moment.Player(), dir.Path().string(), "REC_four.avi", moment.VideoChannels(), kTime);
  EXPECT_TRUE(result.complete);
  ExpectHolds(result.names.track1, Grab(0), 192, 108);
  ExpectHolds(result.names.track2, Grab(1), 192, 108);
  EXPECT_EQ(2, FilesIn(dir.Path()));
}

TEST_F(StillCapture, TheFileShowsThePictureAtTheChosenPosition) {
  // The front camera prints its clock into the picture: two positions a second
  // apart must give two different files.
  OpenAt("long", 1000);
  const StillCaptureResult first = CaptureStill(moment.Player(), dir.Path().string(), "a.avi", 2, kTime);
  std::string error;
  ASSERT_TRUE(moment.ShowPosition(4000, error)) << error;
  const CapturedImage later = Grab(0);
  const StillCaptureResult second = CaptureStill(moment.Player(), dir.Path().string(), "b.avi", 2, kTime);
  ASSERT_TRUE(first.complete);
  ASSERT_TRUE(second.complete);
  ExpectHolds(second.names.track1, later, 320, 180);
  EXPECT_NE(ReadBytes(first.names.track1), ReadBytes(second.names.track1));
}

TEST_F(StillCapture, TwoCapturesInTheSameMillisecondLeaveOnePairTheSecondWins) {
  OpenAt("long", 1000);
  CaptureStill(moment.Player(), dir.Path().string(), "REC.avi", 2, kTime);
  std::string error;
  ASSERT_TRUE(moment.ShowPosition(5000, error)) << error;
  const StillCaptureResult again = CaptureStill(moment.Player(), dir.Path().string(), "REC.avi", 2, kTime);
  EXPECT_TRUE(again.complete);
  EXPECT_EQ(2, FilesIn(dir.Path()));
  ExpectHolds(again.names.track1, Grab(0), 320, 180);
}

TEST(StillCaptureFailures, AFailedGrabWritesNothing) {
  TempFolder dir;
  const StillCaptureResult result =
      CaptureStill([](int, CapturedImage*) { return false; }, dir.Path().string(), "rec.avi", 2, kTime);
  EXPECT_FALSE(result.complete);
  EXPECT_FALSE(result.track1Written);
  EXPECT_EQ(0, FilesIn(dir.Path()));
}

TEST(StillCaptureFailures, APlayerWithoutARecordingGivesAnEmptyPictureAndNoFile) {
  TempFolder dir;
  playback::CPlayer player;
  const StillCaptureResult result = CaptureStill(player, dir.Path().string(), "rec.avi", 2, kTime);
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(0, FilesIn(dir.Path()));
}

CapturedImage Solid(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  CapturedImage image;
  image.width = width;
  image.height = height;
  for (int i = 0; i < width * height; ++i) image.pixels.insert(image.pixels.end(), {blue, green, red, 255});
  return image;
}

TEST(StillCaptureFailures, WhenTheRearGrabFailsTheFrontFileStays) {
  TempFolder dir;
  const StillCaptureResult result = CaptureStill(
      [](int channel, CapturedImage* image) {
        if (channel != 0) return false;
        *image = Solid(64, 36, 10, 20, 200);
        return true;
      },
      dir.Path().string(), "rec.avi", 2, kTime);
  EXPECT_FALSE(result.complete);
  EXPECT_TRUE(result.track1Written);
  EXPECT_FALSE(result.track2Written);
  EXPECT_TRUE(fs::exists(result.names.track1));
  EXPECT_EQ(1, FilesIn(dir.Path()));
}

TEST(StillCaptureFailures, TheRedOfABgraPictureStaysRed) {
  // The engine's bytes are B, G, R, A: a swap would turn red into blue.
  TempFolder dir;
  const std::string path = (dir / "red.jpg").string();
  ASSERT_TRUE(SaveCaptureJpeg(Solid(32, 16, 10, 20, 200), path));
  const QImage decoded(QString::fromStdString(path), "JPEG");
  const QColor c = decoded.pixelColor(16, 8);
  EXPECT_NEAR(200, c.red(), 4);
  EXPECT_NEAR(20, c.green(), 4);
  EXPECT_NEAR(10, c.blue(), 4);
}

TEST(StillCaptureFailures, AnUnsavedPictureLeavesTheFileThereAsItWas) {
  TempFolder dir;
  const fs::path path = dir / "keep.jpg";
  WriteBytes(path, "earlier capture");
  EXPECT_FALSE(SaveCaptureJpeg(CapturedImage{}, path.string()));
  CapturedImage shortPixels = Solid(8, 8, 1, 2, 3);
  shortPixels.height = 9;  // more rows than bytes
  EXPECT_FALSE(SaveCaptureJpeg(shortPixels, path.string()));
  EXPECT_EQ("earlier capture", ReadBytes(path));
  // A folder that is gone: nothing is made.
  EXPECT_FALSE(SaveCaptureJpeg(Solid(8, 8, 1, 2, 3), (dir / "gone" / "x.jpg").string()));
  EXPECT_FALSE(fs::exists(dir / "gone"));
  EXPECT_EQ(1, FilesIn(dir.Path()));
}

TEST(RecordingMomentErrors, UnreadableFilesAndPositionsSayWhy) {
  TempFolder dir;
  RecordingMoment moment;
  std::string error;
  EXPECT_FALSE(moment.Open((dir / "missing.avi").string(), error));
  EXPECT_EQ("cannot read " + (dir / "missing.avi").string() + ": No such file or directory", error);
  WriteBytes(dir / "text.avi", "just some text, no recording");
  EXPECT_FALSE(moment.Open((dir / "text.avi").string(), error));
  EXPECT_EQ((dir / "text.avi").string() + " is not a recording (no RIFF AVI header)", error);
  ASSERT_TRUE(moment.Open(Recording("two-pcm").string(), error)) << error;
  EXPECT_FALSE(moment.ShowPosition(static_cast<std::int32_t>(moment.DurationMs()) + 1, error));
  EXPECT_NE(std::string::npos, error.find("outside the recording")) << error;
  EXPECT_FALSE(moment.ShowPosition(-5, error));
  EXPECT_TRUE(moment.ShowPosition(static_cast<std::int32_t>(moment.DurationMs()), error)) << error;
}

}  // namespace
