#pragma once
// Which tiles the map page draws and how it credits them. The source comes from the
// [MAP] section of option.ini (OpenStreetMap's tile server by default);
// TARVO_MAP_TILES names another source as a URL template with {z}, {x} and {y} (http,
// https or file), credited with the plain text of TARVO_MAP_ATTRIBUTION.
//
// The page never reaches the tile server itself: it asks for "tarvo-tile:/z/x/y", and
// the viewer fetches the tile (map/TileFetcher.h). The page learns the credit and the
// links from its query string.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <filesystem>

#include "map/TileFetcher.h"

struct ViewerSettings;

namespace mapview {

inline constexpr const char* kTilesVariable = "TARVO_MAP_TILES";
inline constexpr const char* kAttributionVariable = "TARVO_MAP_ATTRIBUTION";
// The page's tile addresses; the viewer answers them.
inline constexpr const char* kTileScheme = "tarvo-tile";
inline constexpr const char* kPageTileTemplate = "tarvo-tile:/{z}/{x}/{y}";

// "map/map.htm" under the program's data folder.
std::filesystem::path MapPageFile(const std::filesystem::path& dataFolder);

// Whether `tiles` is a template the viewer fetches: {z}, {x} and {y} in an http,
// https or file address.
bool IsTileTemplate(const QString& tiles);

// The tile source and what the page shows of it. Links are http or https, or empty.
struct TileSource {
  QString address;
  QString credit;
  QString creditLink;
  QString reportLink;
};

// The settings' source (the default one when their address is no template), or the
// environment's when TARVO_MAP_TILES holds a template.
TileSource ChooseTileSource(const ViewerSettings& settings);

// The page's address: its file with the page's tile template, the credit and the
// links; `reportText` names the report link.
QUrl MapPageUrl(const std::filesystem::path& pageFile, const TileSource& source, const QString& reportText);

// "TarvoViewer/<version>": the one User-Agent of every tile request.
QByteArray TileUserAgent();

// What the fetcher needs: the source's address, the User-Agent and the cache folder
// (<cache>/tiles; no cache when `cacheFolder` is empty).
TileFetcherSettings FetcherSettings(const TileSource& source, const std::filesystem::path& cacheFolder);

}  // namespace mapview
