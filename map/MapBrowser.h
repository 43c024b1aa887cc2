#pragma once
// The web browser the map page is shown in, behind a small interface: the web engine
// lives in a module of its own (tarvo_mapbrowser, beside the executable) that is
// loaded the first time the map page is, so the viewer's start-up never pays for
// loading the web engine's libraries.

#include <QImage>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <functional>
#include <memory>

#include "map/TileFetcher.h"

class QWidget;

class MapBrowser {
 public:
  virtual ~MapBrowser() = default;
  // The browser view, a child of the parent it was made for.
  virtual QWidget* Widget() = 0;
  // Loads the map page; the page refuses to navigate anywhere else. The page's tiles
  // ("tarvo-tile:/z/x/y") are fetched from `tiles`.
  virtual void Load(const QUrl& pageUrl, const mapview::TileFetcherSettings& tiles) = 0;
  // `onResult` (may be empty) gets the script's value on the UI thread.
  virtual void RunJavaScript(const QString& source, std::function<void(const QVariant&)> onResult) = 0;
  // The address of the page shown.
  virtual QUrl Url() const = 0;
};

// What the browser reports, on the UI thread.
struct MapBrowserEvents {
  std::function<void(bool ok)> loadFinished;
  // The renderer went away; the browser reloads the page by itself.
  std::function<void()> rendererGone;
};

// The module's entry point, resolved by name.
using MakeMapBrowserFunction = MapBrowser* (*)(QWidget* parent, const MapBrowserEvents* events);
inline constexpr const char* kMapBrowserModule = "libtarvo_mapbrowser.so";
inline constexpr const char* kMapBrowserEntry = "TarvoMakeMapBrowser";

// Loads the module (once) and makes a browser in `parent`; null when the module or
// the web engine cannot be loaded (the map then stays empty, as a page that fails to
// load would).
std::unique_ptr<MapBrowser> MakeMapBrowser(QWidget* parent, MapBrowserEvents events);
