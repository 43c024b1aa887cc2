#pragma once
// Shared by the map suites: the application (with the web engine prepared), a stand-in
// for the main window's map column, a tile server of made-up tiles, waiting for the
// page, and where screenshots go.

#include <QString>
#include <QTcpServer>
#include <QVariant>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "map/MapHost.h"

class CBbButtonCtrl;
class CBbMapPanelCtrl;
class CBbTextCtrl;
class CMapNoConnectedWnd;
class CMapNoDataWnd;
class CMapViewWnd;

namespace maptest {

// Prepares the web engine and starts the application once (offscreen, settings and
// the tile cache in a temporary folder, a full-HD screen).
void EnsureApplication();

// <build>/screenshots, made when missing.
std::filesystem::path ScreenshotFolder();

// The main window's map column as the map sees it: the map panel, the two
// placeholders at the same place, the Map button and texts 1009 and 1010.
class TestMainWindow : public QWidget, public MapHost {
 public:
  TestMainWindow();

  CBbMapPanelCtrl* MainMapPanel() override { return panel; }
  void ShowMapControls(bool shown) override;
  int64_t CurrentPositionMs() override { return positionMs; }
  int CurrentLayoutMode() override { return layoutMode; }

  // The main window's map rule for a loaded recording.
  void ApplyMapRule(bool gpsPresent, bool connected);

  CBbMapPanelCtrl* panel = nullptr;
  CMapNoDataWnd* noData = nullptr;
  CMapNoConnectedWnd* noConnected = nullptr;
  CBbButtonCtrl* mapButton = nullptr;
  CBbTextCtrl* caption = nullptr;
  CBbTextCtrl* coordinates = nullptr;
  int64_t positionMs = 0;
  int layoutMode = 1;
  int controlsCalls = 0;
};

// Serves made-up 256 x 256 PNG tiles for any /z/x/y.png on 127.0.0.1, so the page
// draws a map without the internet, and records what it was asked for and how.
// Each tile carries an ETag; a request naming it gets "304 Not Modified".
class TileServer : public QObject {
 public:
  TileServer();
  bool Listening() const { return server.isListening(); }
  // "http://127.0.0.1:<port>/{z}/{x}/{y}.png"
  QString Template() const;
  // Stops listening and drops every connection: the machine is offline.
  void Stop();
  // The paths asked for, e.g. "/16/55886/25427.png", with their counts.
  std::map<QString, int> requests;
  // Every User-Agent seen, with its count.
  std::map<QByteArray, int> userAgents;
  // Answers that were "304 Not Modified".
  int notModified = 0;
  // The most connections open at once.
  int mostOpen = 0;
  // Each answer waits this long, so that requests overlap.
  int answerDelayMs = 0;
  // The Cache-Control header of each tile (none when empty).
  QByteArray cacheControl;
  int TotalRequests() const;

 private:
  void Answer(class QTcpSocket* socket);
  QTcpServer server;
  int open = 0;
};

// The tile (x, y) holding a position at zoom z, as web maps number them.
QString TilePath(double latitude, double longitude, int zoom);

// Runs the event loop until `done` holds; false on timeout. A real event loop, not
// QTest::qWaitFor: its sleeps between rounds starve the engine's messages and make a
// page load take seconds.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);
// Waits until the page has finished loading; false on timeout.
bool WaitForPage(CMapViewWnd& view, int timeoutMs = 30000);
// Runs script source in the page and waits for its value (invalid on timeout).
QVariant Evaluate(CMapViewWnd& view, const QString& source, int timeoutMs = 10000);
// Waits until every tile the page shows has arrived and been drawn.
bool WaitForTiles(CMapViewWnd& view, int timeoutMs = 20000);

}  // namespace maptest
