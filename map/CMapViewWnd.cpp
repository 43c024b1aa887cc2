#include "map/CMapViewWnd.h"

#include <QResizeEvent>
#include <algorithm>
#include <limits>
#include <system_error>
#include <utility>

#include "controls/ControlId.h"
#include "map/MapBrowser.h"
#include "map/MapScript.h"
#include "map/MapTiles.h"
#include "platform/Paths.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "telemetry/TelemetrySamples.h"

CMapViewWnd::CMapViewWnd(QWidget* parent)
    : QWidget(parent), samples(nullptr), viewerFolder(platform::ProgramDataFolder()) {
  SetControlId(this, kControlId);
}

CMapViewWnd::~CMapViewWnd() = default;

QWidget* CMapViewWnd::Browser() const { return browser ? browser->Widget() : nullptr; }

QUrl CMapViewWnd::PageUrl() const { return browser ? browser->Url() : QUrl(); }

void CMapViewWnd::CreateBrowser() {
  MapBrowserEvents events;
  events.loadFinished = [this](bool ok) { OnLoadFinished(ok); };
  // A renderer that dies takes the map with it: the page loads again, and the last
  // position and route come back with it.
  events.rendererGone = [this] {
    pageReady = false;
    positionPending = true;
    routePending = true;
  };
  browser = MakeMapBrowser(this, std::move(events));
  if (!browser) return;
  browser->Widget()->setGeometry(rect());
  browser->Widget()->show();
}

bool CMapViewWnd::LoadMapPage() {
  if (pageLoaded) return true;
  if (viewerFolder.empty()) return false;
  const std::filesystem::path pageFile = mapview::MapPageFile(viewerFolder);
  std::error_code error;
  if (!std::filesystem::is_regular_file(pageFile, error)) return false;
  if (!browser) CreateBrowser();
  if (!browser) return false;
  const mapview::TileSource tiles = mapview::ChooseTileSource(TheViewerSettings());
  std::string reportText;
  LoadLanguageString(kStrMapReportError, reportText);
  browser->Load(mapview::MapPageUrl(pageFile, tiles, QString::fromStdString(reportText)),
                mapview::FetcherSettings(tiles, platform::CacheFolder()));
  pageLoaded = true;
  return true;
}

void CMapViewWnd::ShowPosition(int64_t positionMs) {
  if (!pageLoaded || !samples) return;
  const auto position = static_cast<int32_t>(
      std::clamp<int64_t>(positionMs, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  const CGPSData* fix = samples->FindGpsSample(position);
  mapview::MapPoint point;
  if (!fix || !mapview::PositionOfFix(*fix, point)) return;
  lastLatitude = point.latitude;
  lastLongitude = point.longitude;
  ResendPosition();
}

void CMapViewWnd::ResendPosition() {
  if (!pageLoaded) return;
  if (!pageReady) {
    positionPending = true;
    return;
  }
  RunScript(mapview::PositionChangeText({lastLatitude, lastLongitude}));
}

bool CMapViewWnd::RunScript(const std::string& text, ScriptResult onResult) {
  const std::optional<mapview::ScriptCall> call = mapview::ParseScriptCall(text);
  if (!call || !pageReady) {
    if (onResult) onResult(std::string());
    return false;
  }
  QStringList arguments;
  for (const std::string& argument : call->arguments) arguments << QString::fromStdString(argument);
  emit ScriptCalled(QString::fromStdString(call->function), arguments);
  browser->RunJavaScript(QString::fromStdString(mapview::ScriptSource(*call)), [onResult](const QVariant& result) {
    if (onResult) onResult(result.toString().toStdString());
  });
  return true;
}

void CMapViewWnd::ShowTrack() {
  ShowTrack(samples ? mapview::RouteOfFixes(samples->gpsSamples) : std::vector<mapview::MapPoint>());
}

void CMapViewWnd::ShowTrack(const std::vector<mapview::MapPoint>& points,
                            const std::vector<mapview::MapPoint>& tripPoints) {
  route = points;
  trip = tripPoints;
  if (!pageReady) {
    routePending = true;
    return;
  }
  SendTrack();
}

void CMapViewWnd::SendTrack() {
  routePending = false;
  // Not through RunScript: its arguments are single words, and a route is a list.
  browser->RunJavaScript(QString::fromStdString(mapview::TrackChangeSource(route, trip)), {});
}

void CMapViewWnd::OnLoadFinished(bool ok) {
  pageReady = ok;
  if (ok) {
    // The route first: a page that has no position yet fits its view to the route,
    // and the position then centres it on the vehicle.
    if (routePending) SendTrack();
    if (positionPending) {
      positionPending = false;
      ResendPosition();
    }
  }
  emit MapPageFinished(ok);
}

QImage CMapViewWnd::MapSnapshot() {
  if (!browser || !pageReady) return {};
  return browser->Widget()->grab().toImage();
}

void CMapViewWnd::RunPageScript(const QString& source, std::function<void(const QVariant&)> onResult) {
  if (!pageReady) {
    if (onResult) onResult(QVariant());
    return;
  }
  browser->RunJavaScript(source, std::move(onResult));
}

void CMapViewWnd::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (browser) browser->Widget()->setGeometry(rect());
}
