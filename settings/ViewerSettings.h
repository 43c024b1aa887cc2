#pragma once
// The viewer's own options (config/option.ini) and the one process-wide record of them.

#include <cstdint>
#include <filesystem>
#include <string>

struct ViewerSettings {
  std::string saveDirectory;         // SAVE_DIRECTORY: folder for still captures (UTF-8)
  std::int32_t playValue = 5;        // PLAY_VALUE: jump step of rewind/forward, seconds
  bool rearMirror = false;           // REAR_MIRROR
  std::int32_t language = 0;         // LANGUAGE: index into the language table
  std::int32_t defaultLanguage = 0;  // DEFAULT_LANGUAGE: kept, nothing uses it
  std::int32_t model = 0;            // MODEL: dashcam model index
  bool speedInMiles = false;         // SPEED: show mph instead of km/h
  // The loaded language library (a dlopen handle), null while none is loaded.
  // Only settings/LanguageLibrary.cpp opens and closes it.
  void* languageLibrary = nullptr;
};

// The record the whole process shares, created with the defaults on first use.
ViewerSettings& TheViewerSettings();

// Reads the file over `settings`: keys missing from the file keep their values, a
// later line overrides an earlier one. False (record untouched) when the file cannot
// be opened.
bool ReadSettings(const std::filesystem::path& path, ViewerSettings& settings);

// Writes the whole fifteen-line file (CR LF line ends); the folder is not created.
// False when the file cannot be created or written.
bool WriteSettings(const std::filesystem::path& path, const ViewerSettings& settings);

// The user's documents folder + "/CAM_CAPTURE", created with any missing parents
// (failures ignored); empty when there is no home folder.
std::string DefaultCaptureFolder();

// platform::ConfigFolder() / "option.ini".
std::filesystem::path SettingsFilePath();
