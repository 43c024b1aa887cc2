#pragma once
// Which tiles the map page draws. The page itself holds the default (OpenStreetMap's
// tile server with its attribution); TARVO_MAP_TILES names another source as a URL
// template with {z}, {x} and {y} (http, https or file), and TARVO_MAP_ATTRIBUTION
// the plain text credited for it. The page learns them from its query string.

#include <QString>
#include <QUrl>
#include <filesystem>

namespace mapview {

inline constexpr const char* kTilesVariable = "TARVO_MAP_TILES";
inline constexpr const char* kAttributionVariable = "TARVO_MAP_ATTRIBUTION";

// "map/map.htm" under the viewer's folder.
std::filesystem::path MapPageFile(const std::filesystem::path& viewerFolder);

// Whether `tiles` is a template the page accepts: {z}, {x} and {y} in an http, https
// or file address.
bool IsTileTemplate(const QString& tiles);

// The page's address: its file, with ?tiles=...&attribution=... when a usable
// template is given (else the page's own default stands).
QUrl MapPageUrl(const std::filesystem::path& pageFile, const QString& tiles, const QString& attribution);

// As above with the template and attribution from the environment.
QUrl MapPageUrlFromEnvironment(const std::filesystem::path& pageFile);

}  // namespace mapview
