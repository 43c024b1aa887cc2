#pragma once
// The map's web page: silent (no script dialogs, console messages only to the
// "tarvo.map" debug log) and fixed on the map page. Links the user follows from the
// map, such as the tile source's credits, open in the desktop's browser instead of
// replacing the map.

#include <QUrl>
#include <QWebEnginePage>

class MapPage : public QWebEnginePage {
  Q_OBJECT

 public:
  MapPage(QWebEngineProfile* profile, QObject* parent);

  // The map page's own file: the only document the page shows.
  void SetPageUrl(const QUrl& url) { pageUrl = url; }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                const QString& sourceID) override;

 private:
  QUrl pageUrl;
};
