// The map view with the real page and web engine, offscreen, drawing made-up tiles
// from a local server: the calls the page receives, the marker and the route read
// back from the page, the tile source, moving the live view and the map rule.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QUrlQuery>
#include <cstdlib>
#include <memory>

#include "MapTestSupport.h"
#include "controls/CBbButtonCtrl.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapDlg.h"
#include "map/CMapNoConnectedWnd.h"
#include "map/CMapNoDataWnd.h"
#include "map/CMapViewWnd.h"
#include "map/MapPlacement.h"
#include "map/MapTiles.h"
#include "map/MapWindows.h"
#include "map/TileFetcher.h"
#include "settings/ViewerSettings.h"
#include "telemetry/TelemetrySamples.h"

namespace {

using maptest::Evaluate;

CGPSData Fix(double latitude, double longitude, bool valid, int32_t recordTime) {
  CGPSData fix;
  fix.latitude = latitude;
  fix.longitude = longitude;
  fix.valid = valid ? 1 : 0;
  fix.recordTime = recordTime;
  return fix;
}

struct Call {
  QString function;
  QStringList arguments;
};

class MapViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { maptest::EnsureApplication(); }

  void SetUp() override {
    ASSERT_TRUE(tiles.Listening());
    setenv(mapview::kTilesVariable, tiles.Template().toUtf8().constData(), 1);
    setenv(mapview::kAttributionVariable, "Test tiles & <roads>", 1);
    window = std::make_unique<QWidget>();
    window->resize(400, 300);
    view = new CMapViewWnd(window.get());
    view->setGeometry(0, 0, 400, 300);
    view->SetSamples(&samples);
    QObject::connect(view, &CMapViewWnd::ScriptCalled, [this](const QString& function, const QStringList& arguments) {
      calls.push_back({function, arguments});
    });
    window->show();
  }
  void TearDown() override {
    window.reset();
    unsetenv(mapview::kTilesVariable);
    unsetenv(mapview::kAttributionVariable);
  }

  void LoadPage() {
    ASSERT_TRUE(view->LoadMapPage());
    ASSERT_TRUE(maptest::WaitForPage(*view));
  }
  QString Marker() { return Evaluate(*view, QStringLiteral("markerPosition()")).toString(); }
  int RoutePoints() { return Evaluate(*view, QStringLiteral("routePointCount()")).toInt(); }
  // The result RunScript hands back, waited for.
  std::string ScriptResult(const std::string& text) {
    auto result = std::make_shared<std::string>("<none>");
    view->RunScript(text, [result](const std::string& value) { *result = value; });
    EXPECT_TRUE(maptest::WaitUntil([&] { return *result != "<none>"; }, 10000));
    return *result;
  }

  maptest::TileServer tiles;
  TelemetrySamples samples;
  std::unique_ptr<QWidget> window;
  CMapViewWnd* view = nullptr;
  std::vector<Call> calls;
};

TEST_F(MapViewTest, PageComesFromBesideTheExecutableOnce) {
  QSignalSpy finished(view, &CMapViewWnd::MapPageFinished);
  LoadPage();
  EXPECT_TRUE(view->pageLoaded);
  ASSERT_NE(view->Browser(), nullptr);
  const QUrl url = view->PageUrl();
  EXPECT_TRUE(url.isLocalFile());
  EXPECT_EQ(url.toLocalFile(),
            QString::fromStdString((std::filesystem::path(TARVO_BINARY_DIR) / "bin" / "map" / "map.htm").string()));
  EXPECT_TRUE(Evaluate(*view, QStringLiteral("mapReady()")).toBool()) << "Leaflet did not load beside the page";
  // A second load is no new navigation.
  EXPECT_TRUE(view->LoadMapPage());
  maptest::WaitUntil([] { return false; }, 300);
  EXPECT_EQ(finished.count(), 1);
}

