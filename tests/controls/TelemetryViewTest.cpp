// The speed readout's digit placement and the G-sensor graph's geometry and series.
#include <gtest/gtest.h>

#include <vector>

#include "ControlTestSupport.h"
#include "res/SkinIds.h"
#include "settings/ViewerSettings.h"
#include "telemetry/CBbGsensorCtrl.h"
#include "telemetry/CBbSpeedCtrl.h"

namespace {

using Glyph = CBbSpeedCtrl::Glyph;
const Glyph kPoint{skin::kSpeedPoint, 55};
Glyph Digit(int d, int x) { return Glyph{skin::SpeedDigitId(d), x}; }

TEST(SpeedDigits, FortyOnePointFourEightReadsFortyOnePointFour) {
  EXPECT_EQ(CBbSpeedCtrl::Glyphs(41.48), (std::vector<Glyph>{Digit(4, 32), Digit(1, 44), Digit(4, 60), kPoint}));
}

TEST(SpeedDigits, HundredUsesTheHundredsPlace) {
  EXPECT_EQ(CBbSpeedCtrl::Glyphs(100.0),
            (std::vector<Glyph>{Digit(1, 20), Digit(0, 32), Digit(0, 44), Digit(0, 60), kPoint}));
}

TEST(SpeedDigits, BelowOneShowsLeadingZero) {
  EXPECT_EQ(CBbSpeedCtrl::Glyphs(0.0), (std::vector<Glyph>{Digit(0, 44), Digit(0, 60), kPoint}));
  EXPECT_EQ(CBbSpeedCtrl::Glyphs(0.56), (std::vector<Glyph>{Digit(0, 44), Digit(5, 60), kPoint}));
}

TEST(SpeedDigits, ZeroInsideTheNumberIsDrawn) {
  EXPECT_EQ(CBbSpeedCtrl::Glyphs(7.0), (std::vector<Glyph>{Digit(7, 44), Digit(0, 60), kPoint}));
  EXPECT_EQ(CBbSpeedCtrl::Glyphs(10.05), (std::vector<Glyph>{Digit(1, 32), Digit(0, 44), Digit(0, 60), kPoint}));
}

TEST(SpeedDigits, NegativeAndHugeStayInsideTheFourPlaces) {
  EXPECT_EQ(CBbSpeedCtrl::Glyphs(-3.0), (std::vector<Glyph>{Digit(0, 44), kPoint}));
  EXPECT_EQ(CBbSpeedCtrl::Glyphs(12345.0),
            (std::vector<Glyph>{Digit(9, 20), Digit(9, 32), Digit(9, 44), Digit(9, 60), kPoint}));
}

TEST(SpeedReadout, DrawsDigitsOverBackgroundWithWhiteKeyed) {
  TestApp();
  QImage digit(10, 18, QImage::Format_RGB32);
  digit.fill(Qt::white);
  digit.setPixel(5, 9, qRgb(255, 0, 0));
  RegisterSolid(skin::kSpeedBackgroundKmh, 124, 38, qRgb(20, 20, 20));
  for (int d = 0; d < 10; ++d) skin::RegisterSkinImage(skin::SpeedDigitId(d), digit, skin::DrawKind::Bitmap);
  QWidget owner;
  CBbSpeedCtrl speed(&owner);
  speed.SetValue(41.48);
  const QImage shot = Grab(&speed);
  EXPECT_EQ(shot.pixel(32 + 5, 11 + 9), qRgb(255, 0, 0));
  EXPECT_EQ(shot.pixel(32 + 1, 11 + 1), qRgb(20, 20, 20));  // white is see-through
  EXPECT_EQ(shot.pixel(20 + 5, 11 + 9), qRgb(20, 20, 20));  // no leading zero
  skin::ClearSkinImages();
}

TEST(SpeedReadout, MilesSettingChoosesTheMphBackground) {
  TestApp();
  RegisterSolid(skin::kSpeedBackgroundKmh, 124, 38, qRgb(20, 20, 20));
  RegisterSolid(skin::kSpeedBackgroundMph, 124, 38, qRgb(90, 20, 20));
  QWidget owner;
  CBbSpeedCtrl speed(&owner);
  speed.SetValue(41.48);
  ViewerSettings& settings = TheViewerSettings();
  const bool previous = settings.speedInMiles;
  settings.speedInMiles = true;
  EXPECT_EQ(Grab(&speed).pixel(100, 5), qRgb(90, 20, 20));
  settings.speedInMiles = false;
  EXPECT_EQ(Grab(&speed).pixel(100, 5), qRgb(20, 20, 20));
  settings.speedInMiles = previous;
  skin::ClearSkinImages();
}

class GsensorTest : public ::testing::Test {
 protected:
  void SetUp() override { TestApp(); }
  QWidget owner;
};

TEST_F(GsensorTest, GeometryFromClientSize) {
  CBbGsensorCtrl graph(&owner);
  graph.ComputeGeometry(600, 100);
  EXPECT_EQ(graph.plotLeft, 20);
  EXPECT_EQ(graph.plotTop, 10);
  EXPECT_EQ(graph.plotBottom, 95);
  EXPECT_EQ(graph.columnWidth, 47);
  EXPECT_EQ(graph.plotRight, 20 + 12 * 47);
  EXPECT_EQ(graph.rowOffset, 85 / 4 + 5);
  EXPECT_EQ(graph.MiddleLine(), 85 / 2 + 10);
}

TEST_F(GsensorTest, HalfTimeSampleLandsMidPlot) {
  std::vector<CGSensorData> samples(3);
  samples[0].recordTime = 0;
  samples[1].recordTime = 30000;
  samples[1].x = 32;
  samples[2].recordTime = 60000;
  CBbGsensorCtrl graph(&owner);
  graph.SetSamples(&samples);
  graph.ComputeGeometry(600, 100);
  const auto points = graph.SeriesPoints(0);
  ASSERT_EQ(points.size(), 5u);
  EXPECT_EQ(points[0], QPoint(20, 52));
  EXPECT_EQ(points[2].x(), (graph.plotLeft + graph.plotRight) / 2);
  // 1 g rises a quarter of the plot: 32 * 0.0315 * (42 * 0.5) = 21.168.
  EXPECT_EQ(points[2].y(), static_cast<int>(52 - 32 * 0.0315 * 21.0));
  EXPECT_EQ(points[3], QPoint(graph.plotRight, 52));
  EXPECT_EQ(points[4], QPoint(graph.plotRight, 52));
}

TEST_F(GsensorTest, NoSeriesWithoutUsableTimeScale) {
  std::vector<CGSensorData> samples(1);
  CBbGsensorCtrl graph(&owner);
  graph.ComputeGeometry(600, 100);
  EXPECT_TRUE(graph.SeriesPoints(0).empty());
  graph.SetSamples(&samples);
  EXPECT_TRUE(graph.SeriesPoints(1).empty());
}

TEST_F(GsensorTest, PaintsGridAndSeriesColours) {
  std::vector<CGSensorData> samples(2);
  samples[1].recordTime = 1000;
  samples[0].y = 64;
  samples[1].y = 64;
  CBbGsensorCtrl graph(&owner);
  graph.resize(600, 100);
  graph.SetSamples(&samples);
  const QImage shot = Grab(&graph);
  EXPECT_EQ(shot.pixel(584, 40), qRgb(0x78, 0x78, 0x78));  // right plot edge
  EXPECT_EQ(shot.pixel(300, 80), qRgb(0x0A, 0x0A, 0x0A));
  // 2 g on Y reaches the top line: yellow there.
  const int top = static_cast<int>(52 - 64 * 0.0315 * 21.0);
  EXPECT_EQ(shot.pixel(300, top), qRgb(0xFF, 0xFF, 0x00));
}

TEST_F(GsensorTest, RightClickAsksForPlaybackPopupOfTheLanguage) {
  CBbGsensorCtrl graph(&owner);
  graph.resize(600, 100);
  int popup = -100;
  QObject::connect(&graph, &CBbGsensorCtrl::ContextMenuRequested, [&](int index, const QPoint&) { popup = index; });
  graph.languageIndex = 11;
  Press(&graph, QPoint(50, 50), Qt::RightButton);
  EXPECT_EQ(popup, 8);
  graph.languageIndex = 40;
  Press(&graph, QPoint(50, 50), Qt::RightButton);
  EXPECT_EQ(popup, -1);  // the whole menu
}

}  // namespace
