#pragma once
// The folder still captures go to: the viewer's saveDirectory while it names an
// existing folder, otherwise the default capture folder, which then replaces it in
// the settings file.

#include <filesystem>
#include <string>

#include "settings/ViewerSettings.h"

// Resets a saveDirectory that is not an existing folder to DefaultCaptureFolder()
// and writes the settings to `settingsPath`; a failed write leaves the folder in use
// all the same, with the errno in `settingsError` (0 when written or not needed).
// Returns the folder to capture into; empty when there is none (no home folder).
std::string ResolveCaptureFolder(ViewerSettings& settings, const std::filesystem::path& settingsPath,
                                 int* settingsError = nullptr);
