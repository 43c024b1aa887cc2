// The exported clip, read back with GStreamer's MP4 reader: every frame of a range
// over two consecutive recordings once, at their frame rate, with sound under all of
// it, each camera where its layout puts it, and the facts of each frame burned in.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <atomic>
#include <cmath>

#include "sources/RecordingCollection.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/LoadTelemetry.h"
#include "tests/export/ClipCheck.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/QtApplication.h"
#include "tests/support/TempFolder.h"
#include "tools/export/EvidencePackage.h"
#include "tools/export/OverlayPainter.h"

namespace {

using namespace clipexport;
using clipcheck::Picture;

constexpr uint64_t kFrameNs = 33333334;
constexpr int kFrontW = 320, kFrontH = 180, kRearW = 160, kRearH = 90;

class ClipExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testsupport::TestApplication<QGuiApplication>();
    folder_ = new testsupport::TempFolder("tarvo-export-");
    std::filesystem::create_directory(folder_->Path() / "rec");
    // Three consecutive two-camera recordings of 2 s: 08:30:15, :17 and :19.
    for (int second : {15, 17, 19}) {
      simulator::RecordOptions o = fixtures::SmallOptions(2, 2, avi::AudioKind::Aac);
      o.sizes = {{kFrontW, kFrontH}, {kRearW, kRearH}};
      o.bitrateKbps = 600;
      o.start = fixtures::CameraClock(8, 30, second);
      recordings_.push_back(fixtures::Record(o, folder_->Path() / "rec"));
    }
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
    recordings_.clear();
  }

  // 08:30:16.5 to 08:30:18.0: the last half second of the first recording and the
  // first second of the second.
  static ExportRequest Request(Layout layout, OverlayFields fields = {}, bool mirror = false) {
    std::vector<JobRecording> list;
    for (const auto& path : recordings_) {
      RecordingEntry entry;
      entry.fileName = path.filename().string();
      entry.path = path.string();
      RecordingCollection::ParseRecordingName(entry.fileName, entry);
      JobRecording r;
      EXPECT_TRUE(JobRecordingOf(entry, nullptr, r));
      list.push_back(r);
    }
    int64_t from = 0, to = 0;
    ParseClockText("2024-05-12 08:30:16", from);
    ParseClockText("2024-05-12 08:30:18", to);
    ExportRequest request;
    std::string error;
    EXPECT_TRUE(
        PlanExport(list, from * kUnitsPerSecond + kUnitsPerSecond / 2, to * kUnitsPerSecond, request.plan, error))
        << error;
    request.layout = layout;
    request.fields = fields;
    request.mirrorRear = mirror;
    return request;
  }

  static clipcheck::Clip Export(const ExportRequest& request, const std::string& name) {
    const auto path = folder_->Path() / name;
    const ExportOutcome outcome = ExportClipFile(request, path);
    EXPECT_TRUE(outcome.ok) << outcome.error;
    return clipcheck::ReadClip(path);
  }

  // The source picture of clip frame k: the first recording's frames from 1.5 s,
  // then the second's from its start.
  static Picture Source(int camera, int k) {
    static std::vector<Picture> pictures[2][2];
    const int recording = k < 15 ? 0 : 1;
    std::vector<Picture>& all = pictures[recording][camera];
    if (all.empty()) all = clipcheck::CameraPictures(recordings_[recording], camera);
    return all.at(static_cast<std::size_t>(k < 15 ? 45 + k : k - 15));
  }

  static testsupport::TempFolder* folder_;
  static std::vector<std::filesystem::path> recordings_;
};

testsupport::TempFolder* ClipExport::folder_ = nullptr;
std::vector<std::filesystem::path> ClipExport::recordings_;

const int kCheckedFrames[] = {0, 14, 15, 44};

