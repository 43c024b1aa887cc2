#include <gtest/gtest.h>

#include "app/DlgLayout.h"

namespace app {
namespace {

LayoutInput Input(int width, int height, int mode) {
  LayoutInput in;
  in.width = width;
  in.height = height;
  in.layoutMode = mode;
  return in;
}

TEST(SixteenNineFit, TallAreaKeepsWidthAndCentresVertically) {
  const LayoutRect fit = FitSixteenNine({0, 0, 640, 480});
  EXPECT_EQ(fit, (LayoutRect{0, 60, 640, 420}));
}

TEST(SixteenNineFit, WideAreaKeepsHeightAndCentresHorizontally) {
  const LayoutRect fit = FitSixteenNine({10, 20, 1010, 380});
  // 360 * 16 / 9 = 640, centred in 1000: 180 either side
  EXPECT_EQ(fit, (LayoutRect{190, 20, 830, 380}));
}

TEST(SixteenNineFit, ExactAreaIsUnchangedNotOffByOne) {
  EXPECT_EQ(FitSixteenNine({5, 5, 325, 185}), (LayoutRect{5, 5, 325, 185}));
}

TEST(ModeOneRectangles, MinimumWindowGivesTheWorkedRectangles) {
  const DlgLayout l = ComputeLayout(Input(1034, 742, 1));
  EXPECT_EQ(l.infoRect, (LayoutRect{7, 483, 737, 672}));
  EXPECT_EQ(l.videoRect, (LayoutRect{12, 50, 732, 471}));
  EXPECT_EQ(l.barRect, (LayoutRect{7, 679, 732, 735}));
  // column height 685 split 2:3 -> 274 and 411
  EXPECT_EQ(l.mapRect, (LayoutRect{747, 50, 1027, 324}));
  EXPECT_EQ(l.listRect, (LayoutRect{747, 324, 1027, 735}));
}

TEST(ModeOneRectangles, FirstControlBarButtonSitsAtTwentyOneNotTwentyTwo) {
  // bar band 725 wide, one short of the 726-pixel row: the row moves left
  const DlgLayout l = ComputeLayout(Input(1034, 742, 1));
  EXPECT_EQ(l[DlgItem::Previous].rect.left, 21);
  EXPECT_EQ(l[DlgItem::Previous].rect.top, 679);
  EXPECT_EQ(l[DlgItem::Rewind].rect.left, 60);
  EXPECT_EQ(l[DlgItem::Play].rect, l[DlgItem::Pause].rect);
  EXPECT_EQ(l[DlgItem::Play].rect.left, 99);
  EXPECT_EQ(l[DlgItem::FastForward].rect.left, 138);
  EXPECT_EQ(l[DlgItem::Next].rect.left, 177);
  EXPECT_EQ(l[DlgItem::SpeedReset].rect, (LayoutRect{226, 683, 250, 707}));
  EXPECT_EQ(l[DlgItem::SpeedSlider].rect, (LayoutRect{251, 681, 346, 711}));
  EXPECT_EQ(l[DlgItem::BrightnessReset].rect.left, 349);
  EXPECT_EQ(l[DlgItem::BrightnessSlider].rect.left, 374);
  EXPECT_EQ(l[DlgItem::Mute].rect.left, 472);
  EXPECT_EQ(l[DlgItem::Volume].rect, (LayoutRect{511, 683, 581, 704}));
  EXPECT_EQ(l[DlgItem::SpeedGauge].rect, (LayoutRect{591, 676, 715, 714}));
}

TEST(ModeOneRectangles, ControlBarCentresInAWiderWindow) {
  const DlgLayout l = ComputeLayout(Input(1920, 1080, 1));
  // bar 7..1618 is 1611 wide: (1611 - 726) / 2 + 22 = 464
  EXPECT_EQ(l[DlgItem::Previous].rect.left, 464);
  EXPECT_EQ(l[DlgItem::Previous].rect.top, 1017);
}

TEST(ModeOneRectangles, TopBarButtonsAtFixedStepsAndWindowButtonsFromTheRight) {
  const DlgLayout l = ComputeLayout(Input(1200, 800, 1));
  EXPECT_EQ(l[DlgItem::Open].rect, (LayoutRect{9, 9, 41, 40}));
  EXPECT_EQ(l[DlgItem::Merge].rect.left, 53);
  EXPECT_EQ(l[DlgItem::Capture].rect.left, 97);
  EXPECT_EQ(l[DlgItem::Print].rect.left, 141);
  EXPECT_EQ(l[DlgItem::Zoom].rect.left, 185);
  EXPECT_EQ(l[DlgItem::LayoutToggle].rect.left, 229);
  EXPECT_EQ(l[DlgItem::Setting].rect.left, 273);
  EXPECT_EQ(l[DlgItem::About].rect.left, 317);
  EXPECT_EQ(l[DlgItem::Close].rect, (LayoutRect{1149, 9, 1179, 33}));
  EXPECT_EQ(l[DlgItem::Maximise].rect.left, 1105);
  EXPECT_EQ(l[DlgItem::Minimise].rect.left, 1061);
}

TEST(ModeOneRectangles, MapAndListColumnsPlaceTheirChildren) {
  const DlgLayout l = ComputeLayout(Input(1034, 742, 1));
  EXPECT_EQ(l[DlgItem::MapCaption].rect.left, 747);
  EXPECT_EQ(l[DlgItem::MapCaption].rect.top, 63);
  EXPECT_EQ(l[DlgItem::MapButton].rect, (LayoutRect{980, 54, 1012, 86}));
  EXPECT_EQ(l[DlgItem::MapPanel].rect, (LayoutRect{749, 88, 1025, 291}));
  EXPECT_EQ(l[DlgItem::MapNoData].rect, l[DlgItem::MapPanel].rect);
  EXPECT_EQ(l[DlgItem::MapNoConnected].rect, l[DlgItem::MapPanel].rect);
  EXPECT_EQ(l[DlgItem::CoordText].rect, (LayoutRect{747, 298, 1017, 318}));
  EXPECT_EQ(l[DlgItem::ListCaption].rect, (LayoutRect{747, 332, 839, 352}));
  EXPECT_EQ(l[DlgItem::FilterAll].rect, (LayoutRect{845, 330, 888, 353}));
  EXPECT_EQ(l[DlgItem::FilterEvent].rect.left, 891);
  EXPECT_EQ(l[DlgItem::FilterNormal].rect.left, 937);
  EXPECT_EQ(l[DlgItem::FilterParking].rect.left, 983);
  // 18 pixels are left for the scroll bar beside the list
  EXPECT_EQ(l[DlgItem::FileList].rect, (LayoutRect{747, 358, 1009, 735}));
}

TEST(ModeOneRectangles, GraphAndTextsUnderTheVideo) {
  const DlgLayout l = ComputeLayout(Input(1034, 742, 1));
  EXPECT_EQ(l[DlgItem::GsensorGraph].rect, (LayoutRect{7, 533, 737, 630}));
  EXPECT_EQ(l[DlgItem::GsensorText].rect, (LayoutRect{10, 639, 410, 659}));
  EXPECT_EQ(l[DlgItem::TimeText].rect, (LayoutRect{22, 486, 567, 506}));
  EXPECT_EQ(l[DlgItem::BothChannels].rect, (LayoutRect{677, 481, 720, 500}));
  EXPECT_EQ(l[DlgItem::RearChannel].rect.left, 624);
  EXPECT_EQ(l[DlgItem::FrontChannel].rect.left, 571);
}

TEST(SeekBarAlignment, SeekBarEndsLineUpWithTheGraphTimeAxis) {
  for (int width : {1034, 1280, 1500, 1920}) {
    for (int mode : {1, 2}) {
      const DlgLayout l = ComputeLayout(Input(width, 900, mode));
      const LayoutRect& seek = l[DlgItem::SeekBar].rect;
      const int axisLeft = l.infoRect.left + l.graph.plotLeft;
      const int axisRight = l.infoRect.left + l.graph.plotRight;
      EXPECT_EQ(seek.left + kSeekBarMargin - 2, axisLeft) << width << " mode " << mode;
      EXPECT_EQ(seek.Width() - 2 * kSeekBarMargin, axisRight - axisLeft);
      EXPECT_EQ(seek.Height(), 30);
      EXPECT_EQ(seek.top, l.infoRect.top + 25);
    }
  }
}

TEST(SeekBarAlignment, GraphGeometryUsesTwelveWholeColumns) {
  const GsensorGeometry g = ComputeGsensorGeometry(730, 97);
  EXPECT_EQ(g.plotLeft, 20);
  EXPECT_EQ(g.plotTop, 10);
  EXPECT_EQ(g.plotBottom, 92);
  EXPECT_EQ(g.columnWidth, 58);  // (730 - 30) / 12, remainder dropped
  EXPECT_EQ(g.plotRight, 716);
  EXPECT_EQ(g.rowOffset, 25);
}

TEST(SeekBarAlignment, MinimumWindowSeekBarRectangle) {
  const DlgLayout l = ComputeLayout(Input(1034, 742, 1));
  EXPECT_EQ(l[DlgItem::SeekBar].rect, (LayoutRect{14, 508, 740, 538}));
  EXPECT_EQ(l.seekBand, (LayoutRect{12, 498, 727, 548}));
}

TEST(ModeTwo, VideoFillsTheWindowAndSideColumnsHide) {
  const DlgLayout l = ComputeLayout(Input(1034, 742, 2));
  EXPECT_EQ(l.infoRect, (LayoutRect{0, 598, 1034, 672}));
  EXPECT_EQ(l.videoRect, (LayoutRect{0, 0, 1034, 586}));
  EXPECT_EQ(l.barRect, (LayoutRect{7, 679, 1034, 735}));
  EXPECT_EQ(l[DlgItem::LayoutToggle].rect, (LayoutRect{984, 676, 1016, 707}));
  EXPECT_EQ(l[DlgItem::LayoutToggle].visibility, Visibility::Shown);
  for (DlgItem hidden : {DlgItem::Open,       DlgItem::Merge,       DlgItem::Capture,        DlgItem::Print,
                         DlgItem::Setting,    DlgItem::Zoom,        DlgItem::About,          DlgItem::Minimise,
                         DlgItem::Maximise,   DlgItem::Close,       DlgItem::GsensorGraph,   DlgItem::GsensorText,
                         DlgItem::MapCaption, DlgItem::CoordText,   DlgItem::ListCaption,    DlgItem::MapButton,
                         DlgItem::MapPanel,   DlgItem::MapNoData,   DlgItem::MapNoConnected, DlgItem::FileList,
                         DlgItem::FilterAll,  DlgItem::FilterEvent, DlgItem::FilterNormal,   DlgItem::FilterParking}) {
    EXPECT_EQ(l[hidden].visibility, Visibility::Hidden) << static_cast<int>(hidden);
  }
  // (1027 - 726) / 2 + 22
  EXPECT_EQ(l[DlgItem::Previous].rect.left, 172);
  EXPECT_EQ(l[DlgItem::SeekBar].visibility, Visibility::Shown);
  EXPECT_EQ(l[DlgItem::TimeText].visibility, Visibility::Shown);
}

TEST(ModeTwo, SwitchingBackRestoresEveryModeOneChild) {
  LayoutInput in = Input(1034, 742, 1);
  in.gpsPresent = true;
  in.connected = true;
  const DlgLayout before = ComputeLayout(in);
  in.layoutMode = 2;
  (void)ComputeLayout(in);
  in.layoutMode = 1;
  const DlgLayout after = ComputeLayout(in);
  for (std::size_t i = 0; i < kDlgItemCount; ++i) {
    EXPECT_EQ(after.items[i].rect, before.items[i].rect) << i;
    EXPECT_EQ(after.items[i].visibility, before.items[i].visibility) << i;
  }
  EXPECT_EQ(after[DlgItem::Close].visibility, Visibility::Shown);
  EXPECT_EQ(after[DlgItem::LayoutToggle].rect.left, 229);
}

TEST(PlaybackOwnedChildren, LayoutMovesButNeverShowsOrHidesThem) {
  for (int mode : {1, 2}) {
    const DlgLayout l = ComputeLayout(Input(1100, 800, mode));
    for (DlgItem kept : {DlgItem::Play, DlgItem::Pause, DlgItem::FrontChannel, DlgItem::RearChannel,
                         DlgItem::BothChannels, DlgItem::FrontScreen, DlgItem::RearScreen}) {
      EXPECT_EQ(l[kept].visibility, Visibility::Keep);
      EXPECT_TRUE(l[kept].moved);
    }
  }
}

TEST(Screens, FrontOnlyFitsTheVideoAndParksTheRear) {
  LayoutInput in = Input(1034, 742, 1);
  const DlgLayout l = ComputeLayout(in);
  // 720 x 421 area: 16:9 of 720 is 405, 8 pixels above
  EXPECT_EQ(l[DlgItem::FrontScreen].rect, (LayoutRect{12, 58, 732, 463}));
  EXPECT_TRUE(l[DlgItem::RearScreen].rect.IsEmpty());
  in.channelView = 2;
  const DlgLayout rear = ComputeLayout(in);
  EXPECT_EQ(rear[DlgItem::RearScreen].rect, (LayoutRect{12, 58, 732, 463}));
  EXPECT_TRUE(rear[DlgItem::FrontScreen].rect.IsEmpty());
}

TEST(Screens, BothChannelsFitEachHalfIndependently) {
  LayoutInput in = Input(1034, 742, 1);
  in.channelView = 3;
  const DlgLayout l = ComputeLayout(in);
  // halves 12..372 and 372..732, each 360 x 421: 202 high, 109 above
  EXPECT_EQ(l[DlgItem::FrontScreen].rect, (LayoutRect{12, 159, 372, 361}));
  EXPECT_EQ(l[DlgItem::RearScreen].rect, (LayoutRect{372, 159, 732, 361}));
}

TEST(MapRule, NoGpsShowsNoDataWhateverTheConnection) {
  for (bool connected : {false, true}) {
    for (bool embedded : {false, true}) {
      const MapVisibility v = ApplyMapRule(false, connected, embedded);
      EXPECT_TRUE(v.noData);
      EXPECT_FALSE(v.mapPanel);
      EXPECT_FALSE(v.noConnected);
      EXPECT_FALSE(v.mapButton);
    }
  }
}

TEST(MapRule, GpsWithoutConnectionShowsNoConnection) {
  const MapVisibility v = ApplyMapRule(true, false, true);
  EXPECT_TRUE(v.noConnected);
  EXPECT_FALSE(v.noData);
  EXPECT_FALSE(v.mapPanel);
}

TEST(MapRule, GpsAndConnectionShowsMapAndButtonOnlyWhenEmbedded) {
  const MapVisibility embedded = ApplyMapRule(true, true, true);
  EXPECT_TRUE(embedded.mapPanel);
  EXPECT_TRUE(embedded.mapButton);
  EXPECT_FALSE(embedded.noData);
  EXPECT_FALSE(embedded.noConnected);
  EXPECT_FALSE(ApplyMapRule(true, true, false).mapButton);
}

TEST(MapRule, ModeOneAppliesTheRuleAndCaptionsFollowEmbedding) {
  LayoutInput in = Input(1034, 742, 1);
  in.gpsPresent = true;
  in.connected = false;
  in.mapEmbedded = false;
  const DlgLayout l = ComputeLayout(in);
  EXPECT_EQ(l[DlgItem::MapNoConnected].visibility, Visibility::Shown);
  EXPECT_EQ(l[DlgItem::MapPanel].visibility, Visibility::Hidden);
  EXPECT_EQ(l[DlgItem::MapNoData].visibility, Visibility::Hidden);
  EXPECT_EQ(l[DlgItem::MapCaption].visibility, Visibility::Hidden);
  EXPECT_EQ(l[DlgItem::CoordText].visibility, Visibility::Hidden);
}

TEST(BackgroundPieces, ColumnFramesWrapTheMapAndTheList) {
  const DlgLayout l = ComputeLayout(Input(1034, 742, 1));
  EXPECT_EQ(l.mapFrame, (LayoutRect{745, 50, 1029, 321}));
  EXPECT_EQ(l.listFrame, (LayoutRect{745, 324, 1029, 737}));
}

}  // namespace
}  // namespace app
