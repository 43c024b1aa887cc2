// The map's tile fetcher against a local tile server that records every request: the
// User-Agent, at most two requests at once, the disk cache with its seven-day
// minimum, an aged tile asked for again, and old tiles served without a connection.

#include <gtest/gtest.h>

#include <QNetworkCacheMetaData>
#include <QNetworkDiskCache>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "MapTestSupport.h"
#include "map/MapTiles.h"
#include "map/TileFetcher.h"
#include "tests/support/TempFolder.h"

namespace {

using mapview::TileFetcher;

struct Result {
  bool done = false;
  QByteArray bytes;
  QByteArray contentType;
};

class TileFetcherTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { maptest::EnsureApplication(); }

  std::unique_ptr<TileFetcher> MakeFetcher() {
    mapview::TileSource source{server.Template(), {}, {}, {}};
    return std::make_unique<TileFetcher>(mapview::FetcherSettings(source, cache.Path()));
  }
  // Fetches the tiles (z, x, y) and waits for all of them.
  std::vector<Result> FetchAll(TileFetcher& fetcher, const std::vector<std::array<int, 3>>& tiles) {
    auto results = std::make_shared<std::vector<Result>>(tiles.size());
    for (std::size_t i = 0; i < tiles.size(); ++i) {
      fetcher.Fetch(tiles[i][0], tiles[i][1], tiles[i][2], &context,
                    [results, i](const QByteArray& bytes, const QByteArray& type) {
                      (*results)[i] = {true, bytes, type};
                    });
    }
    EXPECT_TRUE(maptest::WaitUntil(
        [&] { return std::all_of(results->begin(), results->end(), [](const Result& r) { return r.done; }); }, 10000));
    return *results;
  }

  // Makes the cached tile 12/3490/1584 `days` past its term.
  static void ExpireFirstTile(TileFetcher& fetcher, int days) {
    QNetworkCacheMetaData kept = fetcher.Cache()->metaData(fetcher.TileUrl(12, 3490, 1584));
    kept.setExpirationDate(QDateTime::currentDateTimeUtc().addDays(-days));
    fetcher.Cache()->updateMetaData(kept);
  }

  maptest::TileServer server;
  testsupport::TempFolder cache{"tarvo-tiles-"};
  QObject context;
  const std::vector<std::array<int, 3>> view = {{12, 3490, 1584}, {12, 3491, 1584}, {12, 3492, 1584},
                                                {12, 3490, 1585}, {12, 3491, 1585}, {12, 3492, 1585}};
};

TEST_F(TileFetcherTest, AViewIsFetchedTwoAtATimeUnderTheViewersOwnName) {
  server.answerDelayMs = 60;
  auto fetcher = MakeFetcher();
  for (const Result& r : FetchAll(*fetcher, view)) {
    EXPECT_TRUE(r.bytes.startsWith("\x89PNG"));
    EXPECT_EQ(r.contentType, "image/png");
  }
  EXPECT_EQ(server.TotalRequests(), 6);
  EXPECT_EQ(server.mostOpen, 2);
  ASSERT_EQ(server.userAgents.size(), 1u);
  EXPECT_EQ(server.userAgents.begin()->first, QByteArray("TarvoViewer/" TARVO_TEST_VERSION));
  EXPECT_EQ(fetcher->Cache()->maximumCacheSize(), 200LL * 1024 * 1024);
  // Nothing the page gives up on is fetched: a request whose page went away is dropped.
  auto gone = std::make_unique<QObject>();
  bool called = false;
  for (int x = 0; x < 4; ++x)
    fetcher->Fetch(12, 100 + x, 200, gone.get(), [&](const QByteArray&, const QByteArray&) { called = true; });
  gone.reset();
  maptest::WaitUntil([] { return false; }, 400);
  EXPECT_EQ(server.TotalRequests(), 8) << "the two already running finish, the two waiting are dropped";
  EXPECT_FALSE(called);
}

TEST_F(TileFetcherTest, ASecondRunOfTheSameViewComesFromTheDiskCache) {
  server.cacheControl = "max-age=60";
  const std::vector<Result> first = FetchAll(*MakeFetcher(), view);
  ASSERT_EQ(server.TotalRequests(), 6);
  // A new fetcher, as after a restart of the viewer: the same tiles, no request.
  const std::vector<Result> second = FetchAll(*MakeFetcher(), view);
  EXPECT_EQ(server.TotalRequests(), 6);
  for (std::size_t i = 0; i < view.size(); ++i) EXPECT_EQ(second[i].bytes, first[i].bytes);
  // A minute from the server still keeps the tile seven days.
  auto fetcher = MakeFetcher();
  const QNetworkCacheMetaData kept = fetcher->Cache()->metaData(fetcher->TileUrl(12, 3490, 1584));
  EXPECT_GT(kept.expirationDate(), QDateTime::currentDateTimeUtc().addDays(7).addSecs(-60));
}

