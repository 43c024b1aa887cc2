#include "MapTestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QEventLoop>
#include <QPainter>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "app/DlgLayout.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/SkinPalette.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapNoConnectedWnd.h"
#include "map/CMapNoDataWnd.h"
#include "map/CMapViewWnd.h"
#include "map/WebEngineSetup.h"
#include "res/SkinIds.h"
#include "res/SkinResources.h"
#include "tests/support/TempFolder.h"

namespace maptest {

void EnsureApplication() {
  if (QApplication::instance()) return;
  static testsupport::TempFolder configFolder("tarvo-map-test-");
  setenv("TARVO_CONFIG_DIR", configFolder.Path().c_str(), 1);
  setenv("TARVO_TEMP_DIR", (configFolder.Path() / "temp").c_str(), 1);
  setenv("XDG_CACHE_HOME", (configFolder.Path() / "cache").c_str(), 1);
  const std::filesystem::path screens = configFolder.Path() / "screens.json";
  std::ofstream(screens) << R"({"screens": [{"name": "screen0", "x": 0, "y": 0,
    "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.string()).c_str(), 1);
  PrepareWebEngine();
  static int argc = 1;
  static char name[] = "map_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  InitSkinResources();
}

std::filesystem::path ScreenshotFolder() {
  const std::filesystem::path folder = std::filesystem::path(TARVO_BINARY_DIR) / "screenshots";
  std::filesystem::create_directories(folder);
  return folder;
}

TestMainWindow::TestMainWindow() : QWidget(nullptr) {
  resize(700, 520);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, skin::ToColor(skin::kPanelBackground));
  setPalette(colours);
  caption = new CBbTextCtrl(1009, 3, this);
  caption->backgroundColour = skin::kPanelBackground;
  caption->setGeometry(10, 13, 230, 20);
  mapButton = new CBbButtonCtrl(1020, this);
  mapButton->SetImages(19251, 19252, 0, 19253);
  mapButton->Redraw();
  mapButton->setGeometry(243, 4, 32, 32);
  panel = new CBbMapPanelCtrl(1006, this);
  noData = new CMapNoDataWnd(this);
  noConnected = new CMapNoConnectedWnd(this);
  for (QWidget* place :
       {static_cast<QWidget*>(panel), static_cast<QWidget*>(noData), static_cast<QWidget*>(noConnected)}) {
    place->setGeometry(12, 38, 676, 440);
  }
  coordinates = new CBbTextCtrl(1010, 4, this);
  coordinates->backgroundColour = skin::kPanelBackground;
  coordinates->setGeometry(10, 494, 670, 20);
}

void TestMainWindow::ShowMapControls(bool shown) {
  ++controlsCalls;
  mapButton->setVisible(shown);
  caption->setVisible(shown);
  coordinates->setVisible(shown);
}

void TestMainWindow::ApplyMapRule(bool gpsPresent, bool connected) {
  const app::MapVisibility shown = app::ApplyMapRule(gpsPresent, connected, true);
  panel->setVisible(shown.mapPanel);
  noData->setVisible(shown.noData);
  noConnected->setVisible(shown.noConnected);
  mapButton->setVisible(shown.mapButton);
}

namespace {

// A light ground with a street grid, so that moving the map shows on a screenshot.
QByteArray MakeTile(const QString& path) {
  QImage tile(256, 256, QImage::Format_RGB32);
  tile.fill(QColor(0xEE, 0xEA, 0xE2));
  QPainter p(&tile);
  p.setRenderHint(QPainter::Antialiasing);
  const auto hash = static_cast<unsigned>(qHash(path));
  p.fillRect(QRect(30 + static_cast<int>(hash % 90), 40 + static_cast<int>(hash / 7 % 80), 70, 50),
             QColor(0xC8, 0xE6, 0xC1));
  p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 9));
  p.drawLine(0, 128, 256, 128);
  p.drawLine(128, 0, 128, 256);
  p.setPen(QPen(QColor(0xD6, 0xD0, 0xC4), 1));
  p.drawRect(0, 0, 255, 255);
  p.setPen(QColor(0x90, 0x88, 0x7A));
  p.drawText(QRect(6, 6, 244, 20), Qt::AlignLeft, path);
  p.end();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  tile.save(&buffer, "PNG");
  return png;
}

}  // namespace

