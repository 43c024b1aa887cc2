#include "map/TileFetcher.h"

#include <QIODevice>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkCacheMetaData>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>

namespace mapview {
namespace {

// Web maps stop well before this; deeper numbers are no tile of any server.
constexpr int kDeepestZoom = 24;
// A year: a longer lifetime from a server buys nothing and would overflow nothing.
constexpr qint64 kLongestFreshSeconds = 365LL * 24 * 3600;
constexpr int kTransferTimeoutMs = 20000;

QByteArray HeaderValue(const QList<QPair<QByteArray, QByteArray>>& headers, const char* name) {
  for (const auto& [key, value] : headers) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value.trimmed();
  }
  return {};
}

bool IsWeb(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

}  // namespace

QDateTime ParseHttpDate(const QByteArray& text) {
  const QDateTime parsed =
      QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
  if (!parsed.isValid()) return {};
  return QDateTime(parsed.date(), parsed.time(), Qt::UTC);
}

QDateTime TileFreshUntil(const QList<QPair<QByteArray, QByteArray>>& headers, const QDateTime& now) {
  qint64 lifetime = -1;
  for (const QByteArray& part : HeaderValue(headers, "Cache-Control").split(',')) {
    const QByteArray directive = part.trimmed().toLower();
    if (directive == "no-store") return {};
    if (directive.startsWith("max-age=")) {
      bool ok = false;
      const qint64 seconds = directive.mid(8).toLongLong(&ok);
      if (ok) lifetime = std::max<qint64>(seconds, 0);
    }
  }
  if (lifetime < 0) {
    const QByteArray expires = HeaderValue(headers, "Expires");
    if (!expires.isEmpty()) {
      // An Expires that is no date means "already expired".
      const QDateTime until = ParseHttpDate(expires);
      QDateTime served = ParseHttpDate(HeaderValue(headers, "Date"));
      if (!served.isValid()) served = now;
      lifetime = until.isValid() ? std::max<qint64>(served.secsTo(until), 0) : 0;
    }
  }
  lifetime = std::clamp<qint64>(lifetime, TileFetcher::kMinimumFreshSeconds, kLongestFreshSeconds);
  return now.addSecs(lifetime);
}

TileFetcher::TileFetcher(TileFetcherSettings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)), network_(new QNetworkAccessManager(this)) {
  if (!settings_.cacheFolder.isEmpty()) {
    cache_ = new QNetworkDiskCache(this);
    cache_->setCacheDirectory(settings_.cacheFolder);
    cache_->setMaximumCacheSize(settings_.cacheBytes);
  }
}

TileFetcher::~TileFetcher() = default;

QUrl TileFetcher::TileUrl(int z, int x, int y) const {
  if (z < 0 || z > kDeepestZoom) return {};
  const qint64 side = qint64{1} << z;
  if (x < 0 || y < 0 || x >= side || y >= side) return {};
  QString address = settings_.address;
  address.replace(QLatin1String("{z}"), QString::number(z))
      .replace(QLatin1String("{x}"), QString::number(x))
      .replace(QLatin1String("{y}"), QString::number(y))
      .replace(QLatin1String("{s}"), QLatin1String("a"))
      .replace(QLatin1String("{r}"), QString());
  return QUrl(address);
}

void TileFetcher::Fetch(int z, int x, int y, QObject* context, Done done) {
  const QUrl url = TileUrl(z, x, y);
  if (!url.isValid()) {
    done({}, {});
    return;
  }
  QByteArray bytes;
  QByteArray contentType;
  if (FromCache(url, true, bytes, contentType)) {
    done(bytes, contentType);
    return;
  }
  waiting_.push_back({url, context, std::move(done)});
  Pump();
}

void TileFetcher::Pump() {
  while (running_ < kMaxRequests && !waiting_.empty()) {
    Wanted wanted = std::move(waiting_.front());
    waiting_.pop_front();
    if (!wanted.context) continue;
    // A request before this one may have brought the same tile.
    QByteArray bytes;
    QByteArray contentType;
    if (FromCache(wanted.url, true, bytes, contentType)) {
      wanted.done(bytes, contentType);
      continue;
    }
    Start(std::move(wanted));
  }
}

