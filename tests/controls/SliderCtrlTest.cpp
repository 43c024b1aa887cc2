// The seek bar's mapping and busy rule, the small sliders' factors and the volume
// bar's click mapping.
#include <gtest/gtest.h>

#include <QWidget>
#include <vector>

#include "ControlTestSupport.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CBbSliderCtrl.h"
#include "controls/CBbVolumeCtrl.h"
#include "controls/ControlEvents.h"
#include "controls/SeekTarget.h"

namespace {

class RecordingSeekTarget : public SeekTarget {
 public:
  bool busy = false;
  bool open = true;
  std::vector<std::int64_t> positions;
  std::vector<int> seeks;
  int focusRestores = 0;

  bool IsBusy() const override { return busy; }
  bool HasOpenRecording() const override { return open; }
  void SetPosition(std::int64_t referenceTime) override { positions.push_back(referenceTime); }
  void Seek(int positionMs) override { seeks.push_back(positionMs); }
  void RestoreFocus() override { ++focusRestores; }
};

class VolumeSink : public QWidget {
 public:
  std::vector<int> levels;

 protected:
  bool event(QEvent* event) override {
    if (PrivateMessageEvent::MessageOf(event) == kMsgVolumeLevel) {
      levels.push_back(static_cast<int>(static_cast<PrivateMessageEvent*>(event)->WParam()));
      return true;
    }
    return QWidget::event(event);
  }
};

class SeekBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    bar = new CBbSliderCtrl(1026, &owner);
    bar->resize(400, 30);
    bar->setRange(0, 60000);
    bar->SetSeekTarget(&player);
  }
  QWidget owner;
  CBbSliderCtrl* bar = nullptr;
  RecordingSeekTarget player;
};

TEST_F(SeekBarTest, ClickMapsXOverTheWholeClientWidth) {
  EXPECT_EQ(bar->PositionAt(0), 0);
  EXPECT_EQ(bar->PositionAt(100), 15000);
  EXPECT_EQ(bar->PositionAt(200), 30000);
  EXPECT_EQ(bar->PositionAt(-5), 0);
}

TEST_F(SeekBarTest, LastPixelColumnSeeksToTheEnd) {
  EXPECT_EQ(bar->PositionAt(399), 60000);
  EXPECT_EQ(bar->PositionAt(450), 60000);
}

TEST_F(SeekBarTest, PressSetsPlayerPositionIn100nsUnits) {
  Press(bar, QPoint(200, 15));
  ASSERT_EQ(player.positions.size(), 1u);
  EXPECT_EQ(player.positions[0], 300000000LL);
  EXPECT_EQ(bar->value(), 30000);
  EXPECT_TRUE(bar->dragging);
}

TEST_F(SeekBarTest, DragSeeksInMillisecondsAndReleaseGivesFocusBack) {
  Press(bar, QPoint(100, 15));
  Drag(bar, QPoint(300, 15));
  ASSERT_EQ(player.seeks.size(), 1u);
  EXPECT_EQ(player.seeks[0], 45000);
  EXPECT_EQ(bar->value(), 45000);
  Release(bar, QPoint(300, 15));
  EXPECT_FALSE(bar->dragging);
  EXPECT_EQ(player.positions.back(), 450000000LL);
  EXPECT_EQ(player.focusRestores, 1);
}

TEST_F(SeekBarTest, MoveWithoutPressDoesNotSeek) {
  Move(bar, QPoint(300, 15));
  EXPECT_TRUE(player.seeks.empty());
}

TEST_F(SeekBarTest, BusyOwnerIgnoresClicksButGetsFocusBack) {
  bar->setValue(1000);
  player.busy = true;
  Press(bar, QPoint(200, 15));
  Drag(bar, QPoint(250, 15));
  Release(bar, QPoint(250, 15));
  EXPECT_TRUE(player.positions.empty());
  EXPECT_TRUE(player.seeks.empty());
  EXPECT_EQ(bar->value(), 1000);
  EXPECT_EQ(player.focusRestores, 1);
}

TEST_F(SeekBarTest, ReleaseWhileBusyEndsADragStartedBefore) {
  Press(bar, QPoint(100, 15));
  player.busy = true;
  Release(bar, QPoint(100, 15));
  player.busy = false;
  Drag(bar, QPoint(300, 15));
  EXPECT_TRUE(player.seeks.empty());
}

TEST_F(SeekBarTest, WithoutOpenRecordingOnlyTheThumbMoves) {
  player.open = false;
  Press(bar, QPoint(200, 15));
  EXPECT_TRUE(player.positions.empty());
  EXPECT_EQ(bar->value(), 30000);
}

TEST_F(SeekBarTest, ProgressWidthIsPositionShareOfChannel) {
  bar->setValue(30000);
  EXPECT_EQ(bar->ProgressWidth(), (400 - 30) / 2);
  bar->setRange(0, 0);
  EXPECT_EQ(bar->ProgressWidth(), 0);
}

TEST(SimpleSliderFactors, SpeedFactorAtEndsAndMiddle) {
  EXPECT_FLOAT_EQ(CBbSimpleSliderCtrl::SpeedFactor(0), 0.1f);
  EXPECT_FLOAT_EQ(CBbSimpleSliderCtrl::SpeedFactor(50), 1.0f);
  EXPECT_FLOAT_EQ(CBbSimpleSliderCtrl::SpeedFactor(100), 2.0f);
  EXPECT_FLOAT_EQ(CBbSimpleSliderCtrl::SpeedFactor(51), 1.02f);
  EXPECT_FLOAT_EQ(CBbSimpleSliderCtrl::SpeedFactor(25), 0.55f);
}