TileServer::TileServer() {
  server.listen(QHostAddress::LocalHost, 0);
  connect(&server, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* socket = server.nextPendingConnection()) {
      mostOpen = std::max(mostOpen, ++open);
      connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Answer(socket); });
      connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        --open;
        socket->deleteLater();
      });
    }
  });
}

QString TileServer::Template() const {
  return QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server.serverPort());
}

void TileServer::Stop() {
  server.close();
  for (QTcpSocket* socket : server.findChildren<QTcpSocket*>()) socket->abort();
}

int TileServer::TotalRequests() const {
  int total = 0;
  for (const auto& [path, count] : requests) total += count;
  return total;
}

void TileServer::Answer(QTcpSocket* socket) {
  QByteArray request = socket->property("request").toByteArray() + socket->readAll();
  socket->setProperty("request", request);
  if (!request.contains("\r\n\r\n")) return;
  socket->setProperty("request", QByteArray());
  const QList<QByteArray> lines = request.left(request.indexOf("\r\n\r\n")).split('\n');
  const QList<QByteArray> words = lines.value(0).trimmed().split(' ');
  const QString path = words.size() >= 2 ? QString::fromLatin1(words[1]) : QString();
  QByteArray agent;
  QByteArray noneMatch;
  for (const QByteArray& line : lines) {
    const qsizetype colon = line.indexOf(':');
    const QByteArray name = line.left(colon).trimmed().toLower();
    if (name == "user-agent") agent = line.mid(colon + 1).trimmed();
    if (name == "if-none-match") noneMatch = line.mid(colon + 1).trimmed();
  }
  ++requests[path];
  ++userAgents[agent];
  const QByteArray tag = '"' + path.toLatin1() + '"';
  QByteArray answer;
  if (noneMatch == tag) {
    ++notModified;
    answer = "HTTP/1.1 304 Not Modified\r\nETag: " + tag + "\r\nConnection: close\r\n\r\n";
  } else {
    const QByteArray body = MakeTile(path);
    answer = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\nETag: " + tag + "\r\n";
    if (!cacheControl.isEmpty()) answer += "Cache-Control: " + cacheControl + "\r\n";
    answer += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
  }
  // The socket is the timer's context: an answer to a dropped connection never runs.
  QTimer::singleShot(answerDelayMs, socket, [socket, answer] {
    socket->write(answer);
    socket->disconnectFromHost();
  });
}

QString TilePath(double latitude, double longitude, int zoom) {
  const double n = std::ldexp(1.0, zoom);
  const double lat = latitude * M_PI / 180;
  const int x = static_cast<int>(std::floor((longitude + 180) / 360 * n));
  const int y = static_cast<int>(std::floor((1 - std::asinh(std::tan(lat)) / M_PI) / 2 * n));
  return QStringLiteral("/%1/%2/%3.png").arg(zoom).arg(x).arg(y);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start(2);
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

bool WaitForPage(CMapViewWnd& view, int timeoutMs) {
  return WaitUntil([&] { return view.PageReady(); }, timeoutMs);
}

QVariant Evaluate(CMapViewWnd& view, const QString& source, int timeoutMs) {
  auto result = std::make_shared<QVariant>();
  auto done = std::make_shared<bool>(false);
  view.RunPageScript(source, [result, done](const QVariant& value) {
    *result = value;
    *done = true;
  });
  if (!WaitUntil([&] { return *done; }, timeoutMs)) return {};
  return *result;
}

bool WaitForTiles(CMapViewWnd& view, int timeoutMs) {
  const bool arrived = WaitUntil(
      [&] {
        return Evaluate(view, QStringLiteral("document.querySelectorAll('.leaflet-tile').length > 0 && "
                                             "document.querySelectorAll('.leaflet-tile:not(.leaflet-tile-loaded)')"
                                             ".length === 0"))
            .toBool();
      },
      timeoutMs);
  // Tiles fade in over 200 ms once loaded.
  WaitUntil([] { return false; }, 400);
  return arrived;
}

}  // namespace maptest