TEST_F(MapViewTest, PositionOfAFixReachesThePageAsTwoStrings) {
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 1000));
  LoadPage();
  view->ShowPosition(500);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].function, QStringLiteral("positionChange"));
  EXPECT_EQ(calls[0].arguments, (QStringList{QStringLiteral("37.525000"), QStringLiteral("127.000000")}));
  EXPECT_EQ(Marker(), QStringLiteral("37.525000,127.000000"));
  EXPECT_EQ(view->lastLatitude, 37 + (37.315 - 37) * 100 / 60);
  EXPECT_EQ(view->lastLongitude, 127.0);
  // The map is centred on the vehicle.
  EXPECT_EQ(Evaluate(*view, QStringLiteral("markerPosition() !== ''")).toBool(), true);
}

TEST_F(MapViewTest, SouthAndWestMoveTheMarkerToNegativeDegrees) {
  samples.AddGpsSample(Fix(-3731.5, -12700.0, true, 0));
  LoadPage();
  view->ShowPosition(0);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].arguments, (QStringList{QStringLiteral("-37.525000"), QStringLiteral("-127.000000")}));
  EXPECT_EQ(Marker(), QStringLiteral("-37.525000,-127.000000"));
}

TEST_F(MapViewTest, FixWithStatusVSendsNothingAndTheMarkerStays) {
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 0));
  samples.AddGpsSample(Fix(3800.0, 12800.0, false, 1000));
  LoadPage();
  view->ShowPosition(0);
  view->ShowPosition(1000);
  view->ShowPosition(5000);  // past the last fix: nothing either
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(Marker(), QStringLiteral("37.525000,127.000000"));
  EXPECT_EQ(view->lastLongitude, 127.0);
}

TEST_F(MapViewTest, ResendBeforeAnyPositionSendsZeroTwice) {
  LoadPage();
  view->ResendPosition();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].function, QStringLiteral("positionChange"));
  EXPECT_EQ(calls[0].arguments, (QStringList{QStringLiteral("0.000000"), QStringLiteral("0.000000")}));
  EXPECT_EQ(Marker(), QStringLiteral("0.000000,0.000000"));
}

TEST_F(MapViewTest, PositionShownWhileThePageLoadsArrivesWhenItIsReady) {
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 0));
  ASSERT_TRUE(view->LoadMapPage());
  view->ShowPosition(0);  // the page is still loading
  ASSERT_TRUE(maptest::WaitForPage(*view));
  EXPECT_EQ(Marker(), QStringLiteral("37.525000,127.000000"));
}

TEST_F(MapViewTest, RunScriptCallsThePageFunctionWithStringArgumentsInOrder) {
  LoadPage();
  Evaluate(*view, QStringLiteral("window.echo = function () { return Array.prototype.map.call(arguments, "
                                 "function (a) { return typeof a + ':' + a; }).join('|'); }; true"));
  EXPECT_EQ(ScriptResult("javascript:echo('a', \"b c\";d)"), "string:a|string:b|string:c|string:d");
  EXPECT_EQ(ScriptResult("junk javascript: echo (-1.5,2)"), "string:-1.5|string:2");
  // Characters that would break a script stay inside their string.
  EXPECT_EQ(ScriptResult("echo(a\\b </script> $1 ${x})"), "string:a\\b|string:</script>|string:$1|string:${x}");
  EXPECT_EQ(ScriptResult("echo()"), "");
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].arguments, (QStringList{"a", "b", "c", "d"}));
}

TEST_F(MapViewTest, RunScriptFailuresAreSilentAndEmpty) {
  LoadPage();
  Evaluate(*view, QStringLiteral("window.boom = function () { throw new Error('x'); }; "
                                 "window.notAFunction = 5; true"));
  EXPECT_EQ(ScriptResult("javascript:noSuchFunction('1')"), "");
  EXPECT_EQ(ScriptResult("javascript:boom()"), "");
  EXPECT_EQ(ScriptResult("javascript:notAFunction()"), "");
  EXPECT_EQ(ScriptResult("javascript:document.write('x')"), "");
  EXPECT_EQ(ScriptResult(""), "");
  // The page is unharmed.
  EXPECT_TRUE(Evaluate(*view, QStringLiteral("mapReady()")).toBool());
}

