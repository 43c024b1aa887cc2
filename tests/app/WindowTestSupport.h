#pragma once
// Shared set-up of the main window suites: one QApplication, skin resources, settings
// kept in a temporary folder, and a folder of recording-named files for the list.

#include <QApplication>
#include <filesystem>
#include <string>
#include <vector>

namespace apptest {

// Starts the application once (offscreen) and points the settings at a temporary
// config folder so no test reads or writes the user's files.
void EnsureApplication();

// The QT_QPA_PLATFORM value the suite runs under (for child processes).
std::string OffscreenPlatform();

// Writes small files named like a dashcam's recordings (normal, event and parking,
// one and two channels) into `folder`; their paths.
std::vector<std::string> MakeSampleRecordings(const std::filesystem::path& folder);

// Where the suites keep the pictures they take: <build>/screenshots.
std::filesystem::path ScreenshotFolder();

}  // namespace apptest
