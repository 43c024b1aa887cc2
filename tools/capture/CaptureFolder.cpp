#include "tools/capture/CaptureFolder.h"

#include <system_error>

std::string ResolveCaptureFolder(ViewerSettings& settings, const std::filesystem::path& settingsPath,
                                 int* settingsError) {
  if (settingsError != nullptr) *settingsError = 0;
  std::error_code ec;
  if (settings.saveDirectory.empty() || !std::filesystem::is_directory(settings.saveDirectory, ec)) {
    settings.saveDirectory = DefaultCaptureFolder();
    WriteSettings(settingsPath, settings, settingsError);
  }
  // Without a home folder there is no default either; an empty folder would put the
  // pictures into the file system's root.
  if (settings.saveDirectory.empty() || !std::filesystem::is_directory(settings.saveDirectory, ec)) return {};
  return settings.saveDirectory;
}