TEST_F(MapViewTest, RunScriptBeforeThePageIsReadyIsNoCall) {
  EXPECT_FALSE(view->RunScript("javascript:positionChange('1', '2')"));
  EXPECT_TRUE(calls.empty());
}

TEST_F(MapViewTest, RouteOfTheValidFixesIsDrawnAndCanBeCleared) {
  for (int i = 0; i < 6; ++i) samples.AddGpsSample(Fix(3731.5 + i * 0.1, 12700.0 + i * 0.1, i != 2, i * 1000));
  LoadPage();
  view->ShowTrack();
  EXPECT_EQ(RoutePoints(), 5);
  // The lines (the route's and its trip's, empty here) lie under the marker: the
  // overlay pane is below the marker pane.
  view->ShowPosition(0);
  EXPECT_EQ(Evaluate(*view, QStringLiteral("document.querySelectorAll('.leaflet-overlay-pane path').length")).toInt(),
            2);
  view->ShowTrack({});
  EXPECT_EQ(RoutePoints(), 0);
}

TEST_F(MapViewTest, TripRouteHoldsEveryRecordingsPointsUnderTheRecordingsOwn) {
  using mapview::MapPoint;
  const std::vector<MapPoint> first = {{37.5200, 126.9700}, {37.5210, 126.9710}, {37.5220, 126.9720}};
  const std::vector<MapPoint> second = {{37.5230, 126.9730}, {37.5240, 126.9740}};
  const std::vector<MapPoint> third = {{37.5250, 126.9750}, {37.5260, 126.9760}, {-33.5, -70.25}};
  const auto text = [](const std::vector<MapPoint>& points) {
    std::string out;
    for (const MapPoint& p : points)
      out += (out.empty() ? "" : " ") + mapview::FixedSixDecimals(p.latitude) + "," +
             mapview::FixedSixDecimals(p.longitude);
    return QString::fromStdString(out);
  };
  const auto line = [&](const char* which) {
    return Evaluate(*view, QStringLiteral("linePoints('%1')").arg(QLatin1String(which))).toString();
  };
  LoadPage();
  const std::vector<MapPoint> trip = mapview::JoinRoutes({first, second, third});
  view->ShowTrack(second, trip);
  EXPECT_EQ(Evaluate(*view, QStringLiteral("tripPointCount()")).toInt(), 8);
  EXPECT_EQ(RoutePoints(), 2);
  EXPECT_EQ(line("trip"), text(first) + " " + text(second) + " " + text(third));
  EXPECT_EQ(line("route"), text(second));
  // The recording's line is drawn after (over) the trip's.
  EXPECT_EQ(Evaluate(*view, QStringLiteral("Array.from(document.querySelectorAll('.leaflet-overlay-pane path'))"
                                           ".map(function (p) { return p.getAttribute('stroke'); }).join(' ')"))
                .toString(),
            QStringLiteral("#8fa3bf #1e6fd9"));
  // A recording alone has no trip line.
  view->ShowTrack(first);
  EXPECT_EQ(Evaluate(*view, QStringLiteral("tripPointCount()")).toInt(), 0);
  EXPECT_EQ(line("route"), text(first));
}

TEST_F(MapViewTest, RouteGivenBeforeThePageIsReadyIsDrawnOnceItIs) {
  for (int i = 0; i < 4; ++i) samples.AddGpsSample(Fix(3731.5 + i * 0.2, 12700.0, true, i * 1000));
  view->ShowTrack();
  LoadPage();
  EXPECT_EQ(RoutePoints(), 4);
}

