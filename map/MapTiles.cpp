#include "map/MapTiles.h"

#include <QUrlQuery>
#include <QtGlobal>

#include "settings/ViewerSettings.h"

namespace mapview {
namespace {

bool IsWebLink(const QString& link) {
  const QUrl url(link, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  return url.isValid() && !url.host().isEmpty() &&
         (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString LinkOrNothing(const std::string& link) {
  const QString text = QString::fromStdString(link);
  return IsWebLink(text) ? text : QString();
}

void AddItem(QUrlQuery& query, const char* name, const QString& value) {
  // Fully encoded, so that "&", "+" or "#" inside a value stay part of it.
  if (!value.isEmpty()) query.addQueryItem(QLatin1String(name), QString::fromLatin1(QUrl::toPercentEncoding(value)));
}

}  // namespace

std::filesystem::path MapPageFile(const std::filesystem::path& dataFolder) { return dataFolder / "map" / "map.htm"; }

bool IsTileTemplate(const QString& tiles) {
  for (const char* field : {"{z}", "{x}", "{y}"}) {
    if (!tiles.contains(QLatin1String(field))) return false;
  }
  const QString scheme = QUrl(tiles).scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("file");
}

TileSource ChooseTileSource(const ViewerSettings& settings) {
  const QString forced = qEnvironmentVariable(kTilesVariable);
  if (IsTileTemplate(forced)) return {forced, qEnvironmentVariable(kAttributionVariable), {}, {}};
  const QString address = QString::fromStdString(settings.tileAddress);
  if (!IsTileTemplate(address)) {
    return {QString::fromUtf8(kDefaultTileAddress), QString::fromUtf8(kDefaultTileCredit),
            QString::fromUtf8(kDefaultTileCreditLink), QString::fromUtf8(kDefaultTileReportLink)};
  }
  return {address, QString::fromStdString(settings.tileCredit), LinkOrNothing(settings.tileCreditLink),
          LinkOrNothing(settings.tileReportLink)};
}

QUrl MapPageUrl(const std::filesystem::path& pageFile, const TileSource& source, const QString& reportText) {
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(pageFile.string()));
  QUrlQuery query;
  AddItem(query, "tiles", QString::fromLatin1(kPageTileTemplate));
  AddItem(query, "credit", source.credit);
  AddItem(query, "creditLink", source.creditLink);
  if (!reportText.isEmpty()) AddItem(query, "reportLink", source.reportLink);
  if (!source.reportLink.isEmpty()) AddItem(query, "report", reportText);
  url.setQuery(query);
  return url;
}

QByteArray TileUserAgent() { return QByteArrayLiteral("TarvoViewer/" TARVO_VERSION); }

TileFetcherSettings FetcherSettings(const TileSource& source, const std::filesystem::path& cacheFolder) {
  TileFetcherSettings settings;
  settings.address = source.address;
  settings.userAgent = TileUserAgent();
  if (!cacheFolder.empty()) settings.cacheFolder = QString::fromStdString((cacheFolder / "tiles").string());
  return settings;
}

}  // namespace mapview
