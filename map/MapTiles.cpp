#include "map/MapTiles.h"

#include <QUrlQuery>
#include <QtGlobal>

namespace mapview {

std::filesystem::path MapPageFile(const std::filesystem::path& viewerFolder) {
  return viewerFolder / "map" / "map.htm";
}

bool IsTileTemplate(const QString& tiles) {
  for (const char* field : {"{z}", "{x}", "{y}"}) {
    if (!tiles.contains(QLatin1String(field))) return false;
  }
  const QString scheme = QUrl(tiles).scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("file");
}

QUrl MapPageUrl(const std::filesystem::path& pageFile, const QString& tiles, const QString& attribution) {
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(pageFile.string()));
  if (IsTileTemplate(tiles)) {
    QUrlQuery query;
    // Fully encoded, so that "&" or "#" inside the template stay part of it.
    query.addQueryItem(QStringLiteral("tiles"), QString::fromLatin1(QUrl::toPercentEncoding(tiles)));
    if (!attribution.isEmpty()) {
      query.addQueryItem(QStringLiteral("attribution"), QString::fromLatin1(QUrl::toPercentEncoding(attribution)));
    }
    url.setQuery(query);
  }
  return url;
}

QUrl MapPageUrlFromEnvironment(const std::filesystem::path& pageFile) {
  return MapPageUrl(pageFile, qEnvironmentVariable(kTilesVariable), qEnvironmentVariable(kAttributionVariable));
}

}  // namespace mapview
