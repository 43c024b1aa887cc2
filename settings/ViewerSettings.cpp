#include "settings/ViewerSettings.h"

#include <cstdio>
#include <string_view>
#include <system_error>

#include "platform/FileOpen.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"
#include "settings/TextParsing.h"

namespace {

// A capture folder is a path, and Linux paths may be far longer than the 255
// characters a line once held; a longer line is dropped whole rather than split,
// so its tail can never be read as a line of its own.
constexpr std::size_t kMaxLineLength = 8191;

// Reads one line (without its LF) into `line`; false at the end of the file.
// `overlong` tells whether the line was longer than kMaxLineLength.
bool ReadLine(std::FILE* file, std::string& line, bool& overlong) {
  line.clear();
  overlong = false;
  int c = std::fgetc(file);
  if (c == EOF) return false;
  while (c != EOF && c != '\n') {
    if (line.size() < kMaxLineLength)
      line.push_back(static_cast<char>(c));
    else
      overlong = true;
    c = std::fgetc(file);
  }
  return true;
}

void ApplyLine(std::string_view rawLine, ViewerSettings& parsed) {
  const std::string line = TrimControlChars(UpToNul(rawLine));
  if (line.empty() || line.front() == '[') return;
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  const std::string key = TrimControlChars(std::string_view(line).substr(0, equals));
  const std::string value = TrimControlChars(std::string_view(line).substr(equals + 1));
  if (key == "SAVE_DIRECTORY") {
    parsed.saveDirectory = value.empty() ? DefaultCaptureFolder() : value;
  } else if (key == "PLAY_VALUE") {
    parsed.playValue = AtoiValue(value);
  } else if (key == "REAR_MIRROR") {
    parsed.rearMirror = AtoiValue(value) == 1;
  } else if (key == "LANGUAGE") {
    parsed.language = AtoiValue(value);
  } else if (key == "DEFAULT_LANGUAGE") {
    parsed.defaultLanguage = AtoiValue(value);
  } else if (key == "MODEL") {
    parsed.model = AtoiValue(value);
  } else if (key == "SPEED") {
    parsed.speedInMiles = AtoiValue(value) != 0;
  } else if (key == "TIME_ZONE") {
    parsed.timeZone = value;
  } else if (key == "MARKER_G") {
    parsed.markerThreshold = AtoiValue(value);
  } else if (key == "TILE_ADDRESS") {
    parsed.tileAddress = value;
  } else if (key == "TILE_CREDIT") {
    parsed.tileCredit = value;
  } else if (key == "TILE_CREDIT_LINK") {
    parsed.tileCreditLink = value;
  } else if (key == "TILE_REPORT_LINK") {
    parsed.tileReportLink = value;
  }
}

bool InRange(std::int32_t value, std::int32_t first, std::int32_t last) { return value >= first && value <= last; }

// The settings dialog's model list offers one dashcam, index 0.
constexpr std::int32_t kFirstModel = 0;
constexpr std::int32_t kLastModel = 0;

}  // namespace

void KeepSettingsInRange(ViewerSettings& settings) {
  const ViewerSettings defaults;
  // A language without a library left every label blank, and was written back at exit.
  // DEFAULT_LANGUAGE itself stays as the file has it.
  if (!InRange(settings.language, kFirstLanguage, kLastLanguage)) {
    settings.language =
        InRange(settings.defaultLanguage, kFirstLanguage, kLastLanguage) ? settings.defaultLanguage : defaults.language;
  }
  // A step of 0 made the jumps do nothing, a negative one turned them round.
  if (settings.playValue < kShortestJump) settings.playValue = defaults.playValue;
  // Below a car at rest every moment would be marked; above the sensor's 8 g none.
  if (!InRange(settings.markerThreshold, kLowestMarkerThreshold, kHighestMarkerThreshold))
    settings.markerThreshold = defaults.markerThreshold;
  // A model the list does not hold left the dialog without a model, so it neither read
  // nor wrote the card's set-up, and took the report's title away.
  if (!InRange(settings.model, kFirstModel, kLastModel)) settings.model = defaults.model;
}

ViewerSettings& TheViewerSettings() {
  static ViewerSettings settings;
  return settings;
}

bool ReadSettings(const std::filesystem::path& path, ViewerSettings& settings, platform::OpenFailure* failure) {
  // Folders, devices and pipes are no settings file (a read of /dev/zero never ends,
  // an open of a pipe waits for a writer).
  std::FILE* file = platform::OpenPlainFileStream(path, failure);
  if (file == nullptr) return false;
  ViewerSettings parsed = settings;
  std::string line;
  bool overlong = false;
  while (ReadLine(file, line, overlong))
    if (!overlong) ApplyLine(line, parsed);
  std::fclose(file);
  KeepSettingsInRange(parsed);
  settings = parsed;
  return true;
}

bool WriteSettings(const std::filesystem::path& path, const ViewerSettings& settings, int* error) {
  std::string text;
  text += "[DIRECTORY]\r\n";
  text += "ROOT_DIRECTORY=VK_BLACKBOX\r\n";
  text += "EVENT_DIRECTORY=MP4_EVENT\r\n";
  text += "CONTINUOS_DIRECTORY=MP4_INFINITE\r\n";
  text += "[OPTION]\r\n";
  text += "SAVE_DIRECTORY=";
  // A CR or LF inside the folder name would end the line early and let the rest of the
  // name be read back as a key of its own; the name is cut there instead.
  text += SingleLineText(settings.saveDirectory);
  text += "\r\n";
  text += "PLAY_VALUE=" + std::to_string(settings.playValue) + "\r\n";
  text += "USE_LOG=FALSE\r\n";
  text += "LOG_LEVEL=3\r\n";
  text += "LOG_TYPE=3\r\n";
  text += std::string("REAR_MIRROR=") + (settings.rearMirror ? "1" : "0") + "\r\n";
  text += "LANGUAGE=" + std::to_string(settings.language) + "\r\n";
  text += "DEFAULT_LANGUAGE=" + std::to_string(settings.defaultLanguage) + "\r\n";
  text += "MODEL=" + std::to_string(settings.model) + "\r\n";
  text += std::string("SPEED=") + (settings.speedInMiles ? "1" : "0") + "\r\n";
  text += std::string("TIME_ZONE=").append(SingleLineText(settings.timeZone)) + "\r\n";
  text += "MARKER_G=" + std::to_string(settings.markerThreshold) + "\r\n";
  text += "[MAP]\r\n";
  text += std::string("TILE_ADDRESS=").append(SingleLineText(settings.tileAddress)) + "\r\n";
  text += std::string("TILE_CREDIT=").append(SingleLineText(settings.tileCredit)) + "\r\n";
  text += std::string("TILE_CREDIT_LINK=").append(SingleLineText(settings.tileCreditLink)) + "\r\n";
  text += std::string("TILE_REPORT_LINK=").append(SingleLineText(settings.tileReportLink)) + "\r\n";
  return platform::WriteWholeFile(path, text, error);
}

std::string DefaultCaptureFolder() {
  const std::filesystem::path documents = platform::DocumentsFolder();
  if (documents.empty()) return {};
  const std::filesystem::path folder = documents / "CAM_CAPTURE";
  // A new user may have no documents folder yet; a capture into a folder that does
  // not exist would fail, so the missing parents are made too.
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder.string();
}

std::filesystem::path SettingsFilePath() {
  const std::filesystem::path config = platform::ConfigFolder();
  if (config.empty()) return {};
  return config / "option.ini";
}
