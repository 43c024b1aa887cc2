// Pictures of the map on made-up local tiles with a simulated drive's marker and
// route: the map panel of the main window, the map in its own window, and the main
// window itself with the map embedded and undocked. Saved under <build>/screenshots.

#include <gtest/gtest.h>

#include <QPainter>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "MapTestSupport.h"
#include "app/CDezirureDovuriDlg.h"
#include "controls/CBbTextCtrl.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapDlg.h"
#include "map/CMapViewWnd.h"
#include "map/MapHost.h"
#include "map/MapPlacement.h"
#include "map/MapTiles.h"
#include "map/MapWindows.h"
#include "telemetry/CBbSpeedCtrl.h"
#include "telemetry/TelemetrySamples.h"
#include "tests/app/WindowInspector.h"
#include "tools/simulator/Drive.h"
#include "tools/simulator/TelemetryTrack.h"

namespace {

using app::DlgItem;

// A minute of the simulator's built-in drive, as the camera records it.
void LoadDrive(TelemetrySamples& samples) {
  std::tm start{};
  start.tm_year = 124;
  start.tm_mon = 4;
  start.tm_mday = 12;
  start.tm_hour = 8;
  start.tm_min = 31;
  for (const simulator::TelemetryRecord& record : simulator::MakeTelemetry(simulator::Drive(), start, 60.0)) {
    samples.AddTelemetryRecord(record.bytes, record.time);
  }
}

void Save(const QImage& image, const char* name) {
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(image.save(QString::fromStdString((maptest::ScreenshotFolder() / name).string()), "PNG"));
}

class MapScreenshotTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { maptest::EnsureApplication(); }
  void SetUp() override {
    ASSERT_TRUE(tiles.Listening());
    setenv(mapview::kTilesVariable, tiles.Template().toUtf8().constData(), 1);
    setenv(mapview::kAttributionVariable, "Made-up test tiles", 1);
    LoadDrive(samples);
    ASSERT_GT(samples.gpsSamples.size(), 50u);
  }
  void TearDown() override {
    unsetenv(mapview::kTilesVariable);
    unsetenv(mapview::kAttributionVariable);
  }
  // Loads the page, draws the route and puts the marker at `positionMs`.
  void ShowDrive(CMapViewWnd& view, int64_t positionMs) {
    view.SetSamples(&samples);
    ASSERT_TRUE(view.LoadMapPage());
    ASSERT_TRUE(maptest::WaitForPage(view));
    view.ShowTrack();
    view.ShowPosition(positionMs);
    ASSERT_TRUE(maptest::WaitForTiles(view));
    EXPECT_EQ(maptest::Evaluate(view, QStringLiteral("routePointCount()")).toInt(),
              static_cast<int>(mapview::RouteOfFixes(samples.gpsSamples).size()));
  }

  maptest::TileServer tiles;
  TelemetrySamples samples;
};

TEST_F(MapScreenshotTest, MapPanelAndMapWindow) {
  maptest::TestMainWindow main;
  auto* windows = new MapWindows(main, &main);
  main.ApplyMapRule(true, true);
  main.show();
  main.positionMs = 40000;
  ShowDrive(*windows->View(), main.positionMs);
  Save(main.grab().toImage(), "map-panel.png");

  windows->SetMapPlacement(mapview::kPlacementOwnWindow, 1);
  windows->Dialog()->resize(480, 420);
  ASSERT_TRUE(maptest::WaitForTiles(*windows->View()));
  Save(windows->Dialog()->grab().toImage(), "map-window.png");
}

TEST_F(MapScreenshotTest, MainWindowWithTheMapEmbeddedAndUndocked) {
  CDezirureDovuriDlg dlg;
  app::WindowInspector window(dlg);
  dlg.ChangeLanguage(0);
  window.SetGpsPresent(true);
  window.SetConnected(true);
  window.Telemetry().gsensorSamples = samples.gsensorSamples;
  dlg.show();
  window.ApplyLayout();
  window.ApplyMapRule();
  MapWindows* windows = window.Map();
  constexpr int64_t kAt = 40000;

  // What the position timer shows at 0:40.
  window.TimeText()->positionMs = kAt;
  window.TimeText()->durationMs = 60000;
  float latitude = 0;
  float longitude = 0;
  ASSERT_TRUE(samples.FindPosition(kAt, latitude, longitude));
  window.CoordText()->latitude = latitude;
  window.CoordText()->longitude = longitude;
  windows->Dialog()->SetCoordinates(latitude, longitude);
  double speed = 0;
  ASSERT_TRUE(samples.FindSpeed(kAt, speed, false));
  window.SpeedGauge()->SetValue(speed);
  CBbTextCtrl* gText = window.GsensorText();
  gText->hasGsensor = samples.FindGValues(kAt, gText->gX, gText->gY, gText->gZ);

  ShowDrive(*windows->View(), kAt);
  EXPECT_TRUE(window.Item(DlgItem::MapPanel)->isVisible());
  Save(dlg.grab().toImage(), "main-window-map.png");

  windows->SetMapPlacement(mapview::kPlacementOwnWindow, window.LayoutMode());
  // Nothing plays, so the move put the marker at 0:00: back to 0:40.
  windows->View()->ShowPosition(kAt);
  CMapDlg* mapDlg = windows->Dialog();
  mapDlg->move(dlg.pos() + QPoint(380, 160));
  mapDlg->resize(520, 440);
  ASSERT_TRUE(maptest::WaitForTiles(*windows->View()));
  EXPECT_FALSE(window.Item(DlgItem::MapButton)->isVisible());
  // The map window floats over the main window: both in one picture.
  QImage both = dlg.grab().toImage();
  QPainter painter(&both);
  painter.drawImage(mapDlg->pos() - dlg.pos(), mapDlg->grab().toImage());
  painter.end();
  Save(both, "main-window-map-own-window.png");
}

}  // namespace
