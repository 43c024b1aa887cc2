#pragma once
// Fetches the map's tiles for the page, as tile servers ask of applications: one
// stable User-Agent naming the viewer, at most two requests at a time, and a disk
// cache that keeps each tile for as long as the server allows, and at least seven
// days. A tile that cannot be fetched (no connection, a server error) is served from
// the cache however old it is, so places seen before stay on the map offline.
//
// Qt Network only: the map module uses it behind the page's tile scheme, and tests
// use it directly.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <deque>
#include <functional>

class QNetworkAccessManager;
class QNetworkDiskCache;
class QNetworkReply;

namespace mapview {

struct TileFetcherSettings {
  // URL template with {z}, {x} and {y} (http, https or file).
  QString address;
  // The disk cache's folder; empty keeps no cache.
  QString cacheFolder;
  QByteArray userAgent;
  qint64 cacheBytes = 200LL * 1024 * 1024;
};

// How long a tile stays fresh: the server's Cache-Control max-age, else its Expires
// (against its Date), but never less than seven days from `now`. Invalid when the
// server forbids storing it (no-store).
QDateTime TileFreshUntil(const QList<QPair<QByteArray, QByteArray>>& headers, const QDateTime& now);

// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT"); invalid when it is none.
QDateTime ParseHttpDate(const QByteArray& text);

class TileFetcher : public QObject {
 public:
  static constexpr int kMaxRequests = 2;
  static constexpr qint64 kMinimumFreshSeconds = 7 * 24 * 3600;

  // The tile's bytes and content type; empty bytes when there is no tile.
  using Done = std::function<void(const QByteArray& bytes, const QByteArray& contentType)>;

  explicit TileFetcher(TileFetcherSettings settings, QObject* parent = nullptr);
  ~TileFetcher() override;

  // The address of tile z/x/y; invalid when the numbers are no tile.
  QUrl TileUrl(int z, int x, int y) const;

  // Fetches tile z/x/y and calls `done` on this thread, from the cache at once when
  // fresh there. A request still waiting for its turn when `context` goes is dropped
  // without a call.
  void Fetch(int z, int x, int y, QObject* context, Done done);

  // The cache (null without one); tests age its entries.
  QNetworkDiskCache* Cache() const { return cache_; }

 private:
  struct Wanted {
    QUrl url;
    QPointer<QObject> context;
    Done done;
  };
  void Pump();
  void Start(Wanted wanted);
  void Finished(QNetworkReply* reply, const Wanted& wanted);
  // The cached bytes and content type, when there are any.
  bool FromCache(const QUrl& url, bool freshOnly, QByteArray& bytes, QByteArray& contentType) const;
  void Store(const QUrl& url, const QByteArray& bytes, QNetworkReply* reply);

  TileFetcherSettings settings_;
  QNetworkAccessManager* network_ = nullptr;
  QNetworkDiskCache* cache_ = nullptr;
  std::deque<Wanted> waiting_;
  int running_ = 0;
};

}  // namespace mapview
