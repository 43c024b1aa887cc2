#include "map/MapPage.h"

#include <QDesktopServices>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(mapLog, "tarvo.map", QtWarningMsg)

bool IsWebAddress(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

}  // namespace

MapPage::MapPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

bool MapPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  if (!isMainFrame) return true;
  if (url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment) ==
      pageUrl.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment)) {
    return true;
  }
  if (type == NavigationTypeLinkClicked && IsWebAddress(url)) QDesktopServices::openUrl(url);
  return false;
}

QWebEnginePage* MapPage::createWindow(WebWindowType) { return nullptr; }

void MapPage::javaScriptAlert(const QUrl&, const QString& msg) { qCDebug(mapLog) << "alert:" << msg; }

bool MapPage::javaScriptConfirm(const QUrl&, const QString& msg) {
  qCDebug(mapLog) << "confirm:" << msg;
  return false;
}

bool MapPage::javaScriptPrompt(const QUrl&, const QString& msg, const QString&, QString*) {
  qCDebug(mapLog) << "prompt:" << msg;
  return false;
}

void MapPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int lineNumber,
                                       const QString& sourceID) {
  qCDebug(mapLog).noquote() << sourceID << lineNumber << message;
}