TEST_F(MapViewTest, TilesComeFromTheConfiguredSourceWithItsCredit) {
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 0));
  LoadPage();
  view->ShowPosition(0);
  ASSERT_TRUE(maptest::WaitForTiles(*view));
  EXPECT_EQ(tiles.requests.count(maptest::TilePath(37.525, 127.0, 16)), 1u);
  for (const auto& [path, count] : tiles.requests)
    EXPECT_TRUE(path.startsWith(QStringLiteral("/"))) << path.toStdString();
  // The credit is shown as text, not read as markup.
  EXPECT_TRUE(Evaluate(*view, QStringLiteral("document.querySelector('.leaflet-control-attribution').textContent"))
                  .toString()
                  .contains(QStringLiteral("Test tiles & <roads>")));
}

TEST_F(MapViewTest, WithoutTheVariableTheSettingsSourceShowsWithItsCreditAndReportLink) {
  unsetenv(mapview::kTilesVariable);
  ViewerSettings& settings = TheViewerSettings();
  const ViewerSettings saved = settings;
  settings.tileAddress = tiles.Template().toStdString();
  settings.tileCredit = "Local <tiles>";
  settings.tileCreditLink = "https://tiles.example/copyright";
  settings.tileReportLink = "https://tiles.example/report";
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 0));
  LoadPage();
  settings = saved;
  view->ShowPosition(0);
  ASSERT_TRUE(maptest::WaitForTiles(*view));
  EXPECT_EQ(tiles.requests.count(maptest::TilePath(37.525, 127.0, 16)), 1u);
  // The page itself asks the viewer, never the server.
  EXPECT_EQ(QUrlQuery(view->PageUrl()).queryItemValue(QStringLiteral("tiles"), QUrl::FullyDecoded),
            QStringLiteral("tarvo-tile:/{z}/{x}/{y}"));
  const QString credit =
      Evaluate(*view, QStringLiteral("document.querySelector('.leaflet-control-attribution').textContent")).toString();
  EXPECT_EQ(credit, QStringLiteral("Local <tiles> | Report a map error"));
  EXPECT_EQ(Evaluate(*view, QStringLiteral("Array.from(document.querySelectorAll('.leaflet-control-attribution a'))"
                                           ".map(a => a.href).join(' ')"))
                .toString(),
            QStringLiteral("https://tiles.example/copyright https://tiles.example/report"));
}

// The page's tiles through the viewer's fetcher: its name on every request, a second
// view of the same place from the disk cache, and that view again with the server gone.
TEST_F(MapViewTest, TilesSeenOnceShowAgainFromTheCacheWithoutAConnection) {
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 0));
  LoadPage();
  view->ShowPosition(0);
  ASSERT_TRUE(maptest::WaitForTiles(*view));
  const int fetched = tiles.TotalRequests();
  EXPECT_GE(fetched, 4);
  EXPECT_LE(tiles.mostOpen, mapview::TileFetcher::kMaxRequests);
  ASSERT_EQ(tiles.userAgents.size(), 1u);
  EXPECT_EQ(tiles.userAgents.begin()->first, mapview::TileUserAgent());
  for (const bool online : {true, false}) {
    if (!online) tiles.Stop();
    window.reset();
    window = std::make_unique<QWidget>();
    window->resize(400, 300);
    view = new CMapViewWnd(window.get());
    view->setGeometry(0, 0, 400, 300);
    view->SetSamples(&samples);
    window->show();
    LoadPage();
    view->ShowPosition(0);
    EXPECT_TRUE(maptest::WaitForTiles(*view)) << (online ? "second view" : "offline");
    EXPECT_EQ(tiles.TotalRequests(), fetched);
  }
}

TEST_F(MapViewTest, SnapshotShowsTheMarkerOverTheTiles) {
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 0));
  LoadPage();
  view->ShowPosition(0);
  ASSERT_TRUE(maptest::WaitForTiles(*view));
  const QImage shot = view->MapSnapshot();
  ASSERT_EQ(shot.size(), QSize(400, 300));
  // The marker's red ring sits at the centre of the view.
  const QColor ring = shot.pixelColor(200 + 7, 150);
  EXPECT_GT(ring.red(), 200);
  EXPECT_LT(ring.green(), 90);
  // Away from the marker the made-up tile ground shows.
  const QColor ground = shot.pixelColor(20, 60);
  EXPECT_GT(ground.red(), 200);
  EXPECT_GT(ground.green(), 200);
}