TEST_F(ClipExport, SideBySideHoldsEveryFrameOnceWithSoundAndTheFactsOfEachFrame) {
  const ExportRequest request = Request(Layout::Side);
  ASSERT_EQ(45, request.plan.range.frames);
  const clipcheck::Clip clip = Export(request, "side.mp4");
  ASSERT_EQ("", clip.error);
  // The index comes first, so a player can start before the whole file arrived.
  ASSERT_GE(clip.boxes.size(), 3u);
  EXPECT_EQ("ftyp", clip.boxes[0]);
  EXPECT_EQ("moov", clip.boxes[1]);
  EXPECT_EQ("mdat", clip.boxes[2]);
  EXPECT_EQ(45u, clip.frames.size());
  EXPECT_EQ(30, clip.fpsN);
  EXPECT_EQ(1, clip.fpsD);
  EXPECT_NEAR(1.5e9, static_cast<double>(clip.durationNs), kFrameNs);
  for (std::size_t k = 0; k < clip.framePts.size(); ++k)
    EXPECT_NEAR(static_cast<double>(k) * 1e9 / 30, static_cast<double>(clip.framePts[k]), 1e3) << k;
  // Both cameras at the front camera's height, each at its own aspect.
  EXPECT_EQ(2 * kFrontW, clip.width);
  EXPECT_EQ(kFrontH, clip.height);
  // Sound from the first frame to the last.
  EXPECT_EQ(48000, clip.audioRate);
  EXPECT_LE(clip.audioStartNs, kFrameNs);
  EXPECT_GE(clip.audioEndNs, 1500000000 - kFrameNs);
  EXPECT_GE(clip.audioSamples, static_cast<uint64_t>(48000 * 1.5 - 1600));

  // The samples the overlay reads, loaded here on their own.
  TelemetrySamples samples[2];
  for (int r = 0; r < 2; ++r) {
    FileByteSource file;
    ASSERT_TRUE(file.Open(recordings_[r].string()));
    avi::AviReader reader(file);
    ASSERT_TRUE(reader.Open());
    avi::AviTelemetrySource source(reader);
    LoadTelemetry(&source, samples[r]);
  }
  for (const int k : kCheckedFrames) {
    const Picture& frame = clip.frames.at(static_cast<std::size_t>(k));
    const int recording = k < 15 ? 0 : 1;
    // The moment of frame k on the camera clock, and the panel drawn alone for it.
    const int positionMs = k < 15 ? 1500 + (k * 1000 + 15) / 30 : ((k - 15) * 1000 + 15) / 30;
    const auto momentLines = [&](int ms) {
      OverlayMoment moment{(request.plan.recordings[static_cast<std::size_t>(recording)].clockStart) * kUnitsPerSecond +
                               int64_t{ms} * kUnitsPerMs,
                           ms, recordings_[static_cast<std::size_t>(recording)].filename().string()};
      return OverlayLines(moment, samples[recording], OverlayFields{}, false);
    };
    int px = 0, py = 0;
    const QImage panel = OverlayPanel(momentLines(positionMs), clip.width, clip.height, px, py);
    const Box panelBox{px, py, panel.width(), panel.height()};
    const Picture drawn =
        clipcheck::LumaOfArgb(reinterpret_cast<const uint32_t*>(panel.constBits()), panel.width(), panel.height());
    const double overlay = clipcheck::Psnr(clipcheck::Crop(frame, panelBox), drawn);
    EXPECT_GT(overlay, 30.0) << "frame " << k;
    // A panel of another moment (a second later) does not match as well.
    int ox = 0, oy = 0;
    const QImage other = OverlayPanel(momentLines(positionMs + 1000), clip.width, clip.height, ox, oy);
    if (other.size() == panel.size() && ox == px && oy == py) {
      const Picture wrong =
          clipcheck::LumaOfArgb(reinterpret_cast<const uint32_t*>(other.constBits()), other.width(), other.height());
      EXPECT_GT(overlay, clipcheck::Psnr(clipcheck::Crop(frame, panelBox), wrong) + 4) << "frame " << k;
    }
    // The front camera unscaled at the left, the rear one scaled to the same height.
    const double front = clipcheck::Psnr(clipcheck::Crop(frame, {0, 0, kFrontW, kFrontH}), Source(0, k), panelBox);
    EXPECT_GT(front, 35.0) << "frame " << k;
    if (k + 1 < 45) {
      EXPECT_GT(front, clipcheck::Psnr(clipcheck::Crop(frame, {0, 0, kFrontW, kFrontH}), Source(0, k + 1), panelBox))
          << "frame " << k << " is the picture of its own time";
    }
    const Picture rear = clipcheck::Crop(frame, {kFrontW, 0, kFrontW, kFrontH});
    EXPECT_GT(clipcheck::Psnr(rear, clipcheck::Scale(Source(1, k), kFrontW, kFrontH)), 40.0) << "frame " << k;
  }
}