TEST(SimpleSliderFactors, BrightnessOffsetTruncatesTowardZero) {
  EXPECT_EQ(CBbSimpleSliderCtrl::BrightnessOffset(50), 0);
  // 50 * 5.1 is 254.99999999999997 in binary floating point: the ends truncate to 254.
  EXPECT_EQ(CBbSimpleSliderCtrl::BrightnessOffset(0), -254);
  EXPECT_EQ(CBbSimpleSliderCtrl::BrightnessOffset(100), 254);
  EXPECT_EQ(CBbSimpleSliderCtrl::BrightnessOffset(51), 5);
  EXPECT_EQ(CBbSimpleSliderCtrl::BrightnessOffset(49), -5);
}

TEST(SimpleSlider, StartsAtMiddleAndPagesTowardClick) {
  TestApp();
  QWidget owner;
  CBbSimpleSliderCtrl slider(1033, &owner);
  EXPECT_EQ(slider.value(), 50);
  EXPECT_EQ(slider.pageStep(), 10);
  std::vector<int> reported;
  QObject::connect(&slider, &CBbSimpleSliderCtrl::Scrolled,
                   [&](int id, int position) { reported.push_back(id * 1000 + position); });
  Press(&slider, QPoint(16, 15));  // left of the thumb
  Release(&slider, QPoint(16, 15));
  EXPECT_EQ(slider.value(), 40);
  Press(&slider, QPoint(90, 15));
  EXPECT_EQ(slider.value(), 50);
  EXPECT_EQ(reported, (std::vector<int>{1033040, 1033050}));
  slider.setValue(100);  // an owner's move is not reported
  EXPECT_EQ(reported.size(), 2u);
}

TEST(SimpleSlider, ThumbDragFollowsPointer) {
  TestApp();
  QWidget owner;
  CBbSimpleSliderCtrl slider(1034, &owner);
  const int thumbCentre = slider.ThumbLeft() + CBbSimpleSliderCtrl::kThumbWidth / 2;
  Press(&slider, QPoint(thumbCentre, 15));
  Drag(&slider, QPoint(15 + 5, 15));
  EXPECT_EQ(slider.value(), 0);
  Drag(&slider, QPoint(15 + 66 - 6, 15));
  EXPECT_EQ(slider.value(), 100);
  Release(&slider, QPoint(15 + 66 - 6, 15));
  EXPECT_EQ(slider.ThumbLeft(), 15 + 66 - 11);
}

TEST(VolumeCtrl, ClickMappingOnSeventyPixels) {
  EXPECT_EQ(CBbVolumeCtrl::LevelAt(59, 70), 9);
  EXPECT_EQ(CBbVolumeCtrl::LevelAt(60, 70), 10);
  EXPECT_EQ(CBbVolumeCtrl::LevelAt(0, 70), 0);
  EXPECT_EQ(CBbVolumeCtrl::LevelAt(5, 70), 0);
  EXPECT_EQ(CBbVolumeCtrl::LevelAt(6, 70), 1);
  EXPECT_EQ(CBbVolumeCtrl::LevelAt(69, 70), 10);
  EXPECT_EQ(CBbVolumeCtrl::LevelAt(70, 70), 10);
  EXPECT_EQ(CBbVolumeCtrl::LevelAt(-3, 70), 0);
}

TEST(VolumeCtrl, LevelFiveFillsThirtyFivePixels) {
  EXPECT_EQ(CBbVolumeCtrl::FilledWidth(5, 70), 35);
  EXPECT_EQ(CBbVolumeCtrl::FilledWidth(10, 70), 70);
  EXPECT_EQ(CBbVolumeCtrl::FilledWidth(0, 70), 0);
}

TEST(VolumeCtrl, ClickPostsLevelToParent) {
  TestApp();
  VolumeSink owner;
  auto* volume = new CBbVolumeCtrl(1002, &owner);
  EXPECT_EQ(volume->width(), 70);
  EXPECT_EQ(volume->level, 5);
  Press(volume, QPoint(59, 10));
  EXPECT_EQ(volume->level, 9);
  EXPECT_TRUE(owner.levels.empty());  // posted, delivered by the event loop
  QCoreApplication::processEvents();
  EXPECT_EQ(owner.levels, std::vector<int>{9});
  Press(volume, QPoint(60, 10));
  QCoreApplication::processEvents();
  EXPECT_EQ(owner.levels, (std::vector<int>{9, 10}));
}

TEST(VolumeCtrl, PaintsFilledPartFromLeft) {
  TestApp();
  RegisterSolid(20001, 70, 21, qRgb(40, 40, 40));
  RegisterSolid(20002, 70, 21, qRgb(0, 180, 255));
  QWidget owner;
  CBbVolumeCtrl volume(1002, &owner);
  volume.level = 5;
  const QImage shot = Grab(&volume);
  EXPECT_EQ(shot.pixel(34, 10), qRgb(0, 180, 255));
  EXPECT_EQ(shot.pixel(35, 10), qRgb(40, 40, 40));
  skin::ClearSkinImages();
}

}  // namespace
