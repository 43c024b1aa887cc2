#pragma once
// The viewer's own options (option.ini in the config folder) and the one process-wide
// record of them.

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/FileOpen.h"
#include "telemetry/SeekMarkers.h"

// The map's tile source as the file holds it by default: OpenStreetMap's tile server,
// its credit with the copyright page, and the page where users report map errors.
inline constexpr const char* kDefaultTileAddress = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
inline constexpr const char* kDefaultTileCredit = "\u00A9 OpenStreetMap contributors";
inline constexpr const char* kDefaultTileCreditLink = "https://www.openstreetmap.org/copyright";
inline constexpr const char* kDefaultTileReportLink = "https://www.openstreetmap.org/fixthemap";

// The languages with a library (0 English ... 11 Spanish), and the shortest jump step
// of Rewind and Fast forward in seconds (the dialog offers 1 to 10).
inline constexpr std::int32_t kFirstLanguage = 0;
inline constexpr std::int32_t kLastLanguage = 11;
inline constexpr std::int32_t kShortestJump = 1;

struct ViewerSettings {
  std::string saveDirectory;         // SAVE_DIRECTORY: folder for still captures (UTF-8)
  std::int32_t playValue = 5;        // PLAY_VALUE: jump step of rewind/forward, seconds
  bool rearMirror = false;           // REAR_MIRROR
  std::int32_t language = 0;         // LANGUAGE: index into the language table
  std::int32_t defaultLanguage = 0;  // DEFAULT_LANGUAGE: kept, nothing uses it
  std::int32_t model = 0;            // MODEL: dashcam model index
  bool speedInMiles = false;         // SPEED: show mph instead of km/h
  // TIME_ZONE: the IANA zone GPS times and stamps are shown in (UTF-8); empty for the
  // camera's clock (UTC + 9 hours) and the machine's local time (telemetry/GpsClock.h).
  std::string timeZone;
  // MARKER_G: the horizontal G, in hundredths of a g, above which the seek bar marks a
  // moment (telemetry/SeekMarkers.h has the default and the range, 0.2 to 4 g).
  std::int32_t markerThreshold = kDefaultMarkerThreshold;
  // [MAP]: where the map's tiles come from and whom they credit (UTF-8). An address
  // without {z}, {x} and {y} falls back to the default; an empty link shows no link.
  std::string tileAddress = kDefaultTileAddress;        // TILE_ADDRESS: URL template
  std::string tileCredit = kDefaultTileCredit;          // TILE_CREDIT: plain text
  std::string tileCreditLink = kDefaultTileCreditLink;  // TILE_CREDIT_LINK
  std::string tileReportLink = kDefaultTileReportLink;  // TILE_REPORT_LINK
  // The loaded language library (a dlopen handle), null while none is loaded.
  // Only settings/LanguageLibrary.cpp opens and closes it.
  void* languageLibrary = nullptr;
};

// The record the whole process shares, created with the defaults on first use.
ViewerSettings& TheViewerSettings();

// Reads the file over `settings`: keys missing from the file keep their values, a
// later line overrides an earlier one. A LANGUAGE without a library falls back to
// DEFAULT_LANGUAGE (English when that has none either), a PLAY_VALUE below 1 to 5, a
// MARKER_G outside 20 to 400 to 50.
// False (record untouched) when the file cannot be opened or is no regular file (a
// named pipe is refused without waiting for a writer).
// `failure` (when given) says why the file could not be opened.
bool ReadSettings(const std::filesystem::path& path, ViewerSettings& settings,
                  platform::OpenFailure* failure = nullptr);

// Puts LANGUAGE, PLAY_VALUE and MARKER_G back into their ranges as ReadSettings does.
void KeepSettingsInRange(ViewerSettings& settings);

// Writes the whole file: the seventeen lines of [DIRECTORY] and [OPTION], then the five
// of [MAP] (CR LF line ends); the folder is not created. The file is replaced whole
// and flushed to the disk (platform::WriteWholeFile). False when the file cannot be
// created or written, with the errno in `error`.
bool WriteSettings(const std::filesystem::path& path, const ViewerSettings& settings, int* error = nullptr);

// The user's documents folder + "/CAM_CAPTURE", created with any missing parents
// (failures ignored); empty when there is no home folder.
std::string DefaultCaptureFolder();

// platform::ConfigFolder() / "option.ini".
std::filesystem::path SettingsFilePath();
