#pragma once
// The map view: the web page map/map.htm beside the viewer, shown in a browser that
// moves between the main window's map panel and the map window. The viewer never
// draws the map itself; it loads the page once and calls its script functions:
// positionChange(lat, lon) for the vehicle's position and trackChange(points) for the
// recording's route.
//
// The web engine starts with the first LoadMapPage, not with the window: until then
// this is an empty child window, so building the main window costs nothing of it.
// Every call belongs to the UI thread. Script calls are asynchronous; failures stay
// silent and leave the page as it was.

#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "map/MapPosition.h"

class MapBrowser;
class TelemetrySamples;

class CMapViewWnd : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kControlId = 2091;
  using ScriptResult = std::function<void(const std::string&)>;

  explicit CMapViewWnd(QWidget* parent = nullptr);
  ~CMapViewWnd() override;

  // Set once LoadMapPage has sent the browser to the page.
  bool pageLoaded = false;
  // The position sent last, decimal degrees (0 until a valid fix has been shown).
  double lastLatitude = 0;
  double lastLongitude = 0;

  // Where ShowPosition and ShowTrack read the GPS fixes (the main window's samples);
  // null, as until it is set, shows nothing.
  void SetSamples(const TelemetrySamples* source) { samples = source; }
  // Where the page is looked for: <folder>/map/map.htm (the viewer's folder unless
  // set). An empty folder leaves the page unloaded.
  void SetViewerFolder(const std::filesystem::path& folder) { viewerFolder = folder; }

  // Starts the web engine and loads the page, once: later calls do nothing. False
  // when the page is not loaded (no viewer folder, no page file).
  bool LoadMapPage();
  // Moves the marker to the fix of a playback position: the first fix at or after it.
  // A fix that is not valid, or none, leaves the marker where it is.
  void ShowPosition(int64_t positionMs);
  // Sends lastLatitude and lastLongitude again (after a layout pass or a move).
  void ResendPosition();
  // Calls a function of the page from a text such as
  // "javascript:positionChange('37.525000', '127.000000')": the name before "(", the
  // string arguments after it (see ParseScriptCall). False, with no call, for a text
  // that names no function or before the page has finished loading. `onResult`, when
  // given, receives the function's result as text ("" for any failure) later.
  bool RunScript(const std::string& text, ScriptResult onResult = {});
  // Draws the route of the valid fixes under the marker (an empty route clears it),
  // over the whole route of the recording's trip when given (see TrackChangeSource).
  // Sent when the page is ready if it is still loading.
  void ShowTrack();
  void ShowTrack(const std::vector<mapview::MapPoint>& route, const std::vector<mapview::MapPoint>& trip = {});

  // The lines last given: the recording's route and its trip's.
  const std::vector<mapview::MapPoint>& Route() const { return route; }
  const std::vector<mapview::MapPoint>& Trip() const { return trip; }

  // The page has finished loading and takes calls.
  bool PageReady() const { return pageReady; }
  // The browser view (a QWebEngineView), null until the page was first loaded.
  QWidget* Browser() const;
  // The address of the page shown, empty before the first load.
  QUrl PageUrl() const;
  // The map as shown now, for printing; null before the page is loaded.
  QImage MapSnapshot();
  // Runs script source in the page as it is (reading the page back); `onResult` gets
  // the value, an invalid QVariant before the page is ready.
  void RunPageScript(const QString& source, std::function<void(const QVariant&)> onResult);

 signals:
  // The page finished loading (ok) or failed to (not ok).
  void MapPageFinished(bool ok);
  // A function of the page was called through RunScript.
  void ScriptCalled(const QString& function, const QStringList& arguments);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateBrowser();
  void OnLoadFinished(bool ok);
  void SendTrack();

  const TelemetrySamples* samples;
  std::filesystem::path viewerFolder;
  std::unique_ptr<MapBrowser> browser;
  bool pageReady = false;
  // A position was sent before the page could take it: sent again once it is ready.
  bool positionPending = false;
  std::vector<mapview::MapPoint> route;
  std::vector<mapview::MapPoint> trip;
  bool routePending = false;
};