TEST_F(ClipExport, LayoutsPutTheCamerasWhereTheirGeometrySays) {
  const OverlayFields none{false, false, false, false};
  // Picture in picture, the rear camera mirrored as the viewer's setting says.
  const clipcheck::Clip pip = Export(Request(Layout::Pip, none, true), "pip.mp4");
  ASSERT_EQ(45u, pip.frames.size());
  EXPECT_EQ(kFrontW, pip.width);
  const Box inset = ComputeCanvas(Layout::Pip, {kFrontW, kFrontH}, {kRearW, kRearH}).rear;
  EXPECT_EQ((Box{218, 6, 96, 54}), inset);
  const clipcheck::Clip front = Export(Request(Layout::Front, none), "front.mp4");
  const clipcheck::Clip rear = Export(Request(Layout::Rear, none), "rear.mp4");
  ASSERT_EQ(45u, front.frames.size());
  ASSERT_EQ(45u, rear.frames.size());
  EXPECT_EQ(kFrontW, front.width);
  EXPECT_EQ(kRearW, rear.width);
  EXPECT_EQ(kRearH, rear.height);
  for (const int k : kCheckedFrames) {
    const std::size_t i = static_cast<std::size_t>(k);
    EXPECT_GT(clipcheck::Psnr(pip.frames[i], Source(0, k), inset), 35.0) << k;
    const Picture shown = clipcheck::Crop(pip.frames[i], inset);
    const double mirrored = clipcheck::Psnr(shown, clipcheck::Scale(Source(1, k), inset.width, inset.height, true));
    EXPECT_GT(mirrored, 30.0) << k;
    EXPECT_GT(mirrored, clipcheck::Psnr(shown, clipcheck::Scale(Source(1, k), inset.width, inset.height)) + 10) << k;
    EXPECT_GT(clipcheck::Psnr(front.frames[i], Source(0, k)), 35.0) << k;
    EXPECT_GT(clipcheck::Psnr(rear.frames[i], Source(1, k)), 35.0) << k;
  }
}

TEST_F(ClipExport, CancelLeavesNothingBehind) {
  // Cancelled halfway: the first recording's part is in the file, the second is
  // about to start.
  const ExportRequest request = Request(Layout::Side);
  const auto before = std::distance(std::filesystem::directory_iterator(folder_->Path()), {});
  std::atomic<bool> cancel{false};
  bool sawPart = false;
  const ExportOutcome outcome = ExportClipFile(
      request, folder_->Path() / "cancelled.mp4",
      [&](const ExportProgress&) {
        sawPart = sawPart || std::filesystem::exists(folder_->Path() / ".cancelled.mp4.part");
        if (sawPart) cancel = true;
      },
      &cancel);
  EXPECT_TRUE(sawPart);
  EXPECT_FALSE(outcome.ok);
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_EQ(before, std::distance(std::filesystem::directory_iterator(folder_->Path()), {}));
}

}  // namespace