class MapHostTest : public MapViewTest {
 protected:
  void SetUp() override {
    MapViewTest::SetUp();
    main = std::make_unique<maptest::TestMainWindow>();
    windows = new MapWindows(*main, main.get());
    windows->View()->SetSamples(&samples);
    main->show();
  }
  void TearDown() override {
    main.reset();
    MapViewTest::TearDown();
  }
  CMapViewWnd& View() { return *windows->View(); }
  std::unique_ptr<maptest::TestMainWindow> main;
  MapWindows* windows = nullptr;
};

TEST_F(MapHostTest, MapRuleShowsTheRealPageOnlyWithGpsAndConnection) {
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 0));
  main->ApplyMapRule(false, true);
  EXPECT_TRUE(main->noData->isVisible());
  EXPECT_FALSE(main->panel->isVisible());
  EXPECT_FALSE(main->noConnected->isVisible());

  main->ApplyMapRule(true, false);
  EXPECT_TRUE(main->noConnected->isVisible());
  EXPECT_FALSE(main->panel->isVisible());
  EXPECT_FALSE(main->noData->isVisible());

  main->ApplyMapRule(true, true);
  ASSERT_TRUE(View().LoadMapPage());
  ASSERT_TRUE(maptest::WaitForPage(View()));
  EXPECT_TRUE(main->panel->isVisible());
  EXPECT_FALSE(main->noData->isVisible());
  EXPECT_FALSE(main->noConnected->isVisible());
  EXPECT_TRUE(main->mapButton->isVisible());
  // What shows is the map page itself, filling the panel.
  EXPECT_EQ(main->panel->Hosted(), &View());
  EXPECT_TRUE(View().isVisible());
  EXPECT_TRUE(View().Browser()->isVisible());
  EXPECT_EQ(View().Browser()->size(), main->panel->size());
  EXPECT_TRUE(View().PageUrl().path().endsWith(QStringLiteral("/map/map.htm")));
  View().ShowPosition(0);
  ASSERT_TRUE(maptest::WaitForTiles(View()));
  main->grab().save(QString::fromStdString((maptest::ScreenshotFolder() / "map-rule-gps-connected.png").string()));
}

TEST_F(MapHostTest, LiveViewKeepsWorkingInTheMapWindowAndBack) {
  samples.AddGpsSample(Fix(3731.5, 12700.0, true, 0));
  samples.AddGpsSample(Fix(3735.0, 12705.0, true, 2000));
  ASSERT_TRUE(View().LoadMapPage());
  ASSERT_TRUE(maptest::WaitForPage(View()));
  View().ShowPosition(0);

  main->positionMs = 1500;
  windows->SetMapPlacement(mapview::kPlacementOwnWindow, 1);
  CMapDlg* dlg = windows->Dialog();
  EXPECT_EQ(View().parentWidget(), dlg->Panel());
  // Moving put the marker at the player's position.
  EXPECT_EQ(Evaluate(View(), QStringLiteral("markerPosition()")).toString(), QStringLiteral("37.583333,127.083333"));
  EXPECT_EQ(View().Browser()->size(), dlg->Panel()->size());

  // A resize of the map window shows the position again.
  main->positionMs = 0;
  const std::size_t before = calls.size();
  dlg->resize(500, 420);
  EXPECT_EQ(View().Browser()->size(), QSize(490, 355));
  EXPECT_EQ(Evaluate(View(), QStringLiteral("markerPosition()")).toString(), QStringLiteral("37.525000,127.000000"));
  EXPECT_GE(calls.size(), before);

  windows->SetMapPlacement(mapview::kPlacementEmbedded, 1);
  EXPECT_EQ(View().parentWidget(), main->panel);
  EXPECT_TRUE(View().PageReady());
  View().ShowPosition(2000);
  EXPECT_EQ(Evaluate(View(), QStringLiteral("markerPosition()")).toString(), QStringLiteral("37.583333,127.083333"));
}

}  // namespace