TEST_F(TileFetcherTest, AnAgedTileIsAskedForAgainAndKeptWhenUnchanged) {
  auto fetcher = MakeFetcher();
  const std::vector<Result> first = FetchAll(*fetcher, {{12, 3490, 1584}});
  ExpireFirstTile(*fetcher, 1);
  const std::vector<Result> again = FetchAll(*fetcher, {{12, 3490, 1584}});
  EXPECT_EQ(server.TotalRequests(), 2);
  EXPECT_EQ(server.notModified, 1) << "the aged tile is asked for with its ETag";
  EXPECT_EQ(again[0].bytes, first[0].bytes);
  EXPECT_GT(fetcher->Cache()->metaData(fetcher->TileUrl(12, 3490, 1584)).expirationDate(),
            QDateTime::currentDateTimeUtc().addDays(6));
}

TEST_F(TileFetcherTest, OfflineTheCacheServesEvenAgedTiles) {
  auto fetcher = MakeFetcher();
  const std::vector<Result> first = FetchAll(*fetcher, {{12, 3490, 1584}});
  ExpireFirstTile(*fetcher, 30);
  server.Stop();
  const std::vector<Result> offline = FetchAll(*fetcher, {{12, 3490, 1584}, {12, 3491, 1584}});
  EXPECT_EQ(offline[0].bytes, first[0].bytes);
  EXPECT_TRUE(offline[1].bytes.isEmpty()) << "a tile never seen cannot be shown offline";
}

TEST(TileFreshness, TheServersLifetimeWithASevenDayMinimum) {
  using Headers = QList<QPair<QByteArray, QByteArray>>;
  const QDateTime now(QDate(2024, 5, 12), QTime(8, 30), Qt::UTC);
  EXPECT_EQ(mapview::ParseHttpDate("Sun, 12 May 2024 08:30:00 GMT"), now);
  EXPECT_FALSE(mapview::ParseHttpDate("yesterday").isValid());
  EXPECT_EQ(mapview::TileFreshUntil({}, now), now.addDays(7));
  EXPECT_EQ(mapview::TileFreshUntil(Headers{{"Cache-Control", "public, max-age=3600"}}, now), now.addDays(7));
  EXPECT_EQ(mapview::TileFreshUntil(Headers{{"cache-control", "max-age=2592000"}}, now), now.addDays(30));
  EXPECT_EQ(mapview::TileFreshUntil(
                Headers{{"Date", "Sun, 12 May 2024 08:30:00 GMT"}, {"Expires", "Wed, 22 May 2024 08:30:00 GMT"}}, now),
            now.addDays(10));
  // max-age wins over Expires; an Expires that is no date means expired.
  EXPECT_EQ(mapview::TileFreshUntil(
                Headers{{"Expires", "Wed, 22 May 2024 08:30:00 GMT"}, {"Cache-Control", "max-age=864000"}}, now),
            now.addDays(10));
  EXPECT_EQ(mapview::TileFreshUntil(Headers{{"Expires", "0"}}, now), now.addDays(7));
  EXPECT_FALSE(mapview::TileFreshUntil(Headers{{"Cache-Control", "no-store"}}, now).isValid());
}

TEST(TileAddresses, OnlyRealTilesOfTheTemplate) {
  TileFetcher fetcher({QStringLiteral("https://tiles.example/{z}/{x}/{y}{r}.png?s={s}"), {}, "agent"});
  EXPECT_EQ(fetcher.TileUrl(16, 55886, 25427), QUrl(QStringLiteral("https://tiles.example/16/55886/25427.png?s=a")));
  EXPECT_FALSE(fetcher.TileUrl(2, 4, 0).isValid());
  EXPECT_FALSE(fetcher.TileUrl(-1, 0, 0).isValid());
  EXPECT_FALSE(fetcher.TileUrl(25, 0, 0).isValid());
  EXPECT_FALSE(fetcher.Cache()) << "no folder, no cache";
}

}  // namespace
