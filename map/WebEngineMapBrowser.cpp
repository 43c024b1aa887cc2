// The map's browser on Qt WebEngine: the module tarvo_mapbrowser, loaded when the map
// page is first shown (MapBrowser.h).

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <utility>

#include "map/MapBrowser.h"
#include "map/MapPage.h"

namespace {

class WebEngineMapBrowser final : public MapBrowser {
 public:
  WebEngineMapBrowser(QWidget* parent, MapBrowserEvents events) : events_(std::move(events)) {
    // Off the record: tiles and page state stay in memory and leave nothing in the
    // user's folders.
    profile_ = new QWebEngineProfile(static_cast<QObject*>(nullptr));
    const QString application = QCoreApplication::applicationName();
    if (!application.isEmpty()) {
      profile_->setHttpUserAgent(profile_->httpUserAgent() + QLatin1Char(' ') + application);
    }
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

  void Load(const QUrl& pageUrl) override {
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
  MapPage* page_ = nullptr;
  QWebEngineView* view_ = nullptr;
};

}  // namespace

extern "C" Q_DECL_EXPORT MapBrowser* TarvoMakeMapBrowser(QWidget* parent, const MapBrowserEvents* events) {
  return new WebEngineMapBrowser(parent, events ? *events : MapBrowserEvents{});
}
