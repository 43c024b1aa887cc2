// The map's browser on Qt WebEngine: the module tarvo_mapbrowser, loaded when the map
// page is first shown (MapBrowser.h).

#include <QBuffer>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <mutex>
#include <utility>

#include "map/MapBrowser.h"
#include "map/MapPage.h"
#include "map/TileFetcher.h"

namespace {

constexpr char kTileScheme[] = "tarvo-tile";

// The scheme must be known before the engine starts, which is when the first profile
// is made: the module is loaded just before that.
void RegisterTileScheme() {
  static std::once_flag once;
  std::call_once(once, [] {
    QWebEngineUrlScheme scheme(kTileScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
  });
}

// Answers the page's "tarvo-tile:/z/x/y" with the fetcher's tile.
class TileSchemeHandler final : public QWebEngineUrlSchemeHandler {
 public:
  TileSchemeHandler(mapview::TileFetcher* fetcher, QObject* parent)
      : QWebEngineUrlSchemeHandler(parent), fetcher_(fetcher) {}

  void requestStarted(QWebEngineUrlRequestJob* job) override {
    const QStringList parts = job->requestUrl().path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    bool ok[3] = {false, false, false};
    const int z = parts.size() == 3 ? parts[0].toInt(&ok[0]) : 0;
    const int x = parts.size() == 3 ? parts[1].toInt(&ok[1]) : 0;
    const int y = parts.size() == 3 ? parts[2].toInt(&ok[2]) : 0;
    if (!ok[0] || !ok[1] || !ok[2]) {
      job->fail(QWebEngineUrlRequestJob::UrlInvalid);
      return;
    }
    // The engine deletes a job the page no longer wants; its tile is then dropped.
    QPointer<QWebEngineUrlRequestJob> wanted(job);
    fetcher_->Fetch(z, x, y, job, [wanted](const QByteArray& bytes, const QByteArray& contentType) {
      if (!wanted) return;
      if (bytes.isEmpty()) {
        wanted->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
      }
      auto* body = new QBuffer(wanted.data());
      body->setData(bytes);
      wanted->reply(contentType.isEmpty() ? QByteArrayLiteral("image/png") : contentType, body);
    });
  }

 private:
  mapview::TileFetcher* fetcher_;
};

class WebEngineMapBrowser final : public MapBrowser {
 public:
  WebEngineMapBrowser(QWidget* parent, MapBrowserEvents events) : events_(std::move(events)) {
    RegisterTileScheme();
    // Off the record: the page's state stays in memory. The engine reaches no server:
    // the page's tiles come through the tile scheme from the viewer's own fetcher,
    // which keeps its disk cache.
    profile_ = new QWebEngineProfile(static_cast<QObject*>(nullptr));
    page_ = new MapPage(profile_, nullptr);
    QWebEngineSettings* settings = page_->settings();
    // The page is a local file that draws tiles from the web (or from local files).
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    // Loading the map must not take the keyboard from the main window's shortcuts.
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    QObject::connect(page_, &QWebEnginePage::loadFinished, page_, [this](bool ok) {
      if (events_.loadFinished) events_.loadFinished(ok);
    });
    // A renderer that dies takes the map with it: load the page again.
    QObject::connect(page_, &QWebEnginePage::renderProcessTerminated, page_,
                     [this](QWebEnginePage::RenderProcessTerminationStatus, int) {
                       if (events_.rendererGone) events_.rendererGone();
                       page_->triggerAction(QWebEnginePage::Reload);
                     });
    view_ = new QWebEngineView(parent);
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
  }

  ~WebEngineMapBrowser() override {
    // The view goes before its page and the page before its profile, as the engine
    // requires.
    delete view_;
    delete page_;
    delete profile_;
  }

  QWidget* Widget() override { return view_; }

  void Load(const QUrl& pageUrl, const mapview::TileFetcherSettings& tiles) override {
    if (!fetcher_) {
      fetcher_ = new mapview::TileFetcher(tiles, profile_);
      profile_->installUrlSchemeHandler(kTileScheme, new TileSchemeHandler(fetcher_, profile_));
    }
    page_->SetPageUrl(pageUrl);
    page_->load(pageUrl);
  }

  void RunJavaScript(const QString& source, std::function<void(const QVariant&)> onResult) override {
    if (onResult) {
      page_->runJavaScript(source, std::move(onResult));
    } else {
      page_->runJavaScript(source);
    }
  }

  QUrl Url() const override { return page_->url(); }

 private:
  MapBrowserEvents events_;
  QWebEngineProfile* profile_ = nullptr;
  mapview::TileFetcher* fetcher_ = nullptr;
  MapPage* page_ = nullptr;
  QWebEngineView* view_ = nullptr;
};

}  // namespace

extern "C" Q_DECL_EXPORT MapBrowser* TarvoMakeMapBrowser(QWidget* parent, const MapBrowserEvents* events) {
  return new WebEngineMapBrowser(parent, events ? *events : MapBrowserEvents{});
}