void TileFetcher::Start(Wanted wanted) {
  QNetworkRequest request(wanted.url);
  request.setHeader(QNetworkRequest::UserAgentHeader, settings_.userAgent);
  request.setTransferTimeout(kTransferTimeoutMs);
  // A tile we hold but that has grown old is asked for again only if it changed.
  if (cache_) {
    const QNetworkCacheMetaData kept = cache_->metaData(wanted.url);
    if (kept.isValid()) {
      const QByteArray tag = HeaderValue(kept.rawHeaders(), "ETag");
      const QByteArray modified = HeaderValue(kept.rawHeaders(), "Last-Modified");
      if (!tag.isEmpty()) request.setRawHeader("If-None-Match", tag);
      if (!modified.isEmpty()) request.setRawHeader("If-Modified-Since", modified);
    }
  }
  ++running_;
  QNetworkReply* reply = network_->get(request);
  connect(reply, &QNetworkReply::finished, this,
          [this, reply, wanted = std::move(wanted)] { Finished(reply, wanted); });
}

void TileFetcher::Finished(QNetworkReply* reply, const Wanted& wanted) {
  reply->deleteLater();
  --running_;
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  QByteArray bytes;
  QByteArray contentType;
  bool found = false;
  if (reply->error() == QNetworkReply::NoError && status == 304 && cache_) {
    QNetworkCacheMetaData kept = cache_->metaData(wanted.url);
    const QDateTime until = TileFreshUntil(reply->rawHeaderPairs(), QDateTime::currentDateTimeUtc());
    if (kept.isValid() && until.isValid()) {
      kept.setExpirationDate(until);
      cache_->updateMetaData(kept);
    }
    found = FromCache(wanted.url, false, bytes, contentType);
  } else if (reply->error() == QNetworkReply::NoError && (status == 200 || !IsWeb(wanted.url))) {
    bytes = reply->readAll();
    contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    found = !bytes.isEmpty();
    if (found && IsWeb(wanted.url)) Store(wanted.url, bytes, reply);
  }
  // No connection, or the server failed: an old tile is better than none.
  if (!found) found = FromCache(wanted.url, false, bytes, contentType);
  if (wanted.context) wanted.done(found ? bytes : QByteArray(), contentType);
  // The next request waits for the event loop, so the connection this one used is
  // free again and taken instead of a new one.
  QTimer::singleShot(0, this, [this] { Pump(); });
}

bool TileFetcher::FromCache(const QUrl& url, bool freshOnly, QByteArray& bytes, QByteArray& contentType) const {
  if (!cache_) return false;
  const QNetworkCacheMetaData kept = cache_->metaData(url);
  if (!kept.isValid()) return false;
  if (freshOnly && !(kept.expirationDate().isValid() && kept.expirationDate() > QDateTime::currentDateTimeUtc())) {
    return false;
  }
  const std::unique_ptr<QIODevice> data(cache_->data(url));
  if (!data) return false;
  bytes = data->readAll();
  contentType = HeaderValue(kept.rawHeaders(), "Content-Type");
  return !bytes.isEmpty();
}

void TileFetcher::Store(const QUrl& url, const QByteArray& bytes, QNetworkReply* reply) {
  if (!cache_) return;
  const QDateTime until = TileFreshUntil(reply->rawHeaderPairs(), QDateTime::currentDateTimeUtc());
  if (!until.isValid()) return;
  QNetworkCacheMetaData entry;
  entry.setUrl(url);
  entry.setSaveToDisk(true);
  entry.setExpirationDate(until);
  entry.setLastModified(reply->header(QNetworkRequest::LastModifiedHeader).toDateTime());
  QNetworkCacheMetaData::RawHeaderList kept;
  for (const char* name : {"Content-Type", "ETag", "Last-Modified"}) {
    const QByteArray value = HeaderValue(reply->rawHeaderPairs(), name);
    if (!value.isEmpty()) kept.append({QByteArray(name), value});
  }
  entry.setRawHeaders(kept);
  QIODevice* device = cache_->prepare(entry);
  if (!device) return;
  device->write(bytes);
  cache_->insert(device);
}

}  // namespace mapview
